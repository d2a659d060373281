#include "exporter/DesktopEntry.h"

#include "tests/exporter/ExporterTestSupport.h"

using namespace exportertest;

// OnlyShowIn against the current desktop runs in the start list export's launcher test.
TEST(DesktopEntryTest, notShowInHidesOnlyOnTheNamedDesktops)
{
    const auto entry = *mokavel::parseDesktopEntry("[Desktop Entry]\nType=Application\nNotShowIn=GNOME;\n", "C");
    EXPECT_FALSE(mokavel::isShownOn(entry, {"ubuntu", "GNOME"}));
    EXPECT_TRUE(mokavel::isShownOn(entry, {}));
}

TEST(DesktopEntryTest, nameFollowsTheMessagesLocaleMostSpecificFirst)
{
    const std::string text = "[Desktop Entry]\nName=Files\nName[de]=Dateien\nName[de_AT]=Dateien AT\n"
                             "Name[sr@latin]=Datoteke\n";
    for (const auto& [locale, name] : {std::pair{"de_AT.UTF-8", "Dateien AT"}, {"de_CH.UTF-8", "Dateien"},
                                       {"sr_RS@latin", "Datoteke"}, {"fr_FR", "Files"}, {"C", "Files"}})
        EXPECT_EQ(mokavel::parseDesktopEntry(text, locale)->name, name) << locale;
}

TEST(DesktopEntryTest, onlyTheDesktopEntryGroupCounts)
{
    const auto entry = mokavel::parseDesktopEntry(
        "# comment\r\n[Desktop Entry]\r\nType=Application\r\nName = Mail\\sReader\r\nExec=mail\r\n"
        "Categories=Network;Settings;\r\n[Desktop Action new]\r\nName=New\r\nExec=mail --new\r\n", "");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->name + "|" + entry->exec, "Mail Reader|mail");
    EXPECT_EQ(entry->categories, (std::vector<std::string>{"Network", "Settings"}));
    EXPECT_FALSE(mokavel::parseDesktopEntry("Name=x\nExec=y\n", ""));
    EXPECT_FALSE(mokavel::parseDesktopEntry(std::string("\0\xFF\xFE[", 4), ""));
}

class LaunchCommandTest : public ExporterTest {};

TEST_F(LaunchCommandTest, programIsFoundThroughPathTerminalAndTryExec)
{
    makeExecutable(bin + "/editor");
    auto entry = mokavel::parseDesktopEntry("[Desktop Entry]\nType=Application\nName=E\nExec=editor --new %F\n", "");
    ASSERT_TRUE(entry);
    auto command = mokavel::launchCommandOf(*entry);
    ASSERT_TRUE(command);
    EXPECT_EQ(std::pair(command->program, command->arguments), std::pair(bin + "/editor", std::string("--new")));

    entry->terminal = true;
    EXPECT_FALSE(mokavel::launchCommandOf(*entry)) << "no terminal to run it in";
    makeExecutable(bin + "/x-terminal-emulator");
    command = mokavel::launchCommandOf(*entry);
    ASSERT_TRUE(command);
    EXPECT_EQ(std::pair(command->program, command->arguments),
              std::pair(bin + "/x-terminal-emulator", "-e " + bin + "/editor --new"));
    entry->terminal = false;

    entry->exec = "not-installed";
    EXPECT_FALSE(mokavel::launchCommandOf(*entry));
}
