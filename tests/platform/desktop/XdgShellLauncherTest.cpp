#include "platform/desktop/XdgShellLauncher.h"

#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

// ---- Splitting parameters into words --------------------------------------------------

struct SplitCase {
    const char* line;
    QStringList words;
};

class SplitArgumentsTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitArgumentsTest, SplitsAsAShellWouldWithoutExpanding)
{
    EXPECT_EQ(XdgShellLauncher::splitArguments(QString::fromUtf8(GetParam().line)), GetParam().words)
        << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(Lines, SplitArgumentsTest, testing::Values(
    SplitCase{"", {}},
    SplitCase{"   \t ", {}},
    SplitCase{"  a   b\tc  ", {"a", "b", "c"}},
    SplitCase{"--out F \"two words\" x", {"--out", "F", "two words", "x"}},
    SplitCase{"'single \"kept\" $HOME'", {"single \"kept\" $HOME"}},
    SplitCase{"\"a\\\"b\\\\c\\n\"", {"a\"b\\c\\n"}},
    SplitCase{"a\\ b c\\\\d", {"a b", "c\\d"}},
    SplitCase{"'it'\\''s'", {"it's"}},
    SplitCase{"pre\"fix\"'ed'", {"prefixed"}},
    SplitCase{"\"\" ''", {"", ""}},
    SplitCase{"\"unclosed words", {"unclosed words"}},
    SplitCase{"trailing\\", {"trailing\\"}},
    // No shell: operators, variables and globs are plain words.
    SplitCase{"; rm -rf $HOME *", {";", "rm", "-rf", "$HOME", "*"}},
    SplitCase{"a|b>c&&d", {"a|b>c&&d"}},
    SplitCase{"caf\xc3\xa9 \"\xe2\x82\xac 5\"", {"caf\xc3\xa9", "\xe2\x82\xac 5"}}));

// ---- What open starts -----------------------------------------------------------------

struct OpenCase {
    const char* target;      // $BIN: the folder of fake programs; $HOME: the test folder
    const char* parameters;
    const char* program;
    QStringList arguments;
};

class CommandForTest : public IsolatedTest, public testing::WithParamInterface<OpenCase> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(env.path("bin")));
        ASSERT_TRUE(QDir().mkpath(env.path("folder")));
        for (const char* name : {"tool", "wine", "xdg-open"})
            makeExecutable(env.path(QStringLiteral("bin/") + QLatin1String(name)));
        makeExecutable(env.path("-dash"));
        IsolatedEnvironment::writeFile(env.path("notes.txt"), "text");
        IsolatedEnvironment::writeFile(env.path("-notes.txt"), "text");
        IsolatedEnvironment::writeFile(env.path("editor.desktop"),
                                       "# comment\n[Desktop Entry]\nName=Editor\n"
                                       "Type=Application\nExec=tool --new %U \"100%%\" --name=%c"
                                       " \"a\\\\\\\\b\"\nExec=second\n"
                                       "[Desktop Action New]\nExec=other\n");
        IsolatedEnvironment::writeFile(env.path("site.desktop"),
                                       "[Desktop Entry]\nType=Link\nURL=https://example.org/\n");
        env.setEnv("PATH", env.path("bin"));
    }

    static void makeExecutable(const QString& path)
    {
        IsolatedEnvironment::writeFile(path, "#!/bin/sh\n");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QString expand(const char* text) const
    {
        return QString::fromUtf8(text).replace("$BIN", env.path("bin")).replace("$HOME", env.root());
    }
};

TEST_P(CommandForTest, StartsTheRightProgramWithTheRightArguments)
{
    const auto command = XdgShellLauncher::commandFor(expand(GetParam().target), expand(GetParam().parameters));
    ASSERT_TRUE(command.ok()) << command.error().message.toStdString();
    EXPECT_EQ(command.value().program, expand(GetParam().program));
    QStringList arguments;
    for (const QString& argument : GetParam().arguments)
        arguments += expand(argument.toUtf8().constData());
    EXPECT_EQ(command.value().arguments, arguments);
}

INSTANTIATE_TEST_SUITE_P(Targets, CommandForTest, testing::Values(
    OpenCase{"tool", "--out F \"two words\" x", "$BIN/tool", {"--out", "F", "two words", "x"}},
    OpenCase{"  tool  ", "", "$BIN/tool", {}},
    OpenCase{"$BIN/tool", "'a b'", "$BIN/tool", {"a b"}},
    OpenCase{"$HOME/-dash", "", "$HOME/-dash", {}},
    // Documents and folders go to the opener, without the parameters and never as options.
    OpenCase{"$HOME/notes.txt", "--ignored", "$BIN/xdg-open", {"$HOME/notes.txt"}},
    OpenCase{"$HOME/-notes.txt", "", "$BIN/xdg-open", {"$HOME/-notes.txt"}},
    OpenCase{"$HOME/folder", "", "$BIN/xdg-open", {"$HOME/folder"}},
    OpenCase{"https://example.org/a b?q=1&r=2", "x", "$BIN/xdg-open", {"https://example.org/a b?q=1&r=2"}},
    OpenCase{"mailto:someone@example.org", "", "$BIN/xdg-open", {"mailto:someone@example.org"}},
    OpenCase{"www.example.org", "", "$BIN/xdg-open", {"http://www.example.org"}},
    OpenCase{"C:\\Games\\Sol.EXE", "-q \"a b\"", "$BIN/wine", {"C:\\Games\\Sol.EXE", "-q", "a b"}},
    // A launcher starts its Exec without field codes; the parameters follow.
    OpenCase{"$HOME/editor.desktop", "file.txt", "$BIN/tool", {"--new", "100%", "--name=", "a\\b", "file.txt"}},
    OpenCase{"$HOME/site.desktop", "", "$BIN/xdg-open", {"https://example.org/"}}));

TEST_F(CommandForTest, ReportsWhyNothingCanBeStarted)
{
    IsolatedEnvironment::writeFile(env.path("empty.desktop"), "[Desktop Entry]\nExec=%F\n");
    IsolatedEnvironment::writeFile(env.path("missing.desktop"), "[Desktop Entry]\nExec=nosuchtool %f\n");
    for (const QString& target : {QString(), QStringLiteral("   "), QStringLiteral("nosuchtool"),
                                  env.path("nosuchfile.txt"), env.path("empty.desktop"),
                                  env.path("missing.desktop"), QStringLiteral("tool; rm -rf ~")}) {
        const auto command = XdgShellLauncher::commandFor(target, QString());
        EXPECT_FALSE(command.ok()) << target.toStdString() << " -> " << command.value().program.toStdString();
    }
}

TEST_F(CommandForTest, RelativeExecutableStartsThatFileNotAnOption)
{
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(env.root()));
    const auto command = XdgShellLauncher::commandFor(QStringLiteral("-dash"), QString());
    QDir::setCurrent(previous);
    ASSERT_TRUE(command.ok()) << command.error().message.toStdString();
    EXPECT_EQ(command.value().program, QDir(env.root()).canonicalPath() + QStringLiteral("/-dash"));
}

TEST_F(CommandForTest, MissingOpenerOrWineIsReported)
{
    QFile::remove(env.path("bin/xdg-open"));
    QFile::remove(env.path("bin/wine"));
    for (const QString& target : {env.path("notes.txt"), QStringLiteral("https://example.org"),
                                  QStringLiteral("setup.exe")}) {
        const auto command = XdgShellLauncher::commandFor(target, QString());
        ASSERT_FALSE(command.ok()) << target.toStdString();
        EXPECT_FALSE(command.error().message.isEmpty());
    }
}

// ---- open: starts detached, logs each failing target once ------------------------------

class ShellLauncherOpenTest : public CommandForTest {
protected:
    void SetUp() override
    {
        CommandForTest::SetUp();
        s_warnings.clear();
        m_previousHandler = qInstallMessageHandler(&ShellLauncherOpenTest::record);
    }
    void TearDown() override { qInstallMessageHandler(m_previousHandler); }

    static void record(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (type == QtWarningMsg && QLatin1String(context.category) == QLatin1String("vorlix.desktop"))
            s_warnings += message;
    }

    std::vector<XdgShellLauncher::Command> started;
    bool startSucceeds = true;
    XdgShellLauncher launcher{[this](const XdgShellLauncher::Command& command) {
        started.push_back(command);
        return startSucceeds;
    }};
    static inline QStringList s_warnings;
    QtMessageHandler m_previousHandler = nullptr;
};

TEST_F(ShellLauncherOpenTest, EmptyTargetDoesNothing)
{
    launcher.open(QString(), QStringLiteral("--x"), ShellLauncher::kShowNormal);
    launcher.open(QStringLiteral(" "), QString(), ShellLauncher::kShowNormal);
    EXPECT_TRUE(started.empty());
    EXPECT_TRUE(s_warnings.isEmpty());
}

TEST_F(ShellLauncherOpenTest, MaximizedShowStateStillOpens)
{
    launcher.open(QStringLiteral("tool"), QStringLiteral("a"), ShellLauncher::kShowMaximized);
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].arguments, QStringList{QStringLiteral("a")});
}

TEST_F(ShellLauncherOpenTest, EachFailingTargetIsLoggedOnce)
{
    for (int i = 0; i < 3; ++i) {
        launcher.open(QStringLiteral("nosuchtool"), QString(), ShellLauncher::kShowNormal);
        launcher.open(QStringLiteral("othertool"), QString(), ShellLauncher::kShowNormal);
    }
    EXPECT_TRUE(started.empty());
    ASSERT_EQ(s_warnings.size(), 2) << s_warnings.join('\n').toStdString();
    EXPECT_TRUE(s_warnings[0].contains(QLatin1String("nosuchtool")));
}

TEST_F(ShellLauncherOpenTest, ProgramThatFailsToStartIsLoggedOnce)
{
    startSucceeds = false;
    launcher.open(QStringLiteral("tool"), QString(), ShellLauncher::kShowNormal);
    launcher.open(QStringLiteral("tool"), QString(), ShellLauncher::kShowNormal);
    EXPECT_EQ(started.size(), 2u);
    EXPECT_EQ(s_warnings.size(), 1);
}

} // namespace
