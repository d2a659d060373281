#include "app/voice/CommandRegistry.h"

#include <algorithm>

void CommandRegistry::add(const QString& key, VoiceCommandObject& object, const QString& voice)
{
    remove(key);
    const QString folded = fold(key);
    m_entries.push_back(Entry{key, folded, &object, voice});
    m_index.insert(folded, &object);
}

bool CommandRegistry::remove(const QString& key)
{
    const QString folded = fold(key);
    if (!m_index.remove(folded))
        return false;
    const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                                 [&](const Entry& entry) { return entry.folded == folded; });
    Q_ASSERT(it != m_entries.end());
    m_entries.erase(it);
    return true;
}

int CommandRegistry::positionOf(const VoiceCommandObject& object) const
{
    const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                                 [&](const Entry& entry) { return entry.object == &object; });
    return it == m_entries.end() ? 0 : static_cast<int>(it - m_entries.begin()) + 1;
}

VoiceCommandObject* CommandRegistry::objectAt(int position) const
{
    if (position < 1 || position > count())
        return nullptr;
    return m_entries[static_cast<size_t>(position - 1)].object;
}

QString CommandRegistry::keyAt(int position) const
{
    if (position < 1 || position > count())
        return QString();
    return m_entries[static_cast<size_t>(position - 1)].key;
}

QString CommandRegistry::voiceAt(int position) const
{
    if (position < 1 || position > count())
        return QString();
    return m_entries[static_cast<size_t>(position - 1)].voice;
}

void CommandRegistry::removeAt(int position)
{
    if (position < 1 || position > count())
        return;
    const auto it = m_entries.begin() + (position - 1);
    m_index.remove(it->folded);
    m_entries.erase(it);
}
