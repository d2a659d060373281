#include "app/voice/BuiltInCommands.h"

#include "app/common/Conversions.h"
#include "app/common/IniFile.h"
#include "app/voice/CVoiceCommand.h"
#include "app/voice/VoiceLog.h"
#include "app/voice/VoiceMenus.h"

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

    const QString file = commandFile(appPath);
    QStringList problems;
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
        if (phrase == kNoSuchPhrase)
            break;

        auto command = std::make_unique<CVoiceCommand>(m_context);
        command->m_Active = ReadIniString(section, QStringLiteral("Active"), QStringLiteral("True"), file)
                            == QLatin1String("True");
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
    IniEdit edit;
    edit.clear();
    int number = 1;
    QString section;
    const auto write = [&](const char* key, QString value) {
        value.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        edit.write(section, QLatin1String(key), value);
    };
    auto unused = m_unused.begin();
    const auto writeUnusedBefore = [&](size_t position) {
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
