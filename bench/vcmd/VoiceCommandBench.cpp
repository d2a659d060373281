// Accuracy, rejection, latency and cost of the recogniser, on speech synthesised with
// espeak-ng at run time (cached in the work folder). Prints tables; asserts nothing.
//   vcmd_bench [--work DIR] [--quick] [--verbose] [--at THRESHOLD] [--no-big]

#include "platform/vcmd/SphinxRecognizer.h"
#include "platform/vcmd/WavFile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>

namespace {

constexpr int kRate = SphinxRecognizer::kSampleRateHz;
constexpr int kChunk = kRate / 50;   // 20 ms, as a sound card delivers it
const int kThresholds[] = {0, 25, 50, 75, 100};

struct Voice {
    const char* name;
    int speedWpm;
};
const Voice kVoices[] = {{"en-us+klatt2", 150}, {"en-us+f2", 190}, {"en-us+m6", 190}, {"en-us+f5", 150},
    {"en-us+klatt2", 190}, {"en-us+f2", 150}, {"en-us+m6", 150}, {"en-us+f5", 190}};

struct Utterance {
    QString text;
    QString expected;   // the phrase that should fire; empty when nothing should
    std::vector<int16_t> audio;
    size_t speechEnd = 0;   // sample index in audio where the speech's sound ends
};

struct Outcome {
    Hearing hearing;
    double latencyMs = 0;
};

QString g_work;
bool g_verbose = false;

QStringList readLines(const QString& name)
{
    QFile f(QStringLiteral(VCMD_BENCH_DATA "/") + name);
    f.open(QIODevice::ReadOnly | QIODevice::Text);
    QStringList lines;
    for (const QString& l : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n')))
        if (!l.trimmed().isEmpty())
            lines << l.trimmed();
    return lines;
}

std::vector<int16_t> synthesize(const QString& text, const Voice& voice)
{
    const QByteArray key = QCryptographicHash::hash(
        (text + voice.name + QString::number(voice.speedWpm)).toUtf8(), QCryptographicHash::Md5).toHex();
    const QString path = g_work + QStringLiteral("/") + QString::fromLatin1(key) + QStringLiteral(".wav");
    if (!QFile::exists(path))
        QProcess::execute(QStringLiteral("espeak-ng"), {QStringLiteral("-v"), QString::fromLatin1(voice.name),
            QStringLiteral("-s"), QString::number(voice.speedWpm), QStringLiteral("-w"), path, text});
    auto samples = WavFile::readAsRecognizerInput(path);
    return samples ? samples.value() : std::vector<int16_t>{};
}

double rms(const std::vector<int16_t>& s)
{
    double e = 0;
    for (int16_t v : s)
        e += double(v) * v;
    return s.empty() ? 0 : std::sqrt(e / double(s.size()));
}

// Pink-ish noise (white through a leaky integrator, mixed with white) at a level in dBFS-ish RMS.
std::vector<float> noise(size_t n, double level, std::mt19937& rng)
{
    std::normal_distribution<float> g(0, 1);
    std::vector<float> out(n);
    float low = 0;
    double e = 0;
    for (size_t i = 0; i < n; ++i) {
        const float w = g(rng);
        low = 0.97f * low + 0.03f * w * 6;
        out[i] = 0.5f * w + low;
        e += double(out[i]) * out[i];
    }
    const double scale = n ? level / std::sqrt(e / double(n)) : 0;
    for (float& v : out)
        v = float(v * scale);
    return out;
}

// Speech with 0.4 s before and 1 s after, in quiet room noise or at a signal-to-noise ratio.
Utterance makeUtterance(const QString& text, const QString& expected, const Voice& voice, double snrDb,
                        std::mt19937& rng)
{
    Utterance u{text, expected, {}, 0};
    const std::vector<int16_t> speech = synthesize(text, voice);
    // Noise runs on before speech, as it does in a room; the recogniser needs a moment to learn it.
    const size_t before = snrDb > 0 ? kRate * 3 / 2 : kRate * 4 / 10, after = kRate;
    const double level = snrDb > 0 ? rms(speech) / std::pow(10.0, snrDb / 20) : 3.0;
    const std::vector<float> bed = noise(before + speech.size() + after, level, rng);
    u.audio.resize(bed.size());
    for (size_t i = 0; i < bed.size(); ++i) {
        const double s = (i >= before && i < before + speech.size()) ? speech[i - before] : 0;
        u.audio[i] = int16_t(std::clamp(std::lround(s + bed[i]), -32768L, 32767L));
    }
    u.speechEnd = before + WavFile::endOfSound(speech);
    return u;
}

// Feeds the audio in 20 ms chunks and simulates their real-time arrival: a chunk is
// processed when it has arrived and the previous one is done. Latency runs from the
// arrival of the chunk holding the end of speech to the end of the call that produced
// the result.
std::vector<Outcome> hear(SphinxRecognizer& recognizer, const std::vector<int16_t>& audio, size_t speechEnd,
                          double* processingMs = nullptr)
{
    std::vector<Outcome> outcomes;
    double clockMs = 0, busyMs = 0;
    const double endArrivalMs = double((speechEnd + kChunk - 1) / kChunk) * 20.0;
    for (size_t at = 0; at < audio.size(); at += kChunk) {
        const size_t n = std::min<size_t>(kChunk, audio.size() - at);
        const double arrivalMs = double(at + n) * 1000.0 / kRate;
        const auto t0 = std::chrono::steady_clock::now();
        auto results = recognizer.process(audio.data() + at, n);
        const double spent = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        busyMs += spent;
        clockMs = std::max(clockMs, arrivalMs) + spent;
        for (auto& h : results)
            outcomes.push_back({h, clockMs - endArrivalMs});
    }
    for (auto& h : recognizer.finish())
        outcomes.push_back({h, clockMs - endArrivalMs});
    if (processingMs)
        *processingMs += busyMs;
    return outcomes;
}

// The utterance's result: the first hearing that names a phrase, else the first at all.
Outcome mainOutcome(const std::vector<Outcome>& outcomes)
{
    for (const Outcome& o : outcomes)
        if (!o.hearing.phrase.isEmpty())
            return o;
    return outcomes.empty() ? Outcome{} : outcomes.front();
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5))];
}

long rssKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

QStringList thousandPhrases(const QStringList& base)
{
    const QStringList adjectives = {"Project", "Budget", "Family", "Holiday", "Weekly", "Monthly", "School",
        "Office", "Garden", "Travel", "Music", "Recipe", "Invoice", "Team", "Client", "Summer", "Winter",
        "Health", "Sports", "Meeting", "Research", "Photo", "Video", "Design", "Contract", "Tax", "Car", "Home",
        "Birthday", "Wedding"};
    const QStringList nouns = {"Report", "Notes", "Plan", "Letter", "Spreadsheet", "Folder", "Photos", "List",
        "Schedule", "Summary", "Draft", "Archive", "Backup", "Slides", "Budget", "Ideas", "Minutes", "Contacts",
        "Calendar", "Checklist", "Journal", "Diary", "Receipts", "Forms", "Website", "Album", "Playlist",
        "Manual", "Invoices", "Overview"};
    QStringList all = base;
    for (const QString& a : adjectives)
        for (const QString& n : nouns)
            if (all.size() < 1000)
                all << a + QLatin1Char(' ') + n;
    return all;
}

// 60 s in one stream: loud noise, quiet noise, and chords with a beat like music from a speaker.
std::vector<int16_t> noiseAndMusic(std::mt19937& rng)
{
    std::vector<int16_t> stream;
    for (float v : noise(size_t(kRate) * 20, 1500, rng))
        stream.push_back(int16_t(std::clamp(v, -32768.f, 32767.f)));
    for (float v : noise(size_t(kRate) * 10, 200, rng))
        stream.push_back(int16_t(v));
    const double notes[] = {220, 261.6, 329.6, 392, 293.7, 349.2, 440, 196};
    for (int i = 0; i < kRate * 30; ++i) {
        const double t = double(i) / kRate;
        const int chord = int(t * 2) % 8;
        double v = 0;
        for (int k = 0; k < 3; ++k)
            v += std::sin(2 * M_PI * notes[(chord + k * 2) % 8] * t);
        const double beat = std::exp(-8 * std::fmod(t, 0.5));
        stream.push_back(int16_t(v * 2500 * (0.4 + beat)));
    }
    return stream;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    g_work = QDir::tempPath() + QStringLiteral("/vorlix-vcmd-bench");
    if (const auto i = args.indexOf(QStringLiteral("--work")); i > 0 && i + 1 < args.size())
        g_work = args[i + 1];
    const bool quick = args.contains(QStringLiteral("--quick"));
    g_verbose = args.contains(QStringLiteral("--verbose"));
    QDir().mkpath(g_work);

    const QStringList menu = readLines(QStringLiteral("menu100.txt"));
    const QStringList outside = readLines(QStringLiteral("outside.txt"));
    const QStringList nearMisses = readLines(QStringLiteral("nearmiss.txt"));
    std::mt19937 rng(7);

    // Two utterances a phrase, voices and speeds in rotation, every other one in noise.
    std::vector<Utterance> hits, rejects, near;
    const int rounds = quick ? 1 : 2;
    for (int r = 0; r < rounds; ++r)
        for (qsizetype i = 0; i < menu.size(); ++i) {
            const size_t k = size_t(i * rounds + r);
            hits.push_back(makeUtterance(menu[i], menu[i], kVoices[k % 8], k % 2 ? 20.0 : 0.0, rng));
        }
    for (qsizetype i = 0; i < outside.size(); ++i)
        rejects.push_back(makeUtterance(outside[i], {}, kVoices[size_t(i) % 8], i % 2 ? 20.0 : 0.0, rng));
    for (qsizetype i = 0; i < nearMisses.size(); ++i)
        near.push_back(makeUtterance(nearMisses[i], {}, kVoices[size_t(i) % 8], 0.0, rng));
    const std::vector<int16_t> noiseStream = noiseAndMusic(rng);

    const long rssBefore = rssKb();
    auto created = SphinxRecognizer::create({});
    if (!created) {
        std::fprintf(stderr, "%s\n", qPrintable(created.error().message));
        return 1;
    }
    SphinxRecognizer& recognizer = *created.value();
    recognizer.setPhrases(menu);
    recognizer.compile();
    const long rssModel = rssKb() - rssBefore;

    auto runSet = [&](const std::vector<Utterance>& set, std::vector<Outcome>& out, double& processingMs,
                      double& audioMs) {
        for (const Utterance& u : set) {
            const Outcome o = mainOutcome(hear(recognizer, u.audio, u.speechEnd, &processingMs));
            audioMs += double(u.audio.size()) * 1000.0 / kRate;
            out.push_back(o);
            if (g_verbose)
                std::printf("  %3d %-40s -> %-30s score %3d %s\n", recognizer.threshold(), qPrintable(u.text),
                    qPrintable(o.hearing.heard), o.hearing.score, o.hearing.fired ? "FIRED" : "");
        }
    };
    auto firedCount = [](const std::vector<Outcome>& outs) {
        return int(std::count_if(outs.begin(), outs.end(), [](const Outcome& o) { return o.hearing.fired; }));
    };
    auto exactHits = [&](const std::vector<Outcome>& outs) {
        int n = 0;
        for (size_t i = 0; i < hits.size(); ++i)
            n += outs[i].hearing.fired && outs[i].hearing.phrase == hits[i].expected;
        return n;
    };

    std::printf("\nVoice-command recogniser: %zu menu utterances (%zu voices/speeds, half at 20 dB SNR), "
                "%zu out-of-menu sentences (half at 20 dB SNR), %zu near misses, %.0f s noise/music\n",
        hits.size(), std::size(kVoices), rejects.size(), near.size(), double(noiseStream.size()) / kRate);
    std::printf("\n%-10s %12s %14s %16s %12s\n", "threshold", "exact hits", "false fires", "near-miss fires",
        "noise fires");
    std::vector<Outcome> hitsAtDefault;
    double processingMs = 0, audioMs = 0;
    std::vector<int> thresholds(std::begin(kThresholds), std::end(kThresholds));
    if (const auto i = args.indexOf(QStringLiteral("--at")); i > 0 && i + 1 < args.size())
        thresholds = {args[i + 1].toInt()};
    for (int t : thresholds) {
        recognizer.setThreshold(t);
        std::vector<Outcome> h, r, n;
        double spentMs = 0, heardMs = 0;
        runSet(hits, h, spentMs, heardMs);
        runSet(rejects, r, spentMs, heardMs);
        runSet(near, n, spentMs, heardMs);
        const int64_t noiseStart = recognizer.samplesProcessed();
        const auto noiseOutcomes = hear(recognizer, noiseStream, noiseStream.size(), &spentMs);
        heardMs += double(noiseStream.size()) * 1000.0 / kRate;
        if (g_verbose)
            for (const Outcome& o : noiseOutcomes)
                if (o.hearing.fired)
                    std::printf("  %3d noise at %.1f s -> %s, score %d\n", t,
                        double(o.hearing.speechStartSample - noiseStart) / kRate, qPrintable(o.hearing.heard), o.hearing.score);
        std::printf("%-10d %11.1f%% %13.1f%% %15.1f%% %12d\n", t, 100.0 * exactHits(h) / double(hits.size()),
            100.0 * firedCount(r) / double(rejects.size()), 100.0 * firedCount(n) / double(near.size()),
            firedCount(noiseOutcomes));
        std::fflush(stdout);
        if (t == 50) {
            hitsAtDefault = h;
            processingMs = spentMs;
            audioMs = heardMs;
        }
    }
    recognizer.setThreshold(50);

    std::vector<double> latencies, decodes;
    for (const Outcome& o : hitsAtDefault)
        if (o.hearing.fired) {
            latencies.push_back(o.latencyMs);
            decodes.push_back(o.hearing.decodeMs);
        }
    std::printf("\nlatency at threshold 50 (end of speech to event, 20 ms chunks in real time): "
                "median %.0f ms, 95th %.0f ms; of which ending the search and scoring: median %.1f ms, 95th %.1f ms\n",
        percentile(latencies, 0.5), percentile(latencies, 0.95), percentile(decodes, 0.5), percentile(decodes, 0.95));
    std::printf("real-time factor (one core, threshold 50): %.3f\n", processingMs / audioMs);
    std::printf("memory with the model and the 100-phrase menu: %ld MB\n", rssModel / 1024);
    if (args.contains(QStringLiteral("--no-big")))
        return 0;

    // Grammar rebuild for 1,000 phrases, and accuracy on that menu.
    const QStringList big = thousandPhrases(menu);
    recognizer.setPhrases(big);
    const auto t0 = std::chrono::steady_clock::now();
    recognizer.compile();
    const double firstMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    recognizer.setPhrases(big.mid(1));
    const auto t1 = std::chrono::steady_clock::now();
    recognizer.compile();
    const double rebuildMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t1).count();
    recognizer.setPhrases(big);
    recognizer.compile();
    std::printf("grammar for 1,000 phrases: first build %.1f ms (pronunciations looked up), rebuild %.1f ms\n",
        firstMs, rebuildMs);
    std::vector<Outcome> bigHits, bigRejects;
    double bigMs = 0, bigAudioMs = 0;
    runSet(hits, bigHits, bigMs, bigAudioMs);
    runSet(rejects, bigRejects, bigMs, bigAudioMs);
    std::printf("1,000-phrase menu at threshold 50: exact hits %.1f%%, false fires %.1f%%, real-time factor %.3f\n",
        100.0 * exactHits(bigHits) / double(hits.size()), 100.0 * firedCount(bigRejects) / double(rejects.size()),
        bigMs / bigAudioMs);
    return 0;
}
