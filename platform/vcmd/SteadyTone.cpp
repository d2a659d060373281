#include "platform/vcmd/SteadyTone.h"

#include "platform/vcmd/Fft.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <functional>
#include <numbers>
#include <vector>

namespace {

constexpr int kFrame = 512;          // 32 ms at 16 kHz: 31 Hz bands
constexpr int kLowestBand = 2;       // mains hum and rumble below 60 Hz say nothing
constexpr int kStrongestBands = 8;
constexpr size_t kStretchFrames = 16;   // about a quarter of a second
constexpr double kSteadyShare = 0.95;
constexpr int kShapeBands = 20;
constexpr double kShapeLowHz = 150, kShapeHighHz = 5000;
constexpr double kLoudWithinDb = 25;     // moments this far below the loudest are not judged
constexpr double kSteadyShapeChange = 0.45;

using Frame = std::array<std::complex<double>, kFrame>;
using Spectrum = std::array<double, kFrame / 2>;

std::vector<Spectrum> spectra(const int16_t* samples, size_t count)
{
    static const auto window = [] {
        std::array<double, kFrame> w{};
        for (int i = 0; i < kFrame; ++i)
            w[size_t(i)] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / kFrame);
        return w;
    }();
    std::vector<Spectrum> spectra;
    Frame frame;
    for (size_t start = 0; start + kFrame <= count; start += kFrame / 2) {
        for (size_t i = 0; i < size_t(kFrame); ++i)
            frame[i] = samples[start + i] * window[i];
        Fft::transform(frame.data(), frame.size());
        Spectrum& power = spectra.emplace_back();
        for (size_t k = kLowestBand; k < power.size(); ++k)
            power[k] = std::norm(frame[k]);
    }
    return spectra;
}

double shareOf(const std::vector<Spectrum>& spectra)
{
    // Short stretches, so that music changing its chords is judged chord by chord; the
    // louder stretches count for more.
    double strongest = 0, total = 0;
    for (size_t first = 0; first < spectra.size(); first += kStretchFrames / 2) {
        const size_t last = std::min(spectra.size(), first + kStretchFrames);
        Spectrum power{};
        for (size_t f = first; f < last; ++f)
            for (size_t k = 0; k < power.size(); ++k)
                power[k] += spectra[f][k];
        for (double p : power)
            total += p;
        std::partial_sort(power.begin(), power.begin() + kStrongestBands, power.end(), std::greater<>());
        for (int k = 0; k < kStrongestBands; ++k)
            strongest += power[size_t(k)];
        if (last == spectra.size())
            break;
    }
    return total > 0 ? strongest / total : 0;
}

double shapeChangeOf(const std::vector<Spectrum>& spectra)
{
    static const auto edges = [] {
        std::array<size_t, kShapeBands + 1> e{};
        for (int b = 0; b <= kShapeBands; ++b)
            e[size_t(b)] = size_t(kShapeLowHz * std::pow(kShapeHighHz / kShapeLowHz, double(b) / kShapeBands) * kFrame / 16000);
        return e;
    }();
    using Shape = std::array<double, kShapeBands>;
    std::vector<Shape> shapes;
    std::vector<double> loudnessDb;
    for (const Spectrum& power : spectra) {
        Shape& shape = shapes.emplace_back();
        double total = 0, loudest = 0;
        for (size_t b = 0; b < shape.size(); ++b) {
            for (size_t k = edges[b]; k < std::max(edges[b + 1], edges[b] + 1); ++k)
                shape[b] += power[k];
            total += shape[b];
            loudest = std::max(loudest, shape[b]);
        }
        // A floor 50 dB under the strongest band, so that the leakage of pure tones into
        // empty bands does not pass for change.
        double mean = 0;
        for (double& v : shape)
            mean += (v = std::log(v + loudest * 1e-5 + 1e-3));
        for (double& v : shape)
            v -= mean / kShapeBands;
        loudnessDb.push_back(10 * std::log10(total + 1));
    }
    if (shapes.size() < 3)
        return 0;
    const double loudest = *std::max_element(loudnessDb.begin(), loudnessDb.end());
    std::vector<double> changes;
    for (size_t t = 2; t < shapes.size(); ++t) {
        if (loudnessDb[t] < loudest - kLoudWithinDb || loudnessDb[t - 2] < loudest - kLoudWithinDb)
            continue;
        double sum = 0;
        for (size_t b = 0; b < size_t(kShapeBands); ++b)
            sum += (shapes[t][b] - shapes[t - 2][b]) * (shapes[t][b] - shapes[t - 2][b]);
        changes.push_back(std::sqrt(sum / kShapeBands));
    }
    if (changes.empty())
        return 0;
    std::nth_element(changes.begin(), changes.begin() + std::ptrdiff_t(changes.size() / 2), changes.end());
    return changes[changes.size() / 2];
}

} // namespace

namespace SteadyTone {

double share(const int16_t* samples, size_t count) { return shareOf(spectra(samples, count)); }

double shapeChange(const int16_t* samples, size_t count) { return shapeChangeOf(spectra(samples, count)); }

bool isSteadyTone(const int16_t* samples, size_t count)
{
    const std::vector<Spectrum> s = spectra(samples, count);
    return shareOf(s) > kSteadyShare && shapeChangeOf(s) < kSteadyShapeChange;
}

} // namespace SteadyTone
