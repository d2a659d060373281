#include "app/shell/AppPaths.h"

#include "tests/support/TestEnvironment.h"

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

TEST_F(AppPathsTest, RegistryValueThenAWritableProgramFolderWithItsDataIsUsed)
{
    supplyData(env.path("bin"));
    EXPECT_EQ(AppPaths::resolveAppPath("/srv/vorlix/", env.path("bin"), env.path("windir")), "/srv/vorlix");
    EXPECT_EQ(AppPaths::resolveAppPath(QString(), env.path("bin"), env.path("windir")), env.path("bin"));
}

// The installed program's own case (its bin/ untouched, the supplied files seeded) is run
// by the staged install test; here, what a later start does to the user's copies.
TEST_F(AppPathsTest, SeededUserFolderKeepsTheUsersChangesAndGetsLostFilesBack)
{
    supplyData(env.path("windir"));
    const QString path = AppPaths::resolveAppPath(QString(), env.path("missing"), env.path("windir"));
    EXPECT_EQ(path, env.path("data/vorlix"));
    IsolatedEnvironment::writeFile(path + "/VoiceCommands.INI", "mine");
    QFile::remove(path + "/VORLIXHelp.dat");
    AppPaths::resolveAppPath(QString(), env.path("missing"), env.path("windir"));
    EXPECT_TRUE(QFile::exists(path + "/VORLIXHelp.dat"));
    EXPECT_EQ(IsolatedEnvironment::readFile(path + "/VoiceCommands.INI"), "mine");
}

} // namespace
