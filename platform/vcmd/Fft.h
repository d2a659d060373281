#pragma once
// A radix-2 FFT in place, enough for the short frames the recogniser's measures look at.

#include <complex>
#include <cstddef>
#include <numbers>
#include <utility>

namespace Fft {

// size must be a power of two; inverse leaves the result scaled by size.
inline void transform(std::complex<double>* x, size_t size, bool inverse = false)
{
    for (size_t i = 1, j = 0; i < size; ++i) {
        size_t bit = size >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(x[i], x[j]);
    }
    const double sign = inverse ? 1 : -1;
    for (size_t len = 2; len <= size; len <<= 1) {
        const std::complex<double> step = std::polar(1.0, sign * 2 * std::numbers::pi / double(len));
        for (size_t i = 0; i < size; i += len) {
            std::complex<double> w = 1;
            for (size_t k = 0; k < len / 2; ++k, w *= step) {
                const auto u = x[i + k];
                const auto v = x[i + k + len / 2] * w;
                x[i + k] = u + v;
                x[i + k + len / 2] = u - v;
            }
        }
    }
}

} // namespace Fft
