#include "platform/vcmd/PronunciationDictionary.h"

#include "platform/espeak/EspeakLibrary.h"

#include <QLoggingCategory>
#include <QRegularExpression>

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cstring>

Q_LOGGING_CATEGORY(lcPronunciation, "vorlix.vcmd.pronunciation", QtInfoMsg)

namespace {

// espeak-ng's ASCII phoneme names for American English, in the model's phones. Stress and
// syllable marks are stripped before lookup; a name missing here falls back to its base
// (without "#" and digits), then is dropped.
const QHash<QString, QString>& espeakToModel()
{
    static const QHash<QString, QString> table = {
        {"a", "AE"}, {"aa", "AE"}, {"a#", "AH"}, {"A", "AA"}, {"A:", "AA"}, {"A@", "AA R"},
        {"@", "AH"}, {"@L", "AH L"}, {"@2", "AH"}, {"@5", "AH"}, {"@r", "ER"}, {"3", "ER"},
        {"3:", "ER"}, {"0", "AA"}, {"O", "AO"}, {"O:", "AO"}, {"O@", "AO R"}, {"o@", "AO R"},
        {"V", "AH"}, {"E", "EH"}, {"e", "EH"}, {"e@", "EH R"}, {"eI", "EY"}, {"I", "IH"},
        {"I2", "IH"}, {"I#", "IH"}, {"i", "IY"}, {"i:", "IY"}, {"i@", "IH R"}, {"i@3", "IH R"},
        {"U", "UH"}, {"U@", "UH R"}, {"u:", "UW"}, {"u", "UW"}, {"aI", "AY"}, {"aI@", "AY ER"},
        {"aI3", "AY ER"}, {"aU", "AW"}, {"aU@", "AW ER"}, {"OI", "OY"}, {"oU", "OW"},
        {"o", "OW"}, {"p", "P"}, {"b", "B"}, {"t", "T"}, {"d", "D"}, {"k", "K"}, {"g", "G"},
        {"f", "F"}, {"v", "V"}, {"s", "S"}, {"z", "Z"}, {"h", "HH"}, {"m", "M"}, {"n", "N"},
        {"l", "L"}, {"r", "R"}, {"w", "W"}, {"j", "Y"}, {"T", "TH"}, {"D", "DH"}, {"S", "SH"},
        {"Z", "ZH"}, {"tS", "CH"}, {"dZ", "JH"}, {"N", "NG"}, {"x", "K"}, {"n-", "AH N"},
        {"l-", "AH L"}, {"r-", "ER"}, {"t#", "T"}, {"d#", "D"}, {"z#", "Z"}, {"s#", "S"},
    };
    return table;
}

QString mapPhoneme(QString name)
{
    name.remove(QLatin1Char('\'')).remove(QLatin1Char(',')).remove(QLatin1Char('%')).remove(QLatin1Char('='));
    if (name.isEmpty() || name.startsWith(QLatin1Char('_')) || name.startsWith(QLatin1Char('|')))
        return {};
    const auto& table = espeakToModel();
    if (auto it = table.find(name); it != table.end())
        return *it;
    QString base = name;
    while (!base.isEmpty() && (base.back().isDigit() || base.back() == QLatin1Char('#')))
        base.chop(1);
    return table.value(base);
}

} // namespace

PronunciationDictionary::PronunciationDictionary(const QString& dictionaryPath, bool espeakAlongside)
    : m_file(dictionaryPath), m_espeakAlongside(espeakAlongside)
{
    if (!m_file.open(QIODevice::ReadOnly)) {
        qCWarning(lcPronunciation) << "cannot read the pronouncing dictionary" << dictionaryPath << m_file.errorString();
        return;
    }
    const qint64 size = m_file.size();
    m_data = reinterpret_cast<const char*>(m_file.map(0, size));
    if (!m_data || size <= 0 || size > INT32_MAX)
        return;
    // Lines read "word PH ON ES"; alternatives are "word(2) ...".
    const char* begin = m_data;
    const char* end = m_data + size;
    for (const char* p = begin; p < end;) {
        const char* eol = static_cast<const char*>(std::memchr(p, '\n', end - p));
        if (!eol)
            eol = end;
        const char* blank = static_cast<const char*>(std::memchr(p, ' ', eol - p));
        if (blank && blank > p)
            m_index.push_back({uint32_t(p - begin), uint32_t(blank - p), uint32_t(eol - p)});
        p = eol + 1;
    }
    std::stable_sort(m_index.begin(), m_index.end(),
        [this](const Line& a, const Line& b) { return keyOf(a) < keyOf(b); });
}

std::string_view PronunciationDictionary::keyOf(const Line& line) const
{
    std::string_view key(m_data + line.offset, line.keyLength);
    if (const auto paren = key.find('('); paren != std::string_view::npos && paren > 0)
        key = key.substr(0, paren);
    return key;
}

QStringList PronunciationDictionary::pronunciations(const QString& word)
{
    if (word.isEmpty())
        return {};
    QStringList found;
    const QByteArray key = word.toUtf8();
    const std::string_view wanted(key.constData(), key.size());
    auto it = std::lower_bound(m_index.begin(), m_index.end(), wanted,
        [this](const Line& line, std::string_view w) { return keyOf(line) < w; });
    for (; it != m_index.end() && keyOf(*it) == wanted; ++it) {
        const auto phones = QString::fromLatin1(m_data + it->offset + it->keyLength, int(it->length - it->keyLength))
                                .simplified();
        if (!phones.isEmpty() && !found.contains(phones))
            found << phones;
    }
    // espeak-ng's reading joins the dictionary's as one more alternative: it knows the
    // words the dictionary lacks, and everyday forms (flapped t, reduced vowels) it omits.
    if (!m_espeakAlongside && !found.isEmpty())
        return found;
    auto cached = m_guessed.find(word);
    if (cached == m_guessed.end())
        cached = m_guessed.insert(word, espeakPronunciation(word));
    if (!cached->isEmpty() && !found.contains(*cached))
        found << *cached;
    return found;
}

QString PronunciationDictionary::espeakPronunciation(const QString& word)
{
    auto session = EspeakLibrary::acquire();
    if (!session.isAvailable())
        return {};
    // Readings are American English whatever voice the character speaks with; every user of
    // the library selects the voice it needs, so none is given back.
    if (!session.setVoice("en-us"))
        return {};

    const QByteArray utf8 = word.toUtf8();
    const void* text = utf8.constData();
    QString phonemes;
    constexpr int kSeparatedAscii = '_' << 8;
    while (text) {
        const char* part = espeak_TextToPhonemes(&text, espeakCHARS_UTF8, kSeparatedAscii);
        if (!part)
            break;
        phonemes += QString::fromUtf8(part) + QLatin1Char(' ');
    }

    QStringList phones;
    for (const QString& name : phonemes.split(QRegularExpression(QStringLiteral("[_ ]+")), Qt::SkipEmptyParts)) {
        const QString mapped = mapPhoneme(name);
        if (!mapped.isEmpty())
            phones << mapped;
        else
            qCDebug(lcPronunciation) << "no model phone for espeak-ng phoneme" << name << "in" << word;
    }
    return phones.join(QLatin1Char(' '));
}
