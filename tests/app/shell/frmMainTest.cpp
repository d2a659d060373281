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
            IsolatedEnvironment::writeFile(env.path("Vorlix.INI"), "[Account]\r\nUserName=\r\n");
    }

    std::unique_ptr<frmMain> makeWindow()
    {
        auto window = std::make_unique<frmMain>(state, fakes.services, [this] { ++launches; }, [this] { ++exits; });
        return window;
    }

    // Loads and initialises the window, then opens it like the end of start-up does.
    std::unique_ptr<frmMain> startWindow()
    {
        auto window = makeWindow();
        EXPECT_TRUE(window->Form_Load());
        window->Init([](const QString&) {});
        QSignalSpy activated(window.get(), &frmMain::firstActivationDone);
        window->show();
        EXPECT_TRUE(activated.wait(2000));
        return window;
    }

    AppState state;
    FakePlatform fakes;
    int launches = 0;
    int exits = 0;
};

TEST_F(frmMainTest, PagesInTheirOrder)
{
    auto window = makeWindow();
    ASSERT_TRUE(window->Form_Load());
    QStringList captions;
    for (int i = 0; i < window->tabMain->count(); ++i)
        captions << window->tabMain->tabText(i);
    EXPECT_EQ(captions, QStringList({" Start", " My Programs", " My Documents", " Commands", " Web Sites", " Macros",
                                     " Settings"}));
}

TEST_F(frmMainTest, LoadSetsCaptionAndPaths)
{
    auto window = makeWindow();
    EXPECT_EQ(window->windowTitle(), "Vorlix") << "a copy that is still loading is not found by the caption";
    ASSERT_TRUE(window->Form_Load());
    EXPECT_EQ(window->windowTitle(), "Vorlix 1.0");
    EXPECT_EQ(state.MacrosPath, env.path("Macros"));
    EXPECT_EQ(state.CharsPath, env.path("windir/msagent/chars"));
    EXPECT_TRUE(window->Loading);
    ASSERT_TRUE(window->Settings);
    EXPECT_EQ(window->Settings->settingsFile(), env.path("Vorlix.INI"));
}

TEST_F(frmMainTest, InitShowsTheStatusesInOrderAndClearsLoading)
{
    auto window = makeWindow();
    ASSERT_TRUE(window->Form_Load());
    QStringList statuses;
    window->Init([&](const QString& status) { statuses << status; });
    EXPECT_EQ(statuses, QStringList({"Initializing voice recognition engine", "Reading help files", "Finding fonts",
                                     "Finding characters", "Reading desktop & start menu", "Reading user programs",
                                     "Reading user documents", "Reading voice commands", "Reading web sites",
                                     "Reading macros", "Initializing custom menu", "Activating voice recognition"}));
    EXPECT_FALSE(window->Loading);
    EXPECT_TRUE(QDir(env.path("Macros")).exists());
}

TEST_F(frmMainTest, SecondCopyIsToldAndStops)
{
    auto first = makeWindow();
    ASSERT_TRUE(first->Form_Load());

    AppState otherState;
    otherState.AppPath = env.root();
    frmMain second(otherState, fakes.services, [] {}, [] {});
    EXPECT_FALSE(second.Form_Load());
    ASSERT_EQ(fakes.messages.shown.size(), 1);
    EXPECT_EQ(fakes.messages.shown[0], "Vorlix is already running. Please double click the icon in the system tray "
                                       "to bring up the main window.");
    EXPECT_FALSE(second.Settings) << "nothing else runs";
    EXPECT_TRUE(LocalSocketInstance::isRunning(AppInfo::caption())) << "the first copy is untouched";
}

TEST_F(frmMainTest, MissingCharacterEndsLoadingWithTheMessage)
{
    QFile::remove(env.path("windir/msagent/chars/merlin.acs"));
    DialogCloser closer;
    auto window = makeWindow();
    EXPECT_FALSE(window->Form_Load());
    ASSERT_EQ(closer.opened, QStringList({"frmMessage"}));
    const QString chars = env.path("windir/msagent/chars");
    EXPECT_EQ(closer.texts[0], "Failed to find character file " + chars + "/\n"
                                       "Unable to run without a character. Please copy one of the character files "
                                       "(*.acs) to the " + chars + " directory before you run Vorlix.");
}

TEST_F(frmMainTest, FirstActivationGreetsWithTheStoredGestureAndName)
{
    IsolatedEnvironment::writeFile(env.path("Vorlix.INI"),
                                   "[Account]\r\nUserName=Ada\r\n[Character]\r\nWelcomeGesture=Read\r\n");
    auto window = startWindow();
    const QStringList& log = fakes.agent.log;
    const qsizetype play = log.indexOf("Play Read");
    ASSERT_GE(play, 0) << log.join('|').toStdString();
    EXPECT_EQ(log.value(play - 1), "Show fast");
    EXPECT_EQ(log.value(play + 1), "Speak \\Pit=50\\\\Spd=180\\\\Chr=\"Normal\"\\Hello Ada.");
    EXPECT_EQ(log.value(play + 2), "Hide fast");
}

TEST_F(frmMainTest, NoGreetingWhenTheGestureIsNone)
{
    IsolatedEnvironment::writeFile(env.path("Vorlix.INI"), "[Character]\r\nWelcomeGesture=None\r\n");
    startWindow();
    EXPECT_FALSE(fakes.agent.log.join('|').contains("Speak"));
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
    state.Quitting = true;
    window->Form_Unload();
    window.reset();
    closer.opened.clear();
    fakes.recogniser.calls.clear();
    state.Quitting = false;
    auto again = startWindow();
    EXPECT_EQ(closer.opened, QStringList({"frmHelpMessage"})) << "the overview stays until the user ticks its box";
    EXPECT_FALSE(fakes.recogniser.calls.contains("training Vorlix Training"));
}

TEST_F(frmMainTest, CloseBoxOnlyHidesUntilQuitting)
{
    auto window = startWindow();
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(exits, 0);

    window->show();
    state.Quitting = true;
    window->close();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(frmMainTest, WithoutNotificationAreaHidingMinimises)
{
    fakes.tray.available = false;
    auto window = startWindow();
    window->hideMainWindow();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isMinimized());
}

TEST_F(frmMainTest, StoredStayOnTopAppliesAtFirstActivation)
{
    IsolatedEnvironment::writeFile(env.path("Vorlix.INI"), "[General]\r\nStayOnTop=Yes\r\nLeft=1500\r\nTop=750\r\n");
    auto window = startWindow();
    EXPECT_TRUE(window->isTopmost());
    EXPECT_TRUE(window->findChild<QCheckBox*>("chkStayOnTop")->isChecked());
    EXPECT_EQ(window->pos(), QPoint(100, 50));
}

// No microphone: the window, the listening button, --status and the tray's tooltip say
// so, a message says once what to do, and a microphone plugged in later clears it all.
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
    EXPECT_FALSE(window->cmdActivate->icon().isNull());
    EXPECT_TRUE(sendAndServe("status").value().startsWith("listening: no microphone\t"));
    ASSERT_EQ(user.texts.size(), 1);
    EXPECT_TRUE(user.texts[0].startsWith("Vorlix cannot hear you: " + problem)) << user.texts[0].toStdString();

    fakes.recogniser.setProblem(QString());   // plugged in
    EXPECT_EQ(window->lblListening->text(), "Listening");
    EXPECT_TRUE(window->cmdActivate->icon().isNull());
    EXPECT_TRUE(sendAndServe("status").value().startsWith("listening: yes\t"));
    window->cmdActivate->click();
    EXPECT_EQ(window->lblListening->text(), "Not listening");
    EXPECT_TRUE(sendAndServe("status").value().startsWith("listening: no\t"));
    window->cmdActivate->click();
    fakes.recogniser.setProblem(problem);     // unplugged again: no second message
    QCoreApplication::processEvents();
    EXPECT_EQ(states, QStringList({"Listening", "Not listening", "Listening", "No microphone"}));
    EXPECT_EQ(user.texts.size(), 1);
}

TEST_F(frmMainTest, DialogsAreOwnedByTheMainWindow)
{
    auto window = startWindow();
    QDialog dialog;
    QWidget* ownerWhileOpen = nullptr;
    QTimer::singleShot(0, &dialog, [&] {
        ownerWhileOpen = dialog.parentWidget();
        dialog.accept();
    });
    window->ShowModalForm(dialog);
    EXPECT_EQ(ownerWhileOpen, window.get());
    EXPECT_TRUE(dialog.isWindow());
}

TEST_F(frmMainTest, StayOnTopFollowsTheBoxAndDialogsAreNeverBelowIt)
{
    auto window = startWindow();
    window->findChild<QCheckBox*>("chkStayOnTop")->setChecked(true);
    EXPECT_TRUE(window->isTopmost());
    EXPECT_TRUE(window->Settings->m_StayOnTop);
    EXPECT_TRUE(window->isVisible());

    QDialog dialog(window.get());
    bool topmostWhileOpen = true;
    QTimer::singleShot(0, &dialog, [&] {
        topmostWhileOpen = window->isTopmost();
        dialog.accept();
    });
    window->ShowModalForm(dialog);
    EXPECT_FALSE(topmostWhileOpen);
    EXPECT_TRUE(window->isTopmost());

    window->findChild<QCheckBox*>("chkStayOnTop")->setChecked(false);
    EXPECT_FALSE(window->isTopmost());
    EXPECT_FALSE(window->Settings->m_StayOnTop);
}

TEST_F(frmMainTest, WindowButtonsByName)
{
    DialogCloser closer;
    auto window = startWindow();
    auto* activate = window->findChild<QPushButton*>("cmdActivate");
    ASSERT_TRUE(activate);
    activate->click();
    EXPECT_EQ(activate->text(), "Listen");
    EXPECT_FALSE(window->Settings->m_ActiveMode);
    activate->click();
    EXPECT_EQ(activate->text(), "Stop Listening");

    window->findChild<QPushButton*>("cmdTrain")->click();
    EXPECT_TRUE(fakes.recogniser.calls.contains("training Vorlix Training"));

    window->findChild<QPushButton*>("cmdTray")->click();
    EXPECT_FALSE(window->isVisible());

    window->findChild<QPushButton*>("cmdExit")->click();
    EXPECT_EQ(exits, 1);
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

    const Result<QString> exiting = sendAndServe("exit");
    ASSERT_TRUE(exiting.ok());
    EXPECT_TRUE(exiting.value().startsWith("exiting "));
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

TEST_F(frmMainTest, AWindowNeverOpenedKeepsItsStoredPlace)
{
    IsolatedEnvironment::writeFile(env.path("Vorlix.INI"), "[General]\r\nLeft=1500\r\nTop=750\r\n");
    auto window = makeWindow();   // -AUTOSTART: loaded, never shown
    ASSERT_TRUE(window->Form_Load());
    window->Init([](const QString&) {});
    state.Quitting = true;
    window->Form_Unload();
    const QByteArray saved = IsolatedEnvironment::readFile(env.path("Vorlix.INI"));
    EXPECT_TRUE(saved.contains("Left=1500\r\n")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("Top=750\r\n")) << saved.toStdString();
}

TEST_F(frmMainTest, AnExitDuringStartUpWaitsForLoadingAndRequestsMeanwhileHearStarting)
{
    IsolatedEnvironment::writeFile(env.path("Vorlix.INI"), "[Account]\r\nUserName=Ada\r\n[General]\r\nLeft=300\r\n");
    IsolatedEnvironment::writeFile(env.path("VoiceCommands.INI"),
                                   "[VoiceCommand 1]\r\nVoice=One\r\nActive=true\r\n[VoiceCommand 2]\r\nVoice=Two\r\n");
    QStringList replies;
    fakes.messages.whileShown = [&](const QString&) {
        // A start-up message is up: its event loop serves the socket.
        replies << sendAndServe("status").value() << sendAndServe("say one").value() << sendAndServe("exit").value();
        EXPECT_EQ(exits, 0) << "no shutdown while loading";
    };
    auto window = makeWindow();
    ASSERT_TRUE(window->Form_Load());
    window->Init([](const QString&) {});
    ASSERT_EQ(replies.size(), 3);
    EXPECT_EQ(replies[0], "starting");
    EXPECT_EQ(replies[1], "starting");
    EXPECT_TRUE(replies[2].startsWith("exiting "));
    EXPECT_TRUE(fakes.recogniser.injected.isEmpty());
    EXPECT_EQ(exits, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(exits, 1) << "the exit follows once loading is done";

    state.Quitting = true;
    window->Form_Unload();
    EXPECT_TRUE(IsolatedEnvironment::readFile(env.path("Vorlix.INI")).contains("UserName=Ada"));
    EXPECT_TRUE(IsolatedEnvironment::readFile(env.path("VoiceCommands.INI")).contains("Voice=Two"));
}

TEST_F(frmMainTest, StartUpClearsTheTemporariesOfSavesThatWereKilled)
{
    const pid_t ended = [] {
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(0);
        ::waitpid(child, nullptr, 0);
        return child;
    }();
    const QString litter = env.path(QStringLiteral(".Vorlix.INI.tmp%1-0-123").arg(ended));
    IsolatedEnvironment::writeFile(litter, QByteArray(1 << 20, 'x'));
    auto window = makeWindow();
    ASSERT_TRUE(window->Form_Load());
    EXPECT_FALSE(QFile::exists(litter));
}

TEST_F(frmMainTest, AWelcomeMessageLongerThanABoxHoldsSurvivesARun)
{
    const QString message = QString(40000, u'w');
    IsolatedEnvironment::writeFile(env.path("Welcome.txt"), ("\"" + message + "\"\r\n").toUtf8());
    auto window = startWindow();
    EXPECT_EQ(window->findChild<QLineEdit*>("txtWelcomeMessage")->text().size(), message.size());
    state.Quitting = true;
    window->Form_Unload();
    EXPECT_EQ(IsolatedEnvironment::readFile(env.path("Welcome.txt")), ("\"" + message + "\"\r\n").toUtf8());
}

TEST_F(frmMainTest, AnUnreadableSettingsFileIsNamedAtStartUpAndKept)
{
    const QByteArray utf16("\xFF\xFE[\0A\0]\0", 8);
    IsolatedEnvironment::writeFile(env.path("Vorlix.INI"), utf16);
    auto window = startWindow();
    ASSERT_FALSE(fakes.messages.shown.isEmpty());
    EXPECT_TRUE(fakes.messages.shown[0].contains("Vorlix.INI could not be read"));
    state.Quitting = true;
    window->Form_Unload();
    EXPECT_EQ(IsolatedEnvironment::readFile(env.path("Vorlix.INI")), utf16);
}

TEST_F(frmMainTest, UnloadSavesSettingsAndTheAutostartEntry)
{
    auto window = startWindow();
    window->findChild<QCheckBox*>("chkAutoStart")->setChecked(true);
    state.programFile = "/usr/bin/vorlix";
    state.Quitting = true;
    window->Form_Unload();
    EXPECT_TRUE(QFile::exists(env.path("Vorlix.INI")));
    EXPECT_TRUE(QFile::exists(env.path("Welcome.txt")));
    EXPECT_TRUE(IsolatedEnvironment::readFile(env.path("config/autostart/Vorlix.desktop"))
                    .contains("Exec=/usr/bin/vorlix -AUTOSTART"));
    EXPECT_FALSE(LocalSocketInstance::isRunning(AppInfo::caption()));
}

TEST_F(frmMainTest, StartPageIsFilledDuringStartUpAndItsFilterWrittenAtExit)
{
    fakes.mokavel.startList = {{"Editor", "/usr/bin/editor", ""}, {"Mail", "/usr/bin/mail", ""}};
    IsolatedEnvironment::writeFile(env.path("appfilter.dat"), "mail\r\n");
    auto window = startWindow();
    EXPECT_EQ(fakes.mokavel.calls, QStringList{"fnMokavel " + env.path("apps.dat") + " 1"});
    auto* list = window->findChild<QTreeWidget*>("lstDesktop");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(window->tabMain->currentIndex(), 0);
    EXPECT_EQ(list->currentItem(), list->topLevelItem(0));
    EXPECT_TRUE(fakes.recogniser.calls.contains("addEntry Editor"));
    EXPECT_FALSE(fakes.recogniser.calls.contains("addEntry Mail"));
    state.Quitting = true;
    window->Form_Unload();
    EXPECT_EQ(IsolatedEnvironment::readFile(env.path("appfilter.dat")), "Mail\r\n");
}

TEST_F(frmMainTest, StartListSourcesOnTheSettingsPageDeleteTheListAndAskForARestart)
{
    fakes.mokavel.startList = {{"Editor", "/usr/bin/editor", ""}};
    auto window = startWindow();
    ASSERT_TRUE(QFile::exists(env.path("apps.dat")));
    DialogCloser closer;
    window->findChild<QCheckBox*>("chkLoadStartMenu")->click();
    EXPECT_EQ(window->Settings->m_LoadStartMenu, 1);
    EXPECT_FALSE(QFile::exists(env.path("apps.dat")));
    EXPECT_EQ(closer.texts, QStringList{"In order for these settings to take effect you will need to restart Vorlix"});
    EXPECT_EQ(window->findChild<QTreeWidget*>("lstDesktop")->topLevelItemCount(), 1) << "the rows stay until then";
}

// --- The Settings page in the running window -----------------------------------------

class SettingsPageInWindowTest : public frmMainTest {
protected:
    template <typename T>
    T* control(frmMain& window, const char* name)
    {
        T* widget = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_TRUE(widget) << name;
        return widget;
    }

    // Selects an entry as a click in the open list does.
    static void pick(QComboBox* box, const QString& text)
    {
        const int index = box->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        box->setCurrentIndex(index);
        emit box->activated(index);
    }

    QStringList agentLogFrom(qsizetype start) const { return fakes.agent.log.mid(start); }

    static QString speech(const QString& sentence, const QString& voice = "Normal")
    {
        return QStringLiteral("Speak \\Pit=50\\\\Spd=180\\\\Chr=\"%1\"\\%2").arg(voice, sentence);
    }
};

TEST_F(SettingsPageInWindowTest, StartUpSpeaksNoDemonstrationWhateverTheSettings)
{
    IsolatedEnvironment::writeFile(env.path("Vorlix.INI"),
                                   "[Character]\r\nWelcomeGesture=None\r\nPosition=3\r\nCharacterSize=4\r\n"
                                   "VoiceCharacter=Whisper\r\nFontName=Nowhere\r\nFontSize=14\r\n"
                                   "CharacterMode=1\r\nShowBalloon=Yes\r\n");
    auto window = startWindow();
    const QString log = fakes.agent.log.join('|');
    EXPECT_FALSE(log.contains("Speak")) << log.toStdString();
    EXPECT_TRUE(log.contains("BalloonFontSize 14"));
    EXPECT_EQ(control<QComboBox>(*window, "cboSize")->currentText(), "Extra Large");
}

TEST_F(SettingsPageInWindowTest, StoredThresholdReachesTheRecogniserAtStartUp)
{
    // 0 is where the slider starts: moving it there fires nothing.
    IsolatedEnvironment::writeFile(env.path("Vorlix.INI"), "[Account]\r\nUserName=\r\n[Character]\r\nThreshold=0\r\n");
    auto window = startWindow();
    EXPECT_EQ(fakes.recogniser.calls.filter("threshold"), QStringList({"threshold 0"}));

    QTest::keyClick(control<QSlider>(*window, "sldThreshold"), Qt::Key_PageUp);
    EXPECT_EQ(fakes.recogniser.calls.filter("threshold").last(), "threshold 5");
    EXPECT_EQ(window->Settings->m_Threshold, 5);
}

TEST_F(SettingsPageInWindowTest, CharacterChoicesAreAppliedAndDemonstrated)
{
    auto window = startWindow();
    qsizetype start = fakes.agent.log.size();
    pick(control<QComboBox>(*window, "cboSize"), "Large");
    QStringList log = agentLogFrom(start);
    EXPECT_TRUE(log.contains("Width 150") && log.contains("Height 120")) << log.join('|').toStdString();
    EXPECT_TRUE(log.contains("Play Read"));
    EXPECT_TRUE(log.contains(speech("This is my new size")));
    EXPECT_EQ(log.last(), "Hide fast");

    start = fakes.agent.log.size();
    pick(control<QComboBox>(*window, "cboPosition"), "Top Left");
    log = agentLogFrom(start);
    EXPECT_EQ(log.value(0), "MoveTo 0 0");
    EXPECT_TRUE(log.contains(speech("This is my new place")));

    start = fakes.agent.log.size();
    pick(control<QComboBox>(*window, "cboVoiceCharacter"), "Whisper");
    EXPECT_TRUE(agentLogFrom(start).contains(speech("This is how I will sound", "Whisper")));
    EXPECT_EQ(window->Settings->m_VoiceCharacter, "Whisper");
}

TEST_F(SettingsPageInWindowTest, BalloonChangesApplyAndSpeakOnlyWithTheBalloonShown)
{
    auto window = startWindow();
    auto* fontName = control<QComboBox>(*window, "cboFontName");
    ASSERT_GT(fontName->count(), 0);
    qsizetype start = fakes.agent.log.size();
    pick(control<QComboBox>(*window, "cboFontSize"), "16");
    QStringList log = agentLogFrom(start);
    EXPECT_TRUE(log.contains("BalloonFontSize 16"));
    EXPECT_TRUE(log.contains(speech("New balloon font size")));

    control<QCheckBox>(*window, "chkShowBalloon")->click();
    EXPECT_FALSE(window->Settings->m_ShowBalloon);
    start = fakes.agent.log.size();
    pick(fontName, fontName->itemText(fontName->count() - 1));
    log = agentLogFrom(start);
    EXPECT_TRUE(log.contains("BalloonFontName " + fontName->currentText()));
    EXPECT_FALSE(log.join('|').contains("Speak")) << "no balloon, no balloon demonstration";
}

TEST_F(SettingsPageInWindowTest, HiddenAndSilentHidesAtOnceAndSilencesTheDemonstrations)
{
    auto window = startWindow();
    qsizetype start = fakes.agent.log.size();
    pick(control<QComboBox>(*window, "cboCharacterMode"), "Character is hidden and silent");
    EXPECT_EQ(agentLogFrom(start), QStringList({"Hide"})) << "the control's own hiding, no fast flag";
    start = fakes.agent.log.size();
    pick(control<QComboBox>(*window, "cboSize"), "Small");
    EXPECT_FALSE(agentLogFrom(start).join('|').contains("Speak"));
}

TEST_F(SettingsPageInWindowTest, AlwaysShowKeepsTheCharacterOnScreen)
{
    auto window = startWindow();
    auto* alwaysShow = control<QCheckBox>(*window, "chkAlwaysShow");
    ASSERT_FALSE(alwaysShow->isChecked()) << "by default the character hides after speaking";
    alwaysShow->click();
    qsizetype start = fakes.agent.log.size();
    pick(control<QComboBox>(*window, "cboSize"), "Small");
    QStringList log = agentLogFrom(start);
    EXPECT_TRUE(log.contains(speech("This is my new size")));
    EXPECT_FALSE(log.join('|').contains("Hide"));

    alwaysShow->click();
    start = fakes.agent.log.size();
    pick(control<QComboBox>(*window, "cboSize"), "Regular");
    EXPECT_EQ(agentLogFrom(start).last(), "Hide fast");
}

TEST_F(SettingsPageInWindowTest, ButtonsReachTheCharacterAndTheRecogniser)
{
    auto window = startWindow();
    fakes.clipboard.content = "Copied words";
    qsizetype start = fakes.agent.log.size();
    control<QPushButton>(*window, "cmdClipboard")->click();
    EXPECT_TRUE(agentLogFrom(start).join('|').contains("Copied words"));

    start = fakes.agent.log.size();
    control<QPushButton>(*window, "cmdHide")->click();
    EXPECT_EQ(agentLogFrom(start), QStringList({"Stop", "Hide fast"}));

    control<QLineEdit>(*window, "txtUserName")->setText("Grace");
    start = fakes.agent.log.size();
    control<QPushButton>(*window, "cmdPreviewWelcome")->click();
    EXPECT_TRUE(agentLogFrom(start).join('|').contains("Welcome Grace."));

    control<QPushButton>(*window, "cmdVRTraining")->click();
    EXPECT_TRUE(fakes.recogniser.calls.contains("training Vorlix Training"));
}

TEST_F(SettingsPageInWindowTest, ChangesSurviveARestart)
{
    {
        auto window = startWindow();
        control<QLineEdit>(*window, "txtUserName")->setText("Grace");
        pick(control<QComboBox>(*window, "cboSize"), "Small");
        pick(control<QComboBox>(*window, "cboVoiceCharacter"), "Monotone");
        pick(control<QComboBox>(*window, "cboFontSize"), "18");
        control<QCheckBox>(*window, "chkSayTime")->click();
        control<QSlider>(*window, "sldPitch")->setValue(300);
        state.Quitting = true;
        window->Form_Unload();
    }
    state.Quitting = false;
    auto window = startWindow();
    EXPECT_EQ(control<QLineEdit>(*window, "txtUserName")->text(), "Grace");
    EXPECT_EQ(control<QComboBox>(*window, "cboSize")->currentText(), "Small");
    EXPECT_EQ(control<QComboBox>(*window, "cboVoiceCharacter")->currentText(), "Monotone");
    EXPECT_EQ(control<QComboBox>(*window, "cboFontSize")->currentText(), "18");
    EXPECT_TRUE(control<QCheckBox>(*window, "chkSayTime")->isChecked());
    EXPECT_EQ(control<QSlider>(*window, "sldPitch")->value(), 300);
}

} // namespace

namespace {

TEST_F(frmMainTest, MacrosAreReadAtStartUpAndWrittenAtExit)
{
    IsolatedEnvironment::writeFile(env.path("Macros/1.txt"), "Sign\r\nNone\r\n\r\n\"Kind regards\"\r\n");
    auto window = startWindow();
    auto* page = qobject_cast<MacrosPage*>(window->tabMain->widget(5));
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(fakes.recogniser.calls.contains("addEntry Sign"));
    auto* list = page->findChild<QTreeWidget*>("lstMacros");
    ASSERT_EQ(list->topLevelItemCount(), 1);
    page->cmdMacroAdd_Click();
    EXPECT_EQ(list->topLevelItem(1)->text(0), "Macro 2");
    EXPECT_EQ(QDir(env.path("Macros")).entryList(QDir::Files).size(), 1);
    state.Quitting = true;
    window->Form_Unload();
    EXPECT_EQ(QDir(env.path("Macros")).entryList(QDir::Files).size(), 2);
}

} // namespace
