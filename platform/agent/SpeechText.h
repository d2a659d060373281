#pragma once
// A text to speak, split at its speech-output tags: \Pit=n\ (base pitch, Hz),
// \Spd=n\ (words per minute) and \Chr="Normal"|"Monotone"|"Whisper"\. Tags are
// interpreted, never spoken; a tag with a value that makes no sense is dropped. A
// backslash that opens no tag is ordinary text, and "\\" is one backslash.

#include <QString>

#include <optional>
#include <vector>

enum class VoiceCharacter { Normal, Monotone, Whisper };

struct SpeechVoice {
    std::optional<int> pitchHz;          // > 0
    std::optional<int> wordsPerMinute;   // > 0
    VoiceCharacter character = VoiceCharacter::Normal;

    bool operator==(const SpeechVoice&) const = default;
};

struct SpeechSegment {
    SpeechVoice voice;
    QString text;
    qsizetype displayOffset = 0;   // where text starts in SpeechText::displayText
};

struct SpeechText {
    std::vector<SpeechSegment> segments;   // never empty segments of text
    QString displayText;                   // what the balloon shows: the text without tags

    static SpeechText parse(const QString& text);
};
