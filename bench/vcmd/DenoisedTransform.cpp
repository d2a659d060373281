// Makes the transform the recogniser applies to the model when it looks at speech it took
// loud noise out of. Noise reduction leaves speech thinner and its pauses patchy, the same
// way for every speaker, which an MLLR transform of the model's means can follow. It is
// learnt from the training session's phrases, none of them in the benchmark's menu, spoken
// by voices the benchmark does not use, in white and pink noise at 10 dB, reduced as the
// recogniser reduces them. Needs espeak-ng, flite and sphinxtrain.
//   vcmd_denoised_transform OUTPUT [--work DIR]

#include "bench/vcmd/SynthesizedSpeech.h"
#include "platform/vcmd/NoiseReduction.h"
#include "platform/vcmd/SpeakerAdaptation.h"
#include "platform/vcmd/ToolRunner.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>

namespace {

constexpr int kRate = 16000;
constexpr double kSnrDb = 10;
const SynthVoice kVoices[] = {{"m1", "espeak-ng", "en-us+m1"}, {"m2", "espeak-ng", "en-us+m2"},
    {"m3", "espeak-ng", "en-us+m3"}, {"f1", "espeak-ng", "en-us+f1"}, {"f3", "espeak-ng", "en-us+f3"},
    {"f4", "espeak-ng", "en-us+f4"}, {"kal16", "flite", "kal16"}};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: vcmd_denoised_transform OUTPUT [--work DIR]\n");
        return 2;
    }
    const qsizetype workAt = args.indexOf(QStringLiteral("--work"));
    const QString work = workAt > 0 && workAt + 1 < args.size() ? args[workAt + 1]
                                                                : QDir::tempPath() + QStringLiteral("/vorlix-vcmd-bench");
    QDir().mkpath(work);

    std::mt19937 rng(12345);
    std::vector<AdaptationRecording> recordings;
    int spoken = 0;
    for (const SynthVoice& voice : kVoices) {
        for (const QString& phrase : SpeakerAdaptation::sessionPhrases()) {
            const auto speech = synthesize(work, phrase, voice, spoken++ % 2 ? 150 : 190);
            if (speech.empty()) {
                std::fprintf(stderr, "%s could not say \"%s\"\n", voice.name, qPrintable(phrase));
                return 1;
            }
            for (const NoiseKind kind : {NoiseKind::White, NoiseKind::Pink}) {
                const size_t before = kRate * 6 / 10, after = kRate / 2;
                const auto bed = noise(before + speech.size() + after, kind, activeRms(speech) / std::pow(10.0, kSnrDb / 20), rng);
                recordings.push_back({phrase, NoiseReduction::reduce(overBed(speech, before, bed))});
            }
        }
    }

    QTemporaryDir folder;
    ProcessToolRunner tools;
    SpeakerAdaptation adaptation(folder.path(), tools);
    const auto adapted = adaptation.adapt(recordings, [](int percent, const QString& step) {
        std::printf("%3d%% %s\n", percent, qPrintable(step));
    });
    if (!adapted) {
        std::fprintf(stderr, "%s\n", qPrintable(adapted.error().message));
        return 1;
    }
    const QString output = args[1];
    QFile::remove(output);
    if (!QFile::copy(SpeakerAdaptation::storedTransform(folder.path()), output)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(output));
        return 1;
    }
    std::printf("%zu recordings, transform written to %s\n", recordings.size(), qPrintable(output));
    return 0;
}
