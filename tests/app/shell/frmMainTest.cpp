#include "app/shell/frmMain.h"

#include "app/macros/MacrosPage.h"
#include "app/shell/AppInfo.h"
#include "app/voice/RemoteSay.h"
#include "platform/desktop/LocalSocketInstance.h"
#include "tests/fakes/ShellFakes.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
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

// Closes every modal dialog that opens, noting its class and text, as a user clicking OK would.
class DialogCloser {
public:
    DialogCloser()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            QString text;
            if (auto* label = dialog->findChild<QLabel*>("lblMessage"))
                text = label->text();
            else if (auto* edit = dialog->findChild<QPlainTextEdit*>("txtMessage"))
                text = edit->toPlainText();
            opened << dialog->metaObject()->className();
            texts << text;
            dialog->accept();
        });
        m_timer.start(10);
    }
    QStringList opened;
    QStringList texts;

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
    ASSERT_EQ(closer.opened, QStringList({"frmMessage"}));
    EXPECT_TRUE(closer.texts[0].contains(env.path("windir/msagent/chars"))) << "the user is told where to copy one";
}

TEST_F(frmMainTest, FirstActivationGreetsWithTheStoredGestureAndName)
{
    writeIni("[Account]\r\nUserName=Ada\r\n[Character]\r\nWelcomeGesture=Read\r\n");
    auto window = startWindow();
    const QStringList& log = fakes.agent.log;
    const qsizetype play = log.indexOf("Play Read");
    ASSERT_GE(play, 0) << log.join('|').toStdString();
    EXPECT_EQ(log.mid(play - 1, 4), QStringList({"Show fast", "Play Read",
                                                 "Speak \\Pit=50\\\\Spd=180\\\\Chr=\"Normal\"\\Hello Ada.",
                                                 "Hide fast"}));
}

TEST_F(frmMainTest, FirstRunShowsOverviewThenTrainingNoticeThenTraining)
{
    QFile::remove(env.path("Vorlix.INI"));
    QFile::remove(env.path("MessageID.INI"));
    IsolatedEnvironment::writeFile(env.path("VORLIXHelp.dat"), "\"The overview\",\"s\",\"p\",\"d\",\"w\",\"m\"\r\n");
    DialogCloser closer;
    auto window = startWindow();
    EXPECT_EQ(closer.opened, QStringList({"frmHelpMessage", "frmMessage"}));
    EXPECT_EQ(closer.texts.value(0), "The overview");
    EXPECT_TRUE(fakes.recogniser.calls.contains("training Vorlix Training"));

    // After one normal exit the settings file exists: no prompt the next time.
    quit(*window);
    window.reset();
    closer.opened.clear();
    fakes.recogniser.calls.clear();
    state.Quitting = false;
    auto again = startWindow();
    EXPECT_EQ(closer.opened, QStringList({"frmHelpMessage"})) << "the overview stays until the user ticks its box";
    EXPECT_FALSE(fakes.recogniser.calls.contains("training Vorlix Training"));
}

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
    control<QPushButton>(*window, "cmdExit")->click();
    EXPECT_EQ(exits, 1);
}

TEST_F(frmMainTest, WithoutNotificationAreaHidingMinimises)
{
    fakes.tray.available = false;
    auto window = startWindow();
    window->hideMainWindow();
    EXPECT_TRUE(window->isVisible()) << "a hidden window could not be brought back";
    EXPECT_TRUE(window->isMinimized());
}

// Stored at start-up, then following the box; an owned dialog must never end up below it.
TEST_F(frmMainTest, StayOnTopAndDialogs)
{
    writeIni("[General]\r\nStayOnTop=Yes\r\nLeft=1500\r\nTop=750\r\n");
    auto window = startWindow();
    auto* box = control<QCheckBox>(*window, "chkStayOnTop");
    EXPECT_TRUE(window->isTopmost());
    EXPECT_TRUE(box->isChecked());
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

    box->setChecked(false);
    EXPECT_FALSE(window->isTopmost());
    EXPECT_FALSE(window->Settings->m_StayOnTop);
}

// No microphone: the window, the listening button and --status say so, a message says
// once what to do, and a microphone plugged in later clears it all.
TEST_F(frmMainTest, AMissingMicrophoneIsShownWhereTheUserLooks)
{
    const QString problem = "No microphone was found. Connect one, or choose it in the training dialog.";
    fakes.recogniser.problem = problem;
    DialogCloser user;
    auto window = startWindow();
    QStringList states;
    QObject::connect(window.get(), &frmMain::listeningStateChanged, [&](const QString& s) { states << s; });
    EXPECT_EQ(window->lblListening->text(), "No microphone");
    EXPECT_EQ(window->cmdActivate->toolTip(), problem);
    EXPECT_TRUE(sendAndServe("status").value().startsWith("listening: no microphone\t"));
    ASSERT_EQ(user.texts.size(), 1);
    EXPECT_TRUE(user.texts[0].contains(problem)) << user.texts[0].toStdString();

    fakes.recogniser.setProblem(QString());   // plugged in
    EXPECT_TRUE(window->cmdActivate->icon().isNull());
    EXPECT_TRUE(sendAndServe("status").value().startsWith("listening: yes\t"));
    fakes.recogniser.setProblem(problem);     // unplugged again: no second message
    QCoreApplication::processEvents();
    EXPECT_EQ(states, QStringList({"Listening", "No microphone"}));
    EXPECT_EQ(user.texts.size(), 1);
}

TEST_F(frmMainTest, RemoteCommandsReachTheProgram)
{
    auto window = startWindow();
    const Result<QString> said = sendAndServe("say web sites");
    ASSERT_TRUE(said.ok()) << said.error().message.toStdString();
    EXPECT_EQ(said.value(), RemoteSay::ran("web sites"));
    EXPECT_EQ(fakes.recogniser.injected, QStringList({"web sites"}));
    EXPECT_EQ(window->tabMain->currentIndex(), 4);

    fakes.recogniser.fire = false;
    EXPECT_EQ(sendAndServe("say nonsense").value(), RemoteSay::noCommand("nonsense"));

    EXPECT_TRUE(sendAndServe("exit").value().startsWith("exiting "));
    QCoreApplication::processEvents();
    EXPECT_EQ(exits, 1);
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
    EXPECT_EQ(exits, 0);
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
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->currentItem(), list->topLevelItem(0));
    EXPECT_TRUE(fakes.recogniser.calls.contains("addEntry Editor"));
    EXPECT_FALSE(fakes.recogniser.calls.contains("addEntry Mail")) << "filtered out";
    quit(*window);
    EXPECT_EQ(file("appfilter.dat"), "Mail\r\n");
}

TEST_F(frmMainTest, StartListSourcesOnTheSettingsPageDeleteTheListAndAskForARestart)
{
    fakes.mokavel.startList = {{"Editor", "/usr/bin/editor", ""}};
    auto window = startWindow();
    ASSERT_TRUE(QFile::exists(env.path("apps.dat")));
    DialogCloser closer;
    control<QCheckBox>(*window, "chkLoadStartMenu")->click();
    EXPECT_EQ(window->Settings->m_LoadStartMenu, 1);
    EXPECT_FALSE(QFile::exists(env.path("apps.dat")));
    EXPECT_EQ(closer.texts.size(), 1) << "the restart notice";
    EXPECT_EQ(control<QTreeWidget>(*window, "lstDesktop")->topLevelItemCount(), 1) << "the rows stay until then";
}

TEST_F(frmMainTest, MacrosAreReadAtStartUpAndWrittenAtExit)
{
    IsolatedEnvironment::writeFile(env.path("Macros/1.txt"), "Sign\r\nNone\r\n\r\n\"Kind regards\"\r\n");
    auto window = startWindow();
    auto* page = qobject_cast<MacrosPage*>(window->tabMain->widget(5));
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(fakes.recogniser.calls.contains("addEntry Sign"));
    ASSERT_EQ(page->findChild<QTreeWidget*>("lstMacros")->topLevelItemCount(), 1);
    page->cmdMacroAdd_Click();
    EXPECT_EQ(QDir(env.path("Macros")).entryList(QDir::Files).size(), 1) << "written at exit, not before";
    quit(*window);
    EXPECT_EQ(QDir(env.path("Macros")).entryList(QDir::Files).size(), 2);
}

// --- The Settings page in the running window -----------------------------------------

class SettingsPageInWindowTest : public frmMainTest {
protected:
    // Selects an entry as a click in the open list does.
    static void pick(QComboBox* box, const QString& text)
    {
        const int index = box->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        box->setCurrentIndex(index);
        emit box->activated(index);
    }

    // What the character was told while `action` ran.
    template <typename Action>
    QStringList agentLogOf(Action action)
    {
        const qsizetype start = fakes.agent.log.size();
        action();
        return fakes.agent.log.mid(start);
    }

    static QString speech(const QString& sentence, const QString& voice = "Normal")
    {
        return QStringLiteral("Speak \\Pit=50\\\\Spd=180\\\\Chr=\"%1\"\\%2").arg(voice, sentence);
    }
};

TEST_F(SettingsPageInWindowTest, StoredThresholdReachesTheRecogniserAtStartUp)
{
    // 0 is where the slider starts: moving it there fires nothing.
    writeIni("[Account]\r\nUserName=\r\n[Character]\r\nThreshold=0\r\n");
    auto window = startWindow();
    EXPECT_EQ(fakes.recogniser.calls.filter("threshold"), QStringList({"threshold 0"}));
    QTest::keyClick(control<QSlider>(*window, "sldThreshold"), Qt::Key_PageUp);
    EXPECT_EQ(fakes.recogniser.calls.filter("threshold").last(), "threshold 5");
}

TEST_F(SettingsPageInWindowTest, CharacterAndBalloonChoicesAreAppliedAndDemonstrated)
{
    auto window = startWindow();
    QStringList log = agentLogOf([&] { pick(control<QComboBox>(*window, "cboSize"), "Large"); });
    EXPECT_TRUE(log.contains("Width 150") && log.contains("Height 120")) << log.join('|').toStdString();
    EXPECT_TRUE(log.contains(speech("This is my new size")));
    EXPECT_EQ(log.last(), "Hide fast");
    log = agentLogOf([&] { pick(control<QComboBox>(*window, "cboPosition"), "Top Left"); });
    EXPECT_EQ(log.value(0), "MoveTo 0 0");
    log = agentLogOf([&] { pick(control<QComboBox>(*window, "cboVoiceCharacter"), "Whisper"); });
    EXPECT_TRUE(log.contains(speech("This is how I will sound", "Whisper")));
    log = agentLogOf([&] { pick(control<QComboBox>(*window, "cboFontSize"), "16"); });
    EXPECT_TRUE(log.contains("BalloonFontSize 16"));
    EXPECT_TRUE(log.contains(speech("New balloon font size", "Whisper")));

    control<QCheckBox>(*window, "chkShowBalloon")->click();
    auto* fontName = control<QComboBox>(*window, "cboFontName");
    ASSERT_GT(fontName->count(), 0);
    log = agentLogOf([&] { pick(fontName, fontName->itemText(fontName->count() - 1)); });
    EXPECT_TRUE(log.contains("BalloonFontName " + fontName->currentText()));
    EXPECT_FALSE(log.join('|').contains("Speak")) << "no balloon, no balloon demonstration";
}

TEST_F(SettingsPageInWindowTest, CharacterModeAndAlwaysShowDecideTheHiding)
{
    auto window = startWindow();
    auto* size = control<QComboBox>(*window, "cboSize");
    auto* alwaysShow = control<QCheckBox>(*window, "chkAlwaysShow");
    alwaysShow->click();
    QStringList log = agentLogOf([&] { pick(size, "Small"); });
    EXPECT_TRUE(log.contains(speech("This is my new size")));
    EXPECT_FALSE(log.join('|').contains("Hide"));
    alwaysShow->click();
    EXPECT_EQ(agentLogOf([&] { pick(size, "Regular"); }).last(), "Hide fast");

    log = agentLogOf([&] { pick(control<QComboBox>(*window, "cboCharacterMode"), "Character is hidden and silent"); });
    EXPECT_EQ(log, QStringList({"Hide"})) << "the control's own hiding, no fast flag";
    EXPECT_FALSE(agentLogOf([&] { pick(size, "Large"); }).join('|').contains("Speak"));
}

} // namespace
