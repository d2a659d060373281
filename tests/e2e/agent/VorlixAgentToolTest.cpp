// Runs the vorlix-agent program as a character author or a test script would.

#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

class VorlixAgentToolTest : public IsolatedTest {
protected:
    void SetUp() override
    {
        env.setEnv("VORLIX_AGENT_LOG", env.path("agent.log"));
        env.setEnv("VORLIX_TTS_OUT", env.path("speech"));
        env.setEnv("QT_QPA_PLATFORM", "offscreen");
    }

    static QString buildDir() { return qEnvironmentVariable("VORLIX_BUILD_DIR"); }
    static QString character(const QString& name) { return buildDir() + "/share/vorlix/msagent/chars/" + name; }

    ToolRun run(const QStringList& arguments)
    {
        QProcess process;
        process.setWorkingDirectory(env.root());
        process.start(buildDir() + "/bin/vorlix-agent", arguments);
        EXPECT_TRUE(process.waitForFinished(120000));
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    QStringList logLines() const
    {
        return QString::fromUtf8(env.readFile(env.path("agent.log"))).split('\n', Qt::SkipEmptyParts);
    }
};

TEST_F(VorlixAgentToolTest, ListsDesignSizeAndAnimationsInFileOrder)
{
    const ToolRun merlin = run({character("merlin.acs"), "--list"});
    ASSERT_EQ(merlin.exitCode, 0) << merlin.err.toStdString();
    const QStringList lines = merlin.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 30);
    EXPECT_EQ(lines[0], "160x200");
    EXPECT_EQ(lines.mid(1, 3), QStringList({"RestPose", "Show", "Hide"}));
    EXPECT_TRUE(lines.contains("GestureDown"));
}

// The supplied characters are found from where the program lies, whatever the current folder;
// an empty character folder is an error, not an empty list.
TEST_F(VorlixAgentToolTest, SuppliedCharactersAreListedAndFoundByName)
{
    EXPECT_EQ(run({"--list"}).exitCode, 1);
    env.setEnv("VORLIX_WINDIR", QString());
    const ToolRun list = run({"--list"});
    ASSERT_EQ(list.exitCode, 0) << list.err.toStdString();
    EXPECT_EQ(list.out.split('\n', Qt::SkipEmptyParts),
              QStringList({character("hoot.acs"), character("merlin.acs"), character("robby.acs")}));

    for (const char* name : {"robby", "robby.acs"}) {
        const ToolRun byName = run({name, "--list"});
        EXPECT_EQ(byName.exitCode, 0) << name << byName.err.toStdString();
        EXPECT_TRUE(byName.out.contains("RestPose")) << name;
    }

    // A file of that name in the current folder is the user's own and wins.
    env.writeFile(env.path("robby"), "not a character");
    EXPECT_EQ(run({"robby", "--list"}).exitCode, 1);
}

TEST_F(VorlixAgentToolTest, IssuesTheStepsInOrderAndExitsWhenDone)
{
    const ToolRun result = run({character("hoot.acs"), "show:fast", "play:Wave", "move:10,20", "size:75,85", "balloon:off",
                            "font:DejaVu Serif,14", R"(speak:\Spd=300\Hi)", "hide:fast"});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(logLines(), QStringList({"Load\tVorlixAgent\t" + character("hoot.acs"), "Show\tfast", "Play\tWave",
                                       "MoveTo\t10\t20", "Speak\t\\Spd=300\\Hi", "Hide\tfast"}));
    EXPECT_EQ(QDir(env.path("speech")).entryList({"*.wav"}, QDir::Files).size(), 1);
}

TEST_F(VorlixAgentToolTest, UnknownAnimationIsReportedAndTheRestStillRuns)
{
    const ToolRun result = run({character("robby.acs"), "play:Cartwheel", "show:fast", "stop"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.err.contains("no animation \"Cartwheel\"")) << result.err.toStdString();
    EXPECT_EQ(logLines().mid(1), QStringList({"Play\tCartwheel", "Show\tfast", "Stop"}));
}

TEST_F(VorlixAgentToolTest, BadFileAndBadStepFailWithAMessage)
{
    env.writeFile(env.path("broken.acs"), "vorlix-character 1\nsize 10 10\nimage a\n<svg>");
    const ToolRun broken = run({env.path("broken.acs"), "show"});
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_TRUE(broken.err.contains("has no \"end\"")) << broken.err.toStdString();

    const ToolRun badStep = run({character("merlin.acs"), "show:fast", "jump:high"});
    EXPECT_EQ(badStep.exitCode, 2);
    EXPECT_TRUE(badStep.err.contains("jump:high"));
    EXPECT_EQ(run({}).exitCode, 2);
}

} // namespace
