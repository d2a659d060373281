#include "platform/agent/SpeechText.h"

#include <gtest/gtest.h>

namespace {

struct TagCase {
    const char* label;
    QString text;
    QString shown;                    // the display text: what is spoken
    std::optional<int> pitchHz;       // of the last segment
    std::optional<int> wordsPerMinute;
    VoiceCharacter character;
};

void PrintTo(const TagCase& tagCase, std::ostream* out) { *out << tagCase.label; }

class SpeechTextTagTest : public testing::TestWithParam<TagCase> {};

TEST_P(SpeechTextTagTest, TagsAreInterpretedNeverSpoken)
{
    const TagCase& c = GetParam();
    const SpeechText speech = SpeechText::parse(c.text);
    EXPECT_EQ(speech.displayText.toStdString(), c.shown.toStdString());
    QString joined;
    for (const SpeechSegment& segment : speech.segments) {
        EXPECT_FALSE(segment.text.isEmpty());
        EXPECT_EQ(segment.displayOffset, joined.size());
        joined += segment.text;
    }
    EXPECT_EQ(joined, speech.displayText);
    const SpeechVoice voice = speech.segments.empty() ? SpeechVoice{} : speech.segments.back().voice;
    EXPECT_EQ(voice.pitchHz, c.pitchHz);
    EXPECT_EQ(voice.wordsPerMinute, c.wordsPerMinute);
    EXPECT_EQ(voice.character, c.character);
}

using VC = VoiceCharacter;
// Only well-formed tags are taken out; anything else is ordinary text, as users type paths.
INSTANTIATE_TEST_SUITE_P(Tags, SpeechTextTagTest, testing::Values(
    TagCase{"program prefix", R"(\Pit=50\\Spd=180\\Chr="Normal"\Hello Ann.)", "Hello Ann.", 50, 180, VC::Normal},
    TagCase{"monotone unquoted, lower case", R"(\chr=monotone\\spd=90\flat)", "flat", std::nullopt, 90, VC::Monotone},
    TagCase{"menu path", R"(using the 'Edit\Copy' menu)", R"(using the 'Edit\Copy' menu)", std::nullopt, std::nullopt, VC::Normal},
    TagCase{"escaped tag", R"(\\Pit=50\ stays)", R"(\Pit=50\ stays)", std::nullopt, std::nullopt, VC::Normal},
    TagCase{"trailing backslash", "end\\", "end\\", std::nullopt, std::nullopt, VC::Normal},
    TagCase{"bad values", R"(\Pit=high\\Spd=0\\Chr="Robot"\ok)", "ok", std::nullopt, std::nullopt, VC::Normal},
    TagCase{"pitch overflow", R"(\Pit=99999999999\ok)", "ok", std::nullopt, std::nullopt, VC::Normal},
    TagCase{"only tags", R"(\Pit=50\\Spd=180\)", "", std::nullopt, std::nullopt, VC::Normal}));

TEST(SpeechTextTest, TagMidTextStartsANewSegmentWithItsVoice)
{
    const SpeechText speech = SpeechText::parse(R"(\Spd=100\slow \Spd=300\fast)");
    ASSERT_EQ(speech.segments.size(), 2u);
    EXPECT_EQ(speech.segments[0].voice.wordsPerMinute, 100);
    EXPECT_EQ(speech.segments[1].text, "fast");
    EXPECT_EQ(speech.segments[1].voice.wordsPerMinute, 300);
}

TEST(SpeechTextTest, HugeTextWithManyBackslashesStaysLinear)
{
    const QString text = QString("a\\b ").repeated(25000);
    EXPECT_EQ(SpeechText::parse(text).displayText, text);
}

} // namespace
