// The user lists at their largest expected size, 10,000 entries in each of the three:
// loading them as start-up does (file, registration, rows), the rewrite at exit, one add,
// and a settings save with one file replacement against the key-by-key writes it replaced.
// Run under nice.

#include "tests/fakes/FakeMessageWindows.h"
#include "tests/fakes/FakeModalHost.h"
#include "tests/fakes/VoiceFakes.h"

#include "app/common/IniFile.h"
#include "app/lists/ListPage.h"
#include "app/lists/UserList.h"
#include "platform/profile/PrivateProfile.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <utime.h>

namespace {

constexpr int kEntries = 10000;
const ListKind* const kKinds[] = {&ListKind::Programs, &ListKind::Documents, &ListKind::WebSites};

QString folder()
{
    static QTemporaryDir dir;
    return dir.path();
}

// The files as the rewrite at exit leaves them, made long ago as at a real start.
void writeListFiles()
{
    for (const ListKind* kind : kKinds) {
        QByteArray text;
        for (int n = 1; n <= kEntries; ++n) {
            const QByteArray section = kind->sectionWord.toUtf8() + QByteArray::number(n);
            text += "[" + section + "]\r\nvoice=Open entry number " + QByteArray::number(n) + " of " + kind->sectionWord.toUtf8()
                + "\r\n" + kind->targetKey.toUtf8() + "=/home/user/Documents/some/folder/file" + QByteArray::number(n)
                + ".odt\r\nspeech=Here is entry " + QByteArray::number(n) + "\r\ntype=" + QByteArray::number(kind->type)
                + "\r\nGesture=Wave\r\n";
            if (kind->hasCommandLine)
                text += "CommandLine=--new-window\r\n";
        }
        text += "[Global]\r\nNextEntry=" + QByteArray::number(kEntries + 1) + "\r\n" + kind->countKey.toUtf8() + "="
            + QByteArray::number(kEntries) + "\r\n";
        const QString path = folder() + QLatin1Char('/') + kind->fileName;
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size())
            qFatal("could not write %s", qPrintable(path));
        out.close();
        struct utimbuf times {};
        times.actime = times.modtime = ::time(nullptr) - 3600;
        ::utime(path.toLocal8Bit().constData(), &times);
    }
}

// Three lists with their pages, as the main window holds them.
struct Lists {
    VoiceHarness h;
    FakeMessageWindows messages;
    FakeModalHost host;
    ListPage::Services services{h.menus, host,
                                EntryDialog::Services{h.context, messages, h.menus, [](const QString&) { return false; },
                                                      [](const QString&) { return true; },
                                                      [](QWidget*, const QStringList&, const QString& c) { return c; }}};
    std::vector<std::unique_ptr<UserList>> lists;
    std::vector<std::unique_ptr<ListPage>> pages;

    Lists()
    {
        (void)h.menus.CreateVoiceMenu();
        for (const ListKind* kind : kKinds) {
            lists.push_back(std::make_unique<UserList>(*kind, h.menus, h.context, folder()));
            pages.push_back(std::make_unique<ListPage>(*lists.back(), services));
        }
    }
    void load()
    {
        for (const auto& list : lists)
            list->Load();
    }
};

void LoadThreeLists(benchmark::State& state)
{
    writeListFiles();
    for (auto _ : state) {
        ClearPrivateProfileCache();
        Lists lists;
        lists.load();
        benchmark::DoNotOptimize(lists.h.menus.commandRegistry().count());
        state.PauseTiming();   // tearing down the pages is no part of start-up
        lists.pages.clear();
        state.ResumeTiming();
    }
}
BENCHMARK(LoadThreeLists)->Unit(benchmark::kMillisecond)->Iterations(5);

void RewriteThreeLists(benchmark::State& state)
{
    writeListFiles();
    Lists lists;
    lists.load();
    for (auto _ : state) {
        for (const auto& list : lists.lists) {
            if (!list->Save())
                state.SkipWithError("save failed");
        }
    }
}
BENCHMARK(RewriteThreeLists)->Unit(benchmark::kMillisecond)->Iterations(10);

void AddToALargeList(benchmark::State& state)
{
    writeListFiles();
    Lists lists;
    lists.load();
    UserList& documents = *lists.lists[1];
    int n = 0;
    for (auto _ : state) {
        if (!documents.Add(ListEntry{QStringLiteral("Added document %1").arg(n++), QStringLiteral("/home/user/new.odt"),
                                     QStringLiteral("Opening"), QStringLiteral("Wave"), QString()}))
            state.SkipWithError("add failed");
    }
}
BENCHMARK(AddToALargeList)->Unit(benchmark::kMillisecond)->Iterations(50);

struct Placement : WindowPlacement {
    int32_t screenWidthTwips() const override { return 28800; }
    int32_t windowWidthTwips() const override { return 10800; }
    int32_t windowLeftTwips() const override { return 1200; }
    int32_t windowTopTwips() const override { return 600; }
};

// The settings save as it is: one batched edit of the 24 keys.
void SettingsSaveBatched(benchmark::State& state)
{
    CSettings settings(folder());
    Placement placement;
    settings.LoadSettings(placement);
    int n = 0;
    for (auto _ : state) {
        settings.m_Threshold = 40 + (n++ % 20);   // something changes, as at a real exit
        if (!settings.Save(placement))
            state.SkipWithError("save failed");
    }
}
BENCHMARK(SettingsSaveBatched)->Unit(benchmark::kMillisecond)->Iterations(20);

// The same 24 keys written one by one, a file replacement each, as the save did before.
void SettingsSaveKeyByKey(benchmark::State& state)
{
    const QString file = folder() + QStringLiteral("/KeyByKey.INI");
    int n = 0;
    for (auto _ : state) {
        for (int key = 0; key < 24; ++key)
            WriteIniString(QStringLiteral("Character"), QStringLiteral("Key%1").arg(key), QString::number(n + key), file);
        ++n;
    }
}
BENCHMARK(SettingsSaveKeyByKey)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
