#include "exporter/Mokavel.h"
#include "exporter/StartListExport.h"

#include "platform/registry/Registry.h"

#include "tests/exporter/ExporterTestSupport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace exportertest;
using mokavel::ExportItem;
using Records = std::vector<ExportItem>;

// A desktop and a Start menu of the fixture's own, in the registry store.
class StartListExportTest : public ExporterTest {
protected:
    StartListExportTest()
    {
        setShellFolder(false, "Desktop", desktop);
        setShellFolder(false, "Start Menu", startMenu);
        makeFolder(desktop);
        makeFolder(startMenu);
    }

    int32_t exportApps(int32_t sources) { return fnMokavel(out.c_str(), sources); }

    const std::string desktop = path("Desktop");
    const std::string startMenu = path("Start Menu");
    const std::string out = path("apps.dat");
};

TEST_F(StartListExportTest, noKnownSourceBitCollectsAndWritesNothing)
{
    writeBytes(desktop + "/Setup.exe", "");
    for (const int32_t sources : {0, 8, 16 | 32, -8}) {
        EXPECT_EQ(exportApps(sources), 0) << sources;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
    EXPECT_EQ(fnMokavel(nullptr, 7), 0);
}

TEST_F(StartListExportTest, uninstallEntriesAreSkippedButTheirFoldersWalked)
{
    writeBytes(desktop + "/Setup.exe", "");
    writeBytes(desktop + "/Uninstall Foo.lnk", buildShellLink({.target = "C:\\Foo\\unins000.exe"}));
    writeBytes(desktop + "/Uninstall Tools/cleaner.exe", "");
    writeBytes(desktop + "/UNINSTALL.exe", "");
    writeLauncher(desktop + "/remover.desktop", "Type=Application\nName=Uninstall Bar\nExec=/bin/sh\n");
    ASSERT_EQ(exportApps(EXPORT_DESKTOP), 1);
    EXPECT_EQ(readRecords(out), (Records{{"Setup", desktop + "/Setup.exe", ""},
                                         {"cleaner", desktop + "/Uninstall Tools/cleaner.exe", ""}}));
}

TEST_F(StartListExportTest, shortcutsCountOnlyWhenTheirFinalTargetIsAProgram)
{
    writeBytes(desktop + "/Notes.lnk", buildShellLink({.target = "C:\\notes.txt"}));
    writeBytes(desktop + "/Editor.lnk",
               buildShellLink({.target = "C:\\PROGRA~1\\EDIT.EXE", .arguments = "-n", .description = "A text editor"}));
    writeBytes(path("inner/second.lnk"),
               buildShellLink({.target = "/opt/tool/tool.exe", .arguments = "--fast", .description = "inner"}));
    writeBytes(desktop + "/Chain.lnk", buildShellLink({.target = path("inner/second.lnk"), .arguments = "--slow"}));
    writeBytes(desktop + "/Broken.lnk", "not a shortcut");
    writeBytes(desktop + "/Dangling.lnk", buildShellLink({.target = path("gone/x.lnk")}));
    ASSERT_EQ(exportApps(EXPORT_DESKTOP), 1);
    EXPECT_EQ(readRecords(out), (Records{{"Chain", "/opt/tool/tool.exe", "--fast"},
                                         {"Editor", "C:\\PROGRA~1\\EDIT.EXE", "-n"}}));
}

TEST_F(StartListExportTest, aShortcutChainThatLoopsEndsAndIsDiscarded)
{
    writeBytes(desktop + "/A.lnk", buildShellLink({.target = desktop + "/B.lnk"}));
    writeBytes(desktop + "/B.lnk", buildShellLink({.target = desktop + "/A.lnk"}));
    writeBytes(desktop + "/Self.lnk", buildShellLink({.target = desktop + "/Self.lnk"}));
    writeBytes(desktop + "/Real.exe", "");
    ASSERT_EQ(exportApps(EXPORT_DESKTOP), 1);
    EXPECT_EQ(namesOf(readRecords(out)), (std::vector<std::string>{"Real"}));
}

TEST_F(StartListExportTest, hiddenFilesFoldersAndLaunchersAreLeftOut)
{
    writeBytes(desktop + "/.secret.exe", "");
    writeBytes(desktop + "/.hidden/inside.exe", "");
    writeBytes(desktop + "/visible/.deeper/inside.exe", "");
    makeExecutable(binFolder() + "/tool");
    writeLauncher(desktop + "/a.desktop", "Type=Application\nName=A\nExec=tool\nHidden=true\n");
    writeLauncher(desktop + "/b.desktop", "Type=Application\nName=B\nExec=tool\nNoDisplay=true\n");
    writeLauncher(desktop + "/c.desktop", "Type=Application\nName=C\nExec=tool\nTryExec=missing-tool\n");
    writeLauncher(desktop + "/d.desktop", "Type=Application\nName=D\nExec=tool %U\nTryExec=tool\n");
    ASSERT_EQ(exportApps(EXPORT_DESKTOP), 1);
    EXPECT_EQ(readRecords(out), (Records{{"D", binFolder() + "/tool", ""}}));
}

TEST_F(StartListExportTest, launchersAndExecutablesBecomeProgramsOthersAreIgnored)
{
    makeExecutable(binFolder() + "/player");
    makeExecutable(desktop + "/run-me");
    writeBytes(desktop + "/readme.txt", "");
    writeLauncher(desktop + "/player.desktop",
                  "Type=Application\nName=Player\nName[de]=Spieler\nExec=player --enqueue %U \"My List\"\n");
    writeLauncher(desktop + "/web.desktop", "Type=Link\nName=Web\nURL=http://example.org/\n");
    env.setEnv("LANG", "de_DE.UTF-8");
    ASSERT_EQ(exportApps(EXPORT_DESKTOP), 1);
    EXPECT_EQ(readRecords(out), (Records{{"Spieler", binFolder() + "/player", "--enqueue 'My List'"},
                                         {"run-me", desktop + "/run-me", ""}}));
}

TEST_F(StartListExportTest, shortNamesAndSubfoldersKeepDiscoveryOrder)
{
    writeBytes(desktop + "/.exe", "");
    writeBytes(desktop + "/b.exe", "");
    writeBytes(desktop + "/Games/chess.exe", "");
    writeBytes(desktop + "/Games/Cards/solitaire.exe", "");
    writeBytes(desktop + "/zed.exe", "");
    ASSERT_EQ(exportApps(EXPORT_DESKTOP), 1);
    // ".exe" is hidden here, as every name starting with "."; "b.exe" keeps a 1-letter name.
    EXPECT_EQ(namesOf(readRecords(out)), (std::vector<std::string>{"b", "solitaire", "chess", "zed"}));
}

TEST_F(StartListExportTest, sourcesComeInOrderPerUserBeforeCommonAndAllCommonFoldersAreWalked)
{
    writeBytes(desktop + "/d1.exe", "");
    writeBytes(path("PublicDesktop/d2.exe"), "");
    writeBytes(startMenu + "/s1.exe", "");
    writeBytes(path("shared1/s2.exe"), "");
    writeBytes(path("shared2/s3.exe"), "");
    writeBytes(path("system/Main.cpl"), "");
    env.setEnv("VORLIX_SYSTEMDIR", QString::fromStdString(path("system/")));
    setShellFolder(true, "Common Desktop", path("PublicDesktop"));
    setShellFolder(true, "Common Start Menu", path("shared1") + "::" + path("missing") + ":" + path("shared2"));
    ASSERT_EQ(exportApps(EXPORT_DESKTOP | EXPORT_START_MENU | EXPORT_CONTROL_PANEL | 8), 1);
    EXPECT_EQ(namesOf(readRecords(out)),
              (std::vector<std::string>{"d1", "d2", "s1", "s2", "s3", "Fonts", "Keyboard", "Mouse", "Printers"}));
}

TEST_F(StartListExportTest, controlPanelListsPresentAppletsInTableOrder)
{
    writeBytes(path("system32/Access.cpl"), "");
    writeBytes(path("system32/Main.cpl"), "");
    writeBytes(path("system32/Timedate.cpl"), "");
    env.setEnv("VORLIX_SYSTEMDIR", QString::fromStdString(path("system32")));
    ASSERT_EQ(exportApps(EXPORT_CONTROL_PANEL), 1);
    const std::string expected = "Accessibility Options\r\nrundll32.exe\r\nshell32.dll,Control_RunDLL Access.cpl,@0\r\n"
                                 "Fonts\r\nrundll32.exe\r\nshell32.dll,Control_RunDLL Main.cpl,@3\r\n"
                                 "Keyboard\r\nrundll32.exe\r\nshell32.dll,Control_RunDLL Main.cpl,@1\r\n"
                                 "Mouse\r\nrundll32.exe\r\nshell32.dll,Control_RunDLL Main.cpl,@0\r\n"
                                 "Printers\r\nrundll32.exe\r\nshell32.dll,Control_RunDLL Main.cpl,@2\r\n";
    EXPECT_EQ(readBytes(out), expected);
}

TEST_F(StartListExportTest, controlPanelAddsSettingsLaunchersEvenWithoutSystemDirectory)
{
    makeExecutable(binFolder() + "/settings-tool");
    writeLauncher(startMenu + "/kde/display.desktop",
                  "Type=Application\nName=Display\nExec=settings-tool display\nCategories=Settings;HardwareSettings;\n");
    writeLauncher(startMenu + "/other.desktop", "Type=Application\nName=Other\nExec=settings-tool\nCategories=Utility;\n");
    writeLauncher(path("shared/applications/mouse.desktop"),
                  "Type=Application\nName=Mouse\nExec=settings-tool mouse\nCategories=Settings\n");
    writeLauncher(startMenu + "/hidden.desktop",
                  "Type=Application\nName=Hidden\nExec=settings-tool\nCategories=Settings;\nNoDisplay=true\n");
    ASSERT_EQ(exportApps(EXPORT_CONTROL_PANEL), 1);
    const std::string tool = binFolder() + "/settings-tool";
    EXPECT_EQ(readRecords(out), (Records{{"Display", tool, "display"}, {"Mouse", tool, "mouse"}}));
}

TEST_F(StartListExportTest, startMenuDefaultsToTheDataHomeApplicationsFolder)
{
    ASSERT_TRUE(registry::deleteValue(registry::Root::CurrentUser, registry::kShellFoldersKey, "Start Menu"));
    makeExecutable(binFolder() + "/calc");
    writeLauncher(path("data/applications/calc.desktop"), "Type=Application\nName=Calculator\nExec=calc\n");
    writeLauncher(path("shared/applications/calc2.desktop"), "Type=Application\nName=Calculator 2\nExec=calc\n");
    ASSERT_EQ(exportApps(EXPORT_START_MENU), 1);
    EXPECT_EQ(namesOf(readRecords(out)), (std::vector<std::string>{"Calculator", "Calculator 2"}));
}

TEST_F(StartListExportTest, aDesktopSetToTheHomeFolderIsNotWalked)
{
    ASSERT_TRUE(registry::deleteValue(registry::Root::CurrentUser, registry::kShellFoldersKey, "Desktop"));
    writeBytes(path("config/user-dirs.dirs"), "XDG_DESKTOP_DIR=\"$HOME/\"\n");
    writeBytes(path("home/Projects/build/tool.exe"), "");
    writeBytes(startMenu + "/menu.exe", "");
    ASSERT_EQ(exportApps(EXPORT_DESKTOP | EXPORT_START_MENU), 1);
    EXPECT_EQ(namesOf(readRecords(out)), (std::vector<std::string>{"menu"}));
}

TEST_F(StartListExportTest, findingNothingSucceedsAndKeepsTheOlderFile)
{
    writeBytes(out, "Old\r\n/old\r\n\r\n");
    EXPECT_EQ(exportApps(EXPORT_DESKTOP | EXPORT_START_MENU | EXPORT_CONTROL_PANEL), 1);
    EXPECT_EQ(readBytes(out), "Old\r\n/old\r\n\r\n");
}


// Bad trees: each yields fewer records, never a crash or a hang.
class StartListBadTreeTest : public StartListExportTest {};

TEST_F(StartListBadTreeTest, symbolicLinkLoopsAreWalkedOnce)
{
    writeBytes(desktop + "/Apps/app.exe", "");
    std::filesystem::create_directory_symlink(desktop, desktop + "/Apps/back");
    std::filesystem::create_directory_symlink(desktop + "/Apps", desktop + "/Apps/self");
    std::filesystem::create_symlink(desktop + "/loop1", desktop + "/loop2");
    std::filesystem::create_symlink(desktop + "/loop2", desktop + "/loop1");
    ASSERT_EQ(exportApps(EXPORT_DESKTOP), 1);
    EXPECT_EQ(namesOf(readRecords(out)), (std::vector<std::string>{"app"}));
}

TEST_F(StartListBadTreeTest, aTenThousandLevelTreeEndsWithoutExhaustingTheStack)
{
    constexpr int kLevels = 10000;
    writeBytes(desktop + "/top.exe", "");
    int folder = ::open(desktop.c_str(), O_RDONLY | O_DIRECTORY);
    for (int level = 0; level < kLevels; ++level) {
        ASSERT_EQ(::mkdirat(folder, "d", 0755), 0);
        const int next = ::openat(folder, "d", O_RDONLY | O_DIRECTORY);
        if (level == 20)
            ::close(::openat(next, "deep.exe", O_CREAT | O_WRONLY, 0644));
        ::close(folder);
        folder = next;
    }
    ::close(folder);
    EXPECT_EQ(exportApps(EXPORT_DESKTOP), 1);
    EXPECT_EQ(namesOf(readRecords(out)), (std::vector<std::string>{"deep", "top"}));

    // Unwound from the top, as no path to the bottom fits the system's limit.
    const int top = ::open(desktop.c_str(), O_RDONLY | O_DIRECTORY);
    for (int level = 0; level < kLevels; ++level) {
        const int child = ::openat(top, "d", O_RDONLY | O_DIRECTORY);
        ::unlinkat(child, "deep.exe", 0);
        const bool hasGrandchild = ::renameat(child, "d", top, "next") == 0;
        ::close(child);
        ASSERT_EQ(::unlinkat(top, "d", AT_REMOVEDIR), 0);
        if (!hasGrandchild)
            break;
        ASSERT_EQ(::renameat(top, "next", top, "d"), 0);
    }
    ::close(top);
}

TEST_F(StartListBadTreeTest, unreadableFoldersContributeNothing)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "every folder is readable for root";
    writeBytes(desktop + "/Locked/inside.exe", "");
    writeBytes(desktop + "/open.exe", "");
    ::chmod((desktop + "/Locked").c_str(), 0);
    EXPECT_EQ(exportApps(EXPORT_DESKTOP), 1);
    ::chmod((desktop + "/Locked").c_str(), 0755);
    EXPECT_EQ(namesOf(readRecords(out)), (std::vector<std::string>{"open"}));
}

TEST_F(StartListBadTreeTest, namesWithInvalidUtf8KeepTheirBytes)
{
    const std::string name = "bad\xFF\xFEname";
    writeBytes(desktop + "/" + name + ".exe", "");
    writeLauncher(desktop + "/x.desktop", "Type=Application\nName=\xC3\x28\nExec=/bin/sh\n");
    ASSERT_EQ(exportApps(EXPORT_DESKTOP), 1);
    const Records records = readRecords(out);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], (ExportItem{name, desktop + "/" + name + ".exe", ""}));
    EXPECT_EQ(records[1].name, "\xC3\x28");
}

TEST_F(StartListBadTreeTest, hostileLaunchersAndShortcutsAreSkipped)
{
    writeBytes(desktop + "/empty.desktop", "");
    writeBytes(desktop + "/binary.desktop", std::string("\x7F" "ELF\0\0\xFF", 7));
    writeBytes(desktop + "/cut.desktop", "[Desktop Entry]\nType=Application\nName=Cut\nExec=\"/bin/sh");
    writeBytes(desktop + "/huge.desktop", "[Desktop Entry]\nName=" + std::string(2 << 20, 'x'));
    writeBytes(desktop + "/cut.lnk", buildShellLink({.target = "C:\\a.exe"}).substr(0, 100));
    ::mkfifo((desktop + "/fifo.desktop").c_str(), 0644);
    ::mkfifo((desktop + "/fifo.lnk").c_str(), 0644);
    writeBytes(desktop + "/ok.exe", "");
    ASSERT_EQ(exportApps(EXPORT_DESKTOP), 1);
    EXPECT_EQ(namesOf(readRecords(out)), (std::vector<std::string>{"ok"}));
}
