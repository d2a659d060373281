#pragma once
// The one table from trimmed phrase to command object. Keys compare ignoring letter
// case; entries keep their order of insertion, positions run from 1, and removing an
// entry moves the later ones down. It refers to the objects, never owns them.

#include <QHash>
#include <QString>

#include <vector>

class VoiceCommandObject;

class CommandRegistry {
public:
    int count() const { return static_cast<int>(m_entries.size()); }
    bool contains(const QString& key) const { return m_index.contains(fold(key)); }
    // The object under key, or nullptr.
    VoiceCommandObject* find(const QString& key) const { return m_index.value(fold(key), nullptr); }

    // Appends object under key, remembering its phrase as it stood then (voice); an
    // entry already under that key (in any case) goes first.
    void add(const QString& key, VoiceCommandObject& object, const QString& voice);
    // False when there is no entry under key.
    bool remove(const QString& key);

    // Position (1..count) of the first entry that is this very object; 0 when none.
    int positionOf(const VoiceCommandObject& object) const;
    // position 1..count; nullptr / empty outside.
    VoiceCommandObject* objectAt(int position) const;
    QString keyAt(int position) const;
    QString voiceAt(int position) const;
    void removeAt(int position);

private:
    struct Entry {
        QString key;
        QString folded;
        VoiceCommandObject* object;
        QString voice;
    };

    static QString fold(const QString& key) { return key.toCaseFolded(); }

    std::vector<Entry> m_entries;
    QHash<QString, VoiceCommandObject*> m_index;   // folded key -> object
};
