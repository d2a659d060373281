#include "exporter/Mokavel.h"
#include "exporter/ShellLink.h"

#include "platform/registry/Registry.h"

#include "tests/exporter/ExporterTestSupport.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

using namespace exportertest;

// A desktop and a Start menu of the fixture's own, in the registry store.
class StartListExportTest : public ExporterTest {
protected:
    StartListExportTest()
    {
        for (const auto& [value, folder] : {std::pair{"Desktop", desktop}, {"Start Menu", startMenu}})
            setShellFolder(false, value, folder), std::filesystem::create_directories(folder);
    }
    // The names exported from the given sources.
    Names exportNames(int32_t sources = EXPORT_DESKTOP)
    {
        EXPECT_EQ(fnMokavel(out.c_str(), sources), 1);
        return namesOf(readRecords(out));
    }

    const std::string desktop = path("Desktop");
    const std::string startMenu = path("Start Menu");
    const std::string out = path("apps.dat");
};

TEST_F(StartListExportTest, findingNothingKeepsTheOlderFileAndNoKnownSourceBitFails)
{
    writeBytes(out, "Old\r\n/old\r\n\r\n");
    EXPECT_EQ(fnMokavel(out.c_str(), EXPORT_DESKTOP | EXPORT_START_MENU | EXPORT_CONTROL_PANEL), 1);
    writeBytes(desktop + "/Setup.exe", "");
    for (const int32_t sources : {0, 8, 16 | 32, -8})
        EXPECT_EQ(fnMokavel(out.c_str(), sources), 0) << sources;
    EXPECT_EQ(readBytes(out), "Old\r\n/old\r\n\r\n");
    EXPECT_EQ(fnMokavel(nullptr, 7), 0);
}

TEST_F(StartListExportTest, desktopWalkKeepsDiscoveryOrderAndLeavesOutHiddenUninstallAndNonPrograms)
{
    for (const char* file : {".exe", ".hidden/inside.exe", "b.exe", "Games/chess.exe", "Games/Cards/solitaire.exe",
                             "readme.txt", "Setup.EXE", "Uninstall Tools/cleaner.exe", "UNINSTALL.exe"})
        writeBytes(desktop + "/" + file, "");
    writeBytes(desktop + "/Uninstall Foo.lnk", buildShellLink({.target = "C:\\Foo\\unins000.exe"}));
    writeApp(desktop + "/remover.desktop", "Uninstall Bar", "/bin/sh");
    makeExecutable(bin + "/tool");
    writeApp(desktop + "/a.desktop", "A", "tool", "Hidden=true\n");
    writeApp(desktop + "/c.desktop", "C", "tool", "TryExec=missing-tool\n");
    writeApp(desktop + "/player.desktop", "Player", "tool --enqueue %U \"My List\"", "Name[de]=Spieler\n");
    writeBytes(desktop + "/web.desktop", "[Desktop Entry]\nType=Link\nName=Web\nURL=http://example.org/\n");
    env.setEnv("LANG", "de_DE.UTF-8");
    ASSERT_EQ(fnMokavel(out.c_str(), EXPORT_DESKTOP), 1);
    // ".exe" is hidden, as every name starting with "."; "b.exe" keeps a 1-letter name.
    EXPECT_EQ(readRecords(out), (Records{{"b", desktop + "/b.exe", ""},
                                         {"solitaire", desktop + "/Games/Cards/solitaire.exe", ""},
                                         {"chess", desktop + "/Games/chess.exe", ""},
                                         {"Spieler", bin + "/tool", "--enqueue 'My List'"},
                                         {"Setup", desktop + "/Setup.EXE", ""},
                                         {"cleaner", desktop + "/Uninstall Tools/cleaner.exe", ""}}));
}

TEST_F(StartListExportTest, shortcutsCountOnlyWhenTheirFinalTargetIsAProgramAndLoopsEnd)
{
    writeBytes(desktop + "/Notes.lnk", buildShellLink({.target = "C:\\notes.txt"}));
    // Windows arguments are rewritten so the shell splits them as Windows did.
    writeBytes(desktop + "/Editor.lnk", buildShellLink({.target = "C:\\PROGRA~1\\EDIT.EXE",
                                                        .arguments = "C:\\todo.txt \"C:\\My Files\\x.txt\""}));
    writeBytes(path("inner/second.lnk"),
               buildShellLink({.target = "/opt/tool/tool.exe", .arguments = "--fast", .description = "inner"}));
    writeBytes(desktop + "/Chain.lnk", buildShellLink({.target = path("inner/second.lnk"), .arguments = "--slow"}));
    writeBytes(desktop + "/Dangling.lnk", buildShellLink({.target = path("gone/x.lnk")}));
    writeBytes(desktop + "/A.lnk", buildShellLink({.target = desktop + "/B.lnk"}));
    writeBytes(desktop + "/B.lnk", buildShellLink({.target = desktop + "/A.lnk"}));
    writeBytes(desktop + "/Relative.lnk", buildShellLink({.relativePath = "..\\bin\\tool.exe"}));
    ASSERT_EQ(fnMokavel(out.c_str(), EXPORT_DESKTOP), 1);
    EXPECT_EQ(readRecords(out), (Records{{"Chain", "/opt/tool/tool.exe", "--fast"},
                                         {"Editor", "C:\\PROGRA~1\\EDIT.EXE", "'C:\\todo.txt' 'C:\\My Files\\x.txt'"},
                                         {"Relative", desktop + "/../bin/tool.exe", ""}}));
}

TEST_F(StartListExportTest, sourcesComeInOrderPerUserBeforeCommonAndAllCommonFoldersAreWalked)
{
    for (const char* file : {"Desktop/d1.exe", "PublicDesktop/d2.exe", "Start Menu/s1.exe", "shared1/s2.exe",
                             "shared2/s3.exe", "system/Main.cpl", "system/Timedate.cpl"})
        writeBytes(path(file), "");
    env.setEnv("VORLIX_SYSTEMDIR", QString::fromStdString(path("system/")));
    setShellFolder(true, "Common Desktop", path("PublicDesktop"));
    setShellFolder(true, "Common Start Menu", path("shared1") + "::" + path("missing") + ":" + path("shared2"));
    EXPECT_EQ(exportNames(EXPORT_DESKTOP | EXPORT_START_MENU | EXPORT_CONTROL_PANEL | 8),
              (Names{"d1", "d2", "s1", "s2", "s3", "Fonts", "Keyboard", "Mouse", "Printers"}));
}

TEST_F(StartListExportTest, unsetFoldersDefaultToDataHomeApplicationsButNeverToTheHomeFolder)
{
    for (const char* value : {"Desktop", "Start Menu"})
        ASSERT_TRUE(registry::deleteValue(registry::Root::CurrentUser, registry::kShellFoldersKey, value));
    writeBytes(path("config/user-dirs.dirs"), "XDG_DESKTOP_DIR=\"$HOME/\"\n");
    writeBytes(path("home/Projects/build/tool.exe"), "");
    makeExecutable(bin + "/calc");
    writeApp(path("data/applications/calc.desktop"), "Calculator", "calc");
    writeApp(path("shared/applications/calc2.desktop"), "Calculator 2", "calc");
    EXPECT_EQ(exportNames(EXPORT_DESKTOP | EXPORT_START_MENU), (Names{"Calculator", "Calculator 2"}));
}

TEST_F(StartListExportTest, aTreeDeeperThanAnyPathTheSystemTakesEndsAndListsWhatItReaches)
{
    const std::string name(250, 'd'); // two chains of ten such folders, one moved to the other's end
    std::string chain;
    for (int level = 0; level < 10; ++level) {
        chain += "/" + name;
        for (const std::string& root : {desktop, desktop + "/e"})
            ASSERT_TRUE(std::filesystem::create_directories(root + chain));
    }
    std::filesystem::rename(desktop + "/e", desktop + chain + "/e");
    writeBytes(desktop + "/top.exe", "");
    writeBytes(desktop + "/" + name + "/deep.exe", "");
    EXPECT_EQ(exportNames(), (Names{"deep", "top"}));
    // No path to the bottom fits the system's limit; rm walks the tree folder by folder.
    EXPECT_EQ(std::system(("/bin/rm -rf '" + desktop + "/" + name + "'").c_str()), 0);
}

// A hostile desktop: malformed, oversized or unreadable files, fifos, link loops, links
// out of the folder, names in no encoding, executable files that are no programs.
TEST_F(StartListExportTest, badEntriesAreSkippedLinksWalkedOnceAndOnlyInsideAndOnlyRealProgramsCount)
{
    writeBytes(desktop + "/Apps/app.exe", "");
    std::filesystem::create_directory_symlink(desktop, desktop + "/Apps/back");
    std::filesystem::create_directory_symlink(desktop + "/Apps", desktop + "/Apps/self");
    std::filesystem::create_symlink(desktop + "/loop1", desktop + "/loop2");
    std::filesystem::create_symlink(desktop + "/loop2", desktop + "/loop1");
    std::filesystem::create_directory_symlink("/", desktop + "/Computer");
    writeBytes(path("elsewhere/far.exe"), "");
    std::filesystem::create_directory_symlink(path("elsewhere"), desktop + "/Elsewhere");
    const std::string name = "bad\xFF\xFEname";
    writeBytes(desktop + "/" + name + ".exe", "");
    writeApp(desktop + "/x.desktop", "\xC3\x28", "/bin/sh");
    for (const auto& [file, bytes] : std::vector<std::pair<std::string, std::string>>{
             {"empty.desktop", ""}, {"binary.desktop", std::string("\x7F" "ELF\0\0\xFF", 7)},
             {"cut.desktop", "[Desktop Entry]\nType=Application\nName=Cut\nExec=\"/bin/sh"},
             {"huge.desktop", "[Desktop Entry]\nName=" + std::string(2 << 20, 'x')}, {"Locked/inside.exe", ""},
             {"cut.lnk", buildShellLink({.target = "C:\\a.exe"}).substr(0, 100)}, {"folder.lnk/x", ""},
             {"huge.lnk", buildShellLink({.target = "/a.exe"}) + std::string(mokavel::kMaxShellLinkBytes, '\0')}})
        writeBytes(desktop + "/" + file, bytes);
    for (const auto& [file, bytes] : std::vector<std::pair<std::string, std::string>>{
             {"photo.jpg", "\xFF\xD8\xFF\xE0" "JFIF"}, {"notes", "shopping list\n"}, {"empty", ""},
             {"script", "#!/bin/sh\necho\n"}, {"prog", std::string("\x7F" "ELF\x02\x01\x01\0", 8)}}) {
        writeBytes(desktop + "/" + file, bytes);
        ::chmod((desktop + "/" + file).c_str(), 0755);
    }
    ::mkfifo((desktop + "/fifo.desktop").c_str(), 0644);
    ::mkfifo((desktop + "/fifo.lnk").c_str(), 0644);
    ::chmod((desktop + "/Locked").c_str(), 0); // readable for root only
    const Names names = exportNames();
    ::chmod((desktop + "/Locked").c_str(), 0755);
    Names expected{"app", name, "prog", "script", "\xC3\x28"};
    if (::geteuid() == 0)
        expected.insert(expected.begin() + 2, "inside");
    EXPECT_EQ(names, expected);
    EXPECT_EQ(readRecords(out)[1].target, desktop + "/" + name + ".exe");
    std::filesystem::remove(desktop + "/" + name + ".exe"); // a name Qt cannot clean up
}

TEST_F(StartListExportTest, launchersFollowTheDesktopEntryRulesOfOverridesDesktopsAndExecQuoting)
{
    const std::string shared = path("shared/applications");
    setShellFolder(true, "Common Start Menu", shared);
    for (const char* program : {"tool", "wine", "env"})
        makeExecutable(bin + "/" + program);
    writeApp(shared + "/editor.desktop", "Editor", "tool --system");
    writeApp(startMenu + "/editor.desktop", "Editor", "tool --mine"); // an edited copy
    writeApp(shared + "/games/chess.desktop", "Chess", "tool");
    writeApp(startMenu + "/games-chess.desktop", "Chess", "tool", "Hidden=true\n"); // the user removed it
    writeApp(shared + "/kde-only.desktop", "KDE only", "tool", "OnlyShowIn=KDE;\n");
    writeApp(startMenu + "/wine-app.desktop", "Notepad",
             "env WINEPREFIX=\"/home/u/.wine\" wine C:\\\\\\\\windows\\\\\\\\command\\\\\\\\start.exe /Unix "
             "/home/u/.wine/dosdevices/c:/users/u/Start\\\\ Menu/Programs/Notepad.lnk");
    writeApp(shared + "/display.desktop", "Display", "tool display", "Categories=Settings;HardwareSettings;\n");
    writeApp(shared + "/hidden.desktop", "Hidden", "tool", "Categories=Settings;\nNoDisplay=true\n");
    env.setEnv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
    ASSERT_EQ(fnMokavel(out.c_str(), EXPORT_DESKTOP | EXPORT_START_MENU | EXPORT_CONTROL_PANEL), 1);
    EXPECT_EQ(readRecords(out),
              (Records{{"Editor", bin + "/tool", "--mine"},
                       {"Notepad", bin + "/env",
                        "WINEPREFIX=/home/u/.wine wine 'C:\\windows\\command\\start.exe' /Unix "
                        "'/home/u/.wine/dosdevices/c:/users/u/Start Menu/Programs/Notepad.lnk'"},
                       {"Display", bin + "/tool", "display"}}));
}

TEST_F(StartListExportTest, windowsTargetsOfShortcutsInAWinePrefixAreFollowedOnThisMachine)
{
    const std::string wine = path("wine"), desktopC = wine + "/drive_c/users/u/Desktop";
    std::filesystem::create_directories(wine + "/dosdevices");
    std::filesystem::create_directory_symlink("../drive_c", wine + "/dosdevices/c:");
    setShellFolder(false, "Desktop", desktopC);
    writeBytes(wine + "/drive_c/Program Files/App/App.exe", "");
    writeBytes(wine + "/drive_c/links/second.lnk",
               buildShellLink({.target = "C:\\PROGRAM FILES\\app\\app.exe", .arguments = "--fast"}));
    writeBytes(desktopC + "/Chain.lnk", buildShellLink({.target = "C:\\links\\second.lnk"}));
    writeBytes(desktopC + "/Unmapped.lnk", buildShellLink({.target = "D:\\Games\\game.exe"}));
    const std::string app = std::filesystem::canonical(wine + "/drive_c").string() + "/Program Files/App/App.exe";
    ASSERT_EQ(fnMokavel(out.c_str(), EXPORT_DESKTOP), 1);
    EXPECT_EQ(readRecords(out), (Records{{"Chain", app, "--fast"},
                                         {"Unmapped", "D:\\Games\\game.exe", ""}}));
}
