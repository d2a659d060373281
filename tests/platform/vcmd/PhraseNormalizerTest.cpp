#include "platform/vcmd/PhraseNormalizer.h"

#include <gtest/gtest.h>

namespace {

// One case per way a phrase is turned into words; the menu matches what is heard by this form.
// That a second pass changes nothing is checked over the fuzz corpus.
TEST(PhraseNormalizerTest, PhraseIsSpokenAsUsersSayIt)
{
    const std::pair<const char*, const char*> cases[] = {
        {"  WEB   Sites ", "web sites"},
        {"Tom & Jerry’s", "tom and jerry's"},
        {"'quoted'", "quoted"},
        {"Budget 2024", "budget two thousand twenty four"},
        {"1000000", "one million"},
        {"Agent 007", "agent zero zero seven"},
        {"12345678901", "one two three four five six seven eight nine zero one"},
        {"Version 3.5", "version three point five"},
        {"1st Floor", "first floor"},
        {"22nd Street", "twenty second street"},
        {"www.example.com", "www dot example dot com"},
        {"Save/Load - Quick_Save", "save load quick save"},
        {"***", ""},
        // Digits of other scripts by their value, never as zero, also beyond the basic plane.
        {"Macro \u0664", "macro four"},
        {"Page \U0001E954", "page four"},
        {"Agent \uFF10\uFF10\uFF17", "agent zero zero seven"},
    };
    for (const auto& [written, spoken] : cases)
        EXPECT_EQ(PhraseNormalizer::spokenForm(QString::fromUtf8(written)).toStdString(), spoken) << written;
}

} // namespace
