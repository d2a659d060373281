#include "SpeechFixtures.h"

#include "platform/vcmd/WavFile.h"

#include <QFile>
#include <QProcess>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

std::vector<int16_t> synthesizeSpeech(const QString& text, const QString& folder, const SpeechOptions& options)
{
    static int counter = 0;
    const QString path = QStringLiteral("%1/speech%2.wav").arg(folder).arg(++counter);
    const QString voice = QString::fromLatin1(options.voice);
    if (voice.startsWith(QStringLiteral("flite:"))) {
        QStringList args = {QStringLiteral("-voice"), voice.mid(6), QStringLiteral("--setf"),
            QStringLiteral("duration_stretch=%1").arg(175.0 / options.speedWpm), QStringLiteral("-t"), text,
            QStringLiteral("-o"), path};
        if (options.fliteMeanPitchHz > 0)
            args << QStringLiteral("--setf") << QStringLiteral("int_f0_target_mean=%1").arg(options.fliteMeanPitchHz);
        QProcess::execute(QStringLiteral("flite"), args);
    } else {
        QProcess::execute(QStringLiteral("espeak-ng"), {QStringLiteral("-v"), voice, QStringLiteral("-s"),
            QString::number(options.speedWpm), QStringLiteral("-w"), path, text});
    }
    auto samples = WavFile::readAsRecognizerInput(path);
    if (!samples)
        return {};
    std::vector<int16_t> speech = samples.value();
    if (options.snrDb > 0) {
        double energy = 0;
        for (int16_t v : speech)
            energy += double(v) * v;
        const double noiseRms = std::sqrt(energy / double(speech.size())) / std::pow(10.0, options.snrDb / 20);
        // The same noise whichever tests ran before, so a test alone hears what it hears in the suite.
        std::mt19937 rng(1);
        std::normal_distribution<double> noise(0, noiseRms);
        // Noise before, during and after, as in a room.
        std::vector<int16_t> out(speech.size() + 24000);
        for (size_t i = 0; i < out.size(); ++i) {
            const double s = i >= 16000 && i < 16000 + speech.size() ? speech[i - 16000] : 0;
            out[i] = int16_t(std::clamp(std::lround(s + noise(rng)), -32768L, 32767L));
        }
        return out;
    }
    return speech;
}

std::vector<int16_t> roomQuiet(int ms)
{
    std::vector<int16_t> out(size_t(ms) * 16);
    std::mt19937 rng(ms);
    std::uniform_int_distribution<int> d(-3, 3);
    for (auto& v : out)
        v = int16_t(d(rng));
    return out;
}

std::vector<int16_t> musicChords(int seconds)
{
    const double notes[] = {220, 261.6, 329.6, 392, 293.7, 349.2, 440, 196};
    std::vector<int16_t> out;
    for (int i = 0; i < 16000 * seconds; ++i) {
        const double t = i / 16000.0;
        const int chord = int(t * 2) % 8;
        double v = 0;
        for (int k = 0; k < 3; ++k)
            v += std::sin(2 * std::numbers::pi * notes[(chord + k * 2) % 8] * t);
        out.push_back(int16_t(v * 2500 * (0.4 + std::exp(-8 * std::fmod(t, 0.5)))));
    }
    return out;
}

std::vector<int16_t> joined(std::initializer_list<std::vector<int16_t>> parts)
{
    std::vector<int16_t> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

QString writeWav(const QString& path, const std::vector<int16_t>& samples)
{
    auto le32 = [](uint32_t v) { QByteArray b(4, '\0'); qToLittleEndian(v, b.data()); return b; };
    auto le16 = [](uint16_t v) { QByteArray b(2, '\0'); qToLittleEndian(v, b.data()); return b; };
    const QByteArray data(reinterpret_cast<const char*>(samples.data()), qsizetype(samples.size() * 2));
    const QByteArray fmt = le16(1) + le16(1) + le32(16000) + le32(32000) + le16(2) + le16(16);
    const QByteArray body = QByteArray("WAVE") + "fmt " + le32(16) + fmt + "data" + le32(uint32_t(data.size())) + data;
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(QByteArray("RIFF") + le32(uint32_t(body.size())) + body);
    return path;
}

std::vector<int16_t> spokenWithPauses(const QStringList& words, int pauseMs, const QString& folder,
                                      const SpeechOptions& options)
{
    std::vector<int16_t> out;
    for (const QString& word : words) {
        if (!out.empty()) {
            const auto pause = roomQuiet(pauseMs);
            out.insert(out.end(), pause.begin(), pause.end());
        }
        const auto speech = synthesizeSpeech(word, folder, options);
        auto first = std::find_if(speech.begin(), speech.end(), [](int16_t v) { return std::abs(v) > 100; });
        const auto last = speech.begin() + qsizetype(WavFile::endOfSound(speech));
        if (first < last)
            out.insert(out.end(), first, last);
    }
    return out;
}
