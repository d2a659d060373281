// A macro made by clicking through the Macros page of a running Vorlix, said with
// `vorlix --say`, pastes its text into a real text window in front; after an exit and a
// new start it is still there. Vorlix runs in this process on a private X desktop (Xvfb
// and openbox) with the real platform layers, so the test can find its controls by name.

#include "app/mokavel/MokavelLibrary.h"
#include "app/shell/PlatformServices.h"
#include "app/shell/UserMessages.h"
#include "app/shell/frmMain.h"
#include "app/shell/frmTray.h"
#include "platform/agent/DesktopAgentCharacters.h"
#include "platform/desktop/QtClipboard.h"
#include "platform/desktop/QtScreenMetrics.h"
#include "platform/desktop/QtTrayIcon.h"
#include "platform/desktop/X11WindowMessenger.h"
#include "platform/desktop/XTestKeySender.h"
#include "platform/desktop/XdgShellLauncher.h"
#include "platform/vcmd/SphinxVoiceCommandControl.h"
#include "tests/support/TestEnvironment.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "tests/e2e/DesktopSession.h"

#include <X11/extensions/XTest.h>

#include <memory>

namespace {

DesktopSession session;

const QString kText = QStringLiteral("Dear Ada,\nGrüße — 你好 \"quoted\"");
const QString kSentence = QStringLiteral("Here is your letter");

// Vorlix as main() puts it together, with the real platform layers.
struct RunningVorlix {
    DesktopAgentCharacters agent;
    SphinxVoiceCommandControl recogniser;
    XdgShellLauncher launcher;
    XTestKeySender keys;
    X11WindowMessenger messenger{keys};
    QtClipboard clipboard;
    QtScreenMetrics screen;
    QtTrayIcon tray;
    MessageBoxMessages messages;
    MokavelLibrary mokavel;
    PlatformServices platform{agent, recogniser, launcher, keys, messenger, clipboard, screen, tray, messages, mokavel};
    AppState state;
    std::unique_ptr<frmTray> startUp;
    std::unique_ptr<QSignalSpy> ended;

    // True once the main window is open and loading is over.
    bool start()
    {
        agent.setSpeakingListener([this](bool speaking) { recogniser.setOutputActive(speaking); });
        startUp = std::make_unique<frmTray>(state, platform);
        ended = std::make_unique<QSignalSpy>(startUp.get(), &frmTray::programEnded);
        startUp->Form_Load();
        return QTest::qWaitFor([this] {
            frmMain* main = startUp->mainWindow();
            return main && main->isVisible() && !main->Loading && ended->isEmpty();
        }, 60000) && QTest::qWaitForWindowExposed(startUp->mainWindow());
    }

    frmMain& main() const { return *startUp->mainWindow(); }
    template <typename T>
    T* control(const char* name) const { return main().findChild<T*>(QString::fromLatin1(name)); }
};

// Where point of widget is on the screen, as the X server has it.
QPoint serverPosition(QWidget* widget, QPoint point)
{
    QWidget* top = widget->window();
    const QPoint inTop = widget->mapTo(top, point);
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(session.display, top->winId(), DefaultRootWindow(session.display), inTop.x(), inTop.y(),
                          &x, &y, &child);
    return {x, y};
}

// A real mouse click, through the X server, at point of widget (its middle by default).
void click(QWidget* widget, QPoint point = {})
{
    ASSERT_NE(widget, nullptr);
    const QPoint local = point.isNull() ? widget->rect().center() : point;
    // A window the window manager is still placing is not yet where Qt believes it is.
    QPoint global;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (global = serverPosition(widget, local)) == widget->mapToGlobal(local); },
                                kWaitMs))
        << "the window never settled";
    XTestFakeMotionEvent(session.display, -1, global.x(), global.y(), CurrentTime);
    XTestFakeButtonEvent(session.display, 1, True, CurrentTime);
    XTestFakeButtonEvent(session.display, 1, False, CurrentTime);
    XFlush(session.display);
}

// Typing, character by character; a line break is the Return key.
void type(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        if (c == u'\n')
            QTest::keyClick(widget, Qt::Key_Return);
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

class MacroPasteTest : public IsolatedTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.failure.isEmpty()) << session.failure.toStdString();
        const QString app = env.path(QStringLiteral("app"));
        QDir().mkpath(app);
        IsolatedEnvironment::writeFile(env.path("registry.ini"),
                                       "[HKEY_LOCAL_MACHINE\\Software\\Quennet\\Vorlix\\AppPath]\r\n@="
                                           + QFile::encodeName(app) + "\r\n");
        env.setEnv("VORLIX_REGISTRY", env.path("registry.ini"));
        env.setEnv("VORLIX_WINDIR", QStringLiteral(VORLIX_DATA_ROOT));
        env.setEnv("VORLIX_AGENT_LOG", agentLog);
        // A returning user who is not greeted: no dialog stands in the way.
        IsolatedEnvironment::writeFile(app + "/Vorlix.INI", "[Account]\r\nUserName=Ada\r\n[Character]\r\nWelcomeGesture=None\r\n");
        IsolatedEnvironment::writeFile(app + "/MessageID.INI", "[General]\r\nOverview=Yes\r\nNoMicrophone=Yes\r\n");
    }

    void TearDown() override
    {
        probe.kill();
        probe.waitForFinished(kWaitMs);
    }

    // Runs `vorlix ARGS` while this process keeps answering it; its exit code.
    int runVorlix(const QStringList& arguments)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start(QStringLiteral(VORLIX_PROGRAM), arguments);
        if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 60000))
            return -1;
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    QString probeText() const { return QString::fromUtf8(IsolatedEnvironment::readFile(probeFile)); }

    const QString agentLog = env.path("agent.log");
    const QString probeFile = env.path("probe.txt");
    QProcess probe;
};

TEST_F(MacroPasteTest, AMacroMadeOnThePagePastesIntoTheWindowInFrontAndIsKept)
{
    {
        RunningVorlix vorlix;
        ASSERT_TRUE(vorlix.start()) << "Vorlix did not come up";
        frmMain& main = vorlix.main();

        auto* tabs = vorlix.control<QTabWidget>("tabMain");
        click(tabs->tabBar(), tabs->tabBar()->tabRect(5).center());
        ASSERT_TRUE(QTest::qWaitFor([&] { return tabs->currentIndex() == 5; }, kWaitMs)) << "the Macros tab";

        auto* list = vorlix.control<QTreeWidget>("lstMacros");
        click(vorlix.control<QPushButton>("cmdMacroAdd"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return list->topLevelItemCount() == 1; }, kWaitMs)) << "Add";
        EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("Macro 1"));

        auto* text = vorlix.control<QPlainTextEdit>("txtMacroText");
        click(text);
        ASSERT_TRUE(QTest::qWaitFor([&] { return text->hasFocus(); }, kWaitMs));
        type(text, kText);
        auto* say = vorlix.control<QLineEdit>("txtMacroSay");
        click(say);
        ASSERT_TRUE(QTest::qWaitFor([&] { return say->hasFocus(); }, kWaitMs));
        type(say, kSentence);

        auto* gesture = vorlix.control<QComboBox>("cboMacroGesture");
        click(gesture);
        ASSERT_TRUE(QTest::qWaitFor([&] { return gesture->view()->isVisible(); }, kWaitMs)) << "the gesture list";
        const QModelIndex write = gesture->model()->index(gesture->findText(QStringLiteral("Write")), 0);
        ASSERT_TRUE(write.isValid());
        gesture->view()->scrollTo(write);
        QTest::qWait(0);
        click(gesture->view()->viewport(), gesture->view()->visualRect(write).center());
        // The paste, the agent log and the restart below show what the page made of it.
        ASSERT_TRUE(QTest::qWaitFor([&] { return gesture->currentText() == QStringLiteral("Write"); }, kWaitMs));

        // A toolkit text window in front receives the paste.
        probe.setProcessChannelMode(QProcess::ForwardedChannels);
        probe.start(QStringLiteral(VORLIX_TEXT_PROBE), {probeFile});
        Window probeWindow = 0;
        ASSERT_TRUE(QTest::qWaitFor([&] { return (probeWindow = session.clientNamed("Text probe")) != 0; }, kWaitMs));
        ASSERT_TRUE(session.activate(probeWindow)) << "the text window never became the active window";

        EXPECT_EQ(runVorlix({"--say", "Macro 1"}), 0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return probeText() == kText; }, kWaitMs))
            << "the text window holds: " << probeText().toStdString();
        EXPECT_EQ(QApplication::clipboard()->text(), kText) << "the text stays on the clipboard";

        const QStringList log = QString::fromUtf8(IsolatedEnvironment::readFile(agentLog)).split(u'\n');
        EXPECT_TRUE(log.contains(QStringLiteral("Play\tWrite"))) << log.join(u'|').toStdString();
        EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const QString& line) {
            return line.startsWith(QStringLiteral("Speak\t")) && line.endsWith(kSentence);
        })) << log.join(u'|').toStdString();

        QTest::mouseClick(main.cmdExit, Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !vorlix.ended->isEmpty(); }, 60000)) << "E&xit did not end Vorlix";
    }
    const QStringList files = QDir(env.path("app/Macros")).entryList({"*.txt"}, QDir::Files);
    ASSERT_EQ(files.size(), 1);

    RunningVorlix again;
    ASSERT_TRUE(again.start()) << "Vorlix did not come up again";
    auto* list = again.control<QTreeWidget>("lstMacros");
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("Macro 1"));
    EXPECT_EQ(again.control<QPlainTextEdit>("txtMacroText")->toPlainText(), kText);
    EXPECT_EQ(again.control<QLineEdit>("txtMacroSay")->text(), kSentence);
    EXPECT_EQ(again.control<QComboBox>("cboMacroGesture")->currentText(), QStringLiteral("Write"));
    again.startUp->Form_Unload();
}

} // namespace

int main(int argc, char** argv)
{
    session.start();
    qputenv("QT_QPA_PLATFORM", session.display ? "xcb" : "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
