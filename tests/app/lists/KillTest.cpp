// A process writing the list files is killed at random moments; every file it leaves
// must be whole: it parses, its count matches its entries, and every entry has all keys.

#include "tests/fakes/VoiceFakes.h"

#include "app/common/IniFile.h"
#include "platform/profile/PrivateProfile.h"
#include "app/lists/UserList.h"
#include "app/voice/CVoiceCommand.h"

#include <QDir>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <csignal>
#include <ctime>
#include <random>

#include <sys/wait.h>
#include <unistd.h>

namespace {

const ListKind* const kKinds[] = {&ListKind::Programs, &ListKind::Documents, &ListKind::WebSites};

// Runs adds, edits, removals and rewrites until a timer sends SIGKILL after killAfterUs
// microseconds; writes the letter of each finished step to progress.
[[noreturn]] void writeUntilKilled(const QString& folder, unsigned seed, long killAfterUs, int progress)
{
    VoiceHarness h;
    (void)h.menus.CreateVoiceMenu();
    std::vector<std::unique_ptr<UserList>> lists;
    for (const ListKind* kind : kKinds) {
        lists.push_back(std::make_unique<UserList>(*kind, h.menus, h.context, folder));
        lists.back()->Load();
    }
    sigevent event{};
    event.sigev_notify = SIGEV_SIGNAL;
    event.sigev_signo = SIGKILL;
    timer_t timer;
    itimerspec when{};
    when.it_value.tv_sec = killAfterUs / 1000000;
    when.it_value.tv_nsec = (killAfterUs % 1000000) * 1000 + 1;
    if (::timer_create(CLOCK_MONOTONIC, &event, &timer) != 0 || ::timer_settime(timer, 0, &when, nullptr) != 0)
        ::_exit(2);
    std::mt19937 random(seed);
    for (int step = 0;; ++step) {
        UserList& list = *lists[random() % 3];
        const int count = list.commands().count();
        const unsigned choice = random() % 10;
        char done;
        if (count < 3 || (choice < 4 && count < 40)) {
            (void)list.Add(ListEntry{QStringLiteral("Phrase %1 %2").arg(seed).arg(step), QStringLiteral("/target/%1").arg(step),
                                     QStringLiteral("Say %1").arg(step), QStringLiteral("Wave"), QStringLiteral("--arg")});
            done = 'a';
        } else if (choice < 6) {
            (void)list.Edit(list.commands().at(int(random() % unsigned(count))),
                            ListEntry{QStringLiteral("Edited %1 %2").arg(seed).arg(step), QStringLiteral("/edited"),
                                      QString(), QStringLiteral("None"), QString()});
            done = 'e';
        } else if (choice < 8) {
            (void)list.Remove(list.commands().at(int(random() % unsigned(count))));
            done = 'r';
        } else {
            (void)list.Save();
            done = 's';
        }
        if (::write(progress, &done, 1) != 1)
            ::_exit(1);
    }
}

// Empty when the file is whole; otherwise what is wrong with it.
QString problemsOf(const QString& file, const ListKind& kind)
{
    if (!QFile::exists(file))
        return {};
    const QByteArray text = IsolatedEnvironment::readFile(file);
    if (!text.endsWith("\r\n"))
        return QStringLiteral("cut short");
    const IniReader reader(file);
    const QRegularExpression header(QStringLiteral("^\\[%1(\\d+)\\]\\r$").arg(kind.sectionWord),
                                    QRegularExpression::MultilineOption);
    int entries = 0;
    int highest = 0;
    for (auto match = header.globalMatch(QString::fromUtf8(text)); match.hasNext();) {
        const QString section = kind.sectionWord + match.next().captured(1);
        highest = std::max(highest, section.mid(kind.sectionWord.size()).toInt());
        ++entries;
        QStringList keys{"voice", kind.targetKey, "speech", "type", "Gesture"};
        if (kind.hasCommandLine)
            keys << "CommandLine";
        for (const QString& key : keys) {
            if (!ReadPrivateProfileValue(section.toStdString(), key.toStdString(), file.toStdString()))
                return section + QStringLiteral(" lacks ") + key;
        }
    }
    if (reader.readInt("Global", kind.countKey, -1) != entries)
        return QStringLiteral("count %1 for %2 entries").arg(reader.readInt("Global", kind.countKey, -1)).arg(entries);
    if (reader.readInt("Global", "NextEntry", 0) <= highest)
        return QStringLiteral("NextEntry below an entry");
    return {};
}

TEST(ListFilesKilled, EveryFileLeftBehindIsWhole)
{
    IsolatedEnvironment env;
    constexpr int kKills = 220;
    std::mt19937 random(20261207);
    std::map<char, int> steps;
    for (int round = 0; round < kKills; ++round) {
        int progress[2];
        ASSERT_EQ(::pipe(progress), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(progress[0]);
            writeUntilKilled(env.root(), unsigned(round), long(random() % 60000), progress[1]);
        }
        ::close(progress[1]);
        // The child's own timer kills it: the pipe ends when it dies.
        for (char done = 0; ::read(progress[0], &done, 1) == 1;)
            ++steps[done];
        int status = 0;
        ::waitpid(child, &status, 0);
        ::close(progress[0]);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "round " << round << " status " << status;
        for (const ListKind* kind : kKinds) {
            const QString problems = problemsOf(env.path(kind->fileName), *kind);
            ASSERT_TRUE(problems.isEmpty()) << "round " << round << ", " << kind->fileName.toStdString() << ": "
                                            << problems.toStdString();
        }
    }
    for (char step : {'a', 'e', 'r', 's'})
        EXPECT_GT(steps[step], 20) << step;
}

} // namespace
