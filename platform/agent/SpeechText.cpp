#include "platform/agent/SpeechText.h"

namespace {

constexpr qsizetype kMaxTagValueLength = 32;

std::optional<int> positiveNumber(const QString& value)
{
    bool ok = false;
    const int number = value.trimmed().toInt(&ok);
    if (!ok || number <= 0)
        return std::nullopt;
    return number;
}

std::optional<VoiceCharacter> voiceCharacter(QString value)
{
    value = value.trimmed();
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
        value = value.mid(1, value.size() - 2);
    if (value.compare(QLatin1String("Normal"), Qt::CaseInsensitive) == 0)
        return VoiceCharacter::Normal;
    if (value.compare(QLatin1String("Monotone"), Qt::CaseInsensitive) == 0)
        return VoiceCharacter::Monotone;
    if (value.compare(QLatin1String("Whisper"), Qt::CaseInsensitive) == 0)
        return VoiceCharacter::Whisper;
    return std::nullopt;
}

// A tag at text[start] (a backslash): its length, or 0 when no tag opens there.
// Applies a valid value to voice.
qsizetype readTag(const QString& text, qsizetype start, SpeechVoice& voice)
{
    static const QLatin1String kNames[] = {QLatin1String("Pit="), QLatin1String("Spd="), QLatin1String("Chr=")};
    for (int tag = 0; tag < 3; ++tag) {
        if (QStringView(text).mid(start + 1, 4).compare(kNames[tag], Qt::CaseInsensitive) != 0)
            continue;
        const qsizetype valueStart = start + 5;
        const qsizetype close = text.indexOf(QLatin1Char('\\'), valueStart);
        if (close < 0 || close - valueStart > kMaxTagValueLength)
            return 0;
        const QString value = text.mid(valueStart, close - valueStart);
        if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')))
            return 0;
        if (tag == 0) {
            if (auto pitch = positiveNumber(value))
                voice.pitchHz = pitch;
        } else if (tag == 1) {
            if (auto speed = positiveNumber(value))
                voice.wordsPerMinute = speed;
        } else if (auto character = voiceCharacter(value)) {
            voice.character = *character;
        }
        return close - start + 1;
    }
    return 0;
}

} // namespace

SpeechText SpeechText::parse(const QString& text)
{
    SpeechText result;
    SpeechVoice voice;
    SpeechSegment current;
    const auto closeSegment = [&] {
        if (!current.text.isEmpty())
            result.segments.push_back(current);
        current.text.clear();
        current.voice = voice;
        current.displayOffset = result.displayText.size();
    };

    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\\')) {
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\\')) {
                current.text += c;
                result.displayText += c;
                ++i;
                continue;
            }
            SpeechVoice changed = voice;
            if (const qsizetype length = readTag(text, i, changed)) {
                if (changed != voice) {
                    voice = changed;
                    closeSegment();
                }
                i += length - 1;
                continue;
            }
        }
        current.text += c;
        result.displayText += c;
    }
    closeSegment();
    return result;
}
