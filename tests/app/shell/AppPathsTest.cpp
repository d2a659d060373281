#include "app/shell/AppPaths.h"

#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>

namespace {

class AppPathsTest : public IsolatedTest {
protected:
    void supplyData(const QString& folder)
    {
        IsolatedEnvironment::writeFile(folder + "/VoiceCommands.INI", "[VoiceCommand 1]\r\nVoice=Close\r\n");
        IsolatedEnvironment::writeFile(folder + "/VORLIXHelp.dat", "\"help\"\r\n");
    }
};

TEST_F(AppPathsTest, RegistryValueWinsWithoutTrailingSeparator)
{
    EXPECT_EQ(AppPaths::resolveAppPath("/srv/vorlix/", env.root(), env.path("windir")), "/srv/vorlix");
}

TEST_F(AppPathsTest, WritableProgramFolderWithItsDataIsUsed)
{
    supplyData(env.path("bin"));
    EXPECT_EQ(AppPaths::resolveAppPath(QString(), env.path("bin"), env.path("windir")), env.path("bin"));
}

// An installed program run by root: its bin/ can be written but holds no data, and must
// not fill up with the user's files.
TEST_F(AppPathsTest, InstalledProgramFolderIsNotUsedEvenWhenWritable)
{
    supplyData(env.path("windir"));
    QDir().mkpath(env.path("bin"));
    EXPECT_EQ(AppPaths::resolveAppPath(QString(), env.path("bin"), env.path("windir")), env.path("data/vorlix"));
    EXPECT_TRUE(QDir(env.path("bin")).isEmpty());
}

TEST_F(AppPathsTest, UnusableProgramFolderFallsBackToSeededUserFolder)
{
    supplyData(env.path("windir"));
    const QString path = AppPaths::resolveAppPath(QString(), env.path("missing"), env.path("windir"));
    EXPECT_EQ(path, env.path("data/vorlix"));
    EXPECT_EQ(IsolatedEnvironment::readFile(path + "/VoiceCommands.INI"), "[VoiceCommand 1]\r\nVoice=Close\r\n");
    EXPECT_TRUE(QFile::exists(path + "/VORLIXHelp.dat"));

    // Seeded once: the user's own changes are never overwritten.
    IsolatedEnvironment::writeFile(path + "/VoiceCommands.INI", "mine");
    AppPaths::resolveAppPath(QString(), env.path("missing"), env.path("windir"));
    EXPECT_EQ(IsolatedEnvironment::readFile(path + "/VoiceCommands.INI"), "mine");

    // A supplied file the user lost comes back; the others stay as they are.
    QFile::remove(path + "/VORLIXHelp.dat");
    AppPaths::resolveAppPath(QString(), env.path("missing"), env.path("windir"));
    EXPECT_TRUE(QFile::exists(path + "/VORLIXHelp.dat"));
    EXPECT_EQ(IsolatedEnvironment::readFile(path + "/VoiceCommands.INI"), "mine");
}

} // namespace
