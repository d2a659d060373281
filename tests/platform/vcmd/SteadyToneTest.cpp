// The steady-tone check that keeps music and beeps from being heard as phrases.

#include "SpeechFixtures.h"

#include "platform/vcmd/SteadyTone.h"

#include "tests/support/TestEnvironment.h"

#include <cmath>
#include <numbers>
#include <random>

#include <gtest/gtest.h>

namespace {

bool steady(const std::vector<int16_t>& s) { return SteadyTone::isSteadyTone(s.data(), s.size()); }

} // namespace

TEST(SteadyToneTest, MusicAndBeepsAreSteadyTones)
{
    EXPECT_TRUE(steady(musicChords(3)));
    std::vector<int16_t> beep(8000);
    for (size_t i = 0; i < beep.size(); ++i)
        beep[i] = int16_t(8000 * std::sin(2 * std::numbers::pi * 1000 * double(i) / 16000));
    EXPECT_TRUE(steady(beep));
}

TEST(SteadyToneTest, NoiseAndTooLittleSoundAreNot)
{
    std::mt19937 rng(3);
    std::normal_distribution<double> g(0, 2000);
    std::vector<int16_t> noise(16000);
    for (auto& v : noise)
        v = int16_t(g(rng));
    EXPECT_FALSE(steady(noise));
    EXPECT_FALSE(steady(std::vector<int16_t>(16000, 0)));
    EXPECT_FALSE(steady(std::vector<int16_t>(100, 5000)));
    EXPECT_FALSE(steady({}));
}

class SteadyToneSpeechTest : public IsolatedTest {};

TEST_F(SteadyToneSpeechTest, SpeechIsNotEvenShortWordsInSteadyVoices)
{
    // Synthetic voices keep a flatter pitch than people do: the hardest speech for this check.
    for (const char* voice : {"en-us", "en-us+klatt2", "en-us+f2"}) {
        for (const char* text : {"Cut", "Mute", "Stop Listening", "What time is it"}) {
            const auto speech = joined({roomQuiet(300), synthesizeSpeech(text, env.root(), {voice, 150}), roomQuiet(300)});
            EXPECT_FALSE(steady(speech)) << text << " in " << voice << ": " << SteadyTone::share(speech.data(), speech.size());
        }
    }
}
