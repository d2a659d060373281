#include "platform/common/CommandLine.h"

#include <gtest/gtest.h>

using Words = std::vector<std::string>;

TEST(CommandLineTest, windowsArgumentsKeepTheirBackslashesAndFollowTheQuoteRules)
{
    for (const auto& [line, words] : std::vector<std::pair<std::string, Words>>{
             {"C:\\notes\\todo.txt", {"C:\\notes\\todo.txt"}},
             {"/open \"C:\\My Files\\a b.txt\" -x", {"/open", "C:\\My Files\\a b.txt", "-x"}},
             {"a\\\\\\\"b", {"a\\\"b"}},           // 3 backslashes and a quote: one backslash, a quote
             {"\"a\\\\\" b", {"a\\", "b"}},        // 2 backslashes and a quote: one backslash, the quote closes
             {"\"say \"\"hi\"\"\"", {"say \"hi\""}}, {"\"\"", {""}}, {"  a\t b  ", {"a", "b"}},
             {"trailing\\", {"trailing\\"}}, {"\"unclosed x", {"unclosed x"}}, {"", {}}})
        EXPECT_EQ(commandline::splitWindowsArguments(line), words) << line;
}

TEST(CommandLineTest, joinedWordsSplitBackAsTheSameWords)
{
    EXPECT_EQ(commandline::joinShellWords({"-n", "--x=1", "/a/b.txt"}), "-n --x=1 /a/b.txt");
    EXPECT_EQ(commandline::joinShellWords({"echo hi", "it's", "", "$HOME", "a;b"}), "'echo hi' 'it'\\''s' '' '$HOME' 'a;b'");
    for (const Words& words : {Words{"C:\\notes\\todo.txt", "a \"b\"", "x'y", "", "\\"}, Words{"caf\xC3\xA9", "*"}})
        EXPECT_EQ(commandline::splitShellWords(commandline::joinShellWords(words)), words);
}

TEST(CommandLineTest, desktopExecUndoesQuotingBeforeFieldCodes)
{
    using Split = std::optional<Words>;
    for (const auto& [exec, words] : std::vector<std::pair<std::string, Split>>{
             {"app --file=%f -x", Words{"app", "--file=", "-x"}}, {"printf \"100%%\"", Words{"printf", "100%"}},
             {"vlc --started-from-file %U --icon %i", Words{"vlc", "--started-from-file", "--icon"}},
             {"wine /home/u/.wine/dosdevices/c:/users/u/Start\\ Menu/Programs/a.lnk",
              Words{"wine", "/home/u/.wine/dosdevices/c:/users/u/Start Menu/Programs/a.lnk"}},
             {"\"/opt/My App/run\" \"a \\\"b\\\" \\$c \\\\ d\"", Words{"/opt/My App/run", "a \"b\" $c \\ d"}},
             {"\"\"", Words{""}}, {"%", Words{"%"}}, {"broken \"quote", std::nullopt}, {"", Words{}}})
        EXPECT_EQ(commandline::splitDesktopExec(exec), words) << exec;
}
