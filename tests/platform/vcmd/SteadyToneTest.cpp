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
    // Beeps with gaps, a hum with its harmonics, and a melody of held notes.
    std::vector<int16_t> beeps, hum, melody;
    for (int i = 0; i < 16000 * 2; ++i) {
        const double t = i / 16000.0;
        beeps.push_back(std::fmod(t, 0.3) < 0.15 ? int16_t(8000 * std::sin(2 * std::numbers::pi * 880 * t)) : 0);
        double h = 0, m = 0;
        const double note = 261.6 * std::pow(2.0, int(t / 0.15) % 8 / 8.0);
        for (int k = 1; k < 6; ++k) {
            h += std::sin(2 * std::numbers::pi * 50 * k * t) / k;
            m += std::sin(2 * std::numbers::pi * note * k * t) / (k * k);
        }
        hum.push_back(int16_t(4000 * h));
        melody.push_back(int16_t(7000 * m * std::exp(-6 * std::fmod(t, 0.15))));
    }
    EXPECT_TRUE(steady(beeps));
    EXPECT_TRUE(steady(hum));
    EXPECT_TRUE(steady(melody));
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
    // Flite's female voice, higher still, puts as much of its energy into its harmonics as
    // music does; only the moving formants tell it apart.
    const SpeechOptions voices[] = {{"en-us", 150}, {"en-us+klatt2", 150}, {"en-us+f2", 150}, {"flite:slt", 150},
        {"flite:slt", 190, 0, 260}, {"flite:rms", 150}, {"flite:awb", 190}};
    for (const SpeechOptions& voice : voices) {
        for (const char* text : {"Cut", "Mute", "Stop Listening", "What time is it"}) {
            const auto speech = joined({roomQuiet(300), synthesizeSpeech(text, env.root(), voice), roomQuiet(300)});
            EXPECT_FALSE(steady(speech)) << text << " in " << voice.voice << ": share "
                << SteadyTone::share(speech.data(), speech.size()) << ", shape change "
                << SteadyTone::shapeChange(speech.data(), speech.size());
        }
    }
}
