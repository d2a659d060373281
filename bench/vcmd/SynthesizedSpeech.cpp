#include "bench/vcmd/SynthesizedSpeech.h"

#include "platform/vcmd/WavFile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cmath>

std::vector<int16_t> synthesize(const QString& workDir, const QString& text, const SynthVoice& voice, int speedWpm)
{
    const QByteArray key = QCryptographicHash::hash(
        (text + voice.synthesizer + voice.name + QString::number(speedWpm)).toUtf8(), QCryptographicHash::Md5).toHex();
    const QString path = workDir + QStringLiteral("/") + QString::fromLatin1(key) + QStringLiteral(".wav");
    if (!QFile::exists(path)) {
        if (QByteArray(voice.synthesizer) == "flite")
            QProcess::execute(QStringLiteral("flite"), {QStringLiteral("-voice"), QString::fromLatin1(voice.name),
                QStringLiteral("--setf"), QStringLiteral("duration_stretch=%1").arg(175.0 / speedWpm),
                QStringLiteral("-t"), text, QStringLiteral("-o"), path});
        else
            QProcess::execute(QStringLiteral("espeak-ng"), {QStringLiteral("-v"), QString::fromLatin1(voice.name),
                QStringLiteral("-s"), QString::number(speedWpm), QStringLiteral("-w"), path, text});
    }
    auto samples = WavFile::readAsRecognizerInput(path);
    if (!samples)
        return {};
    std::vector<int16_t>& s = samples.value();
    const auto first = std::find_if(s.begin(), s.end(), [](int16_t v) { return std::abs(v) > 100; });
    const auto last = s.begin() + std::ptrdiff_t(WavFile::endOfSound(s));
    return first < last ? std::vector<int16_t>(first, last) : std::vector<int16_t>{};
}

double activeRms(const std::vector<int16_t>& s)
{
    const std::vector<double> frames = WavFile::windowPowers(s);
    if (frames.empty())
        return 0;
    const double loudest = *std::max_element(frames.begin(), frames.end());
    double sum = 0;
    int n = 0;
    for (double e : frames)
        if (e >= loudest / 1000) {
            sum += e;
            ++n;
        }
    return std::sqrt(sum / n);
}

std::vector<float> noise(size_t n, NoiseKind kind, double level, std::mt19937& rng)
{
    std::normal_distribution<float> g(0, 1);
    std::vector<float> out(n);
    float b0 = 0, b1 = 0, b2 = 0;
    double e = 0;
    for (size_t i = 0; i < n; ++i) {
        const float w = g(rng);
        if (kind == NoiseKind::Pink) {
            // A three-pole approximation of a 1/f spectrum.
            b0 = 0.99765f * b0 + w * 0.0990460f;
            b1 = 0.96300f * b1 + w * 0.2965164f;
            b2 = 0.57000f * b2 + w * 1.0526913f;
            out[i] = b0 + b1 + b2 + w * 0.1848f;
        } else {
            out[i] = w;
        }
        e += double(out[i]) * out[i];
    }
    const double scale = n ? level / std::sqrt(e / double(n)) : 0;
    for (float& v : out)
        v = float(v * scale);
    return out;
}

std::vector<int16_t> overBed(const std::vector<int16_t>& speech, size_t before, const std::vector<float>& bed)
{
    std::vector<int16_t> out(bed.size());
    for (size_t i = 0; i < out.size(); ++i) {
        const double s = i >= before && i < before + speech.size() ? speech[i - before] : 0;
        out[i] = int16_t(std::clamp(std::lround(s + bed[i]), -32768L, 32767L));
    }
    return out;
}
