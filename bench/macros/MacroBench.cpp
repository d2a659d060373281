// Macros with 1,000 files: reading them at start-up, writing them at exit, and the time
// from a heard phrase to the paste keys being sent while the character speaks.
// Targets: 200 ms, 1 s, 20 ms.

#include "tests/fakes/FakeClipboard.h"
#include "tests/fakes/VoiceFakes.h"

#include "app/character/CharacterController.h"
#include "app/macros/MacroList.h"
#include "platform/agent/DesktopAgentCharacters.h"
#include "platform/desktop/QtClipboard.h"
#include "platform/desktop/QtScreenMetrics.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

namespace {

constexpr int kMacroCount = 1000;

// A folder of macro files like a user's: a few lines of text each, some accents.
QString macroFolder()
{
    static QTemporaryDir dir;
    static const bool filled = [] {
        for (int i = 0; i < kMacroCount; ++i) {
            QFile file(dir.filePath(QStringLiteral("%1.%2.txt").arg(30000 + i * 7).arg(i % 100)));
            if (!file.open(QIODevice::WriteOnly))
                return false;
            file.write(QStringLiteral("Macro phrase %1\r\nWave\r\nHere is text %1\r\n\"Dear customer,\r\n"
                                      "thank you for your letter of the %1th — Grüße\r\nAda\"\r\n")
                           .arg(i)
                           .toUtf8());
        }
        return true;
    }();
    return filled ? dir.path() : QString();
}

// Keys are sent only to be timed.
struct TimedKeys : KeySender {
    QElapsedTimer* clock = nullptr;
    qint64 lastKeyNs = 0;
    void keybdEvent(uint8_t, uint8_t, uint32_t) override { lastKeyNs = clock ? clock->nsecsElapsed() : 0; }
    int16_t vkKeyScan(char) override { return -1; }
};

void LoadMacros(benchmark::State& state)
{
    const QString folder = macroFolder();
    FakeClipboard clipboard;
    for (auto _ : state) {
        auto voice = std::make_unique<VoiceHarness>();
        (void)voice->menus.CreateVoiceMenu();
        MacroContext context{voice->desktop, clipboard, voice->desktop};
        auto macros = std::make_unique<MacroList>(voice->menus, context, folder);
        macros->LoadMacros();
        state.PauseTiming();   // unregistering is not part of the start-up
        if (macros->count() != kMacroCount)
            state.SkipWithError("not every macro was read");
        macros.reset();
        voice.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(LoadMacros)->Unit(benchmark::kMillisecond);

// range(0): 1 when every macro was edited since the last save, 0 when none was.
void SaveMacros(benchmark::State& state)
{
    const QString folder = macroFolder();
    VoiceHarness voice;
    (void)voice.menus.CreateVoiceMenu();
    QtClipboard clipboard;
    MacroContext context{voice.desktop, clipboard, voice.desktop};
    MacroList macros(voice.menus, context, folder);
    macros.LoadMacros();
    int round = 0;
    for (auto _ : state) {
        if (state.range(0)) {
            state.PauseTiming();
            ++round;
            for (int i = 0; i < macros.count(); ++i)
                macros.at(i).m_WhatToSay = QStringLiteral("Edited %1").arg(round);
            state.ResumeTiming();
        }
        if (!macros.SaveMacros())
            state.SkipWithError("a macro could not be written");
    }
    state.SetLabel(state.range(0) ? "all edited" : "none edited");
}
BENCHMARK(SaveMacros)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void PhraseToPasteKeys(benchmark::State& state)
{
    qputenv("VORLIX_WINDIR", VORLIX_DATA_ROOT);
    DesktopAgentCharacters agent;
    CSettings settings(QDir::tempPath() + QStringLiteral("/vorlix-bench-none"));
    QtScreenMetrics screen;
    QtClipboard clipboard;
    CharacterController character(agent, settings, screen, clipboard, [](const QString&, bool) {},
                                  QStringLiteral("Vorlix"));
    if (!character.InitCharacter())
        return state.SkipWithError("no character to speak");

    FakeVoiceCommandControl recogniser;
    VoiceMenus menus(recogniser, settings);
    (void)menus.CreateVoiceMenu();
    menus.ActivateMenus();
    TimedKeys keys;
    MacroContext context{character, clipboard, keys};
    MacroList macros(menus, context, macroFolder());
    macros.LoadMacros();

    QElapsedTimer clock;
    keys.clock = &clock;
    for (auto _ : state) {
        clock.start();
        recogniser.hear(QStringLiteral("Macro phrase 500"));
        state.SetIterationTime(double(keys.lastKeyNs) / 1e9);
        state.PauseTiming();
        QCoreApplication::processEvents();   // the character starts speaking
        character.StopAgent();
        state.ResumeTiming();
    }
    if (clipboard.text() != macros.at(500).m_Text)
        state.SkipWithError("the macro text is not on the clipboard");
}
BENCHMARK(PhraseToPasteKeys)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);

} // namespace
