#include "app/shell/AppPaths.h"

#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>

namespace {

class AppPathsTest : public IsolatedTest {};

TEST_F(AppPathsTest, RegistryValueWinsWithoutTrailingSeparator)
{
    EXPECT_EQ(AppPaths::resolveAppPath("/srv/vorlix/", env.root(), env.path("windir")), "/srv/vorlix");
}

TEST_F(AppPathsTest, WritableProgramFolderIsUsed)
{
    EXPECT_EQ(AppPaths::resolveAppPath(QString(), env.root(), env.path("windir")), env.root());
}

TEST_F(AppPathsTest, UnusableProgramFolderFallsBackToSeededUserFolder)
{
    IsolatedEnvironment::writeFile(env.path("windir/VoiceCommands.INI"), "[VoiceCommand 1]\r\nVoice=Close\r\n");
    IsolatedEnvironment::writeFile(env.path("windir/VORLIXHelp.dat"), "\"help\"\r\n");
    const QString path = AppPaths::resolveAppPath(QString(), env.path("missing"), env.path("windir"));
    EXPECT_EQ(path, env.path("data/vorlix"));
    EXPECT_EQ(IsolatedEnvironment::readFile(path + "/VoiceCommands.INI"), "[VoiceCommand 1]\r\nVoice=Close\r\n");
    EXPECT_TRUE(QFile::exists(path + "/VORLIXHelp.dat"));

    // Seeded once: the user's own changes are never overwritten.
    IsolatedEnvironment::writeFile(path + "/VoiceCommands.INI", "mine");
    AppPaths::resolveAppPath(QString(), env.path("missing"), env.path("windir"));
    EXPECT_EQ(IsolatedEnvironment::readFile(path + "/VoiceCommands.INI"), "mine");
}

} // namespace
