// Registering and unregistering thousands of phrases, and finding and running one heard
// phrase among them, over the recording fake of the recogniser.

#include "tests/fakes/VoiceFakes.h"

#include "app/voice/VoiceCommandObject.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <memory>
#include <vector>

namespace {

struct Counting : VoiceCommandObject {
    explicit Counting(QString phrase) : phrase(std::move(phrase)) {}
    QString voice() const override { return phrase; }
    void Execute() override { ++runs; }
    QString phrase;
    int runs = 0;
};

std::vector<std::unique_ptr<Counting>> makePhrases(int count)
{
    std::vector<std::unique_ptr<Counting>> phrases;
    for (int i = 0; i < count; ++i)
        phrases.push_back(std::make_unique<Counting>(QStringLiteral("Program number %1").arg(i)));
    return phrases;
}

void RegisterAndUnregister(benchmark::State& state, bool reverse)
{
    const auto phrases = makePhrases(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        VoiceHarness h;
        (void)h.menus.CreateVoiceMenu();
        for (const auto& phrase : phrases)
            h.menus.RegisterCommand(*phrase);
        if (reverse) {
            for (auto it = phrases.rbegin(); it != phrases.rend(); ++it)
                h.menus.UnregisterCommand(**it);
        } else {
            for (const auto& phrase : phrases)
                h.menus.UnregisterCommand(*phrase);
        }
        benchmark::DoNotOptimize(h.menus.commandRegistry().count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_RegisterOnly(benchmark::State& state)
{
    const auto phrases = makePhrases(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        VoiceHarness h;
        (void)h.menus.CreateVoiceMenu();
        for (const auto& phrase : phrases)
            h.menus.RegisterCommand(*phrase);
        benchmark::DoNotOptimize(h.menus.commandRegistry().count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_RegisterUnregisterInOrder(benchmark::State& state) { RegisterAndUnregister(state, false); }
void BM_RegisterUnregisterNewestFirst(benchmark::State& state) { RegisterAndUnregister(state, true); }

// The road of one heard phrase: the recogniser's event, the case-blind lookup, Execute.
void BM_HeardPhraseDispatch(benchmark::State& state)
{
    const auto phrases = makePhrases(static_cast<int>(state.range(0)));
    VoiceHarness h;
    (void)h.menus.CreateVoiceMenu();
    for (const auto& phrase : phrases)
        h.menus.RegisterCommand(*phrase);
    const QString heard = QStringLiteral("program NUMBER %1").arg(state.range(0) / 2);
    for (auto _ : state)
        h.recogniser.hear(heard);
    if (phrases[static_cast<size_t>(state.range(0) / 2)]->runs != static_cast<int>(state.iterations()))
        state.SkipWithError("the heard phrase did not reach its command");
}

// Re-registering a phrase that is already held: the phrase is taken from the menu first.
void BM_ReregisterHeldPhrase(benchmark::State& state)
{
    const auto phrases = makePhrases(static_cast<int>(state.range(0)));
    VoiceHarness h;
    (void)h.menus.CreateVoiceMenu();
    for (const auto& phrase : phrases)
        h.menus.RegisterCommand(*phrase);
    Counting newcomer(phrases.front()->phrase);
    for (auto _ : state)
        h.menus.RegisterCommand(newcomer);
}

BENCHMARK(BM_RegisterOnly)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RegisterUnregisterInOrder)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RegisterUnregisterNewestFirst)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HeardPhraseDispatch)->Arg(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReregisterHeldPhrase)->Arg(5000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
