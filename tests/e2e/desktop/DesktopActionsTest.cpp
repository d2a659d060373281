// The desktop actions on a real X server. main() starts Xvfb and openbox before the
// QApplication, so this process runs on X11 as the program does and the classes are
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

// Xvfb with openbox on a free display, for the whole test program.
class DesktopSession {
public:
    QString skipReason;   // a tool is missing
    QString failure;      // the tools are there but the desktop did not come up
    Display* display = nullptr;

    void start()
    {
        for (const QString& tool : {QStringLiteral("Xvfb"), QStringLiteral("openbox")}) {
            if (QStandardPaths::findExecutable(tool).isEmpty()) {
                skipReason = tool + QStringLiteral(" is not installed");
                return;
            }
        }
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_home.path()));
        // Xvfb picks a free display and names it on stdout once it accepts clients. No
        // event loop runs yet (the QApplication needs the display first): block instead.
        m_xvfb.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_xvfb.start(QStringLiteral("Xvfb"), QStringList{"-displayfd", "1", "-noreset", "-nolisten", "tcp",
                                                         "-screen", "0", "1024x768x24"});
        while (!m_xvfb.canReadLine() && m_xvfb.waitForReadyRead(kWaitMs)) {
        }
        const QByteArray name = ":" + m_xvfb.readLine().trimmed();
        if (name == ":" || !(display = XOpenDisplay(name.constData()))) {
            failure = QStringLiteral("Xvfb did not start");
            return;
        }
        qputenv("DISPLAY", name);
        // openbox drops windows mapped while it starts up; it runs the startup command
        // once it manages windows. Its configuration comes from the empty home.
        const QString ready = m_home.filePath(QStringLiteral("openbox-ready"));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), m_home.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.path());
        m_openbox.setProcessEnvironment(environment);
        m_openbox.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable"), QStringLiteral("--startup"),
                                                    QStringLiteral("touch '%1'").arg(ready)});
        if (!QTest::qWaitFor([&] { return QFile::exists(ready); }, kWaitMs))
            failure = QStringLiteral("openbox did not start managing windows");
    }

    void stop()
    {
        if (display)
            XCloseDisplay(display);
        for (QProcess* process : {&m_openbox, &m_xvfb}) {
            process->terminate();
            if (!process->waitForFinished(kWaitMs))
                process->kill();
            process->waitForFinished(kWaitMs);
        }
    }

    // The items of a 32-bit property of window (the root window when 0).
    QList<unsigned long> property(const char* name, Atom type, Window window = 0) const
    {
        Atom actualType = 0;
        int format = 0;
        unsigned long count = 0, remaining = 0;
        unsigned char* data = nullptr;
        QList<unsigned long> items;
        if (XGetWindowProperty(display, window ? window : DefaultRootWindow(display), atom(name), 0, 64,
                               False, type, &actualType, &format, &count, &remaining, &data) == Success
            && data && format == 32) {
            const auto* values = reinterpret_cast<const unsigned long*>(data);
            items = QList<unsigned long>(values, values + count);
        }
        if (data)
            XFree(data);
        return items;
    }

    Atom atom(const char* name) const { return XInternAtom(display, name, False); }

    QList<unsigned long> clients() const { return property("_NET_CLIENT_LIST", XA_WINDOW); }

    Window activeWindow() const
    {
        const auto active = property("_NET_ACTIVE_WINDOW", XA_WINDOW);
        return active.isEmpty() ? 0 : active.front();
    }

    Window focusWindow() const
    {
        Window focus = 0;
        int revertTo = 0;
        XGetInputFocus(display, &focus, &revertTo);
        return focus;
    }

    QString titleOf(Window window) const
    {
        char* name = nullptr;
        QString title;
        if (XFetchName(display, window, &name) && name)
            title = QString::fromLocal8Bit(name);
        if (name)
            XFree(name);
        return title;
    }

    // As a click on the window would.
    void activate(Window window) const
    {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = atom("_NET_ACTIVE_WINDOW");
        event.xclient.format = 32;
        event.xclient.data.l[0] = 2;   // from a pager: the user's choice
        XSendEvent(display, DefaultRootWindow(display), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &event);
        XFlush(display);
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

    // The next case starts only after the window manager has let go of this case's
    // probe, so a late focus change cannot steal its key presses.
    void TearDown() override
    {
        m_probe.kill();
        m_probe.waitForFinished(kWaitMs);
        if (m_probeWindow) {
            EXPECT_TRUE(QTest::qWaitFor([this] { return !session->clients().contains(m_probeWindow); }, kWaitMs));
        }
    }

    // Shows the probe window and waits until it is active and has the keyboard focus.
    Window showProbe()
    {
        const QString title = QString::fromLatin1(testing::UnitTest::GetInstance()->current_test_info()->name());
        m_keysPath = env.path(QStringLiteral("keys.txt"));
        m_probe.start(QStringLiteral(VORLIX_PROBE_WINDOW),
                      {QStringLiteral("--keys"), m_keysPath, QStringLiteral("--title"), title});
        const bool managed = QTest::qWaitFor(
            [&] {
                for (Window window : session->clients()) {
                    if (session->titleOf(window) == title)
                        m_probeWindow = window;
                }
                return m_probeWindow != 0;
            },
            kWaitMs);
        if (!managed) {
            ADD_FAILURE() << "the window manager never took the probe window";
            return 0;
        }
        session->activate(m_probeWindow);
        if (!QTest::qWaitFor([&] { return session->activeWindow() == m_probeWindow
                                          && session->focusWindow() == m_probeWindow; },
                             kWaitMs)) {
            ADD_FAILURE() << "the probe window never became the active window";
            return 0;
        }
        return m_probeWindow;
    }

    testing::AssertionResult probeRecorded(const QString& line)
    {
        if (QTest::qWaitFor([&] { return linesOf(m_keysPath).contains(line); }, kWaitMs))
            return testing::AssertionSuccess();
        return testing::AssertionFailure() << "the probe window recorded ["
                                           << linesOf(m_keysPath).join(", ").toStdString() << "]";
    }

    bool waitForMaximized(Window window, bool maximized)
    {
        const auto atoms = {session->atom("_NET_WM_STATE_MAXIMIZED_VERT"), session->atom("_NET_WM_STATE_MAXIMIZED_HORZ")};
        return QTest::qWaitFor(
            [&] {
                const auto state = session->property("_NET_WM_STATE", XA_ATOM, window);
                return std::all_of(atoms.begin(), atoms.end(), [&](Atom a) { return state.contains(a) == maximized; });
            },
            kWaitMs);
    }

    void press(uint8_t virtualKey, bool release = true)
    {
        keys.keybdEvent(virtualKey, 0, 0);
        if (release)
            keys.keybdEvent(virtualKey, 0, KeySender::kKeyUp);
    }

    XTestKeySender keys;
    X11WindowMessenger messenger{keys};
    QProcess m_probe;
    Window m_probeWindow = 0;
    QString m_keysPath;
};

TEST_F(DesktopActionsTest, KeyPressesAndChordsReachTheActiveWindow)
{
    ASSERT_NE(showProbe(), 0u);
    press('A');
    EXPECT_TRUE(probeRecorded(QStringLiteral("a")));
    press(0x70);   // F1
    EXPECT_TRUE(probeRecorded(QStringLiteral("F1")));

    // The paste of a macro: Shift down, Insert down, Insert up, Shift up.
    press(VirtualKeyTable::kShift, false);
    press(VirtualKeyTable::kInsert);
    keys.keybdEvent(VirtualKeyTable::kShift, 0, KeySender::kKeyUp);
    EXPECT_TRUE(probeRecorded(QStringLiteral("Insert shift")));
    press('B');   // the modifier is released again
    EXPECT_TRUE(probeRecorded(QStringLiteral("b")));

    messenger.postToForeground(WindowMessenger::kPaste, 0, 0);
    EXPECT_TRUE(probeRecorded(QStringLiteral("v control")));
}

TEST_F(DesktopActionsTest, CloseMessageClosesTheActiveWindow)
{
    ASSERT_NE(showProbe(), 0u);
    messenger.postToForeground(WindowMessenger::kClose, 0, 0);
    EXPECT_TRUE(probeRecorded(QStringLiteral("closed")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_probe.state() == QProcess::NotRunning; }, kWaitMs));
}

TEST_F(DesktopActionsTest, SystemCommandsMaximizeRestoreMinimizeAndClose)
{
    const Window probe = showProbe();
    ASSERT_NE(probe, 0u);
    messenger.postToForeground(WindowMessenger::kSysCommand, WindowMessenger::kScMaximize, 0);
    EXPECT_TRUE(waitForMaximized(probe, true));
    messenger.postToForeground(WindowMessenger::kSysCommand, WindowMessenger::kScRestore, 0);
    EXPECT_TRUE(waitForMaximized(probe, false));

    messenger.postToForeground(WindowMessenger::kSysCommand, WindowMessenger::kScClose, 0);
    EXPECT_TRUE(probeRecorded(QStringLiteral("closed")));
}

TEST_F(DesktopActionsTest, MinimizeIconifiesTheActiveWindow)
{
    const Window probe = showProbe();
    ASSERT_NE(probe, 0u);
    // The low four bits of a system command are not part of it.
    messenger.postToForeground(WindowMessenger::kSysCommand, WindowMessenger::kScMinimize | 2, 0);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const auto state = session->property("WM_STATE", session->atom("WM_STATE"), probe);
            return !state.isEmpty() && state.front() == IconicState;
        },
        kWaitMs));
}

TEST_F(DesktopActionsTest, MessagesToOwnWindowReachTheQtWindow)
{
    QWidget own;
    own.resize(300, 200);
    own.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return session->clients().contains(own.winId()); }, kWaitMs));
    session->activate(own.winId());
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
    XdgShellLauncher().open(QStringLiteral(VORLIX_PROBE_WINDOW), QStringLiteral("--out %1 \"two words\" x").arg(out),
                            ShellLauncher::kShowNormal);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !linesOf(out).isEmpty(); }, kWaitMs));
    EXPECT_EQ(linesOf(out), (QStringList{"--out", out, "two words", "x"}));
}

TEST_F(DesktopActionsTest, ClipboardTextAlsoFillsThePrimarySelection)
{
    QtClipboard().setText(QStringLiteral("line one\nline two"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(QClipboard::Clipboard), QStringLiteral("line one\nline two"));
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
