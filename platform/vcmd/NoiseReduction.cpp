#include "platform/vcmd/NoiseReduction.h"

#include "platform/vcmd/Fft.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace {

constexpr size_t kFrame = 512;   // 32 ms at 16 kHz
constexpr size_t kHop = kFrame / 2;
constexpr double kQuietShare = 0.2;   // the quietest fifth of the frames is taken for noise alone
constexpr double kSmoothing = 0.92;   // how much of the speech estimate carries over from the last frame
constexpr double kGainFloor = 0.15;   // never silence a band entirely: that leaves chirps the model hears as sounds

using Spectrum = std::vector<std::complex<double>>;

} // namespace

namespace NoiseReduction {

std::vector<int16_t> reduce(const std::vector<int16_t>& audio)
{
    // Square roots of a periodic Hann window before and after: at half overlap the product
    // sums to one, so a gain of one everywhere gives the input back.
    static const auto window = [] {
        std::vector<double> w(kFrame);
        for (size_t i = 0; i < kFrame; ++i)
            w[i] = std::sqrt(0.5 - 0.5 * std::cos(2 * std::numbers::pi * double(i) / kFrame));
        return w;
    }();
    if (audio.size() < kFrame * 4)
        return audio;

    // Padded by a hop on both sides, so every sample lies under two frames.
    const size_t frames = (audio.size() + kHop) / kHop + 1;
    auto sample = [&](size_t padded) -> double {
        return padded >= kHop && padded - kHop < audio.size() ? audio[padded - kHop] : 0.0;
    };
    std::vector<Spectrum> spectra(frames, Spectrum(kFrame));
    std::vector<double> energy(frames, 0);
    for (size_t f = 0; f < frames; ++f) {
        Spectrum& x = spectra[f];
        for (size_t i = 0; i < kFrame; ++i)
            x[i] = sample(f * kHop + i) * window[i];
        Fft::transform(x.data(), kFrame);
        for (size_t k = 0; k <= kFrame / 2; ++k)
            energy[f] += std::norm(x[k]);
    }

    std::vector<size_t> order(frames);
    for (size_t f = 0; f < frames; ++f)
        order[f] = f;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return energy[a] < energy[b]; });
    const size_t quiet = std::max<size_t>(1, size_t(double(frames) * kQuietShare));
    std::vector<double> noise(kFrame / 2 + 1, 0);
    for (size_t q = 0; q < quiet; ++q)
        for (size_t k = 0; k < noise.size(); ++k)
            noise[k] += std::norm(spectra[order[q]][k]) / double(quiet);
    for (double& n : noise)
        n = std::max(n, 1e-3);

    // Wiener gains from a speech estimate that follows the last frame's (decision-directed),
    // which keeps the gains from flickering in the noise.
    std::vector<double> output(frames * kHop + kFrame, 0);
    std::vector<double> lastSpeech(noise.size(), 0);
    for (size_t f = 0; f < frames; ++f) {
        Spectrum& x = spectra[f];
        for (size_t k = 0; k < noise.size(); ++k) {
            const double power = std::norm(x[k]);
            const double ratio = kSmoothing * lastSpeech[k] / noise[k]
                + (1 - kSmoothing) * std::max(power / noise[k] - 1, 0.0);
            const double gain = std::max(ratio / (1 + ratio), kGainFloor);
            lastSpeech[k] = gain * gain * power;
            x[k] *= gain;
            if (k > 0 && k < kFrame / 2)
                x[kFrame - k] = std::conj(x[k]);
        }
        Fft::transform(x.data(), kFrame, true);
        for (size_t i = 0; i < kFrame; ++i)
            output[f * kHop + i] += x[i].real() / double(kFrame) * window[i];
    }

    std::vector<int16_t> out(audio.size());
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = int16_t(std::clamp(std::lround(output[i + kHop]), -32768L, 32767L));
    return out;
}

} // namespace NoiseReduction
