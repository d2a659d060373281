// Accuracy, rejection, latency and cost of the recogniser, on speech synthesised at run time
// by two synthesizers (espeak-ng and flite, cached in the work folder), in several voices of
// both sexes, at two speeds, clean, with white and pink noise at 20 and 10 dB, and with
// pauses between the words; besides, sentences, near misses and first words said alone
// (quietly and in loud noise) that must fire nothing. Prints tables; asserts nothing.
//   vcmd_bench [--work DIR] [--per-cell N] [--conditions TEXT] [--menu 100|200] [--no-espeak-readings]
//              [--at THRESHOLD] [--sweep] [--verbose] [--no-big]

#include "bench/vcmd/SynthesizedSpeech.h"
#include "platform/vcmd/SphinxRecognizer.h"
#include "platform/vcmd/WavFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <random>

namespace {

constexpr int kRate = SphinxRecognizer::kSampleRateHz;
constexpr int kChunk = kRate / 50;   // 20 ms, as a sound card delivers it
const int kSpeeds[] = {150, 190};

const SynthVoice kVoices[] = {{"espeak f2 (F)", "espeak-ng", "en-us+f2"}, {"espeak f5 (F)", "espeak-ng", "en-us+f5"},
    {"espeak m6 (M)", "espeak-ng", "en-us+m6"}, {"espeak klatt2 (M)", "espeak-ng", "en-us+klatt2"},
    {"flite slt (F)", "flite", "slt"}, {"flite rms (M)", "flite", "rms"}, {"flite awb (M)", "flite", "awb"}};

struct Condition {
    const char* label;
    NoiseKind noise;
    double snrDb;
    int pauseMs;   // between the words, for phrases of more than one word
};
const Condition kConditions[] = {{"clean", NoiseKind::None, 0, 0}, {"paused 0.4s", NoiseKind::None, 0, 400},
    {"white 20dB", NoiseKind::White, 20, 0}, {"pink 20dB", NoiseKind::Pink, 20, 0},
    {"white 10dB", NoiseKind::White, 10, 0}, {"pink 10dB", NoiseKind::Pink, 10, 0}};

struct Utterance {
    QString text;
    QString expected;   // the phrase that should fire; empty when nothing should
    std::vector<int16_t> audio;
    size_t speechEnd = 0;   // sample index in audio where the speech's sound ends
    size_t voice = 0, condition = 0;
    bool continuable = false;   // another phrase of the menu starts with this one
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

std::vector<int16_t> roomQuiet(size_t n, std::mt19937& rng)
{
    std::uniform_int_distribution<int> d(-3, 3);
    std::vector<int16_t> out(n);
    for (auto& v : out)
        v = int16_t(d(rng));
    return out;
}

// Speech in its condition: word by word with pauses, or whole; 0.4 s before and 1.2 s after
// in quiet, or 1.5 s before in noise, as in a room the recogniser has been hearing a while.
Utterance makeUtterance(const QString& text, const QString& expected, size_t voiceIndex, int speedWpm,
                        size_t conditionIndex, std::mt19937& rng)
{
    const SynthVoice& voice = kVoices[voiceIndex];
    const Condition& condition = kConditions[conditionIndex];
    Utterance u{text, expected, {}, 0, voiceIndex, conditionIndex, false};
    std::vector<int16_t> speech;
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (condition.pauseMs > 0 && words.size() > 1) {
        for (const QString& word : words) {
            if (!speech.empty()) {
                const auto pause = roomQuiet(size_t(condition.pauseMs) * kRate / 1000, rng);
                speech.insert(speech.end(), pause.begin(), pause.end());
            }
            const auto w = synthesize(g_work, word, voice, speedWpm);
            speech.insert(speech.end(), w.begin(), w.end());
        }
    } else {
        speech = synthesize(g_work, text, voice, speedWpm);
    }
    const bool noisy = condition.noise != NoiseKind::None;
    const size_t before = noisy ? kRate * 3 / 2 : kRate * 4 / 10, after = kRate * 6 / 5;
    std::vector<float> bed(before + speech.size() + after);
    if (noisy) {
        bed = noise(bed.size(), condition.noise, activeRms(speech) / std::pow(10.0, condition.snrDb / 20), rng);
    } else {
        const auto quiet = roomQuiet(bed.size(), rng);
        std::copy(quiet.begin(), quiet.end(), bed.begin());
    }
    u.audio = overBed(speech, before, bed);
    u.speechEnd = before + speech.size();
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

// The utterance's result: the first hearing that fired, else the first that names a phrase,
// else the first at all.
Outcome mainOutcome(const std::vector<Outcome>& outcomes)
{
    for (const Outcome& o : outcomes)
        if (o.hearing.fired)
            return o;
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
            if (all.size() < 1000 && !all.contains(a + QLatin1Char(' ') + n))
                all << a + QLatin1Char(' ') + n;
    return all;
}

// 60 s in one stream: loud noise, quiet noise, and chords with a beat like music from a speaker.
std::vector<int16_t> noiseAndMusic(std::mt19937& rng)
{
    std::vector<int16_t> stream;
    for (float v : noise(size_t(kRate) * 20, NoiseKind::Pink, 1500, rng))
        stream.push_back(int16_t(std::clamp(v, -32768.f, 32767.f)));
    for (float v : noise(size_t(kRate) * 10, NoiseKind::White, 200, rng))
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

struct Tally {
    int hits = 0, wrong = 0, misses = 0;
    int total() const { return hits + wrong + misses; }
    void add(const Utterance& u, const Hearing& h)
    {
        if (!h.fired)
            ++misses;
        else if (h.phrase == u.expected)
            ++hits;
        else
            ++wrong;
    }
    QString cell() const
    {
        if (total() == 0)
            return QStringLiteral("-");
        return QStringLiteral("%1/%2/%3")
            .arg(100.0 * hits / total(), 0, 'f', 0)
            .arg(100.0 * wrong / total(), 0, 'f', 0)
            .arg(100.0 * misses / total(), 0, 'f', 0);
    }
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    auto option = [&](const char* name, const QString& fallback) {
        const auto i = args.indexOf(QString::fromLatin1(name));
        return i > 0 && i + 1 < args.size() ? args[i + 1] : fallback;
    };
    g_work = option("--work", QDir::tempPath() + QStringLiteral("/vorlix-vcmd-bench"));
    g_verbose = args.contains(QStringLiteral("--verbose"));
    const int perCell = option("--per-cell", QStringLiteral("20")).toInt();
    const QString onlyConditions = option("--conditions", QString());   // labels holding this text
    const bool menu200 = option("--menu", QStringLiteral("100")) == QStringLiteral("200");
    QDir().mkpath(g_work);

    // The phrases spoken are the first hundred's with either menu, so that the larger menu is
    // measured on the same speech.
    const QStringList spokenMenu = readLines(QStringLiteral("menu100.txt"));
    QStringList menu = spokenMenu;
    if (menu200)
        menu += readLines(QStringLiteral("menu200-extra.txt"));
    const QStringList outside = readLines(QStringLiteral("outside.txt"));
    const QStringList nearMisses = readLines(QStringLiteral("nearmiss.txt"));
    std::mt19937 rng(7);

    // Each voice and condition hears perCell phrases spread over the first hundred, at both
    // speeds in turn; with pauses, only phrases of more than one word.
    const QStringList pausable = [&] {
        QStringList out;
        for (const QString& p : spokenMenu)
            if (p.contains(QLatin1Char(' ')))
                out << p;
        return out;
    }();
    std::vector<Utterance> hits;
    for (size_t v = 0; v < std::size(kVoices); ++v)
        for (size_t c = 0; c < std::size(kConditions); ++c) {
            if (!QString::fromLatin1(kConditions[c].label).contains(onlyConditions))
                continue;
            const QStringList& pool = kConditions[c].pauseMs > 0 ? pausable : spokenMenu;
            for (int i = 0; i < perCell; ++i) {
                const qsizetype k = (qsizetype(v * 13 + c * 7) + qsizetype(i) * pool.size() / perCell) % pool.size();
                Utterance u = makeUtterance(pool[k], pool[k], v, kSpeeds[size_t(i) % 2], c, rng);
                const QString prefix = pool[k].toLower() + QLatin1Char(' ');
                u.continuable = std::any_of(menu.begin(), menu.end(), [&](const QString& p) {
                    return p.toLower().startsWith(prefix);
                });
                hits.push_back(std::move(u));
            }
        }
    // What must fire nothing is said once, by the voices in turn at both speeds; half of the
    // sentences in white noise at 20 dB.
    auto saidInTurn = [&](const QStringList& lines, size_t evenCondition, size_t oddCondition) {
        std::vector<Utterance> out;
        for (qsizetype i = 0; i < lines.size(); ++i)
            out.push_back(makeUtterance(lines[i], {}, size_t(i) % std::size(kVoices),
                kSpeeds[size_t(i) / std::size(kVoices) % 2], i % 2 ? oddCondition : evenCondition, rng));
        return out;
    };
    const std::vector<Utterance> rejects = saidInTurn(outside, 0, 2);
    const std::vector<Utterance> near = saidInTurn(nearMisses, 0, 0);
    // The first word of a longer phrase said alone, by a speaker who stops short: the search
    // can always complete it to some phrase.
    QStringList firstWords;
    for (const QString& p : spokenMenu) {
        const QString first = p.section(QLatin1Char(' '), 0, 0);
        const bool isPhrase = std::any_of(menu.begin(), menu.end(),
            [&](const QString& m) { return m.compare(first, Qt::CaseInsensitive) == 0; });
        if (p.contains(QLatin1Char(' ')) && !isPhrase && !firstWords.contains(first))
            firstWords << first;
    }
    const std::vector<Utterance> alone = saidInTurn(firstWords, 0, 0);
    const std::vector<int16_t> noiseStream = noiseAndMusic(rng);
    // The same in white and pink noise at 10 dB, where the words are hardest to tell apart.
    const std::vector<Utterance> aloneInNoise = saidInTurn(firstWords, 4, 5);

    const long rssBefore = rssKb();
    SphinxRecognizer::Options options;
    options.espeakReadings = !args.contains(QStringLiteral("--no-espeak-readings"));
    auto created = SphinxRecognizer::create(options);
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
                std::printf("  %-18s %-12s %-34s -> %-30s score %3d snr %4.1f %s\n", kVoices[u.voice].label,
                    kConditions[u.condition].label, qPrintable(u.text), qPrintable(o.hearing.heard), o.hearing.score,
                    o.hearing.snrDb,
                    o.hearing.fired ? (o.hearing.phrase == u.expected ? "HIT" : "FIRED") : "");
        }
    };
    auto firedCount = [](const std::vector<Outcome>& outs) {
        return int(std::count_if(outs.begin(), outs.end(), [](const Outcome& o) { return o.hearing.fired; }));
    };

    std::printf("\nVoice-command recogniser, %lld-phrase menu, %s in the dictionary: %zu menu utterances "
                "(%d per voice and condition, speeds %d and %d wpm), %zu out-of-menu sentences (half at 20 dB), "
                "%zu near misses, %zu first words said alone, %.0f s noise/music\n",
        static_cast<long long>(menu.size()), options.espeakReadings ? "espeak-ng readings" : "no espeak-ng readings",
        hits.size(), perCell, kSpeeds[0], kSpeeds[1], rejects.size(), near.size(), alone.size(),
        double(noiseStream.size()) / kRate);

    std::vector<int> thresholds = {option("--at", QStringLiteral("50")).toInt()};
    if (args.contains(QStringLiteral("--sweep")))
        thresholds = {0, 25, 50, 75, 100};
    std::vector<Outcome> hitsAtDefault;
    double processingMs = 0, audioMs = 0;
    for (int t : thresholds) {
        recognizer.setThreshold(t);
        std::vector<Outcome> h, r, n, a, an;
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
        runSet(alone, a, spentMs, heardMs);
        runSet(aloneInNoise, an, spentMs, heardMs);

        // Hits/wrong fires/misses in percent, per voice and condition.
        std::map<std::pair<size_t, size_t>, Tally> cells;
        std::vector<Tally> byCondition(std::size(kConditions));
        Tally all;
        for (size_t i = 0; i < hits.size(); ++i) {
            cells[{hits[i].voice, hits[i].condition}].add(hits[i], h[i].hearing);
            byCondition[hits[i].condition].add(hits[i], h[i].hearing);
            all.add(hits[i], h[i].hearing);
        }
        std::printf("\nthreshold %d: hits/wrong/misses %% per voice and condition\n%-18s", t, "voice");
        for (const Condition& c : kConditions)
            std::printf(" %12s", c.label);
        std::printf("\n");
        for (size_t v = 0; v < std::size(kVoices); ++v) {
            std::printf("%-18s", kVoices[v].label);
            for (size_t c = 0; c < std::size(kConditions); ++c)
                std::printf(" %12s", qPrintable((cells[{v, c}].cell())));
            std::printf("\n");
        }
        std::printf("%-18s", "all voices");
        for (const Tally& c : byCondition)
            std::printf(" %12s", qPrintable(c.cell()));
        std::printf("\nall menu utterances: hits %s; false fires %.1f%% (%zu sentences); near-miss fires %.1f%% "
                    "(%zu); first words alone fires %.1f%% (%zu), at 10 dB %.1f%%; noise/music fires %d\n",
            qPrintable(all.cell()), 100.0 * firedCount(r) / double(rejects.size()), rejects.size(),
            100.0 * firedCount(n) / double(near.size()), near.size(), 100.0 * firedCount(a) / double(alone.size()),
            alone.size(), 100.0 * firedCount(an) / double(aloneInNoise.size()), firedCount(noiseOutcomes));
        std::fflush(stdout);
        if (t == thresholds.front() || t == 50) {
            hitsAtDefault = h;
            processingMs = spentMs;
            audioMs = heardMs;
        }
    }

    // Noise costs a look at the utterance with the noise taken out, so quiet and noise are
    // also shown apart.
    std::vector<double> final, finalQuiet, finalNoisy, continued, decodes;
    for (size_t i = 0; i < hitsAtDefault.size(); ++i) {
        const Outcome& o = hitsAtDefault[i];
        if (!o.hearing.fired || o.hearing.phrase != hits[i].expected)
            continue;
        if (hits[i].continuable) {
            continued.push_back(o.latencyMs);
        } else {
            final.push_back(o.latencyMs);
            (kConditions[hits[i].condition].noise == NoiseKind::None ? finalQuiet : finalNoisy).push_back(o.latencyMs);
        }
        decodes.push_back(o.hearing.decodeMs);
    }
    std::printf("\nlatency from the end of speech to the event (hits, 20 ms chunks in real time): phrases nothing "
                "continues: median %.0f ms, 95th %.0f ms (%zu; in quiet %.0f ms, in noise %.0f ms); phrases another "
                "continues: median %.0f ms (%zu); ending the search and scoring: median %.1f ms, 95th %.1f ms\n",
        percentile(final, 0.5), percentile(final, 0.95), final.size(), percentile(finalQuiet, 0.5),
        percentile(finalNoisy, 0.5), percentile(continued, 0.5), continued.size(), percentile(decodes, 0.5),
        percentile(decodes, 0.95));
    std::printf("real-time factor (one core): %.3f\n", processingMs / audioMs);
    std::printf("memory with the model and the menu: %ld MB\n", rssModel / 1024);
    if (args.contains(QStringLiteral("--no-big")))
        return 0;

    // Grammar rebuild for 1,000 phrases, and accuracy on that menu.
    recognizer.setThreshold(thresholds.front());
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
    Tally bigAll;
    for (size_t i = 0; i < hits.size(); ++i)
        bigAll.add(hits[i], bigHits[i].hearing);
    std::printf("1,000-phrase menu: hits/wrong/misses %s, false fires %.1f%%, real-time factor %.3f\n",
        qPrintable(bigAll.cell()), 100.0 * firedCount(bigRejects) / double(rejects.size()), bigMs / bigAudioMs);
    return 0;
}
