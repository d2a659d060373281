// vorlix-hear: decodes WAV files with the recogniser of the voice-command control, to check a
// set-up or a phrase list. One line per WAV, tab-separated: path, the phrase heard exactly as
// written in the phrase file (empty when nothing fired), the score, and the milliseconds from
// the end of the speech in the file (noise may run on after it) to the result.

#include "platform/vcmd/SpeakerAdaptation.h"
#include "platform/vcmd/SphinxRecognizer.h"
#include "platform/vcmd/WavFile.h"
#include "platform/common/GuardedMain.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cstdio>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: vorlix-hear --phrases FILE [--threshold N] [--no-adaptation] WAV...\n"
                         "  FILE holds one phrase per line, as a user would write it.\n"
                         "  The user's speaker adaptation is used as Vorlix uses it, unless --no-adaptation.\n");
    return 2;
}

int run(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString phrasesPath;
    int threshold = 50;
    bool adapted = true;
    QStringList wavs;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--phrases") && i + 1 < args.size()) {
            phrasesPath = args[++i];
        } else if (args[i] == QStringLiteral("--threshold") && i + 1 < args.size()) {
            bool ok = false;
            threshold = args[++i].toInt(&ok);
            if (!ok || threshold < 0 || threshold > 100) {
                std::fprintf(stderr, "vorlix-hear: the threshold is a number from 0 to 100\n");
                return 2;
            }
        } else if (args[i] == QStringLiteral("--no-adaptation")) {
            adapted = false;
        } else if (args[i].startsWith(QStringLiteral("--"))) {
            return usage();
        } else {
            wavs << args[i];
        }
    }
    if (phrasesPath.isEmpty() || wavs.isEmpty())
        return usage();

    QFile file(phrasesPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "vorlix-hear: %s: %s\n", qPrintable(phrasesPath), qPrintable(file.errorString()));
        return 1;
    }
    QStringList phrases;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (const QString phrase = line.trimmed(); !phrase.isEmpty())
            phrases << phrase;
    }

    SphinxRecognizer::Options options;
    options.threshold = threshold;
    if (adapted)
        options.mllrFile = SpeakerAdaptation::storedTransform(SpeakerAdaptation::defaultFolder());
    auto created = SphinxRecognizer::create(options);
    if (!created && !options.mllrFile.isEmpty()) {
        // As in Vorlix, a damaged adaptation costs the adaptation, not the recogniser.
        std::fprintf(stderr, "vorlix-hear: the speaker adaptation %s does not load; hearing with the plain model\n",
            qPrintable(options.mllrFile));
        options.mllrFile.clear();
        created = SphinxRecognizer::create(options);
    }
    if (!created) {
        std::fprintf(stderr, "vorlix-hear: %s\n", qPrintable(created.error().message));
        return 1;
    }
    SphinxRecognizer& recognizer = *created.value();
    recognizer.setPhrases(phrases);
    recognizer.compile();

    // Quiet room noise rather than digital zero, which the front end handles badly.
    std::vector<int16_t> silence(SphinxRecognizer::kSampleRateHz);
    for (size_t i = 0; i < silence.size(); ++i)
        silence[i] = int16_t((i * 7919) % 7) - 3;

    QTextStream out(stdout);
    int status = 0;
    for (const QString& wav : std::as_const(wavs)) {
        auto samples = WavFile::readAsRecognizerInput(wav);
        if (!samples) {
            std::fprintf(stderr, "vorlix-hear: %s\n", qPrintable(samples.error().message));
            status = 1;
            continue;
        }
        const int64_t base = recognizer.samplesProcessed();
        const int64_t soundEnd = base + int64_t(WavFile::endOfSpeech(samples.value()));
        std::vector<Hearing> hearings = recognizer.process(samples.value().data(), samples.value().size());
        for (auto& h : recognizer.process(silence.data(), silence.size()))
            hearings.push_back(h);
        for (auto& h : recognizer.finish())
            hearings.push_back(h);

        const Hearing* chosen = nullptr;
        for (const Hearing& h : hearings) {
            if (h.fired) {
                chosen = &h;
                break;
            }
            if (!chosen || h.score > chosen->score)
                chosen = &h;
        }
        QString phrase, score = QStringLiteral("0"), latency;
        if (chosen) {
            phrase = chosen->fired ? chosen->phrase : QString();
            score = QString::number(chosen->score);
            const double ms = double(chosen->endedSample - soundEnd) * 1000.0 / SphinxRecognizer::kSampleRateHz
                + chosen->decodeMs;
            latency = QString::number(std::max(0.0, ms), 'f', 0);
        }
        out << wav << '\t' << phrase << '\t' << score << '\t' << latency << '\n';
        out.flush();
    }
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    return runGuarded("vorlix-hear", [&] { return run(argc, argv); });
}
