// Start-up of the main window to "Initialized" with a Start list of 10,000 records (the
// Start list's own step reported apart), and an import of 5,000 favourites, over the
// recording fakes of the platform and of the library. Run with QT_QPA_PLATFORM=offscreen.

#include "app/lists/ListImports.h"
#include "app/lists/UserList.h"
#include "app/shell/frmMain.h"
#include "tests/fakes/FakeMessageWindows.h"
#include "tests/fakes/FakeQuestions.h"
#include "tests/fakes/ShellFakes.h"
#include "tests/fakes/VoiceFakes.h"
#include "tests/support/TestEnvironment.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

namespace {

void BM_StartUpWith10000StartItems(benchmark::State& state)
{
    IsolatedEnvironment env;
    IsolatedEnvironment::writeFile(env.path("windir/msagent/chars/merlin.acs"), "character");
    IsolatedEnvironment::writeFile(env.path("MessageID.INI"), "[General]\r\nOverview=Yes\r\n");
    IsolatedEnvironment::writeFile(env.path("Vorlix.INI"), "[Account]\r\nUserName=\r\n");
    QByteArray records;
    for (int i = 0; i < 10000; ++i)
        records += QStringLiteral("Application %1\r\n/usr/bin/application-%1\r\n--open 'file %1'\r\n").arg(i).toUtf8();
    IsolatedEnvironment::writeFile(env.path("apps.dat"), records);
    double startListMs = 0;
    for (auto _ : state) {
        AppState appState;
        appState.AppPath = env.root();
        FakePlatform fakes;
        frmMain window(appState, fakes.services, [] {}, [] {});
        if (!window.Form_Load()) {
            state.SkipWithError("the window did not load");
            break;
        }
        QElapsedTimer step;
        QString current;
        window.Init([&](const QString& status) {
            if (current == QLatin1String("Reading desktop & start menu"))
                startListMs += double(step.nsecsElapsed()) / 1e6;
            current = status;
            step.start();
        });
        QCoreApplication::processEvents();
    }
    state.counters["start_list_ms"] = benchmark::Counter(startListMs / double(state.iterations()));
}
BENCHMARK(BM_StartUpWith10000StartItems)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ImportOf5000Favorites(benchmark::State& state)
{
    IsolatedEnvironment env;
    VoiceHarness h;
    (void)h.menus.CreateVoiceMenu();
    FakeMokavelExports library;
    for (int i = 0; i < 5000; ++i)
        library.favorites.push_back({QStringLiteral("Web site %1").arg(i), QStringLiteral("https://example.org/%1").arg(i), ""});
    FakeQuestions questions;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(env.path("Web.INI"));
        auto documents = std::make_unique<UserList>(ListKind::Documents, h.menus, h.context, env.root());
        auto webSites = std::make_unique<UserList>(ListKind::WebSites, h.menus, h.context, env.root());
        ListImports imports(env.root(), *documents, *webSites,
                            ListImports::Services{h.menus, library, questions, [](const QString&) { return std::nullopt; },
                                                  [](bool) {}, [](UserList&) {}});
        state.ResumeTiming();
        imports.ImportFavorites();
        if (webSites->commands().count() != 5000)
            state.SkipWithError("not every favourite came in");
        state.PauseTiming();
        webSites.reset();
        documents.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * 5000);
}
BENCHMARK(BM_ImportOf5000Favorites)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
