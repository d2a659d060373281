#include "exporter/DesktopEntry.h"

#include "tests/exporter/ExporterTestSupport.h"

using namespace exportertest;

TEST(DesktopEntryTest, splitExecUndoesQuotingAndDropsFieldCodes)
{
    using Split = std::optional<std::vector<std::string>>;
    for (const auto& [exec, arguments] : std::vector<std::pair<std::string, Split>>{
             {"app --file=%f -x", {{"app", "--file=", "-x"}}}, {"printf 100%%", {{"printf", "100%"}}},
             {"vlc --started-from-file %U --icon %i", {{"vlc", "--started-from-file", "--icon"}}},
             {"\"/opt/My App/run\" --name \"a \\\"b\\\" \\$c \\\\ d\"", {{"/opt/My App/run", "--name", "a \"b\" $c \\ d"}}},
             {"a  \t b", {{"a", "b"}}}, {"\"\"", {{""}}}, {"%", {{"%"}}}, {"broken \"quote", std::nullopt},
             {"", Split(std::vector<std::string>{})}})
        EXPECT_EQ(mokavel::splitExec(exec), arguments) << exec;
}

TEST(DesktopEntryTest, joinedArgumentsAreQuotedOnlyWhereAShellWouldSplit)
{
    EXPECT_EQ(mokavel::joinArguments({"-n", "--x=1", "/a/b.txt"}), "-n --x=1 /a/b.txt");
    EXPECT_EQ(mokavel::joinArguments({"echo hi", "it's", "", "$HOME", "a;b"}), "'echo hi' 'it'\\''s' '' '$HOME' 'a;b'");
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
