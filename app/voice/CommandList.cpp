#include "app/voice/CommandList.h"

#include "app/voice/CVoiceCommand.h"
#include "app/voice/VoiceMenus.h"

#include <algorithm>

CommandList::CommandList(VoiceMenus& menus) : m_menus(menus) {}

CommandList::~CommandList() = default;

int CommandList::indexOf(const CVoiceCommand& command) const
{
    const auto found = std::find_if(m_commands.begin(), m_commands.end(),
                                    [&](const auto& candidate) { return candidate.get() == &command; });
    return found == m_commands.end() ? -1 : static_cast<int>(found - m_commands.begin());
}

CVoiceCommand* CommandList::find(const QString& phrase) const
{
    return m_index.value(keyOf(phrase), nullptr);
}

CVoiceCommand* CommandList::add(std::unique_ptr<CVoiceCommand> command)
{
    const QString key = keyOf(command->m_Name);
    if (m_index.contains(key))
        return nullptr;
    m_index.insert(key, command.get());
    m_commands.push_back(std::move(command));
    return m_commands.back().get();
}

void CommandList::registerCommand(CVoiceCommand& command)
{
    m_menus.RegisterCommand(command);
}

void CommandList::unregisterCommand(CVoiceCommand& command)
{
    m_menus.UnregisterCommand(command);
}

bool CommandList::rename(CVoiceCommand& command, const QString& phrase)
{
    const int index = indexOf(command);
    if (index < 0)
        return false;
    const CVoiceCommand* holder = find(phrase);
    if (holder && holder != &command)
        return false;

    m_menus.UnregisterCommand(command);
    if (phrase != command.m_Voice) {
        std::unique_ptr<CVoiceCommand> moved = std::move(m_commands[size_t(index)]);
        m_commands.erase(m_commands.begin() + index);
        m_index.remove(keyOf(command.m_Name));
        command.m_Voice = phrase;
        command.m_Name = phrase;
        m_index.insert(keyOf(phrase), &command);
        m_commands.push_back(std::move(moved));
    }
    m_menus.RegisterCommand(command);
    return true;
}

void CommandList::remove(CVoiceCommand& command)
{
    const int index = indexOf(command);
    if (index < 0)
        return;
    m_menus.UnregisterCommand(command);
    m_index.remove(keyOf(command.m_Name));
    m_commands.erase(m_commands.begin() + index);
}

void CommandList::clear()
{
    for (const auto& command : m_commands)
        m_menus.UnregisterCommand(*command);
    m_index.clear();
    m_commands.clear();
}
