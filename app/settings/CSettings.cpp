#include "app/settings/CSettings.h"

#include "app/common/Conversions.h"
#include "app/common/IniFile.h"
#include "app/common/UnreadableFile.h"
#include "platform/profile/PrivateProfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <algorithm>
#include <limits>

Q_LOGGING_CATEGORY(lcSettings, "vorlix.settings")

namespace {

const QString kAccount = QStringLiteral("Account");
const QString kCharacter = QStringLiteral("Character");
const QString kGeneral = QStringLiteral("General");
const QString kGlobal = QStringLiteral("Global");
const QString kDefaultFont = QStringLiteral("MS Sans Serif");

QString YesNo(bool flag)
{
    return flag ? QStringLiteral("Yes") : QStringLiteral("No");
}

bool isYes(const QString& text)
{
    return text.toLower() == QLatin1String("yes");
}

int32_t wholeNumber(const QString& text)
{
    return roundToInt32Saturated(leadingNumber(text));
}

int16_t readSwitch(const QString& key, int defaultValue, const QString& file)
{
    const int value = GetPrivateProfileInt(kGlobal.toStdString(), key.toStdString(), defaultValue,
                                           QFile::encodeName(file).toStdString());
    return static_cast<int16_t>(std::clamp(value, int(std::numeric_limits<int16_t>::min()),
                                           int(std::numeric_limits<int16_t>::max())));
}

// Welcome.txt holds one quoted field. A double quote inside the message is stored
// doubled, as in CSV, so it survives a save and load; files without one read as before.
QString readWelcomeField(const QString& text)
{
    qsizetype pos = 0;
    while (pos < text.size() && (text[pos] == u' ' || text[pos] == u'\t'))
        ++pos;
    if (pos >= text.size() || text[pos] != u'"')
        return SequentialFieldReader(text).next().value_or(QString());
    return readQuotedField(text, pos);
}

} // namespace

CSettings::CSettings(const QString& appPath)
    : m_appPath(appPath), m_settingsFile(QDir(appPath).filePath(QStringLiteral("Vorlix.INI")))
{
}

QString CSettings::welcomeFile() const
{
    return QDir(m_appPath).filePath(QStringLiteral("Welcome.txt"));
}

QStringList CSettings::LoadSettings(const WindowPlacement& mainWindow)
{
    const QString& file = m_settingsFile;
    QStringList problems;
    auto readable = [&problems](const QString& path) {
        const std::optional<QString> reason = whyUnreadable(path);
        if (reason) {
            problems << unreadableFileMessage(path, *reason);
            qCWarning(lcSettings).noquote() << problems.back();
        }
        return !reason;
    };
    m_settingsUnreadable = !readable(file);
    m_welcomeUnreadable = !readable(welcomeFile());
    auto read = [&file](const QString& section, const QString& key, const QString& defaultValue) {
        return ReadIniString(section, key, defaultValue, file);
    };

    m_UserName = read(kAccount, QStringLiteral("UserName"), QString());
    m_CharacterName = read(kCharacter, QStringLiteral("Name"), QStringLiteral("merlin.acs"));
    m_WelcomeGesture = read(kCharacter, QStringLiteral("WelcomeGesture"), QStringLiteral("Greet"));
    m_VoiceCharacter = read(kCharacter, QStringLiteral("VoiceCharacter"), QStringLiteral("Normal"));
    m_VoiceSpeed = wholeNumber(read(kCharacter, QStringLiteral("VoiceSpeed"), QStringLiteral("180")));
    m_VoicePitch = wholeNumber(read(kCharacter, QStringLiteral("VoicePitch"), QStringLiteral("50")));
    m_Threshold = wholeNumber(read(kCharacter, QStringLiteral("Threshold"), QStringLiteral("50")));

    // On a first run the window stands at the top right corner of the screen.
    const int64_t defaultLeft = int64_t(mainWindow.screenWidthTwips()) - mainWindow.windowWidthTwips();
    m_Top = wholeNumber(read(kGeneral, QStringLiteral("Top"), QStringLiteral("0")));
    m_Left = wholeNumber(read(kGeneral, QStringLiteral("Left"), QString::number(defaultLeft)));

    m_Hide = isYes(read(kCharacter, QStringLiteral("Hide"), QStringLiteral("yes")));
    m_Fast = isYes(read(kCharacter, QStringLiteral("Fast"), QStringLiteral("yes")));
    m_ShowBalloon = isYes(read(kCharacter, QStringLiteral("ShowBalloon"), QStringLiteral("yes")));
    m_FontName = read(kCharacter, QStringLiteral("FontName"), kDefaultFont);
    m_FontSize = wholeNumber(read(kCharacter, QStringLiteral("FontSize"), QStringLiteral("10")));
    m_Position = wholeNumber(read(kCharacter, QStringLiteral("Position"), QStringLiteral("1")));
    m_CharacterSize = wholeNumber(read(kCharacter, QStringLiteral("CharacterSize"), QStringLiteral("2")));

    m_WelcomeMessage.clear();
    QFile welcome(welcomeFile());
    if (welcome.exists() && welcome.open(QIODevice::ReadOnly))
        m_WelcomeMessage = readWelcomeField(QString::fromUtf8(welcome.readAll()));

    m_SayTime = isYes(read(kGeneral, QStringLiteral("SayTime"), QStringLiteral("no")));
    m_HideDisabled = isYes(read(kGeneral, QStringLiteral("HideDisabled"), QStringLiteral("no")));
    m_StayOnTop = isYes(read(kGeneral, QStringLiteral("StayOnTop"), QStringLiteral("no")));

    m_LoadSilence = readSwitch(QStringLiteral("LoadSilence"), 0, file);
    m_ActiveMode = m_LoadSilence == 0;
    m_LoadControlPanel = readSwitch(QStringLiteral("LoadControlPanel"), 0, file);
    m_LoadStartMenu = readSwitch(QStringLiteral("LoadstartMenu"), 0, file);
    m_LoadDesktop = readSwitch(QStringLiteral("LoadDesktopApplications"), 1, file);
    m_CharacterMode = wholeNumber(read(kGlobal, QStringLiteral("CharacterMode"), QStringLiteral("0")));

    if (m_FontName.trimmed().isEmpty())
        m_FontName = kDefaultFont;
    // Values below the lowest index are corrected as well: the pages and the character
    // placement only know the listed entries.
    if (m_Position > 7 || m_Position < 0)
        m_Position = 1;
    if (m_CharacterSize > 4 || m_CharacterSize < 0)
        m_CharacterSize = 2;
    if (m_CharacterMode > 2 || m_CharacterMode < 0)
        m_CharacterMode = 0;
    return problems;
}

Result<void> CSettings::Save(const WindowPlacement& mainWindow)
{
    // One batched edit: one replacement of the file instead of one per key.
    IniEdit edit;
    auto write = [&edit](const QString& section, const QString& key, const QString& value) {
        edit.write(section, key, StoredIniValue(value));
    };
    auto number = [](int64_t value) { return QString::number(value); };

    write(kCharacter, QStringLiteral("Name"), m_CharacterName);
    write(kAccount, QStringLiteral("UserName"), m_UserName);
    write(kGeneral, QStringLiteral("SayTime"), YesNo(m_SayTime));
    write(kGeneral, QStringLiteral("HideDisabled"), YesNo(m_HideDisabled));
    write(kGeneral, QStringLiteral("StayOnTop"), YesNo(m_StayOnTop));
    write(kCharacter, QStringLiteral("Hide"), YesNo(m_Hide));
    write(kCharacter, QStringLiteral("Fast"), YesNo(m_Fast));
    write(kCharacter, QStringLiteral("ShowBalloon"), YesNo(m_ShowBalloon));
    write(kCharacter, QStringLiteral("FontName"), m_FontName);
    write(kCharacter, QStringLiteral("FontSize"), number(m_FontSize));
    write(kCharacter, QStringLiteral("WelcomeGesture"), m_WelcomeGesture);
    write(kCharacter, QStringLiteral("VoiceCharacter"), m_VoiceCharacter);
    write(kCharacter, QStringLiteral("Position"), number(m_Position));
    write(kCharacter, QStringLiteral("VoiceSpeed"), number(m_VoiceSpeed));
    write(kCharacter, QStringLiteral("VoicePitch"), number(m_VoicePitch));
    write(kCharacter, QStringLiteral("Threshold"), number(m_Threshold));
    write(kCharacter, QStringLiteral("CharacterSize"), number(m_CharacterSize));
    write(kGeneral, QStringLiteral("Left"), number(mainWindow.windowLeftTwips()));
    write(kGeneral, QStringLiteral("Top"), number(mainWindow.windowTopTwips()));
    write(kGlobal, QStringLiteral("LoadSilence"), number(m_LoadSilence));
    write(kGlobal, QStringLiteral("LoadControlPanel"), number(m_LoadControlPanel));
    write(kGlobal, QStringLiteral("LoadstartMenu"), number(m_LoadStartMenu));
    write(kGlobal, QStringLiteral("LoadDesktopApplications"), number(m_LoadDesktop));
    write(kGlobal, QStringLiteral("CharacterMode"), number(m_CharacterMode));
    // A file that could not be read at start-up is left as it is: its values were never loaded.
    Result<void> saved;
    if (!m_settingsUnreadable)
        saved = edit.commit(m_settingsFile);
    if (!saved)
        qCWarning(lcSettings).noquote() << saved.error().message;

    Result<void> welcome;
    if (!m_welcomeUnreadable)
        welcome = ReplaceFileAtomically(welcomeFile(), (quoteField(m_WelcomeMessage) + QStringLiteral("\r\n")).toUtf8());
    if (!welcome)
        qCWarning(lcSettings).noquote() << welcome.error().message;
    return saved ? welcome : saved;
}
