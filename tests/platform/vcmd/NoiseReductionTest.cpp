// Steady noise taken out of an utterance before its noisy second look.

#include "platform/vcmd/NoiseReduction.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include <gtest/gtest.h>

namespace {

double powerDb(const std::vector<int16_t>& s, size_t from, size_t to)
{
    double sum = 0;
    for (size_t i = from; i < to; ++i)
        sum += double(s[i]) * s[i];
    return 10 * std::log10(sum / double(to - from) + 1e-9);
}

// A second of noise, a vowel-like sound of two harmonics gliding in pitch for half
// a second, and a second more of the same noise.
std::vector<int16_t> soundInNoise(double noiseRms)
{
    std::mt19937 rng(3);
    std::normal_distribution<double> noise(0, noiseRms);
    std::vector<int16_t> out(16000 * 5 / 2);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / 16000;
        double v = noise(rng);
        if (i >= 16000 && i < 24000) {
            const double pitch = 180 + 60 * (t - 1);
            v += 3000 * std::sin(2 * std::numbers::pi * pitch * t) + 2000 * std::sin(2 * std::numbers::pi * 3 * pitch * t);
        }
        out[i] = int16_t(std::clamp(std::lround(v), -32768L, 32767L));
    }
    return out;
}

} // namespace

TEST(NoiseReductionTest, NoiseGoesTheSoundStaysAndTooLittleSoundIsLeftAlone)
{
    // About 10 dB under the sound, white.
    const auto noisy = soundInNoise(800);
    const auto reduced = NoiseReduction::reduce(noisy);
    ASSERT_EQ(reduced.size(), noisy.size());
    EXPECT_LT(powerDb(reduced, 1000, 15000), powerDb(noisy, 1000, 15000) - 12);
    EXPECT_LT(powerDb(reduced, 26000, 39000), powerDb(noisy, 26000, 39000) - 12);
    EXPECT_NEAR(powerDb(reduced, 17000, 23000), powerDb(noisy, 17000, 23000), 1.5);

    EXPECT_TRUE(NoiseReduction::reduce({}).empty());
    const std::vector<int16_t> blip(300, 1000);
    EXPECT_EQ(NoiseReduction::reduce(blip), blip);
}
