#pragma once
// The main window: the tab strip of pages, the listening and window buttons, and the
// loading, first activation and shutdown of the program's subsystems, which it composes
// (each subsystem keeps its own logic). Closing it only hides it.

#include "app/lists/ListPage.h"
#include "app/common/Questions.h"
#include "app/settings/CSettings.h"
#include "app/shell/InitSequence.h"
#include "app/shell/ModalHost.h"
#include "app/shell/PlatformServices.h"
#include "app/voice/MainWindowActions.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class BuiltInCommands;
class CharacterController;
class CommandsPage;
class HelpAndMessages;
class ListImports;
class LocalSocketInstance;
class MacroList;
class MacrosPage;
class MainWindowPage;
class QLabel;
class QPushButton;
class QTabWidget;
class SettingsPage;
class StartList;
class StartPage;
class UserList;
class VoiceMenus;
struct CommandContext;
struct MacroContext;

class frmMain : public QWidget, public WindowPlacement, public ModalHost, public MainWindowActions, public Questions {
    Q_OBJECT
public:
    // launch: shows the main window (the tray's Launch); exitProgram: the shutdown of "E&xit".
    frmMain(AppState& state, PlatformServices& platform, std::function<void()> launch,
            std::function<void()> exitProgram);
    ~frmMain() override;

    // The load steps. False: the program must end at once (another copy runs, or no
    // character could be loaded); the user has been told why.
    bool Form_Load();
    void Init(const InitSequence::StatusSink& showStatus);
    // The shutdown steps, run with Quitting set.
    void Form_Unload();

    void applyStayOnTop(bool topmost);
    bool isTopmost() const;

    int ShowModalForm(QDialog& form) override;
    bool askYesNo(const QString& title, const QString& text) override;

    // What commands ask of the main window.
    void Activate(bool active) override;
    void Launch() override;
    // Hides the window, or minimises it where the desktop has no notification area.
    void hideMainWindow() override;
    bool selectTab(int index) override;

    int32_t screenWidthTwips() const override;
    int32_t windowWidthTwips() const override;
    int32_t windowLeftTwips() const override;
    int32_t windowTopTwips() const override;

    bool Loading = false;
    std::unique_ptr<CSettings> Settings;

    QTabWidget* tabMain;

    // ProgramCommands, DocumentCommands and WebSiteCommands with their files; the imports
    // add to the last two.
    UserList* programs() const { return m_programs.get(); }
    UserList* documents() const { return m_documents.get(); }
    UserList* webSites() const { return m_webSites.get(); }
    QPushButton* cmdActivate;
    QLabel* lblListening;   // what Vorlix hears now, beside the listening button
    QPushButton* cmdTrain;
    QPushButton* cmdHelp;
    QPushButton* cmdOnlineSupport;
    QPushButton* cmdTray;
    QPushButton* cmdExit;

signals:
    void firstActivationDone();
    // For the notification area's tooltip: "Listening", "Not listening" or "No microphone".
    void listeningStateChanged(const QString& state);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildInitSequence();
    void composePages();
    void addPage(MainWindowPage* page);
    void connectControls();
    void FillSettingsPage();
    void fillGestureLists();
    void firstActivation();
    // One message for the problems found while loading; none once an exit is on its way.
    void startUpMessage(const QStringList& problems);
    QString handleRemoteCommand(const QString& request);
    QString focusName() const;
    void cmdTray_Click();
    void showListeningState();
    void noticeAudioProblem();
    void reportSaveFailures(const QStringList& failures);
    void createUserLists();
    void createImports();

    AppState& m_state;
    PlatformServices& m_platform;
    std::function<void()> m_launch;
    std::function<void()> m_exitProgram;
    InitSequence m_init;
    QTimer m_minuteTimer;
    std::unique_ptr<LocalSocketInstance> m_instance;
    // Declared in the order they are made; the command context refers to the character
    // and to this window, the built-in commands and the macros to the voice menus.
    std::unique_ptr<VoiceMenus> m_voice;
    std::unique_ptr<CharacterController> m_character;
    std::unique_ptr<HelpAndMessages> m_help;
    std::unique_ptr<CommandContext> m_context;
    std::unique_ptr<BuiltInCommands> m_builtIn;
    std::unique_ptr<MacroContext> m_macroContext;
    std::unique_ptr<MacroList> m_macros;
    std::unique_ptr<StartList> m_startList;
    std::unique_ptr<UserList> m_programs;
    std::unique_ptr<UserList> m_documents;
    std::unique_ptr<UserList> m_webSites;
    std::unique_ptr<ListPage::Services> m_listServices;
    std::unique_ptr<ListImports> m_imports;
    // The pages in tab order; the tab strip owns their widgets.
    std::vector<MainWindowPage*> m_pages;
    SettingsPage* m_settingsPage = nullptr;
    CommandsPage* m_commandsPage = nullptr;
    MacrosPage* m_macrosPage = nullptr;
    StartPage* m_startPage = nullptr;
    ListPage* m_programsPage = nullptr;
    ListPage* m_documentsPage = nullptr;
    ListPage* m_webSitesPage = nullptr;
    bool m_activatedOnce = false;
    bool m_firstActivationDone = false;
    bool m_exitRequested = false;
    bool m_reportingSaveFailures = false;
    bool m_started = false;   // every loading step has run; remote commands are served
};
