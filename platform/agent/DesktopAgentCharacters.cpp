#include "platform/agent/DesktopAgentCharacters.h"

#include "platform/agent/AgentRequestLog.h"

Result<void> DesktopAgentCharacters::load(const QString& id, const QString& path)
{
    AgentRequestLog::append({QStringLiteral("Load"), id, path});
    Result<CharacterFile> file = CharacterFile::load(path);
    if (!file)
        return file.error();
    auto character = std::make_unique<DesktopAgentCharacter>(std::move(file.value()));
    if (m_speakingListener) {
        const auto speaking = [listener = m_speakingListener](bool on) {
            return [listener, on](const QString& operation) {
                if (operation == QLatin1String("Speak"))
                    listener(on);
            };
        };
        QObject::connect(character.get(), &DesktopAgentCharacter::requestStarted, speaking(true));
        QObject::connect(character.get(), &DesktopAgentCharacter::requestFinished, speaking(false));
    }
    m_characters[id.toLower()] = std::move(character);
    return {};
}

void DesktopAgentCharacters::setSpeakingListener(std::function<void(bool speaking)> listener)
{
    m_speakingListener = std::move(listener);
}

Result<void> DesktopAgentCharacters::unload(const QString& id)
{
    AgentRequestLog::append({QStringLiteral("Unload"), id});
    if (m_characters.erase(id.toLower()) == 0)
        return Error{QStringLiteral("No character is loaded under the id \"%1\".").arg(id)};
    if (m_speakingListener)
        m_speakingListener(false);   // a character unloaded mid-sentence says no more
    return {};
}

DesktopAgentCharacter* DesktopAgentCharacters::item(const QString& id)
{
    const auto found = m_characters.find(id.toLower());
    return found == m_characters.end() ? nullptr : found->second.get();
}
