#include "platform/vcmd/WavFile.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace {

// What microphones and recorders make. Outside these a header is broken or hostile: a
// rate of 1 Hz would turn each byte into 16,000 output samples.
constexpr int kMinRateHz = 4000;
constexpr int kMaxRateHz = 384000;
constexpr int kMaxChannels = 32;
// Over twenty minutes of 48 kHz stereo; a spoken command or a test takes seconds.
constexpr qint64 kMaxFileBytes = qint64(256) << 20;
constexpr qint64 kMaxSeconds = 2 * 60 * 60;

uint32_t readLe32(const char* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

uint16_t readLe16(const char* p)
{
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

float sampleAt(const char* p, int bits, bool isFloat)
{
    switch (bits) {
    case 8: return (uint8_t(*p) - 128) / 128.0f;
    case 16: return int16_t(readLe16(p)) / 32768.0f;
    case 24: {
        int32_t v = (uint8_t(p[0]) << 8) | (uint8_t(p[1]) << 16) | (uint32_t(uint8_t(p[2])) << 24);
        return (v >> 8) / 8388608.0f;
    }
    default:
        if (isFloat) {
            float f;
            std::memcpy(&f, p, 4);
            return std::isfinite(f) ? f : 0.0f;
        }
        return int32_t(readLe32(p)) / 2147483648.0f;
    }
}

} // namespace

Result<std::vector<int16_t>> WavFile::readAsRecognizerInput(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Error::io(path, file.errorString());
    if (file.size() > kMaxFileBytes)
        return Error::io(path, QStringLiteral("the file is larger than %1 MB").arg(kMaxFileBytes >> 20));
    Result<std::vector<int16_t>> result = Error{QString()};
    try {
        result = decodeAsRecognizerInput(file.readAll());
    } catch (const std::bad_alloc&) {
        result = Error{QStringLiteral("not enough memory to read it")};
    }
    if (!result)
        return Error::io(path, result.error().message);
    return result;
}

Result<std::vector<int16_t>> WavFile::decodeAsRecognizerInput(const QByteArray& bytes)
{
    const char* data = bytes.constData();
    const qsizetype size = bytes.size();
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
        return Error{QStringLiteral("not a WAV file")};

    int channels = 0, rate = 0, bits = 0;
    bool isFloat = false;
    const char* samples = nullptr;
    qsizetype sampleBytes = 0;
    for (qsizetype at = 12; at + 8 <= size;) {
        const uint32_t chunkSize = readLe32(data + at + 4);
        const qsizetype body = at + 8;
        const qsizetype available = std::min<qsizetype>(chunkSize, size - body);
        if (std::memcmp(data + at, "fmt ", 4) == 0 && available >= 16) {
            uint16_t format = readLe16(data + body);
            channels = readLe16(data + body + 2);
            rate = int(readLe32(data + body + 4));
            bits = readLe16(data + body + 14);
            if (format == 0xFFFE && available >= 26)   // WAVE_FORMAT_EXTENSIBLE: the sub-format decides
                format = readLe16(data + body + 24);
            if (format != 1 && format != 3)
                return Error{QStringLiteral("unsupported WAV encoding %1 (PCM or float only)").arg(format)};
            isFloat = format == 3;
        } else if (std::memcmp(data + at, "data", 4) == 0) {
            samples = data + body;
            sampleBytes = available;   // a truncated file keeps what it has
        }
        at = body + qsizetype(chunkSize) + (chunkSize & 1);
    }
    if (rate < kMinRateHz || rate > kMaxRateHz)
        return Error{QStringLiteral("WAV sample rate %1 Hz is outside %2 to %3 Hz").arg(rate).arg(kMinRateHz).arg(kMaxRateHz)};
    if (channels <= 0 || channels > kMaxChannels)
        return Error{QStringLiteral("WAV channel count %1 is outside 1 to %2").arg(channels).arg(kMaxChannels)};
    if ((bits != 8 && bits != 16 && bits != 24 && bits != 32) || (isFloat && bits != 32))
        return Error{QStringLiteral("WAV format not understood (%1-bit samples)").arg(bits)};
    if (!samples)
        return Error{QStringLiteral("WAV file has no audio data")};

    const int frameBytes = channels * bits / 8;
    const qsizetype frames = sampleBytes / frameBytes;
    if (frames / rate > kMaxSeconds)
        return Error{QStringLiteral("WAV file is longer than %1 hours").arg(kMaxSeconds / 3600)};
    std::vector<float> mono(size_t(frames), 0.0f);
    for (qsizetype f = 0; f < frames; ++f) {
        float sum = 0;
        for (int c = 0; c < channels; ++c)
            sum += sampleAt(samples + f * frameBytes + c * bits / 8, bits, isFloat);
        mono[size_t(f)] = sum / channels;
    }
    return resample(mono, rate, kRecognizerRateHz);
}

std::vector<int16_t> WavFile::resample(const std::vector<float>& mono, int fromRateHz, int toRateHz)
{
    std::vector<float> filtered = mono;
    const int width = fromRateHz > toRateHz ? int(std::lround(double(fromRateHz) / toRateHz)) : 1;
    if (width > 1) {
        double running = 0;
        for (size_t i = 0; i < mono.size(); ++i) {
            running += mono[i];
            if (i >= size_t(width))
                running -= mono[i - width];
            filtered[i] = float(running / std::min<size_t>(i + 1, width));
        }
    }
    const double step = double(fromRateHz) / toRateHz;
    const size_t count = mono.empty() ? 0 : size_t(double(mono.size()) / step);
    std::vector<int16_t> out(count);
    // The box filter delays by half its width; read that much later to stay aligned.
    const double delay = (width - 1) / 2.0;
    for (size_t i = 0; i < count; ++i) {
        const double pos = std::min(i * step + delay, double(filtered.size() - 1));
        const size_t left = size_t(pos);
        const size_t right = std::min(left + 1, filtered.size() - 1);
        const double frac = pos - double(left);
        const double v = filtered[left] * (1 - frac) + filtered[right] * frac;
        out[i] = int16_t(std::clamp(std::lround(v * 32767.0), -32768L, 32767L));
    }
    return out;
}

size_t WavFile::endOfSound(const std::vector<int16_t>& samples)
{
    constexpr size_t kWindow = kRecognizerRateHz / 100;
    constexpr double kFloor = 32768.0 * 0.00316;   // -50 dBFS
    for (size_t end = samples.size(); end >= kWindow; end -= kWindow) {
        double energy = 0;
        for (size_t i = end - kWindow; i < end; ++i)
            energy += double(samples[i]) * samples[i];
        if (std::sqrt(energy / kWindow) > kFloor)
            return end;
    }
    return 0;
}

std::vector<double> WavFile::windowPowers(const std::vector<int16_t>& samples)
{
    constexpr size_t kWindow = kRecognizerRateHz / 100;
    std::vector<double> power;
    for (size_t at = 0; at + kWindow <= samples.size(); at += kWindow) {
        double e = 0;
        for (size_t i = at; i < at + kWindow; ++i)
            e += double(samples[i]) * samples[i];
        power.push_back(e / kWindow);
    }
    return power;
}

size_t WavFile::endOfSpeech(const std::vector<int16_t>& samples)
{
    constexpr size_t kWindow = kRecognizerRateHz / 100;
    constexpr size_t kStretch = 5;                        // windows: a click is not speech
    constexpr double kFloor = 32768.0 * 32768.0 * 1e-5;   // -50 dBFS, as power
    const std::vector<double> power = windowPowers(samples);
    if (power.empty())
        return 0;
    // The quietest fifth of the recording is its noise (or its silence).
    std::vector<double> sorted = power;
    std::nth_element(sorted.begin(), sorted.begin() + std::ptrdiff_t(sorted.size() / 5), sorted.end());
    const double loud = std::max(kFloor, sorted[sorted.size() / 5] * 4);
    size_t run = 0;
    for (size_t w = power.size(); w-- > 0;) {
        run = power[w] > loud ? run + 1 : 0;
        if (run == kStretch)
            return (w + kStretch) * kWindow;
    }
    return 0;
}
