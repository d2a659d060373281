// The steady-tone check that keeps music and beeps from being heard as phrases; chords are
// run through the whole recogniser in RecognitionTest.

#include "SpeechFixtures.h"

#include "platform/vcmd/SteadyTone.h"

#include "tests/support/TestEnvironment.h"

#include <cmath>
#include <numbers>
#include <random>

#include <gtest/gtest.h>

namespace {

bool steady(const std::vector<int16_t>& s) { return SteadyTone::isSteadyTone(s.data(), s.size()); }

class SteadyToneTest : public IsolatedTest {};

TEST_F(SteadyToneTest, BeepsHumAndHeldNotesAreSteadyNoiseAndTooLittleSoundAreNot)
{
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

TEST_F(SteadyToneTest, SpeechInTheSteadiestVoicesIsNot)
{
    // Flite's voices, the female one raised higher still, put as much of their energy into
    // their harmonics as music does; only the moving formants tell them apart.
    for (const SpeechOptions& voice : {SpeechOptions{"flite:slt", 150}, SpeechOptions{"flite:slt", 190, 0, 260},
             SpeechOptions{"flite:awb", 190}}) {
        for (const char* text : {"Mute", "Stop Listening", "What time is it"}) {
            const auto speech = joined({roomQuiet(300), synthesizeSpeech(text, env.root(), voice), roomQuiet(300)});
            EXPECT_FALSE(steady(speech)) << text << " in " << voice.voice << ": share "
                << SteadyTone::share(speech.data(), speech.size()) << ", shape change "
                << SteadyTone::shapeChange(speech.data(), speech.size());
        }
    }
}

} // namespace
