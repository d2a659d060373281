#include "platform/agent/DesktopAgentCharacters.h"

#include "platform/agent/AgentRequestLog.h"

Result<void> DesktopAgentCharacters::load(const QString& id, const QString& path)
{
    AgentRequestLog::append({QStringLiteral("Load"), id, path});
    Result<CharacterFile> file = CharacterFile::load(path);
    if (!file)
        return file.error();
    m_characters[id.toLower()] = std::make_unique<DesktopAgentCharacter>(std::move(file.value()));
    return {};
}

Result<void> DesktopAgentCharacters::unload(const QString& id)
{
    AgentRequestLog::append({QStringLiteral("Unload"), id});
    if (m_characters.erase(id.toLower()) == 0)
        return Error{QStringLiteral("No character is loaded under the id \"%1\".").arg(id)};
    return {};
}

DesktopAgentCharacter* DesktopAgentCharacters::item(const QString& id)
{
    const auto found = m_characters.find(id.toLower());
    return found == m_characters.end() ? nullptr : found->second.get();
}
