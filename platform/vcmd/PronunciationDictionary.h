#pragma once
// Pronunciations in the acoustic model's phone set (ARPAbet, "M AE K R OW") for the words of
// the menus. Words are looked up in the model's pronouncing dictionary, which is mapped
// from disk and indexed, not parsed into memory, and asked of espeak-ng, whose phonemes
// are mapped to the model's phones. Not thread-safe: one owner thread.

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QString>
#include <QStringList>

#include <string_view>
#include <vector>

class PronunciationDictionary {
public:
    // espeakAlongside: espeak-ng's reading joins the dictionary's; otherwise it is asked only
    // for words the dictionary lacks.
    explicit PronunciationDictionary(const QString& dictionaryPath, bool espeakAlongside = true);
    PronunciationDictionary(const PronunciationDictionary&) = delete;
    PronunciationDictionary& operator=(const PronunciationDictionary&) = delete;

    bool isLoaded() const { return !m_index.empty(); }
    // Every pronunciation of a lower-case word, each a blank-separated phone string;
    // empty when the word cannot be said.
    QStringList pronunciations(const QString& word);
    // The guess from espeak-ng alone (held under the library's session); empty on failure.
    static QString espeakPronunciation(const QString& word);

private:
    struct Line {
        uint32_t offset;
        uint32_t keyLength;
        uint32_t length;
    };
    std::string_view keyOf(const Line& line) const;

    QFile m_file;
    const char* m_data = nullptr;
    std::vector<Line> m_index;   // sorted by key
    QHash<QString, QString> m_guessed;
    bool m_espeakAlongside = true;
};
