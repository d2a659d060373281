// vorlix: the program, and its remote commands for a running copy.

#include "app/mokavel/MokavelLibrary.h"
#include "app/shell/AppInfo.h"
#include "app/shell/PlatformServices.h"
#include "app/shell/UserMessages.h"
#include "app/shell/frmTray.h"
#include "app/voice/RemoteSay.h"
#include "platform/agent/DesktopAgentCharacters.h"
#include "platform/common/GuardedMain.h"
#include "platform/desktop/LocalSocketInstance.h"
#include "platform/desktop/QtClipboard.h"
#include "platform/desktop/QtScreenMetrics.h"
#include "platform/desktop/QtTrayIcon.h"
#include "platform/desktop/X11WindowMessenger.h"
#include "platform/desktop/XTestKeySender.h"
#include "platform/desktop/XdgShellLauncher.h"
#include "platform/vcmd/SphinxVoiceCommandControl.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QIcon>
#include <QThread>

#include <cstdio>
#include <cstring>
#include <optional>

namespace {

constexpr int kSayTimeoutMs = 120000;   // a phrase may open a dialog that the user must close
constexpr int kExitTimeoutMs = 60000;

const char* const kUsage =
    "Usage: vorlix [-AUTOSTART]\n"
    "       vorlix --say PHRASE\n"
    "       vorlix --status\n"
    "       vorlix --exit\n"
    "       vorlix --help | --version\n"
    "\n"
    "Vorlix, a voice-driven desktop assistant.\n"
    "\n"
    "  -AUTOSTART      start hidden in the notification area\n"
    "  --say PHRASE    hand PHRASE to the running Vorlix, as if it had been heard;\n"
    "                  exit status 0: a command ran, 3: not listening,\n"
    "                  4: no command answers to PHRASE, 1: Vorlix is not running\n"
    "  --exit          end the running Vorlix, saving everything, as its Exit button does\n"
    "  --status        show whether the running Vorlix listens, its window, its page and\n"
    "                  the control with the keyboard focus\n"
    "  --help          show this text\n"
    "  --version       show the version\n";

// A process that has ended but not been waited for by its parent counts as ended.
bool processAlive(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const qsizetype end = line.lastIndexOf(')');
    return end >= 0 && end + 2 < line.size() && line[end + 2] != 'Z' && line[end + 2] != 'X';
}

// One request to the running copy; its reply, or nullopt after saying why there is none.
std::optional<QString> request(const QString& text, int timeoutMs)
{
    const Result<QString> reply = LocalSocketInstance::send(AppInfo::caption(), text, timeoutMs);
    if (!reply) {
        std::fprintf(stderr, "vorlix: %s\n", qPrintable(reply.error().message));
        return std::nullopt;
    }
    return reply.value();
}

int remoteSay(const QString& phrase)
{
    const std::optional<QString> reply = request(QStringLiteral("say ") + phrase, kSayTimeoutMs);
    if (!reply)
        return 1;
    const RemoteSay::Outcome outcome = RemoteSay::interpret(*reply);
    std::printf("%s\n", qPrintable(outcome.message));
    return outcome.exitStatus;
}

int remoteStatus()
{
    const std::optional<QString> reply = request(QStringLiteral("status"), kSayTimeoutMs);
    if (!reply)
        return 1;
    for (const QString& field : reply->split(u'\t'))
        std::printf("%s\n", qPrintable(field));
    return 0;
}

int remoteExit()
{
    const std::optional<QString> reply = request(QStringLiteral("exit"), kExitTimeoutMs);
    if (!reply)
        return 1;
    // "exiting PID": returns once that process has ended, so a caller can rely on the saved files.
    const qint64 pid = reply->section(u' ', 1, 1).toLongLong();
    QDeadlineTimer deadline(kExitTimeoutMs);
    while (processAlive(pid) && !deadline.hasExpired())
        QThread::msleep(20);
    if (processAlive(pid)) {
        std::fprintf(stderr, "vorlix: the running copy did not end within %d s\n", kExitTimeoutMs / 1000);
        return 1;
    }
    return 0;
}

// Handles the options that do not start the program; returns -1 to start it.
int runOption(int argc, char** argv)
{
    if (argc < 2)
        return -1;
    const char* option = argv[1];
    if (!std::strcmp(option, "--help") || !std::strcmp(option, "-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!std::strcmp(option, "--version")) {
        std::printf("%s\n", qPrintable(AppInfo::caption()));
        return 0;
    }
    if (!std::strcmp(option, "--exit") || !std::strcmp(option, "--status") || !std::strcmp(option, "--say")) {
        QCoreApplication app(argc, argv);
        if (std::strcmp(option, "--say") && argc != 2) {
            std::fputs(kUsage, stderr);
            return 2;
        }
        if (!std::strcmp(option, "--exit"))
            return remoteExit();
        if (!std::strcmp(option, "--status"))
            return remoteStatus();
        if (argc != 3) {
            std::fputs("vorlix: --say takes one phrase (quote it)\n", stderr);
            return 2;
        }
        return remoteSay(QString::fromLocal8Bit(argv[2]));
    }
    if (option[0] == '-' && option[1] == '-') {
        std::fprintf(stderr, "vorlix: unknown option %s\n\n%s", option, kUsage);
        return 2;
    }
    return -1;
}

int run(int argc, char** argv)
{
    if (const int status = runOption(argc, argv); status >= 0)
        return status;

    QApplication app(argc, argv);
    QApplication::setApplicationName(AppInfo::kTitle);
    QApplication::setApplicationVersion(AppInfo::version());
    QApplication::setQuitOnLastWindowClosed(false);   // the program lives in the notification area
    AppInfo::initResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/vorlix/vorlix.svg")));   // every window and dialog

    AppState state;
    state.programFile = QCoreApplication::applicationFilePath();
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    state.commandLine = arguments.join(u' ');

    DesktopAgentCharacters agent;
    SphinxVoiceCommandControl recogniser;
    // The program must not hear itself: a command's sentence is often its own phrase.
    agent.setSpeakingListener([&recogniser](bool speaking) { recogniser.setOutputActive(speaking); });
    XdgShellLauncher launcher;
    XTestKeySender keys;
    X11WindowMessenger messenger(keys);
    QtClipboard clipboard;
    QtScreenMetrics screen;
    QtTrayIcon tray;
    MessageBoxMessages messages;
    MokavelLibrary mokavel;
    PlatformServices platform{agent, recogniser, launcher, keys, messenger, clipboard, screen, tray, messages, mokavel};

    frmTray startUp(state, platform);
    QObject::connect(&startUp, &frmTray::programEnded, &app, &QCoreApplication::exit, Qt::QueuedConnection);
    startUp.Form_Load();
    return app.exec();
}

} // namespace

int main(int argc, char** argv)
{
    return runGuarded("vorlix", [&] { return run(argc, argv); });
}
