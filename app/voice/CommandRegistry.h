#pragma once
// The one table from trimmed phrase to command object. Keys compare ignoring letter
// case; entries keep their order of insertion. It refers to the objects, never owns them.

#include <QHash>
#include <QString>

#include <list>
#include <optional>

class VoiceCommandObject;

class CommandRegistry {
public:
    int count() const { return static_cast<int>(m_index.size()); }
    bool contains(const QString& key) const { return m_index.contains(fold(key)); }
    // The object under key, or nullptr.
    VoiceCommandObject* find(const QString& key) const
    {
        const auto it = m_index.constFind(fold(key));
        return it == m_index.cend() ? nullptr : (*it)->object;
    }

    // Appends object under key, remembering its phrase as it stood then (voice); an
    // entry already under that key (in any case) goes first.
    void add(const QString& key, VoiceCommandObject& object, const QString& voice);
    // False when there is no entry under key.
    bool remove(const QString& key);
    // Removes the earliest entry that is this very object and gives the phrase it was
    // added with; nullopt when the object has no entry.
    std::optional<QString> takeFirstOf(const VoiceCommandObject& object);

private:
    struct Entry {
        QString folded;
        VoiceCommandObject* object;
        QString voice;
    };
    using Entries = std::list<Entry>;

    static QString fold(const QString& key) { return key.toCaseFolded(); }

    Entries m_entries;                           // insertion order
    QHash<QString, Entries::iterator> m_index;   // folded key -> entry
};
