#include "platform/files/StaleTemporaries.h"

#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>

#include <sys/wait.h>
#include <unistd.h>

namespace {

// The id of a process that has ended.
pid_t endedProcess()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

class StaleTemporariesTest : public IsolatedTest {
protected:
    QString temporary(const char* target, pid_t writer)
    {
        const QString name = QStringLiteral(".%1.tmp%2-0-4711").arg(QLatin1String(target)).arg(writer);
        IsolatedEnvironment::writeFile(env.path("app/" + name), QByteArray(1000, 'x'));
        return name;
    }
    QStringList remaining() const
    {
        return QDir(env.path("app")).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
};

TEST_F(StaleTemporariesTest, OnlyTemporariesNoRunningSaveCanOwnAreRemoved)
{
    const QString dead = temporary("Vorlix.INI", endedProcess());
    const QString deadList = temporary("VoiceCommands.INI", endedProcess());
    const QString running = temporary("Vorlix.INI", ::getppid());
    const QString mine = temporary("Welcome.txt", ::getpid());
    const QString oldRunning = temporary("Macros.INI", ::getppid() == 1 ? 2 : 1);
    QFile old(env.path("app/" + oldRunning));
    ASSERT_TRUE(old.open(QIODevice::ReadWrite));
    ASSERT_TRUE(old.setFileTime(QDateTime::currentDateTime().addSecs(-3 * 3600), QFileDevice::FileModificationTime));
    old.close();
    const QStringList userFiles{"Vorlix.INI", ".Vorlix.INI.tmp-notes", "list.tmp12-3-4", ".x.tmp12-a-4", ".x.tmp12-3"};
    for (const QString& name : userFiles)
        IsolatedEnvironment::writeFile(env.path("app/" + name), "keep");

    EXPECT_EQ(files::removeStaleTemporaries(env.stdPath("app")), 3);
    QStringList expected = userFiles;
    expected << running << mine;
    expected.sort();
    EXPECT_EQ(remaining(), expected);
    EXPECT_FALSE(remaining().contains(dead) || remaining().contains(deadList) || remaining().contains(oldRunning));
    EXPECT_EQ(files::removeStaleTemporaries(env.stdPath("no such folder")), 0);
}

} // namespace
