#include "platform/vcmd/PhraseNormalizer.h"

#include <gtest/gtest.h>

namespace {

struct SpokenCase {
    const char* written;
    const char* spoken;
};

class PhraseNormalizerTest : public testing::TestWithParam<SpokenCase> {};

TEST_P(PhraseNormalizerTest, PhraseIsSpokenAsUsersSayIt)
{
    EXPECT_EQ(PhraseNormalizer::spokenForm(QString::fromUtf8(GetParam().written)).toStdString(), GetParam().spoken);
}

INSTANTIATE_TEST_SUITE_P(Phrases, PhraseNormalizerTest, testing::Values(
    SpokenCase{"Macro 4", "macro four"},
    SpokenCase{"  Web   Sites ", "web sites"},
    SpokenCase{"WEB sites", "web sites"},
    SpokenCase{"Tom & Jerry's", "tom and jerry's"},
    SpokenCase{"Tom’s Notes", "tom's notes"},
    SpokenCase{"'quoted'", "quoted"},
    SpokenCase{"C++ Notes", "c plus plus notes"},
    SpokenCase{"Budget 2024", "budget two thousand twenty four"},
    SpokenCase{"Room 101", "room one hundred one"},
    SpokenCase{"1000000", "one million"},
    SpokenCase{"Agent 007", "agent zero zero seven"},
    SpokenCase{"12345678901", "one two three four five six seven eight nine zero one"},
    SpokenCase{"Version 3.5", "version three point five"},
    SpokenCase{"1st Floor", "first floor"},
    SpokenCase{"22nd Street", "twenty second street"},
    SpokenCase{"The 4th", "the fourth"},
    SpokenCase{"mp3", "mp three"},
    SpokenCase{"www.example.com", "www dot example dot com"},
    SpokenCase{"End.", "end"},
    SpokenCase{"Save/Load - Quick_Save", "save load quick save"},
    SpokenCase{"100%", "one hundred percent"},
    SpokenCase{"Café Menu", "café menu"},
    SpokenCase{"***", ""},
    SpokenCase{"", ""},
    // Digits of other scripts by their value, never as zero.
    SpokenCase{"Macro \u0664", "macro four"},
    SpokenCase{"Room \u0967\u0966\u0967", "room one hundred one"},
    SpokenCase{"\u06F3rd", "third"},
    SpokenCase{"Page \U0001E954", "page four"},
    SpokenCase{"\U0001D7DC", "four"},
    SpokenCase{"Agent \uFF10\uFF10\uFF17", "agent zero zero seven"}));

TEST(PhraseNormalizerNumbers, DigitsOfAnyScriptAreReadByValue)
{
    EXPECT_EQ(PhraseNormalizer::numberWords(QString::fromUtf8("\u0664\u0662")), QStringList({"forty", "two"}));
}

// A second pass must not change what the first gave: phrases compare by this form.
class PhraseNormalizerIdempotenceTest : public testing::TestWithParam<const char*> {};

TEST_P(PhraseNormalizerIdempotenceTest, ASecondPassChangesNothing)
{
    const QString once = PhraseNormalizer::spokenForm(QString::fromUtf8(GetParam()));
    EXPECT_EQ(PhraseNormalizer::spokenForm(once).toStdString(), once.toStdString());
}

INSTANTIATE_TEST_SUITE_P(Phrases, PhraseNormalizerIdempotenceTest, testing::Values(
    "\u0130\u0331", "H\u0331", "T\u0308", "\u0391\u0342", "\u03AA\u0301", "\u0130\u0301", "\u0130\u0323x", "I\u0307\u0301", "\u01C5", "\uFB03", "\u0390", "\u1E9E", "\u2167 4",
    "\u00B4a", "\u212B", "A\u0308\u0304", "\u1F88", "\u2126\u0345"));

} // namespace
