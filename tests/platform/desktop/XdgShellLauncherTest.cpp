#include "platform/desktop/XdgShellLauncher.h"
#include "tests/platform/desktop/LogRecorder.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

class SplitArgumentsTest : public testing::TestWithParam<std::pair<const char*, QStringList>> {};

TEST_P(SplitArgumentsTest, SplitsAsAShellWouldWithoutExpanding)
{
    EXPECT_EQ(XdgShellLauncher::splitArguments(QString::fromUtf8(GetParam().first)), GetParam().second);
}

// The last two: no shell, so operators, variables and globs are plain words.
INSTANTIATE_TEST_SUITE_P(Lines, SplitArgumentsTest, testing::ValuesIn(std::vector<std::pair<const char*, QStringList>>{
    {"   \t ", {}}, {"  a   b\tc  ", {"a", "b", "c"}},
    {"'single \"kept\" $HOME'", {"single \"kept\" $HOME"}}, {"\"a\\\"b\\\\c\\n\"", {"a\"b\\c\\n"}},
    {"'it'\\''s'", {"it's"}}, {"\"\" ''", {"", ""}}, {"\"unclosed words", {"unclosed words"}}, {"trailing\\", {"trailing\\"}},
    {"; rm -rf $HOME *", {";", "rm", "-rf", "$HOME", "*"}}, {"a|b>c&&d", {"a|b>c&&d"}}}));

struct OpenCase { const char *target, *parameters, *program; QStringList arguments; };
void PrintTo(const OpenCase& c, std::ostream* out) { *out << c.target << " " << c.parameters; }

// $BIN: a PATH of fake programs; $HOME: the current folder, with documents and launchers.
class LauncherTest : public IsolatedTest, public testing::WithParamInterface<OpenCase> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir::setCurrent(env.root()));
        ASSERT_TRUE(QDir().mkpath(env.path("bin")) && QDir().mkpath(env.path("folder")));
        for (const char* program : {"bin/tool", "bin/wine", "bin/xdg-open", "-dash"}) {
            IsolatedEnvironment::writeFile(env.path(program), "#!/bin/sh\n");
            QFile::setPermissions(env.path(program), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        const auto write = [&](const char* name, const char* text) { IsolatedEnvironment::writeFile(env.path(name), text); };
        write("notes.txt", "text");
        write("-notes.txt", "text");
        write("editor.desktop", "# comment\n[Desktop Entry]\nName=Editor\nType=Application\nExec=tool --new %U"
                                " \"100%%\" --name=%c \"a\\\\\\\\b\"\nExec=second\n[Desktop Action New]\nExec=other\n");
        write("site.desktop", "[Desktop Entry]\nType=Link\nURL=https://example.org/\n");
        env.setEnv("PATH", env.path("bin"));
    }
    void TearDown() override { QDir::setCurrent(m_previous); }

    QStringList expand(QStringList texts) const
    {
        return texts.replaceInStrings("$BIN", env.path("bin")).replaceInStrings("$HOME", QDir::currentPath());
    }

    void expectFailures(const QStringList& targets) const
    {
        for (const QString& target : targets) {
            const auto command = XdgShellLauncher::commandFor(target, QString());
            EXPECT_TRUE(!command.ok() && !command.error().message.isEmpty()) << target.toStdString();
        }
    }

    const QString m_previous = QDir::currentPath();
};

TEST_P(LauncherTest, CommandForStartsTheRightProgramWithTheRightArguments)
{
    const auto& [target, parameters, program, arguments] = GetParam();
    const QStringList expanded = expand(QStringList{target, parameters, program} + arguments);
    const auto command = XdgShellLauncher::commandFor(expanded[0], expanded[1]);
    ASSERT_TRUE(command.ok()) << command.error().message.toStdString();
    EXPECT_EQ(command.value().program, expanded[2]);
    EXPECT_EQ(command.value().arguments, expanded.mid(3));
}

// Documents, folders, addresses: the opener, no parameters, never as options. A launcher:
// its Exec without field codes, then the parameters.
INSTANTIATE_TEST_SUITE_P(Targets, LauncherTest, testing::ValuesIn(std::vector<OpenCase>{
    {"  tool  ", "--out F \"two words\" x", "$BIN/tool", {"--out", "F", "two words", "x"}},
    {"-dash", "", "$HOME/-dash", {}},
    {"$HOME/notes.txt", "--ignored", "$BIN/xdg-open", {"$HOME/notes.txt"}},
    {"-notes.txt", "", "$BIN/xdg-open", {"$HOME/-notes.txt"}},
    {"www.example.org", "", "$BIN/xdg-open", {"http://www.example.org"}},
    {"https://example.org/a b?q=1&r=2", "x", "$BIN/xdg-open", {"https://example.org/a b?q=1&r=2"}},
    {"C:\\Games\\Sol.EXE", "-q \"a b\"", "$BIN/wine", {"C:\\Games\\Sol.EXE", "-q", "a b"}},
    {"$HOME/editor.desktop", "file.txt", "$BIN/tool", {"--new", "100%", "--name=", "a\\b", "file.txt"}},
    {"$HOME/site.desktop", "", "$BIN/xdg-open", {"https://example.org/"}}}));

TEST_F(LauncherTest, ATildeTargetIsInTheHomeFolderNotTheCurrentOne)
{
    env.setEnv("HOME", env.path("folder"));
    IsolatedEnvironment::writeFile(env.path("folder/notes.txt"), "text");
    for (const auto& [target, opened] : {std::pair{"~", "folder"}, std::pair{"~/notes.txt", "folder/notes.txt"}}) {
        const auto command = XdgShellLauncher::commandFor(target, QString());
        ASSERT_TRUE(command.ok()) << target;
        EXPECT_EQ(command.value().arguments, QStringList{env.path(opened)}) << target;
    }
}

// The desktop's own choice first, then $TERMINAL, the alternatives system, the usual ones.
TEST(TerminalTest, TheDesktopsOwnTerminalComesFirst)
{
    struct Case { QStringList installed; const char* terminalVariable; const char* program; QStringList arguments; };
    for (const Case& c : std::vector<Case>{
             {{"xterm", "x-terminal-emulator", "xdg-terminal-exec"}, "kitty", "/usr/bin/xdg-terminal-exec", {"-e", "top"}},
             {{"xterm", "kitty"}, "kitty -1", "/usr/bin/kitty", {"-1", "-e", "top"}},
             {{"xterm", "x-terminal-emulator"}, "nosuchterm", "/usr/bin/x-terminal-emulator", {"-e", "top"}},
             {{}, "", "", {}}}) {
        const auto find = [&](const QString& name) { return c.installed.contains(name) ? "/usr/bin/" + name : QString(); };
        const auto command = XdgShellLauncher::terminalCommand(find, QString::fromUtf8(c.terminalVariable), {"-e", "top"});
        ASSERT_EQ(command.ok(), *c.program != 0) << c.program;
        if (command.ok()) {
            EXPECT_EQ(command.value().program, QString::fromUtf8(c.program));
            EXPECT_EQ(command.value().arguments, c.arguments);
        }
    }
}

TEST_F(LauncherTest, CommandForSaysWhyNothingCanBeStarted)
{
    IsolatedEnvironment::writeFile(env.path("empty.desktop"), "[Desktop Entry]\nExec=%F\n");
    IsolatedEnvironment::writeFile(env.path("missing.desktop"), "[Desktop Entry]\nExec=nosuchtool %f\n");
    expectFailures({QString(), "   ", "nosuchtool", env.path("nosuchfile.txt"), env.path("empty.desktop"),
                    env.path("missing.desktop"), "tool; rm -rf ~"});
    QFile::remove(env.path("bin/xdg-open"));
    QFile::remove(env.path("bin/wine"));
    expectFailures({env.path("notes.txt"), "https://example.org", "setup.exe"});
}

TEST_F(LauncherTest, OpenStartsTheCommandAndLogsEachFailingTargetOnce)
{
    LogRecorder log;
    std::vector<XdgShellLauncher::Command> started;
    XdgShellLauncher launcher([&](const XdgShellLauncher::Command& command) {
        started.push_back(command);
        return command.arguments != QStringList{"fail"};
    });
    const std::vector<std::pair<const char*, const char*>> targets{
        {"", "--x"}, {" ", ""}, {"nosuchtool", ""}, {"tool", "fail"}, {"othertool", ""}, {"tool", "a"}};
    QList<bool> results;
    for (int round = 0; round < 2; ++round) {
        for (const auto& [target, parameters] : targets)
            results << launcher.open(target, parameters, ShellLauncher::kShowMaximized);
    }
    EXPECT_EQ(results.mid(0, 6), QList<bool>({false, false, false, false, false, true}));
    EXPECT_EQ(results.mid(6), results.mid(0, 6));
    ASSERT_EQ(started.size(), 4u);
    EXPECT_EQ(started[1].arguments, QStringList{"a"});
    ASSERT_EQ(log.lines.size(), 3) << log.lines.join('\n').toStdString();
    EXPECT_TRUE(log.lines[0].contains("nosuchtool") && log.lines[2].contains("othertool"));
}
