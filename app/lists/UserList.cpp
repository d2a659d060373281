#include "app/lists/UserList.h"

#include "app/common/IniFile.h"
#include "app/voice/CVoiceCommand.h"

#include <QLoggingCategory>
#include <QStringList>

#include <optional>

Q_LOGGING_CATEGORY(lcLists, "vorlix.lists")

const ListKind ListKind::Programs{QStringLiteral("apps.INI"), QStringLiteral("appsnum"), QStringLiteral("app"),
                                  QStringLiteral("Application"), true, COMMAND_RUN_PROGRAM, 1};
const ListKind ListKind::Documents{QStringLiteral("Docs.INI"), QStringLiteral("docsnum"), QStringLiteral("doc"),
                                   QStringLiteral("Document"), false, COMMAND_OPEN_DOCUMENT, 4};
const ListKind ListKind::WebSites{QStringLiteral("Web.INI"), QStringLiteral("webnum"), QStringLiteral("web"),
                                  QStringLiteral("Url"), false, COMMAND_OPEN_WEB_SITE, 5};

namespace {

const QString kGlobal = QStringLiteral("Global");
const QString kNextEntry = QStringLiteral("NextEntry");
const QString kVoice = QStringLiteral("voice");
const QString kSpeech = QStringLiteral("speech");
const QString kType = QStringLiteral("type");
const QString kGesture = QStringLiteral("Gesture");
const QString kCommandLine = QStringLiteral("CommandLine");

// A line break would end the value early and start a line of its own in the file.
QString oneLine(QString value)
{
    return value.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
}

} // namespace

UserList::UserList(const ListKind& kind, VoiceMenus& menus, CommandContext& context, QString appPath, QObject* parent)
    : QObject(parent), m_kind(kind), m_context(context), m_appPath(std::move(appPath)), m_commands(menus)
{
}

QString UserList::file() const
{
    return m_appPath + QLatin1Char('/') + m_kind.fileName;
}

CVoiceCommand* UserList::append(std::unique_ptr<CVoiceCommand> command)
{
    CVoiceCommand* added = m_commands.add(std::move(command));
    if (!added)
        return nullptr;
    emit entryAdded(added);
    m_commands.registerCommand(*added);
    return added;
}

void UserList::Load()
{
    m_loading = true;
    const IniReader file(this->file());
    const int total = file.readInt(kGlobal, m_kind.countKey, 0);
    int found = 0;
    for (int number = 1; found < total && number <= kMaxEntryNumber; ++number) {
        const QString section = sectionName(number);
        const QString phrase = file.readString(section, kVoice, kNoEntry);
        if (phrase == kNoEntry)
            continue;
        ++found;
        auto command = std::make_unique<CVoiceCommand>(m_context);
        command->m_Name = phrase;
        command->m_Voice = phrase;
        command->m_WhatToSay = file.readString(section, kSpeech, QString());
        command->m_Cmd = file.readString(section, m_kind.targetKey, QString());
        command->m_Gesture = file.readString(section, kGesture, QStringLiteral("None"));
        if (m_kind.hasCommandLine)
            command->m_CommandLine = file.readString(section, kCommandLine, QString());
        command->m_Type = file.readInt(section, kType, 1);
        command->m_IniSection = section;
        if (!append(std::move(command)))
            qCInfo(lcLists).noquote() << m_kind.fileName << section << "repeats the phrase" << phrase << "and is left out";
    }
    m_loading = false;
    emit loaded();
}

Result<CVoiceCommand*> UserList::Add(const ListEntry& entry)
{
    if (const CVoiceCommand* holder = m_commands.find(entry.phrase))
        return Error{QStringLiteral("The list already holds \"%1\".").arg(holder->m_Voice)};
    CVoiceCommand* added = nullptr;
    Result<int> result = AddAll({entry}, [&](const ListEntry&) { return true; }, &added);
    if (!result)
        return result.error();
    return added;
}

Result<int> UserList::AddAll(const std::vector<ListEntry>& entries, const std::function<bool(const ListEntry&)>& accept,
                             CVoiceCommand** lastAdded)
{
    const IniReader file(this->file());
    int number = std::max(1, file.readInt(kGlobal, kNextEntry, 1));
    int count = std::max(0, file.readInt(kGlobal, m_kind.countKey, 0));
    IniEdit edit;
    int added = 0;
    std::optional<Error> full;
    // Rows of many entries come in one step, as a load's do.
    m_loading = entries.size() > 1;
    for (const ListEntry& entry : entries) {
        if (m_commands.contains(entry.phrase) || !accept(entry))
            continue;
        // A "NextEntry" lowered by hand must not let the new entry write into an old one.
        while (number <= kMaxEntryNumber && file.readString(sectionName(number), kVoice, QString()) != QString())
            ++number;
        if (number >= kMaxEntryNumber || count >= kMaxEntryNumber) {
            full = Error{QStringLiteral("%1 cannot take another entry: its entries are numbered up to %2. Closing the "
                                        "program once numbers them afresh.")
                             .arg(this->file())
                             .arg(kMaxEntryNumber)};
            break;
        }
        auto command = std::make_unique<CVoiceCommand>(m_context);
        command->m_Name = entry.phrase;
        command->m_Voice = entry.phrase;
        command->m_WhatToSay = entry.speech;
        command->m_Cmd = entry.target;
        command->m_Gesture = entry.gesture;
        if (m_kind.hasCommandLine)
            command->m_CommandLine = entry.commandLine;
        command->m_Type = m_kind.type;
        command->m_IniSection = sectionName(number);
        CVoiceCommand* made = append(std::move(command));
        if (lastAdded)
            *lastAdded = made;

        const QString& section = made->m_IniSection;
        edit.write(section, kVoice, oneLine(entry.phrase));
        edit.write(section, m_kind.targetKey, oneLine(entry.target));
        edit.write(section, kSpeech, oneLine(entry.speech));
        edit.write(section, kType, QString::number(m_kind.type));
        edit.write(section, kGesture, oneLine(entry.gesture));
        if (m_kind.hasCommandLine)
            edit.write(section, kCommandLine, oneLine(entry.commandLine));
        ++number, ++count, ++added;
        // Within the entry's turn, so the file reads as the same adds made one by one.
        edit.write(kGlobal, kNextEntry, QString::number(number));
        edit.write(kGlobal, m_kind.countKey, QString::number(count));
    }
    if (m_loading) {
        m_loading = false;
        emit loaded();
    }
    if (added > 0) {
        if (Result<void> written = edit.commit(this->file()); !written)
            return written.error();
    }
    if (full)
        return *full;
    return added;
}

Result<void> UserList::Edit(CVoiceCommand& command, const ListEntry& entry)
{
    if (m_commands.indexOf(command) < 0)
        return Error{QStringLiteral("The entry is no longer in the list.")};
    const CVoiceCommand* holder = m_commands.find(entry.phrase);
    if (holder && holder != &command)
        return Error{QStringLiteral("The list already holds \"%1\".").arg(holder->m_Voice)};

    IniEdit edit;
    const QString& section = command.m_IniSection;
    edit.write(section, kVoice, oneLine(entry.phrase));
    edit.write(section, m_kind.targetKey, oneLine(entry.target));
    edit.write(section, kSpeech, oneLine(entry.speech));
    if (m_kind.hasCommandLine)
        edit.write(section, kCommandLine, oneLine(entry.commandLine));
    edit.write(section, kGesture, oneLine(entry.gesture));

    command.m_WhatToSay = entry.speech;
    command.m_Cmd = entry.target;
    command.m_Gesture = entry.gesture;
    if (m_kind.hasCommandLine)
        command.m_CommandLine = entry.commandLine;
    m_commands.rename(command, entry.phrase);   // re-registers, under the new phrase when it changed
    emit entryChanged(&command);
    return edit.commit(file());
}

Result<void> UserList::Remove(CVoiceCommand& command)
{
    const int index = m_commands.indexOf(command);
    if (index < 0)
        return Error{QStringLiteral("The entry is no longer in the list.")};
    m_commands.unregisterCommand(command);
    emit entryRemoved(index);

    IniEdit edit;
    edit.deleteSection(command.m_IniSection);
    const int count = IniReader(file()).readInt(kGlobal, m_kind.countKey, 1);
    edit.write(kGlobal, m_kind.countKey, QString::number(std::max(0, count - 1)));
    m_commands.remove(command);
    return edit.commit(file());
}

Result<void> UserList::Save()
{
    IniEdit edit;
    edit.clear();
    int number = 1;
    QStringList sections;
    for (const auto& command : m_commands) {
        const QString section = sectionName(number++);
        sections << section;
        edit.write(section, kVoice, oneLine(command->m_Voice));
        edit.write(section, m_kind.targetKey, oneLine(command->m_Cmd));
        edit.write(section, kSpeech, oneLine(command->m_WhatToSay));
        edit.write(section, kType, QString::number(m_kind.type));
        edit.write(section, kGesture, oneLine(command->m_Gesture));
        if (m_kind.hasCommandLine)
            edit.write(section, kCommandLine, oneLine(command->m_CommandLine));
    }
    edit.write(kGlobal, kNextEntry, QString::number(number));
    edit.write(kGlobal, m_kind.countKey, QString::number(number - 1));
    Result<void> saved = edit.commit(file());
    if (saved) {
        for (int i = 0; i < m_commands.count(); ++i)
            m_commands.at(i).m_IniSection = sections[i];
    }
    return saved;
}
