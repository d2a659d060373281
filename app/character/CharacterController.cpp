#include "app/character/CharacterController.h"

#include "app/common/Conversions.h"
#include "app/settings/CSettings.h"
#include "platform/agent/AgentControl.h"
#include "platform/desktop/Clipboard.h"
#include "platform/desktop/ScreenMetrics.h"
#include "platform/files/DirectorySearch.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <array>

namespace {

constexpr std::array<double, 5> kSizeFactors = {0.5, 0.75, 1.0, 1.5, 2.0};
constexpr int kStayInPlace = 7;
constexpr int kModeVisible = 0;
constexpr int kModeTalksHidden = 1;
constexpr int kModeSilent = 2;
// Beyond any screen: a character in mode 1 is heard but not seen.
constexpr double kOffScreen = 10000;

const QString kReadGesture = QStringLiteral("Read");
const QString kLoadFailed = QStringLiteral(
    "Failed to load character. Go to the 'Options' screen and select a different character.");
const QString kNoClipboardText = QStringLiteral(
    "Sorry, No text is available in the clipboard. You can go to another application and copy a "
    "block of text to the clipboard, using the 'Edit\\Copy' menu. You can later listen to it by "
    "pressing this button.");

// " Ann" for the greetings; nothing when no name is set, so that they read "Hello."
QString addressed(const QString& userName)
{
    return userName.trimmed().isEmpty() ? QString() : QLatin1Char(' ') + userName;
}

int16_t toInt16(double value)
{
    return static_cast<int16_t>(std::clamp(roundHalfEven(value), -32768.0, 32767.0));
}

int indexIgnoringCase(const QStringList& list, const QString& text)
{
    for (int i = 0; i < list.size(); ++i)
        if (list[i].compare(text, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QStringList fileNames(const QString& folder, std::string_view pattern)
{
    QStringList names;
    for (const files::DirEntry& entry : files::findFiles(folder.toStdString(), pattern))
        if (!entry.isDirectory)
            names << QString::fromStdString(entry.name);
    return names;
}

// The name of the file as the folder holds it. Stored names compare ignoring case, as
// on the volumes the settings come from; a name that would leave the folder is no
// character file.
QString fileInFolder(const QString& folder, const QString& name)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QLatin1String("..")
        || name == QLatin1String("."))
        return {};
    if (QFileInfo(folder + QLatin1Char('/') + name).isFile())
        return name;
    const QStringList all = fileNames(folder, "*");
    const int found = indexIgnoringCase(all, name);
    return found < 0 ? QString() : all[found];
}

} // namespace

CharacterController::CharacterController(AgentCharacters& agent, CSettings& settings,
                                         const ScreenMetrics& screen, Clipboard& clipboard,
                                         MessageSink showMessage, QString applicationTitle)
    : m_agent(agent)
    , m_settings(settings)
    , m_screen(screen)
    , m_clipboard(clipboard)
    , m_showMessage(std::move(showMessage))
    , m_applicationTitle(std::move(applicationTitle))
{
    const QString windows = QString::fromStdString(files::windowsDirectory().value_or(std::string()));
    m_charsPath = QDir::cleanPath(windows + QStringLiteral("/msagent/chars"));
    m_gestureLists.entries = QStringList{kNoGesture};
}

AgentCharacter* CharacterController::character() const
{
    return m_agent.item(kCharacterId);
}

// Modes outside the list (an edited settings file) behave as the default, mode 0.
int CharacterController::characterMode() const
{
    const int mode = m_settings.m_CharacterMode;
    return mode == kModeTalksHidden || mode == kModeSilent ? mode : kModeVisible;
}

CharacterController::CharacterList CharacterController::FillCharacterList() const
{
    CharacterList list;
    list.fileNames = fileNames(m_charsPath, "*.ACS");
    list.selection = indexIgnoringCase(list.fileNames, m_settings.m_CharacterName);
    return list;
}

bool CharacterController::InitCharacter()
{
    QString name = fileInFolder(m_charsPath, m_settings.m_CharacterName);
    if (name.isEmpty()) {
        const QStringList all = fileNames(m_charsPath, "*.acs");
        name = all.isEmpty() ? QString() : all.first();
    }
    m_settings.m_CharacterName = name;

    const QString path = m_charsPath + QLatin1Char('/') + name;
    if (!QFileInfo(path).isFile()) {
        m_showMessage(QStringLiteral("Failed to find character file ") + path + QStringLiteral("\r\n")
                          + QStringLiteral("Unable to run without a character. Please copy one of the "
                                           "character files (*.acs) to the ")
                          + m_charsPath + QStringLiteral(" directory before you run ") + m_applicationTitle
                          + QLatin1Char('.'),
                      false);
        return false;
    }

    // Nothing loaded yet is the usual case, not a fault.
    (void)m_agent.unload(kCharacterId);

    const Result<void> loaded = m_agent.load(kCharacterId, path);
    AgentCharacter* loadedCharacter = character();
    if (!loaded || !loadedCharacter) {
        m_showMessage(kLoadFailed + (loaded ? QString() : loaded.error().message), false);
        return false;
    }
    loadedCharacter->setLanguageID(AgentCharacter::kLanguageEnglishUS);
    SetCharacterSize();
    SetBalloon();
    FillMainGestureLists();
    return true;
}

void CharacterController::SetCharacterSize()
{
    AgentCharacter* c = character();
    if (!c)
        return;
    const int index = m_settings.m_CharacterSize;
    const double factor = index >= 0 && index < int(kSizeFactors.size()) ? kSizeFactors[index] : 1.0;
    c->setWidth(toInt16(c->originalWidth() * factor));
    c->setHeight(toInt16(c->originalHeight() * factor));
}

void CharacterController::SetBalloon()
{
    AgentCharacter* c = character();
    if (!c)
        return;
    AgentBalloon& balloon = c->balloon();
    const int style = balloon.style();
    balloon.setStyle(m_settings.m_ShowBalloon ? style | AgentBalloon::kBalloonOn
                                              : style & ~AgentBalloon::kBalloonOn);
    balloon.setFontName(m_settings.m_FontName);
    balloon.setFontSize(m_settings.m_FontSize);
}

void CharacterController::SetAgentPos(bool ignoreCharacterMode)
{
    AgentCharacter* c = character();
    if (!c || m_settings.m_Position == kStayInPlace)
        return;

    const double freeWidth = m_screen.widthPixels() - c->width();
    const double freeHeight = m_screen.heightPixels() - c->height();
    double x = freeWidth / 2;
    double y = freeHeight / 2;
    switch (m_settings.m_Position) {
    case 1: y = 0; break;                               // Top Center
    case 2: y = freeHeight; break;                      // Bottom Center
    case 3: x = 0; y = 0; break;                        // Top Left
    case 4: x = freeWidth; y = 0; break;                // Top Right
    case 5: x = 0; y = freeHeight; break;               // Bottom Left
    case 6: x = freeWidth; y = freeHeight; break;       // Bottom Right
    default: break;                                     // Center, and any unknown index
    }

    if (!ignoreCharacterMode) {
        if (characterMode() == kModeSilent)
            return;
        if (characterMode() == kModeTalksHidden)
            x = y = kOffScreen;
    }
    c->moveTo(toInt16(x), toInt16(y));
}

void CharacterController::FillMainGestureLists()
{
    m_gestureLists.entries = QStringList{kNoGesture};
    if (AgentCharacter* c = character())
        m_gestureLists.entries += c->animationNames();
    m_gestureLists.welcomeSelection =
        std::max(0, indexIgnoringCase(m_gestureLists.entries, m_settings.m_WelcomeGesture));
    if (m_gestureListsChanged)
        m_gestureListsChanged(m_gestureLists);
}

void CharacterController::setGestureListsChanged(std::function<void(const GestureLists&)> listener)
{
    m_gestureListsChanged = std::move(listener);
}

QString CharacterController::speechText(const QString& message) const
{
    return QStringLiteral("\\Pit=") + QString::number(m_settings.m_VoicePitch) + QStringLiteral("\\")
           + QStringLiteral("\\Spd=") + QString::number(m_settings.m_VoiceSpeed) + QStringLiteral("\\")
           + QStringLiteral("\\Chr=\"") + m_settings.m_VoiceCharacter + QStringLiteral("\"\\") + message;
}

void CharacterController::SayAndPlay(const QString& message, const QString& animation, bool hide,
                                     bool ignoreCharacterMode)
{
    sayAndPlayAt(std::nullopt, message, animation, hide, ignoreCharacterMode);
}

void CharacterController::ReadWindowAloud(const QString& text, const QRect& window)
{
    AgentCharacter* c = character();
    if (!c)
        return;
    // The balloon is about 34 average characters wide; an average character is about
    // 0.8 of the font's point size in pixels.
    const int balloonWidth = 28 * std::max(1, int(m_settings.m_FontSize)) + 24;
    const QPoint place = placeBeside(window, QSize(c->width(), c->height()), balloonWidth,
                                     QSize(m_screen.widthPixels(), m_screen.heightPixels()));
    sayAndPlayAt(place, text, QStringLiteral("Read"), true, true);
}

QPoint CharacterController::placeBeside(const QRect& window, QSize character, int balloonWidth, QSize screen)
{
    constexpr int kGap = 16;   // room for the window manager's frame
    const int reach = std::max(character.width(), balloonWidth) / 2 + kGap;   // centre to window edge
    const int right = window.right() + 1 + reach - character.width() / 2;
    const int left = window.left() - reach - (character.width() + 1) / 2;
    const int roomRight = screen.width() - (window.right() + 1);
    int x;
    if (right + character.width() <= screen.width())
        x = right;
    else if (left >= 0)
        x = left;
    else   // no side is wide enough: the wider one, as clear of the window as the screen allows
        x = roomRight >= window.left() ? screen.width() - character.width() : 0;
    const int y = std::clamp(window.top(), 0, std::max(0, screen.height() - character.height()));
    return {x, y};
}

void CharacterController::sayAndPlayAt(const std::optional<QPoint>& place, const QString& message,
                                       const QString& animation, bool hide, bool ignoreCharacterMode)
{
    AgentCharacter* c = character();
    if (!c || (!ignoreCharacterMode && characterMode() == kModeSilent))
        return;
    if (place)
        c->moveTo(toInt16(place->x()), toInt16(place->y()));
    else
        SetAgentPos(ignoreCharacterMode);
    c->show(m_settings.m_Fast);
    if ((ignoreCharacterMode || characterMode() == kModeVisible) && !animation.isEmpty()
        && animation != kNoGesture)
        (void)c->play(animation);   // a gesture the character lacks just goes unplayed
    c->speak(speechText(message));
    if (m_settings.m_Hide && hide)
        c->hide(m_settings.m_Fast);
}

void CharacterController::StopAgent()
{
    if (AgentCharacter* c = character()) {
        c->stop();
        c->hide(m_settings.m_Fast);
    }
}

void CharacterController::SayWelcome()
{
    QString text = QStringLiteral("Hello") + addressed(m_settings.m_UserName) + QLatin1Char('.');
    if (!m_settings.m_WelcomeMessage.isEmpty())
        text += QStringLiteral("\r\n") + m_settings.m_WelcomeMessage;
    SayAndPlay(text, m_settings.m_WelcomeGesture, true, true);
}

void CharacterController::previewWelcome(const QString& welcomeBoxText, const QString& gesture)
{
    SayAndPlay(QStringLiteral("Welcome") + addressed(m_settings.m_UserName) + QLatin1Char('.') + welcomeBoxText,
               gesture, true, true);
}

void CharacterController::onMinuteTick(const QDateTime& now)
{
    const QTime time = now.time();
    if (!m_settings.m_SayTime || time.minute() != 0)
        return;
    // A drifting timer can tick twice within one minute; the hour is said once.
    const QDateTime hour(now.date(), QTime(time.hour(), 0));
    if (hour == m_lastAnnouncedHour)
        return;
    m_lastAnnouncedHour = hour;

    const int hour12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    const QLocale locale;
    SayAndPlay(QStringLiteral("The time now is ") + QString::number(hour12) + QLatin1Char(' ')
                   + (time.hour() < 12 ? locale.amText() : locale.pmText()),
               QStringLiteral("Announce"), true, true);
}

void CharacterController::ReadClipboard()
{
    const QString text = m_clipboard.hasText() ? m_clipboard.text() : QString();
    SayAndPlay(text.isEmpty() ? kNoClipboardText : text, kReadGesture, true, true);
}

void CharacterController::demonstrate(const QString& sentence)
{
    SayAndPlay(sentence, kReadGesture, true, false);
}

void CharacterController::changeCharacter(const QString& pickedFileName)
{
    m_settings.m_CharacterName = pickedFileName.isEmpty() ? kFallbackCharacter : pickedFileName;
    if (!InitCharacter()) {
        m_settings.m_CharacterName = kFallbackCharacter;
        InitCharacter();
    }
    demonstrate(QStringLiteral("Hi There. Nice to meet you."));
}

void CharacterController::changeSize(int index)
{
    m_settings.m_CharacterSize = index;
    SetCharacterSize();
    demonstrate(QStringLiteral("This is my new size"));
}

void CharacterController::changePosition(int index)
{
    m_settings.m_Position = index;
    SetAgentPos(false);
    demonstrate(QStringLiteral("This is my new place"));
}

void CharacterController::changeVoiceCharacter(const QString& voice)
{
    m_settings.m_VoiceCharacter = voice;
    demonstrate(QStringLiteral("This is how I will sound"));
}

void CharacterController::changeFontName(const QString& family)
{
    m_settings.m_FontName = family;
    SetBalloon();
    if (m_settings.m_ShowBalloon)
        demonstrate(QStringLiteral("New balloon font"));
}

void CharacterController::changeFontSize(int points)
{
    m_settings.m_FontSize = points;
    SetBalloon();
    if (m_settings.m_ShowBalloon)
        demonstrate(QStringLiteral("New balloon font size"));
}

void CharacterController::changeShowBalloon(bool show)
{
    m_settings.m_ShowBalloon = show;
    SetBalloon();
}

void CharacterController::changeCharacterMode(int mode)
{
    m_settings.m_CharacterMode = mode;
    AgentCharacter* c = character();
    if (mode != kModeVisible && c)
        c->hide(false);   // the control's default hide, with its animation
}
