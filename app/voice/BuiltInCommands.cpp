#include "app/voice/BuiltInCommands.h"

#include "app/common/Conversions.h"
#include "app/common/IniFile.h"
#include "app/common/UnreadableFile.h"
#include "app/voice/CVoiceCommand.h"
#include "app/voice/VoiceLog.h"
#include "app/voice/VoiceMenus.h"

#include "platform/profile/PrivateProfile.h"

#include <QFile>
#include <QRegularExpression>

#include <optional>

namespace {

const QString kNoSuchPhrase = QStringLiteral("Does not exist");
const QString kKeptUnused = QStringLiteral("this command is not used, and stays in the file as it is.");
const char* const kKeys[] = {"Name", "Active", "Voice", "Description", "Gesture", "WhatToSay",
                             "Type", "Cmd", "MessageID", "WParam", "LParam"};

QString sectionName(int number)
{
    return QStringLiteral("VoiceCommand %1").arg(number);
}

QString commandFile(const QString& appPath)
{
    return appPath + QLatin1Char('/') + BuiltInCommands::kFileName;
}

// Reads the 32-bit number under key; a value that does not fit is added to problems.
std::optional<int32_t> readNumber(const QString& section, const QString& key, const QString& defaultValue,
                                  const QString& file, QStringList& problems)
{
    const QString text = ReadIniString(section, key, defaultValue, file);
    const std::optional<int32_t> number = roundToInt32(numericValue(text));
    if (!number) {
        problems << QStringLiteral("%1, section \"%2\": the %3 value \"%4\" is out of range (beyond 32 bits); %5")
                        .arg(BuiltInCommands::kFileName, section, key, text, kKeptUnused);
    }
    return number;
}

// The text keys whose values a user writes by hand, and may write too long.
const char* const kTextKeys[] = {"Voice", "Description", "WhatToSay", "Cmd"};

// The sections "VoiceCommand N" with N >= firstUnreached, each as its lines after the
// header, in file order: loading stops at a gap in the numbering, and a rewrite must
// not lose what lies beyond it.
QList<QPair<int, QStringList>> sectionsFrom(const QString& file, int firstUnreached)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression header(QStringLiteral("^\\s*\\[\\s*VoiceCommand (\\d+)\\s*\\]"),
                                           QRegularExpression::CaseInsensitiveOption);
    QList<QPair<int, QStringList>> sections;
    bool keeping = false;
    const QStringList lines = QString::fromUtf8(in.readAll()).split(QRegularExpression(QStringLiteral("\\r\\n|\\n|\\r")));
    for (const QString& line : lines) {
        if (line.trimmed().startsWith(u'[')) {
            const QRegularExpressionMatch match = header.match(line);
            bool isNumber = false;
            const int number = match.hasMatch() ? match.captured(1).toInt(&isNumber) : 0;
            keeping = isNumber && number >= firstUnreached;
            if (keeping)
                sections.append(qMakePair(number, QStringList()));
            continue;
        }
        if (keeping && line.contains(u'='))
            sections.back().second << line;
    }
    return sections;
}

} // namespace

BuiltInCommands::BuiltInCommands(VoiceMenus& menus, CommandContext& context)
    : m_context(context), m_commands(menus), m_tabCommands(menus)
{
}

BuiltInCommands::~BuiltInCommands() = default;

QStringList BuiltInCommands::LoadVoiceCommands(const QString& appPath)
{
    // A second load must not leave the registry pointing at the commands it drops.
    m_commands.clear();
    m_unused.clear();
    m_wholeValues.clear();
    m_unreached.clear();

    const QString file = commandFile(appPath);
    QStringList problems;
    m_unreadable = whyUnreadable(file);
    if (m_unreadable) {
        problems << unreadableFileMessage(file, *m_unreadable);
        qCWarning(lcVoice).noquote() << problems.back();
        return problems;
    }
    // A section not used is kept, value by value, in its place among the commands.
    const auto keepUnused = [&](const QString& section) {
        UnusedSection unused{size_t(m_commands.count()), {}};
        for (const char* key : kKeys)
            unused.values.emplace_back(key, ReadIniString(section, QLatin1String(key), QString(), file));
        m_unused.push_back(std::move(unused));
    };
    for (int number = 1;; ++number) {
        const QString section = sectionName(number);
        const QString phrase = ReadIniString(section, QStringLiteral("Voice"), kNoSuchPhrase, file);
        if (phrase == kNoSuchPhrase) {
            m_unreached = sectionsFrom(file, number);
            if (!m_unreached.isEmpty()) {
                QStringList names;
                for (const auto& unreached : std::as_const(m_unreached))
                    names << QStringLiteral("\"%1\"").arg(sectionName(unreached.first));
                problems << QStringLiteral("%1: no \"%2\" with a Voice, so what follows the gap in the numbering is "
                                           "not loaded (%3); the file keeps it.")
                                .arg(kFileName, section, names.join(QStringLiteral(", ")));
            }
            break;
        }

        auto command = std::make_unique<CVoiceCommand>(m_context);
        const QString active = ReadIniString(section, QStringLiteral("Active"), QStringLiteral("True"), file);
        command->m_Active = active == QLatin1String("True");
        if (!command->m_Active && active.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
            problems << QStringLiteral("%1, section \"%2\": Active=%3 reads as switched off; only \"True\" (with a "
                                       "capital T) switches a command on.")
                            .arg(kFileName, section, active);
        }
        command->m_Voice = phrase;
        command->m_Name = command->m_Voice;
        command->m_Description = ReadIniString(section, QStringLiteral("Description"), QString(), file);
        command->m_Gesture = ReadIniString(section, QStringLiteral("Gesture"), QStringLiteral("None"), file);
        command->m_WhatToSay = ReadIniString(section, QStringLiteral("WhatToSay"), phrase, file);
        const auto type = readNumber(section, QStringLiteral("Type"), QStringLiteral("1"), file, problems);
        command->m_Cmd = ReadIniString(section, QStringLiteral("Cmd"), QString(), file);
        const auto messageId = readNumber(section, QStringLiteral("MessageID"), QStringLiteral("0"), file, problems);
        const auto wParam = readNumber(section, QStringLiteral("WParam"), QStringLiteral("0"), file, problems);
        const auto lParam = readNumber(section, QStringLiteral("LParam"), QStringLiteral("0"), file, problems);
        if (!type || !messageId || !wParam || !lParam) {
            keepUnused(section);
            continue;
        }
        command->m_Type = *type;
        command->m_MessageID = *messageId;
        command->m_WParam = *wParam;
        command->m_LParam = *lParam;

        if (const CVoiceCommand* earlier = find(phrase)) {
            problems << QStringLiteral("%1, section \"%2\": the phrase \"%3\" is already used by \"%4\"; %5")
                            .arg(kFileName, section, phrase, earlier->m_Voice, kKeptUnused);
            keepUnused(section);
            continue;
        }
        // Values longer than the file's readers take are used cut, and written back whole
        // while they stay as loaded.
        for (const char* key : kTextKeys) {
            const std::optional<std::string> whole = ReadPrivateProfileValue(
                section.toStdString(), key, QFile::encodeName(file).toStdString());
            const QString value = whole ? QString::fromStdString(*whole) : QString();
            if (value.size() < kProfileBufferSize)
                continue;
            m_wholeValues[command.get()].insert(QLatin1String(key), value);
            problems << QStringLiteral("%1, section \"%2\": the %3 value is %4 characters long; only the first %5 "
                                       "are used, and the file keeps the whole text.")
                            .arg(kFileName, section, QLatin1String(key))
                            .arg(value.size())
                            .arg(kProfileBufferSize - 1);
        }
        m_commands.add(std::move(command));
    }
    for (const QString& problem : problems)
        qCWarning(lcVoice).noquote() << problem;
    return problems;
}

Result<void> BuiltInCommands::SaveVoiceCommands(const QString& appPath) const
{
    // One batched edit: the old file stays whole until the new one is complete, and a
    // key-by-key rewrite would cost a file replacement per key.
    if (m_unreadable) {
        qCWarning(lcVoice) << "Left" << commandFile(appPath) << "as it is: it could not be read at start-up";
        return {};
    }
    IniEdit edit;
    edit.clear();
    int number = 1;
    QString section;
    const QHash<QString, QString>* whole = nullptr;   // the values of this command cut on loading
    const auto write = [&](const char* key, QString value) {
        if (whole) {
            const QString loaded = whole->value(QLatin1String(key));
            if (loaded.size() > value.size() && value.size() >= kProfileBufferSize - 2 && loaded.startsWith(value))
                value = loaded;
        }
        value.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        edit.write(section, QLatin1String(key), StoredIniValue(value));
    };
    auto unused = m_unused.begin();
    const auto writeUnusedBefore = [&](size_t position) {
        whole = nullptr;
        for (; unused != m_unused.end() && unused->before == position; ++unused) {
            section = sectionName(number++);
            for (const auto& [key, value] : unused->values) {
                if (!value.isEmpty())
                    write(key, value);
            }
        }
    };
    for (int position = 0; position < m_commands.count(); ++position) {
        writeUnusedBefore(size_t(position));
        const CVoiceCommand& command = m_commands.at(position);
        section = sectionName(number++);
        const auto found = m_wholeValues.constFind(&command);
        whole = found != m_wholeValues.cend() ? &*found : nullptr;
        write("Name", command.m_Name);
        write("Active", command.m_Active ? QStringLiteral("True") : QStringLiteral("False"));
        write("Voice", command.m_Voice);
        write("Description", command.m_Description);
        write("Gesture", command.m_Gesture);
        write("WhatToSay", command.m_WhatToSay);
        write("Type", QString::number(command.m_Type));
        write("Cmd", command.m_Cmd);
        write("MessageID", QString::number(command.m_MessageID));
        write("WParam", QString::number(command.m_WParam));
        write("LParam", QString::number(command.m_LParam));
    }
    writeUnusedBefore(size_t(m_commands.count()));
    // Beyond a gap of one, so that they stay unloaded as they were; their lines as stored.
    for (const auto& unreached : m_unreached) {
        section = sectionName(++number);
        for (const QString& line : unreached.second) {
            const qsizetype equals = line.indexOf(u'=');
            edit.write(section, line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
        }
    }

    Result<void> saved = edit.commit(commandFile(appPath));
    if (!saved)
        qCWarning(lcVoice).noquote() << saved.error().message;
    return saved;
}

void BuiltInCommands::AddTabCommands(const QStringList& captions)
{
    for (int index = 0; index < captions.size(); ++index) {
        auto command = std::make_unique<CVoiceCommand>(m_context);
        command->m_Type = COMMAND_SELECT_TAB;
        command->m_MessageID = index;
        command->m_Voice = captions[index].trimmed();
        command->m_Name = command->m_Voice;
        command->m_WhatToSay = command->m_Voice;
        if (CVoiceCommand* added = m_tabCommands.add(std::move(command)))
            m_tabCommands.registerCommand(*added);
    }
}

void BuiltInCommands::registerActiveCommands()
{
    for (const auto& command : m_commands) {
        if (command->m_Active)
            m_commands.registerCommand(*command);
    }
}

void BuiltInCommands::setActive(CVoiceCommand& command, bool active)
{
    command.m_Active = active;
    if (active)
        m_commands.registerCommand(command);
    else
        m_commands.unregisterCommand(command);
}
