#include "app/shell/frmMain.h"

#include "app/macros/MacrosPage.h"
#include "app/shell/AppInfo.h"
#include "platform/desktop/LocalSocketInstance.h"
#include "tests/fakes/ShellFakes.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <future>

#include <sys/wait.h>
#include <unistd.h>

namespace {

// The client blocks while it waits for the reply, so it runs on a thread of its own
// while this one keeps serving the window's events.
std::future<Result<QString>> sendAsync(const QString& request)
{
    return std::async(std::launch::async, [request] {
        return LocalSocketInstance::send(AppInfo::caption(), request, 5000);
    });
}

Result<QString> sendAndServe(const QString& request)
{
    std::future<Result<QString>> reply = sendAsync(request);
    while (reply.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
        QCoreApplication::processEvents();
    return reply.get();
}

// Closes every modal dialog that opens, noting its class, as a user clicking OK would.
class DialogCloser {
public:
    DialogCloser()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                opened << dialog->metaObject()->className();
                dialog->accept();
            }
        });
        m_timer.start(10);
    }
    QStringList opened;

private:
    QTimer m_timer;
};

class frmMainTest : public IsolatedTest {
protected:
    void SetUp() override
    {
        state.AppPath = env.root();
        IsolatedEnvironment::writeFile(env.path("windir/msagent/chars/merlin.acs"), "character");
        // A returning user: the first-run prompts have their own test.
        IsolatedEnvironment::writeFile(env.path("MessageID.INI"), "[General]\r\nOverview=Yes\r\n");
        if (!QFile::exists(env.path("Vorlix.INI")))
            writeIni("[Account]\r\nUserName=\r\n");
    }

    void writeIni(const QByteArray& text) { IsolatedEnvironment::writeFile(env.path("Vorlix.INI"), text); }
    QByteArray file(const char* name) const { return IsolatedEnvironment::readFile(env.path(name)); }

    std::unique_ptr<frmMain> makeWindow()
    {
        return std::make_unique<frmMain>(state, fakes.services, [] {}, [this] { ++exits; });
    }

    // Loads and initialises the window without showing it, as -AUTOSTART does.
    std::unique_ptr<frmMain> loadWindow()
    {
        auto window = makeWindow();
        EXPECT_TRUE(window->Form_Load());
        window->Init([](const QString&) {});
        return window;
    }

    // ...then opens it like the end of start-up does.
    std::unique_ptr<frmMain> startWindow()
    {
        auto window = loadWindow();
        QSignalSpy activated(window.get(), &frmMain::firstActivationDone);
        window->show();
        EXPECT_TRUE(activated.wait(2000));
        return window;
    }

    // The program's normal exit, which writes everything back.
    void quit(frmMain& window)
    {
        state.Quitting = true;
        window.Form_Unload();
    }

    template <typename T>
    static T* control(frmMain& window, const char* name)
    {
        T* widget = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_TRUE(widget) << name;
        return widget;
    }

    AppState state;
    FakePlatform fakes;
    int exits = 0;
};

TEST_F(frmMainTest, MissingCharacterEndsLoadingWithTheMessage)
{
    QFile::remove(env.path("windir/msagent/chars/merlin.acs"));
    DialogCloser closer;
    EXPECT_FALSE(makeWindow()->Form_Load());
    EXPECT_EQ(closer.opened, QStringList({"frmMessage"})) << "the user is told where to copy one";
}

// The overview itself is run end to end; the training is offered once only.
TEST_F(frmMainTest, FirstRunOffersTrainingOnlyUntilTheSettingsAreSaved)
{
    QFile::remove(env.path("Vorlix.INI"));
    QFile::remove(env.path("MessageID.INI"));
    DialogCloser closer;
    auto window = startWindow();
    EXPECT_EQ(closer.opened, QStringList({"frmHelpMessage", "frmMessage"}));
    EXPECT_TRUE(fakes.recogniser.calls.contains("training Vorlix Training"));

    quit(*window);
    window.reset();
    closer.opened.clear();
    fakes.recogniser.calls.clear();
    state.Quitting = false;
    auto again = startWindow();
    EXPECT_EQ(closer.opened, QStringList({"frmHelpMessage"})) << "the overview stays until the user ticks its box";
    EXPECT_FALSE(fakes.recogniser.calls.contains("training Vorlix Training"));
}

// Hiding must never leave a window the user cannot bring back.
TEST_F(frmMainTest, CloseBoxAndButtonsHideOrExit)
{
    DialogCloser closer;   // hiding to the tray tells the user where the window went
    auto window = startWindow();
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(exits, 0) << "the close box only hides";
    window->show();
    control<QPushButton>(*window, "cmdTray")->click();
    EXPECT_FALSE(window->isVisible());

    fakes.tray.available = false;
    window->show();
    window->close();
    EXPECT_TRUE(window->isVisible()) << "no notification area to come back from";
    EXPECT_TRUE(window->isMinimized());
    control<QPushButton>(*window, "cmdExit")->click();
    EXPECT_EQ(exits, 1);
}

// Stored at start-up, then following the box; an owned dialog must never end up below it.
TEST_F(frmMainTest, StayOnTopAndDialogs)
{
    writeIni("[General]\r\nStayOnTop=Yes\r\nLeft=1500\r\nTop=750\r\n");
    auto window = startWindow();
    EXPECT_TRUE(window->isTopmost());
    EXPECT_EQ(window->pos(), QPoint(100, 50));

    QDialog dialog;
    QWidget* owner = nullptr;
    bool topmostWhileOpen = true;
    QTimer::singleShot(0, &dialog, [&] {
        owner = dialog.parentWidget();
        topmostWhileOpen = window->isTopmost();
        dialog.accept();
    });
    window->ShowModalForm(dialog);
    EXPECT_EQ(owner, window.get());
    EXPECT_FALSE(topmostWhileOpen);
    EXPECT_TRUE(window->isTopmost());

    control<QCheckBox>(*window, "chkStayOnTop")->setChecked(false);
    EXPECT_FALSE(window->isTopmost());
    EXPECT_FALSE(window->Settings->m_StayOnTop);
}

TEST_F(frmMainTest, ExitRequestClosesAnOpenDialogFirst)
{
    auto window = startWindow();
    QDialog dialog(window.get());
    std::future<Result<QString>> reply = sendAsync("exit");
    // The open dialog's event loop serves the request, which closes the dialog.
    window->ShowModalForm(dialog);
    EXPECT_TRUE(reply.get().ok());
    QCoreApplication::processEvents();
    EXPECT_EQ(exits, 1);

    QDialog later(window.get());
    EXPECT_EQ(window->ShowModalForm(later), QDialog::Rejected) << "no new dialog once the program is ending";
}

TEST_F(frmMainTest, AnExitDuringStartUpWaitsForLoadingAndRequestsMeanwhileHearStarting)
{
    writeIni("[Account]\r\nUserName=Ada\r\n[General]\r\nLeft=300\r\n");
    IsolatedEnvironment::writeFile(env.path("VoiceCommands.INI"),
                                   "[VoiceCommand 1]\r\nVoice=One\r\nActive=true\r\n[VoiceCommand 2]\r\nVoice=Two\r\n");
    QStringList replies;
    fakes.messages.whileShown = [&](const QString&) {
        // A start-up message is up: its event loop serves the socket.
        replies << sendAndServe("status").value() << sendAndServe("say one").value() << sendAndServe("exit").value();
        EXPECT_EQ(exits, 0) << "no shutdown while loading";
    };
    auto window = loadWindow();
    ASSERT_EQ(replies.size(), 3);
    EXPECT_EQ(replies.mid(0, 2), QStringList({"starting", "starting"}));
    EXPECT_TRUE(replies[2].startsWith("exiting "));
    EXPECT_TRUE(fakes.recogniser.injected.isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(exits, 1) << "the exit follows once loading is done";

    quit(*window);
    EXPECT_TRUE(file("Vorlix.INI").contains("UserName=Ada"));
    EXPECT_TRUE(file("VoiceCommands.INI").contains("Voice=Two"));
}

// --- What start-up reads and exit writes ---------------------------------------------

TEST_F(frmMainTest, StartUpClearsTheTemporariesOfSavesThatWereKilled)
{
    const pid_t ended = ::fork();
    if (ended == 0)
        ::_exit(0);
    ::waitpid(ended, nullptr, 0);
    const QString litter = env.path(QStringLiteral(".Vorlix.INI.tmp%1-0-123").arg(ended));
    IsolatedEnvironment::writeFile(litter, QByteArray(1 << 20, 'x'));
    ASSERT_TRUE(makeWindow()->Form_Load());
    EXPECT_FALSE(QFile::exists(litter));
}

TEST_F(frmMainTest, StoredThresholdReachesTheRecogniserAtStartUp)
{
    // 0 is where the slider starts: moving it there fires nothing.
    writeIni("[Account]\r\nUserName=\r\n[Character]\r\nThreshold=0\r\n");
    auto window = startWindow();
    EXPECT_EQ(fakes.recogniser.calls.filter("threshold"), QStringList({"threshold 0"}));
    QTest::keyClick(control<QSlider>(*window, "sldThreshold"), Qt::Key_PageUp);
    EXPECT_EQ(fakes.recogniser.calls.filter("threshold").last(), "threshold 5");
}

TEST_F(frmMainTest, AWelcomeMessageLongerThanABoxHoldsSurvivesARun)
{
    const QByteArray stored = "\"" + QByteArray(40000, 'w') + "\"\r\n";
    IsolatedEnvironment::writeFile(env.path("Welcome.txt"), stored);
    auto window = startWindow();
    EXPECT_EQ(control<QLineEdit>(*window, "txtWelcomeMessage")->text().size(), 40000);
    quit(*window);
    EXPECT_EQ(file("Welcome.txt"), stored);
}

TEST_F(frmMainTest, AnUnreadableSettingsFileIsNamedAtStartUpAndKept)
{
    const QByteArray utf16("\xFF\xFE[\0A\0]\0", 8);
    writeIni(utf16);
    auto window = startWindow();
    ASSERT_FALSE(fakes.messages.shown.isEmpty());
    EXPECT_TRUE(fakes.messages.shown[0].contains("Vorlix.INI could not be read"));
    quit(*window);
    EXPECT_EQ(file("Vorlix.INI"), utf16);
}

TEST_F(frmMainTest, ExitWritesTheAutostartEntryAndFreesTheName)
{
    auto window = startWindow();
    control<QCheckBox>(*window, "chkAutoStart")->setChecked(true);
    state.programFile = "/usr/bin/vorlix";
    quit(*window);
    EXPECT_TRUE(file("config/autostart/Vorlix.desktop").contains("Exec=/usr/bin/vorlix -AUTOSTART"));
    EXPECT_FALSE(LocalSocketInstance::isRunning(AppInfo::caption()));
}

TEST_F(frmMainTest, StartPageIsFilledDuringStartUpAndItsFilterWrittenAtExit)
{
    fakes.mokavel.startList = {{"Editor", "/usr/bin/editor", ""}, {"Mail", "/usr/bin/mail", ""}};
    IsolatedEnvironment::writeFile(env.path("appfilter.dat"), "mail\r\n");
    auto window = startWindow();
    EXPECT_EQ(fakes.mokavel.calls, QStringList{"fnMokavel " + env.path("apps.dat") + " 1"});
    auto* list = control<QTreeWidget>(*window, "lstDesktop");
    EXPECT_EQ(list->topLevelItemCount(), 2);
    EXPECT_TRUE(fakes.recogniser.calls.contains("addEntry Editor"));
    EXPECT_FALSE(fakes.recogniser.calls.contains("addEntry Mail")) << "filtered out";

    // A changed source makes the stored list stale; the rows stay until the restart.
    DialogCloser closer;
    control<QCheckBox>(*window, "chkLoadStartMenu")->click();
    EXPECT_EQ(window->Settings->m_LoadStartMenu, 1);
    EXPECT_FALSE(QFile::exists(env.path("apps.dat")));
    EXPECT_EQ(closer.opened.size(), 1) << "the restart notice";
    EXPECT_EQ(list->topLevelItemCount(), 2);
    quit(*window);
    EXPECT_EQ(file("appfilter.dat"), "Mail\r\n");
}

TEST_F(frmMainTest, MacrosAreReadAtStartUpAndWrittenAtExit)
{
    IsolatedEnvironment::writeFile(env.path("Macros/1.txt"), "Sign\r\nNone\r\n\r\n\"Kind regards\"\r\n");
    auto window = startWindow();
    auto* page = qobject_cast<MacrosPage*>(window->tabMain->widget(5));
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(fakes.recogniser.calls.contains("addEntry Sign"));
    page->cmdMacroAdd_Click();
    EXPECT_EQ(QDir(env.path("Macros")).entryList(QDir::Files).size(), 1) << "written at exit, not before";
    quit(*window);
    EXPECT_EQ(QDir(env.path("Macros")).entryList(QDir::Files).size(), 2);
}

} // namespace
