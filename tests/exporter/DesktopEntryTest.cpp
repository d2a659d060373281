#include "exporter/DesktopEntry.h"

#include "tests/exporter/ExporterTestSupport.h"

using namespace exportertest;

struct ExecCase {
    std::string exec;
    std::optional<std::vector<std::string>> arguments;
};

class SplitExecTest : public testing::TestWithParam<ExecCase> {};

TEST_P(SplitExecTest, undoesQuotingAndDropsFieldCodes)
{
    EXPECT_EQ(mokavel::splitExec(GetParam().exec), GetParam().arguments);
}

INSTANTIATE_TEST_SUITE_P(Exec, SplitExecTest, testing::Values(
    ExecCase{"gedit %U", {{"gedit"}}},
    ExecCase{"app --file=%f -x", {{"app", "--file=", "-x"}}},
    ExecCase{"vlc --started-from-file %U --icon %i", {{"vlc", "--started-from-file", "--icon"}}},
    ExecCase{"\"/opt/My App/run\" --name \"a \\\"b\\\" \\$c \\\\ d\"", {{"/opt/My App/run", "--name", "a \"b\" $c \\ d"}}},
    ExecCase{"printf 100%%", {{"printf", "100%"}}},
    ExecCase{"sh -c \"echo hi\"", {{"sh", "-c", "echo hi"}}},
    ExecCase{"a  \t b", {{"a", "b"}}},
    ExecCase{"\"\"", {{""}}},
    ExecCase{"broken \"quote", std::nullopt},
    ExecCase{"", {{}}},
    ExecCase{"%", {{"%"}}}));

struct JoinCase {
    std::vector<std::string> arguments;
    std::string joined;
};

class JoinArgumentsTest : public testing::TestWithParam<JoinCase> {};

TEST_P(JoinArgumentsTest, quotesOnlyWhatAShellWouldSplit)
{
    EXPECT_EQ(mokavel::joinArguments(GetParam().arguments), GetParam().joined);
}

INSTANTIATE_TEST_SUITE_P(Join, JoinArgumentsTest, testing::Values(
    JoinCase{{"-n", "--x=1", "/a/b.txt"}, "-n --x=1 /a/b.txt"},
    JoinCase{{"echo hi"}, "'echo hi'"},
    JoinCase{{"it's"}, "'it'\\''s'"},
    JoinCase{{""}, "''"},
    JoinCase{{"$HOME", "a;b"}, "'$HOME' 'a;b'"}));

TEST(DesktopEntryTest, nameFollowsTheMessagesLocaleMostSpecificFirst)
{
    const std::string text = "[Desktop Entry]\nName=Files\nName[de]=Dateien\nName[de_AT]=Dateien AT\n"
                             "Name[sr@latin]=Datoteke\n";
    EXPECT_EQ(mokavel::parseDesktopEntry(text, "de_AT.UTF-8")->name, "Dateien AT");
    EXPECT_EQ(mokavel::parseDesktopEntry(text, "de_CH.UTF-8")->name, "Dateien");
    EXPECT_EQ(mokavel::parseDesktopEntry(text, "sr_RS@latin")->name, "Datoteke");
    EXPECT_EQ(mokavel::parseDesktopEntry(text, "fr_FR")->name, "Files");
    EXPECT_EQ(mokavel::parseDesktopEntry(text, "C")->name, "Files");
}

TEST(DesktopEntryTest, onlyTheDesktopEntryGroupCounts)
{
    const auto entry = mokavel::parseDesktopEntry(
        "# comment\r\n[Desktop Entry]\r\nType=Application\r\nName = Mail\\sReader\r\nExec=mail\r\n"
        "Categories=Network;Settings;\r\n[Desktop Action new]\r\nName=New\r\nExec=mail --new\r\n", "");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->name, "Mail Reader");
    EXPECT_EQ(entry->exec, "mail");
    EXPECT_EQ(entry->categories, (std::vector<std::string>{"Network", "Settings"}));
    EXPECT_FALSE(mokavel::parseDesktopEntry("Name=x\nExec=y\n", ""));
    EXPECT_FALSE(mokavel::parseDesktopEntry(std::string("\0\xFF\xFE[", 4), ""));
}

class LaunchCommandTest : public ExporterTest {};

TEST_F(LaunchCommandTest, programIsFoundThroughPathAndHiddenLaunchersGiveNothing)
{
    makeExecutable(binFolder() + "/editor");
    auto entry = mokavel::parseDesktopEntry("[Desktop Entry]\nType=Application\nName=E\nExec=editor --new %F\n", "");
    ASSERT_TRUE(entry);
    const auto command = mokavel::launchCommandOf(*entry);
    ASSERT_TRUE(command);
    EXPECT_EQ(command->program, binFolder() + "/editor");
    EXPECT_EQ(command->arguments, "--new");

    for (const char* variant : {"Hidden=true\n", "NoDisplay=true\n", "TryExec=not-installed\n", "Type=Link\n"}) {
        auto hidden = mokavel::parseDesktopEntry(
            std::string("[Desktop Entry]\n") + variant + "Type=Application\nName=E\nExec=editor\n", "");
        ASSERT_TRUE(hidden);
        EXPECT_FALSE(mokavel::launchCommandOf(*hidden)) << variant;
    }
    entry->terminal = true;
    EXPECT_FALSE(mokavel::launchCommandOf(*entry)) << "no terminal to run it in";
    makeExecutable(binFolder() + "/x-terminal-emulator");
    const auto inTerminal = mokavel::launchCommandOf(*entry);
    ASSERT_TRUE(inTerminal);
    EXPECT_EQ(inTerminal->program, binFolder() + "/x-terminal-emulator");
    EXPECT_EQ(inTerminal->arguments, "-e " + binFolder() + "/editor --new");
    entry->terminal = false;

    entry->exec = "not-installed";
    EXPECT_FALSE(mokavel::launchCommandOf(*entry));
    entry->exec = binFolder() + "/editor";
    entry->tryExec = "editor";
    EXPECT_TRUE(mokavel::launchCommandOf(*entry));
}
