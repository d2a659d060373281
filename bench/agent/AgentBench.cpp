// Agent control hot paths: loading a character, drawing a frame at twice the design
// size, and the time from a Speak to its first audio. Targets: 50 ms, 8 ms, 100 ms.

#include "platform/agent/CharacterRenderer.h"
#include "platform/agent/DesktopAgentCharacters.h"
#include "platform/agent/EspeakUtterance.h"

#include <QElapsedTimer>
#include <QEventLoop>

#include <benchmark/benchmark.h>

namespace {

const char* const kCharacters[] = {"merlin.acs", "robby.acs", "hoot.acs"};

QString characterPath(int index)
{
    return QStringLiteral(VORLIX_CHARACTERS_DIR "/") + QLatin1String(kCharacters[index]);
}

void CharacterLoad(benchmark::State& state)
{
    DesktopAgentCharacters characters;
    for (auto _ : state) {
        if (!characters.load(QStringLiteral("Bench"), characterPath(int(state.range(0)))))
            state.SkipWithError("load failed");
    }
    state.SetLabel(kCharacters[state.range(0)]);
}
BENCHMARK(CharacterLoad)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void FrameRenderAt2x(benchmark::State& state)
{
    const Result<CharacterFile> file = CharacterFile::load(characterPath(int(state.range(0))));
    if (!file)
        return state.SkipWithError("load failed");
    const CharacterRenderer renderer(file.value());
    // The busiest frame of the greeting: body, face, both arms.
    const std::vector<int> layers = file.value().findAnimation(QStringLiteral("Greet"))->frames[1].layers;
    const QSize size = file.value().designSize * 2;
    for (auto _ : state)
        benchmark::DoNotOptimize(renderer.renderUncached(layers, size));
    state.SetLabel(kCharacters[state.range(0)]);
}
BENCHMARK(FrameRenderAt2x)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void TimeToFirstAudio(benchmark::State& state)
{
    const QString sentence = QStringLiteral(
        "\\Pit=50\\\\Spd=180\\\\Chr=\"Normal\"\\Good morning, your calendar shows three meetings today and "
        "the first one starts at nine in the small room.");
    for (auto _ : state) {
        EspeakUtterance utterance(SpeechText::parse(sentence), AgentCharacter::kLanguageEnglishUS, nullptr, nullptr,
                                  QString());
        QEventLoop loop;
        QObject::connect(&utterance, &EspeakUtterance::firstAudio, &loop, &QEventLoop::quit);
        QElapsedTimer clock;
        clock.start();
        utterance.start();
        loop.exec();
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
    }
}
BENCHMARK(TimeToFirstAudio)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
