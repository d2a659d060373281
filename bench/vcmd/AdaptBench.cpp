// What speaker adaptation gains: for each voice, the hits on the 100-phrase menu with the
// plain model, then an adaptation made from the 30 phrases of the training dialog's session
// (none of them in the menu), then the hits again with it. Speech is synthesised with
// espeak-ng (cached in the work folder). Prints a table; asserts nothing.
//   vcmd_adapt_bench [--work DIR] [--voice NAME]... [--snr DB]

#include "platform/vcmd/SpeakerAdaptation.h"
#include "platform/vcmd/SphinxRecognizer.h"
#include "platform/vcmd/ToolRunner.h"
#include "platform/vcmd/WavFile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>

namespace {

constexpr int kRate = SphinxRecognizer::kSampleRateHz;
constexpr size_t kChunk = kRate / 50;

QString g_work;

std::vector<int16_t> synthesize(const QString& text, const QString& voice)
{
    const QByteArray key = QCryptographicHash::hash((text + voice).toUtf8(), QCryptographicHash::Md5).toHex();
    const QString path = g_work + QStringLiteral("/") + QString::fromLatin1(key) + QStringLiteral(".wav");
    if (!QFile::exists(path))
        QProcess::execute(QStringLiteral("espeak-ng"), {QStringLiteral("-v"), voice, QStringLiteral("-w"), path, text});
    auto samples = WavFile::readAsRecognizerInput(path);
    return samples ? samples.value() : std::vector<int16_t>{};
}

// Speech between stretches of faint room noise, with white noise at snrDb when it is above 0.
std::vector<int16_t> inRoom(const std::vector<int16_t>& speech, int beforeMs, int afterMs, double snrDb, std::mt19937& rng)
{
    double energy = 0;
    for (int16_t v : speech)
        energy += double(v) * v;
    const double speechRms = speech.empty() ? 0 : std::sqrt(energy / double(speech.size()));
    std::normal_distribution<double> noise(0, snrDb > 0 ? speechRms / std::pow(10.0, snrDb / 20) : 3.0);
    const size_t before = size_t(kRate) * beforeMs / 1000;
    std::vector<int16_t> out(before + speech.size() + size_t(kRate) * afterMs / 1000);
    for (size_t i = 0; i < out.size(); ++i) {
        const double s = i >= before && i < before + speech.size() ? speech[i - before] : 0;
        out[i] = int16_t(std::clamp(std::lround(s + noise(rng)), -32768L, 32767L));
    }
    return out;
}

struct Tally {
    int hits = 0, wrong = 0, misses = 0;
};

Tally decode(const QString& mllrFile, const QStringList& menu, const std::vector<std::vector<int16_t>>& audio)
{
    SphinxRecognizer::Options options;
    options.mllrFile = mllrFile;
    auto recognizer = SphinxRecognizer::create(options);
    if (!recognizer) {
        std::fprintf(stderr, "%s\n", qPrintable(recognizer.error().message));
        return {};
    }
    recognizer.value()->setPhrases(menu);
    Tally tally;
    for (size_t i = 0; i < audio.size(); ++i) {
        std::vector<Hearing> heard;
        for (size_t at = 0; at < audio[i].size(); at += kChunk)
            for (Hearing& h : recognizer.value()->process(audio[i].data() + at, std::min(kChunk, audio[i].size() - at)))
                heard.push_back(h);
        for (Hearing& h : recognizer.value()->finish())
            heard.push_back(h);
        const auto fired = std::find_if(heard.begin(), heard.end(), [](const Hearing& h) { return h.fired; });
        if (fired == heard.end())
            ++tally.misses;
        else if (fired->phrase == menu[qsizetype(i)])
            ++tally.hits;
        else
            ++tally.wrong;
    }
    return tally;
}

QStringList readMenu()
{
    QFile f(QStringLiteral(VCMD_BENCH_DATA "/menu100.txt"));
    f.open(QIODevice::ReadOnly | QIODevice::Text);
    QStringList lines;
    for (const QString& l : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n')))
        if (!l.trimmed().isEmpty())
            lines << l.trimmed();
    return lines;
}

QString percent(int n, qsizetype of) { return QString::number(100.0 * n / double(of), 'f', 1) + QLatin1Char('%'); }

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    g_work = QDir::tempPath() + QStringLiteral("/vorlix-vcmd-adapt-bench");
    QStringList voices;
    double snrDb = 0;
    for (qsizetype i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QStringLiteral("--work"))
            g_work = args[++i];
        else if (args[i] == QStringLiteral("--voice"))
            voices << args[++i];
        else if (args[i] == QStringLiteral("--snr"))
            snrDb = args[++i].toDouble();
    }
    if (voices.isEmpty())
        voices = {QStringLiteral("en-us"), QStringLiteral("en-gb"), QStringLiteral("en-us+m3")};
    QDir().mkpath(g_work);

    const QStringList menu = readMenu();
    const QStringList session = SpeakerAdaptation::sessionPhrases();
    std::printf("Adaptation from %lld session phrases; test: the %lld phrases of menu100.txt, %s, threshold 50\n\n",
                qlonglong(session.size()), qlonglong(menu.size()),
                snrDb > 0 ? qPrintable(QStringLiteral("white noise at %1 dB").arg(snrDb)) : "clean");
    std::printf("%-12s | %-22s | %-22s | %s\n", "voice", "plain: hit/wrong/miss", "adapted: hit/wrong/miss",
                "adaptation time");
    ProcessToolRunner tools;
    for (const QString& voice : voices) {
        std::mt19937 rng(7);
        std::vector<AdaptationRecording> recordings;
        for (const QString& phrase : session)
            recordings.push_back({phrase, inRoom(synthesize(phrase, voice), 250, 250, 0, rng)});
        std::vector<std::vector<int16_t>> test;
        for (const QString& phrase : menu)
            test.push_back(inRoom(synthesize(phrase, voice), 400, 1000, snrDb, rng));

        const Tally plain = decode({}, menu, test);
        SpeakerAdaptation adaptation(g_work + QStringLiteral("/adaptation-") + voice, tools);
        const auto t0 = std::chrono::steady_clock::now();
        const auto adapted = adaptation.adapt(recordings);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        if (!adapted) {
            std::printf("%-12s | adaptation failed: %s\n", qPrintable(voice), qPrintable(adapted.error().message));
            continue;
        }
        const Tally after = decode(SpeakerAdaptation::storedTransform(g_work + QStringLiteral("/adaptation-") + voice),
                                   menu, test);
        const auto row = [&](const Tally& t) {
            return QStringLiteral("%1 / %2 / %3").arg(percent(t.hits, menu.size()), percent(t.wrong, menu.size()),
                                                      percent(t.misses, menu.size()));
        };
        std::printf("%-12s | %-22s | %-22s | %.1f s\n", qPrintable(voice), qPrintable(row(plain)),
                    qPrintable(row(after)), seconds);
        std::fflush(stdout);
    }
    return 0;
}
