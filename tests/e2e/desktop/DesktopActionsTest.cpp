// The desktop actions on a real X server. main() starts Xvfb and openbox before the
// QApplication, so this process runs on X11 like the program does and the classes are
// used with their defaults. Without Xvfb or openbox every case is skipped.

#include "platform/desktop/QtClipboard.h"
#include "platform/desktop/VirtualKeyTable.h"
#include "platform/desktop/X11WindowMessenger.h"
#include "platform/desktop/XTestKeySender.h"
#include "platform/desktop/XdgShellLauncher.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

// Xlib last: its macros clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

constexpr int kWaitMs = 15000;

QStringList linesOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Xvfb with openbox on a display of its own, for the whole test program.
class DesktopSession {
public:
    QString skipReason;   // a tool is missing
    QString failure;      // the tools are there but the desktop did not come up
    Display* display = nullptr;

    void start()
    {
        for (const char* tool : {"Xvfb", "openbox"}) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
                skipReason = QStringLiteral("%1 is not installed").arg(QLatin1String(tool));
                return;
            }
        }
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_home.path()));
        // Xvfb picks a free display and names it on the pipe once it accepts clients.
        m_xvfb.setProgram(QStringLiteral("Xvfb"));
        m_xvfb.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"),
                             QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-screen"),
                             QStringLiteral("0"), QStringLiteral("1024x768x24")});
        m_xvfb.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_xvfb.start();
        // No event loop runs yet (the QApplication comes after the display): block instead.
        while (!m_xvfb.canReadLine() && m_xvfb.waitForReadyRead(kWaitMs)) {
        }
        if (!m_xvfb.canReadLine()) {
            failure = QStringLiteral("Xvfb did not start");
            return;
        }
        const QByteArray name = ":" + m_xvfb.readLine().trimmed();
        qputenv("DISPLAY", name);
        display = XOpenDisplay(name.constData());
        if (!display) {
            failure = QStringLiteral("cannot connect to Xvfb on %1").arg(QString::fromLatin1(name));
            return;
        }
        // openbox reads its configuration from the isolated home, so the defaults apply.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), m_home.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        m_openbox.setProcessEnvironment(environment);
        m_openbox.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // openbox drops windows mapped while it starts up; it runs the startup command
        // once it manages windows.
        const QString ready = m_home.filePath(QStringLiteral("openbox-ready"));
        m_openbox.start(QStringLiteral("openbox"),
                        {QStringLiteral("--sm-disable"), QStringLiteral("--startup"),
                         QStringLiteral("touch '%1'").arg(ready)});
        if (!QTest::qWaitFor([&] { return QFile::exists(ready); }, kWaitMs))
            failure = QStringLiteral("openbox did not start managing windows");
    }

    void stop()
    {
        if (display)
            XCloseDisplay(display);
        display = nullptr;
        for (QProcess* process : {&m_openbox, &m_xvfb}) {
            if (process->state() != QProcess::NotRunning) {
                process->terminate();
                if (!process->waitForFinished(kWaitMs))
                    process->kill();
                process->waitForFinished(kWaitMs);
            }
        }
    }

    QList<Window> rootWindows(Atom property) const { return windows(DefaultRootWindow(display), property); }

    QList<Window> windows(Window window, Atom property) const
    {
        return longs(window, property, XA_WINDOW);
    }

    QList<Window> longs(Window window, Atom property, Atom type) const
    {
        Atom actualType = 0;
        int format = 0;
        unsigned long count = 0, remaining = 0;
        unsigned char* data = nullptr;
        QList<Window> items;
        if (XGetWindowProperty(display, window, property, 0, 64, False, type, &actualType, &format,
                               &count, &remaining, &data) == Success
            && data && format == 32) {
            const auto* values = reinterpret_cast<const unsigned long*>(data);
            items = QList<Window>(values, values + count);
        }
        if (data)
            XFree(data);
        return items;
    }

    Window activeWindow() const
    {
        const auto active = rootWindows(XInternAtom(display, "_NET_ACTIVE_WINDOW", False));
        return active.isEmpty() ? 0 : active.front();
    }

    QList<Window> clients() const { return rootWindows(XInternAtom(display, "_NET_CLIENT_LIST", False)); }

    Window focusWindow() const
    {
        Window focus = 0;
        int revertTo = 0;
        XGetInputFocus(display, &focus, &revertTo);
        return focus;
    }

    void activate(Window window) const
    {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = 2;   // from a pager: the user's choice
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, DefaultRootWindow(display), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &event);
        XFlush(display);
    }

    QString titleOf(Window window) const
    {
        char* name = nullptr;
        QString title;
        if (window && XFetchName(display, window, &name) && name)
            title = QString::fromLocal8Bit(name);
        if (name)
            XFree(name);
        return title;
    }

    QList<Window> netWmState(Window window) const
    {
        return longs(window, XInternAtom(display, "_NET_WM_STATE", False), XA_ATOM);
    }

    bool isIconic(Window window) const
    {
        const Atom wmState = XInternAtom(display, "WM_STATE", False);
        const auto state = longs(window, wmState, wmState);
        return !state.isEmpty() && state.front() == IconicState;
    }

private:
    QProcess m_xvfb;
    QProcess m_openbox;
    QTemporaryDir m_home;
};

DesktopSession* session = nullptr;

class DesktopActionsTest : public IsolatedTest {
protected:
    void SetUp() override
    {
        if (!session->skipReason.isEmpty())
            GTEST_SKIP() << "No X desktop for this test: " << session->skipReason.toStdString();
        ASSERT_TRUE(session->failure.isEmpty()) << session->failure.toStdString();
    }

    // The next case starts only after the window manager has let go of this one's probe,
    // so a late focus change cannot steal its key presses.
    void TearDown() override
    {
        if (m_probe.state() != QProcess::NotRunning) {
            m_probe.kill();
            m_probe.waitForFinished(kWaitMs);
        }
        if (m_probeWindow) {
            EXPECT_TRUE(QTest::qWaitFor([this] { return !session->clients().contains(m_probeWindow); }, kWaitMs));
        }
    }

    // Shows the probe window and makes it the active one, as a click on it would.
    Window showProbe(const QString& title)
    {
        m_keysPath = env.path(QStringLiteral("keys.txt"));
        m_probe.start(QStringLiteral(VORLIX_PROBE_WINDOW),
                      {QStringLiteral("--keys"), m_keysPath, QStringLiteral("--title"), title});
        Window probe = 0;
        const bool managed = QTest::qWaitFor(
            [&] {
                for (Window window : session->clients()) {
                    if (session->titleOf(window) == title)
                        probe = window;
                }
                return probe != 0;
            },
            kWaitMs);
        EXPECT_TRUE(managed) << "the window manager never took the probe window";
        if (!managed)
            return 0;
        m_probeWindow = probe;
        session->activate(probe);
        const bool active = QTest::qWaitFor(
            [&] { return session->activeWindow() == probe && session->focusWindow() == probe; }, kWaitMs);
        EXPECT_TRUE(active) << "the probe window never became the active window";
        return active ? probe : 0;
    }

    testing::AssertionResult waitForKeyLine(const QString& line)
    {
        if (QTest::qWaitFor([&] { return linesOf(m_keysPath).contains(line); }, kWaitMs))
            return testing::AssertionSuccess();
        return testing::AssertionFailure() << "the probe window recorded ["
                                           << linesOf(m_keysPath).join(", ").toStdString() << "]";
    }

    bool waitForState(Window window, const char* atomName, bool present)
    {
        const Atom atom = XInternAtom(session->display, atomName, False);
        return QTest::qWaitFor([&] { return session->netWmState(window).contains(atom) == present; },
                               kWaitMs);
    }

    XTestKeySender keys;
    X11WindowMessenger messenger{keys};
    QProcess m_probe;
    Window m_probeWindow = 0;
    QString m_keysPath;
};

TEST_F(DesktopActionsTest, KeyPressReachesTheActiveWindow)
{
    ASSERT_NE(showProbe(QStringLiteral("keys")), 0u);
    keys.keybdEvent('A', 0, 0);
    keys.keybdEvent('A', 0, KeySender::kKeyUp);
    EXPECT_TRUE(waitForKeyLine(QStringLiteral("a")));

    keys.keybdEvent(0x70, 0, 0);   // F1
    keys.keybdEvent(0x70, 0, KeySender::kKeyUp);
    EXPECT_TRUE(waitForKeyLine(QStringLiteral("F1")));
}

TEST_F(DesktopActionsTest, ChordsPressedAsSeparateEventsHoldTheirModifier)
{
    ASSERT_NE(showProbe(QStringLiteral("chords")), 0u);
    // The paste of a macro: Shift down, Insert down, Insert up, Shift up.
    keys.keybdEvent(VirtualKeyTable::kShift, 0, 0);
    keys.keybdEvent(VirtualKeyTable::kInsert, 0, 0);
    keys.keybdEvent(VirtualKeyTable::kInsert, 0, KeySender::kKeyUp);
    keys.keybdEvent(VirtualKeyTable::kShift, 0, KeySender::kKeyUp);
    EXPECT_TRUE(waitForKeyLine(QStringLiteral("Insert shift")));

    // The key after the chord no longer carries the modifier.
    keys.keybdEvent('B', 0, 0);
    keys.keybdEvent('B', 0, KeySender::kKeyUp);
    EXPECT_TRUE(waitForKeyLine(QStringLiteral("b")));

    messenger.postToForeground(WindowMessenger::kPaste, 0, 0);
    EXPECT_TRUE(waitForKeyLine(QStringLiteral("v control")));
    messenger.postToForeground(WindowMessenger::kUndo, 0, 0);
    EXPECT_TRUE(waitForKeyLine(QStringLiteral("z control")));
}

TEST_F(DesktopActionsTest, CloseMessageClosesTheActiveWindow)
{
    ASSERT_NE(showProbe(QStringLiteral("close")), 0u);
    messenger.postToForeground(WindowMessenger::kClose, 0, 0);
    EXPECT_TRUE(waitForKeyLine(QStringLiteral("closed")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_probe.state() == QProcess::NotRunning; }, kWaitMs));
}

TEST_F(DesktopActionsTest, SystemCommandsMaximizeRestoreMinimizeAndClose)
{
    const Window probe = showProbe(QStringLiteral("syscommand"));
    ASSERT_NE(probe, 0u);
    messenger.postToForeground(WindowMessenger::kSysCommand, WindowMessenger::kScMaximize, 0);
    EXPECT_TRUE(waitForState(probe, "_NET_WM_STATE_MAXIMIZED_VERT", true));
    EXPECT_TRUE(waitForState(probe, "_NET_WM_STATE_MAXIMIZED_HORZ", true));

    messenger.postToForeground(WindowMessenger::kSysCommand, WindowMessenger::kScRestore, 0);
    EXPECT_TRUE(waitForState(probe, "_NET_WM_STATE_MAXIMIZED_VERT", false));

    // The low four bits of a system command do not change it.
    messenger.postToForeground(WindowMessenger::kSysCommand, WindowMessenger::kScMinimize | 2, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return session->isIconic(probe); }, kWaitMs));
}

TEST_F(DesktopActionsTest, SystemCloseAsksTheWindowToClose)
{
    ASSERT_NE(showProbe(QStringLiteral("sysclose")), 0u);
    messenger.postToForeground(WindowMessenger::kSysCommand, WindowMessenger::kScClose, 0);
    EXPECT_TRUE(waitForKeyLine(QStringLiteral("closed")));
}

TEST_F(DesktopActionsTest, MessagesToOwnWindowReachTheQtWindow)
{
    QWidget own;
    own.setWindowTitle(QStringLiteral("own window"));
    own.resize(300, 200);
    own.show();
    own.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return session->activeWindow() == own.winId(); }, kWaitMs));

    messenger.postToForeground(WindowMessenger::kSysCommand, WindowMessenger::kScMaximize, 0);
    EXPECT_FALSE(own.isMaximized()) << "a posted message acts after the caller returns";
    EXPECT_TRUE(QTest::qWaitFor([&] { return own.isMaximized(); }, kWaitMs));

    messenger.postToForeground(WindowMessenger::kClose, 0, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !own.isVisible(); }, kWaitMs));
}

TEST_F(DesktopActionsTest, OpenStartsProgramWithItsArguments)
{
    const QString out = env.path(QStringLiteral("arguments.txt"));
    XdgShellLauncher launcher;
    launcher.open(QStringLiteral(VORLIX_PROBE_WINDOW), QStringLiteral("--out %1 \"two words\" x").arg(out),
                  ShellLauncher::kShowNormal);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !linesOf(out).isEmpty(); }, kWaitMs));
    EXPECT_EQ(linesOf(out), (QStringList{QStringLiteral("--out"), out, QStringLiteral("two words"),
                                         QStringLiteral("x")}));
}

TEST_F(DesktopActionsTest, OpenStartsTheExecOfADesktopLauncher)
{
    const QString out = env.path(QStringLiteral("launcher.txt"));
    const QString launcherFile = env.path(QStringLiteral("probe.desktop"));
    IsolatedEnvironment::writeFile(
        launcherFile, QStringLiteral("[Desktop Entry]\nType=Application\nName=Probe\n"
                                     "Exec=%1 --out %2 %U \"a b\"\n")
                          .arg(QStringLiteral(VORLIX_PROBE_WINDOW), out)
                          .toUtf8());
    XdgShellLauncher launcher;
    launcher.open(launcherFile, QString(), ShellLauncher::kShowMaximized);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !linesOf(out).isEmpty(); }, kWaitMs));
    EXPECT_EQ(linesOf(out), (QStringList{QStringLiteral("--out"), out, QStringLiteral("a b")}));
}

TEST_F(DesktopActionsTest, ClipboardTextAlsoFillsThePrimarySelection)
{
    QtClipboard clipboard;
    clipboard.setText(QStringLiteral("line one\nline two"));
    EXPECT_TRUE(clipboard.hasText());
    EXPECT_EQ(QGuiApplication::clipboard()->text(QClipboard::Selection), QStringLiteral("line one\nline two"));
}

} // namespace

int main(int argc, char** argv)
{
    DesktopSession desktop;
    session = &desktop;
    desktop.start();
    qputenv("QT_QPA_PLATFORM", desktop.display ? "xcb" : "offscreen");
    int result = 0;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    desktop.stop();
    return result;
}
