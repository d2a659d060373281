#include "platform/profile/AtomicFile.h"

#include "tests/support/TestEnvironment.h"

#include <QDir>

#include <sys/stat.h>

namespace {

class ReplaceFilesTest : public IsolatedTest {};

TEST_F(ReplaceFilesTest, EachFileIsReplacedOrLeftAloneAndNoTemporaryRemains)
{
    IsolatedEnvironment::writeFile(env.path("a.txt"), "old a");
    ::chmod(env.stdPath("a.txt").c_str(), 0600);
    IsolatedEnvironment::writeFile(env.path("plain"), "a file, not a folder");
    QDir(env.root()).mkdir("folder.txt");

    const std::vector<bool> replaced = profile::replaceFilesAtomically(
        {{env.stdPath("a.txt"), "new a"}, {env.stdPath("plain/b.txt"), "b"}, {env.stdPath("c.txt"), "new c"},
         {env.stdPath("folder.txt"), "not over a folder"}});

    EXPECT_EQ(replaced, std::vector<bool>({true, false, true, false}));
    EXPECT_EQ(IsolatedEnvironment::readFile(env.path("a.txt")), "new a");
    EXPECT_EQ(IsolatedEnvironment::readFile(env.path("c.txt")), "new c");
    struct stat info {};
    ASSERT_EQ(::stat(env.stdPath("a.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u) << "the replaced file keeps its permissions";
    EXPECT_TRUE(QFileInfo(env.path("folder.txt")).isDir());
    EXPECT_EQ(QDir(env.root()).entryList({"*.tmp*"}, QDir::Files | QDir::Hidden), QStringList());
}

} // namespace
