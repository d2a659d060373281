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
    SpokenCase{"", ""}));

} // namespace
