#include "app/voice/CommandRegistry.h"

#include <algorithm>

void CommandRegistry::add(const QString& key, VoiceCommandObject& object, const QString& voice)
{
    remove(key);
    const QString folded = fold(key);
    m_index.insert(folded, m_entries.insert(m_entries.end(), Entry{folded, &object, voice}));
}

bool CommandRegistry::remove(const QString& key)
{
    const auto it = m_index.find(fold(key));
    if (it == m_index.end())
        return false;
    m_entries.erase(*it);
    m_index.erase(it);
    return true;
}

std::optional<QString> CommandRegistry::takeFirstOf(const VoiceCommandObject& object)
{
    const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                                 [&](const Entry& entry) { return entry.object == &object; });
    if (it == m_entries.end())
        return std::nullopt;
    QString voice = it->voice;
    m_index.remove(it->folded);
    m_entries.erase(it);
    return voice;
}
