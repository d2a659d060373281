// The desktop actions on Xvfb with openbox, started before the QApplication so that the
// classes run with their defaults, as in the program. Skipped without Xvfb or openbox.

#include "platform/desktop/QtClipboard.h"
#include "platform/desktop/VirtualKeyTable.h"
#include "platform/desktop/X11WindowMessenger.h"
#include "platform/desktop/XTestKeySender.h"
#include "platform/desktop/XdgShellLauncher.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include "tests/e2e/DesktopSession.h"

// The lines of path once the last one is last (or when waiting for that timed out).
static QStringList linesUntil(const QString& path, const QString& last)
{
    const auto lines = [&] { return QString::fromUtf8(IsolatedEnvironment::readFile(path)).split('\n', Qt::SkipEmptyParts); };
    static_cast<void>(QTest::qWaitFor([&] { return lines().endsWith(last); }, kWaitMs));
    return lines();
}

static DesktopSession session;

class DesktopActionsTest : public IsolatedTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.failure.isEmpty()) << session.failure.toStdString();
    }

    // Once the window manager has let go of the probe, no late focus change can steal keys.
    void TearDown() override
    {
        probe.kill();
        probe.waitForFinished(kWaitMs);
        EXPECT_TRUE(QTest::qWaitFor([this] { return !session.clients().contains(probeWindow); }, kWaitMs));
    }

    // Shows the probe window, the only one on this desktop, and makes it active.
    testing::AssertionResult showProbe()
    {
        probe.start(VORLIX_PROBE_WINDOW, {"--keys", keysPath});
        if (!QTest::qWaitFor([&] { return (probeWindow = session.clients().value(0)) != 0; }, kWaitMs)
            || !session.activate(probeWindow))
            return testing::AssertionFailure() << "the probe window never became the active window";
        return testing::AssertionSuccess();
    }

    bool waitForState(std::initializer_list<const char*> states, bool set)
    {
        return QTest::qWaitFor([&] {
            const auto current = session.property("_NET_WM_STATE", XA_ATOM, probeWindow);
            return std::all_of(states.begin(), states.end(), [&](const char* state) { return current.contains(session.atom(state)) == set; });
        }, kWaitMs);
    }

    void press(uint8_t virtualKey)
    {
        keys.keybdEvent(virtualKey, 0, 0);
        keys.keybdEvent(virtualKey, 0, KeySender::kKeyUp);
    }

    void post(uint32_t message, int32_t wParam = 0) { messenger.postToForeground(message, wParam, 0); }

    XTestKeySender keys;
    X11WindowMessenger messenger{keys};
    QProcess probe;
    Window probeWindow = 0;
    const QString keysPath = env.path("keys.txt");
};

// Keys, the paste of a macro (Shift held around Insert), the paste chord, then a close message.
class KeysThenCloseTest : public DesktopActionsTest, public testing::WithParamInterface<std::pair<uint32_t, int32_t>> {};

TEST_P(KeysThenCloseTest, ReachTheActiveWindowInOrder)
{
    ASSERT_TRUE(showProbe());
    press('A');
    press(0x70);   // F1
    keys.keybdEvent(VirtualKeyTable::kShift, 0, 0);
    press(VirtualKeyTable::kInsert);
    keys.keybdEvent(VirtualKeyTable::kShift, 0, KeySender::kKeyUp);
    press('B');
    post(WindowMessenger::kPaste);
    post(GetParam().first, GetParam().second);
    EXPECT_EQ(linesUntil(keysPath, "closed"),
              (QStringList{"a", "F1", "Shift_L", "Insert shift", "b", "Control_L", "v control", "closed"}));
}

INSTANTIATE_TEST_SUITE_P(Close, KeysThenCloseTest, testing::Values(std::pair(WindowMessenger::kClose, 0),
    std::pair(WindowMessenger::kSysCommand, WindowMessenger::kScClose)));

TEST_F(DesktopActionsTest, SystemCommandsMaximizeRestoreAndMinimize)
{
    const std::initializer_list<const char*> maximized{"_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ"};
    ASSERT_TRUE(showProbe());
    post(WindowMessenger::kSysCommand, WindowMessenger::kScMaximize);
    EXPECT_TRUE(waitForState(maximized, true));
    post(WindowMessenger::kSysCommand, WindowMessenger::kScRestore);
    EXPECT_TRUE(waitForState(maximized, false));
    post(WindowMessenger::kSysCommand, WindowMessenger::kScMinimize | 2);   // the low four bits are not part of it
    EXPECT_TRUE(waitForState({"_NET_WM_STATE_HIDDEN"}, true));
}

TEST_F(DesktopActionsTest, OpenStartsAProgramWithItsArguments)
{
    const QString out = env.path("arguments.txt");
    XdgShellLauncher().open(VORLIX_PROBE_WINDOW, QStringLiteral("--out %1 \"two words\" x").arg(out), ShellLauncher::kShowNormal);
    EXPECT_EQ(linesUntil(out, "x"), (QStringList{"--out", out, "two words", "x"}));
}

// An empty text or an image on the clipboard is no text to paste.
TEST_F(DesktopActionsTest, ClipboardTextAlsoFillsThePrimarySelection)
{
    QtClipboard clipboard;
    clipboard.setText("two\nlines");
    EXPECT_EQ(QGuiApplication::clipboard()->text(QClipboard::Clipboard), "two\nlines");
    EXPECT_EQ(QGuiApplication::clipboard()->text(QClipboard::Selection), "two\nlines");
    clipboard.setText(QString());
    EXPECT_FALSE(clipboard.hasText());
    QGuiApplication::clipboard()->setImage(QImage(4, 4, QImage::Format_RGB32));
    EXPECT_FALSE(clipboard.hasText());
}

int main(int argc, char** argv)
{
    session.start();
    qputenv("QT_QPA_PLATFORM", session.display ? "xcb" : "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
