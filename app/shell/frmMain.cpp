#include "app/shell/frmMain.h"

#include "app/character/CharacterController.h"
#include "app/help/HelpAndMessages.h"
#include "app/lists/ListImports.h"
#include "app/lists/frmImportDocs.h"
#include "app/lists/UserList.h"
#include "app/macros/MacroList.h"
#include "app/macros/MacrosPage.h"
#include "app/settings/SettingsPage.h"
#include "app/shell/AppInfo.h"
#include "app/shell/AutoStart.h"
#include "app/shell/PlaceholderPage.h"
#include "app/shell/SettingsPageBinding.h"
#include "app/shell/UserMessages.h"
#include "app/startlist/StartList.h"
#include "app/startlist/StartPage.h"
#include "app/voice/BuiltInCommands.h"
#include "app/voice/CommandContext.h"
#include "app/voice/CommandsPage.h"
#include "app/voice/VoiceMenus.h"
#include "platform/agent/AgentControl.h"
#include "platform/desktop/LocalSocketInstance.h"
#include "platform/desktop/ScreenMetrics.h"
#include "platform/desktop/TrayIconBackend.h"
#include "platform/files/StaleTemporaries.h"
#include "platform/vcmd/VoiceCommandControl.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QCheckBox>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcShell, "vorlix.shell")

namespace {

constexpr int kMinuteMs = 60000;

QPushButton* button(const QString& text, const char* name)
{
    auto* widget = new QPushButton(text);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

int32_t toTwips(double pixels, double twipsPerPixel)
{
    return static_cast<int32_t>(std::lround(pixels * twipsPerPixel));
}

} // namespace

frmMain::frmMain(AppState& state, PlatformServices& platform, std::function<void()> launch,
                 std::function<void()> exitProgram)
    : m_state(state), m_platform(platform), m_launch(std::move(launch)), m_exitProgram(std::move(exitProgram))
{
    AppInfo::initResources();
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(AppInfo::kTitle);   // the run-time caption is set once loading has got that far
    setWindowIcon(QIcon(QStringLiteral(":/vorlix/vorlix.svg")));

    tabMain = new QTabWidget;
    tabMain->setObjectName(QStringLiteral("tabMain"));

    cmdActivate = button(tr("Stop Listening"), "cmdActivate");
    cmdTrain = button(tr("Training"), "cmdTrain");
    lblListening = new QLabel;
    lblListening->setObjectName(QStringLiteral("lblListening"));
    cmdHelp = button(tr("&Help"), "cmdHelp");
    cmdOnlineSupport = button(tr("Online Support"), "cmdOnlineSupport");
    cmdTray = button(tr("&Tray"), "cmdTray");
    cmdExit = button(tr("E&xit"), "cmdExit");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdActivate);
    buttons->addWidget(cmdTrain);
    buttons->addWidget(lblListening);
    buttons->addStretch();
    buttons->addWidget(cmdHelp);
    buttons->addWidget(cmdOnlineSupport);
    buttons->addWidget(cmdTray);
    buttons->addWidget(cmdExit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabMain);
    layout->addLayout(buttons);
    resize(720, 500);

    m_minuteTimer.setInterval(kMinuteMs);
    buildInitSequence();
}

// The pages go before the lists they show.
frmMain::~frmMain()
{
    delete tabMain;
}

bool frmMain::Form_Load()
{
    Loading = true;
    m_state.MacrosPath = QDir(m_state.AppPath).filePath(QStringLiteral("Macros"));
    const QString caption = AppInfo::caption();

    if (LocalSocketInstance::isRunning(caption)) {
        m_platform.messages.information(
            AppInfo::kTitle + QStringLiteral(" is already running. Please double click the icon in the system tray "
                                             "to bring up the main window."));
        return false;
    }

    setWindowTitle(caption);
    m_instance = std::make_unique<LocalSocketInstance>();
    if (Result<void> listening = m_instance->listen(caption, [this](const QString& request) {
            return handleRemoteCommand(request);
        });
        !listening)
        qCWarning(lcShell) << listening.error().message;

    // Only one copy runs now, so no save of ours is under way.
    for (const QString& folder : {m_state.AppPath, m_state.MacrosPath})
        files::removeStaleTemporaries(QFile::encodeName(folder).toStdString());
    Settings = std::make_unique<CSettings>(m_state.AppPath);
    startUpMessage(Settings->LoadSettings(*this));

    m_voice = std::make_unique<VoiceMenus>(m_platform.recogniser, *Settings);
    m_character = std::make_unique<CharacterController>(
        m_platform.agent, *Settings, m_platform.screen, m_platform.clipboard,
        [this](const QString& text, bool speak) { m_help->ShowMessage(text, speak); }, AppInfo::kTitle);
    m_state.CharsPath = m_character->CharsPath();
    m_help = std::make_unique<HelpAndMessages>(m_state.AppPath, *m_character, *m_voice, *this, m_platform.launcher);
    m_context = std::make_unique<CommandContext>(
        CommandContext{*m_character, m_platform.launcher, m_platform.messenger, m_platform.keys, *this});
    m_builtIn = std::make_unique<BuiltInCommands>(*m_voice, *m_context);
    m_macroContext = std::make_unique<MacroContext>(MacroContext{*m_character, m_platform.clipboard, m_platform.keys});
    m_macros = std::make_unique<MacroList>(*m_voice, *m_macroContext, m_state.MacrosPath);

    createUserLists();
    composePages();
    createImports();
    connectControls();

    m_character->setGestureListsChanged([this](const CharacterController::GestureLists&) { fillGestureLists(); });
    if (!m_character->InitCharacter())
        return false;

    m_minuteTimer.start();
    return true;
}

// The one place that knows the tab order: the page commands are numbered by it, and the
// built-in commands select pages by number.
void frmMain::composePages()
{
    m_startList = std::make_unique<StartList>(m_state.AppPath, *Settings, *m_voice, *m_context, m_platform.mokavel,
                                              *m_help, *this);
    addPage(m_startPage = new StartPage(*m_startList, *m_help));
    addPage(m_programsPage = new ListPage(*m_programs, *m_listServices));
    addPage(m_documentsPage = new ListPage(*m_documents, *m_listServices));
    addPage(m_commandsPage = new CommandsPage(*m_builtIn));
    addPage(m_webSitesPage = new ListPage(*m_webSites, *m_listServices));
    addPage(m_macrosPage = new MacrosPage(*m_macros));
    addPage(m_settingsPage = new SettingsPage(
                *Settings, SettingsPageServices{
                               [] { return AutoStart::ReadAutoStart(); },
                               [this](bool enable) { AutoStart::SetAutoStart(enable, m_state.programFile); },
                               [this](const QString& text, bool speak) { m_help->ShowMessage(text, speak); },
                               AppInfo::kTitle}));
    bindSettingsPage(*m_settingsPage,
                     SettingsPageTargets{*m_character, *m_voice, *m_help, this,
                                         [this](bool topmost) { applyStayOnTop(topmost); }});
    // The Start list's sources stand on the Settings page; what a change does is the list's.
    const std::pair<QCheckBox*, void (StartList::*)(bool)> sources[] = {
        {m_settingsPage->chkDesktopApplications, &StartList::chkDesktopApplications_Click},
        {m_settingsPage->chkLoadStartMenu, &StartList::chkLoadStartMenu_Click},
        {m_settingsPage->chkLoadControlPanel, &StartList::chkLoadControlPanel_Click}};
    for (const auto& [box, handler] : sources)
        connect(box, &QCheckBox::toggled, this, [this, handler](bool checked) { (m_startList.get()->*handler)(checked); });
}

void frmMain::createImports()
{
    const auto chooseFolder = [this](const QString& personal) -> std::optional<QString> {
        frmImportDocs form(frmImportDocs::defaultPlaces(), this);
        form.setFolder(personal);
        if (ShowModalForm(form) != QDialog::Accepted)
            return std::nullopt;
        return form.folder();
    };
    const auto waitCursor = [](bool waiting) {
        if (waiting)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    };
    const auto updateTabButtons = [this](UserList& list) {
        (&list == m_documents.get() ? m_documentsPage : m_webSitesPage)->UpdateTabButtons();
    };
    m_imports = std::make_unique<ListImports>(
        m_state.AppPath, *m_documents, *m_webSites,
        ListImports::Services{*m_voice, m_platform.mokavel, *this, chooseFolder, waitCursor, updateTabButtons});
    connect(m_documentsPage->cmdImport, &QPushButton::clicked, this, [this] { m_imports->cmdImportDocs_Click(); });
    connect(m_webSitesPage->cmdImport, &QPushButton::clicked, this, [this] { m_imports->cmdImportURL_Click(); });
}

void frmMain::addPage(MainWindowPage* page)
{
    tabMain->addTab(page->widget(), page->caption());
    m_pages.push_back(page);
}

void frmMain::buildInitSequence()
{
    m_init.add(QString(), [this] {
        tabMain->setCurrentIndex(0);
        m_settingsPage->tabSettings->setCurrentIndex(0);
    });
    m_init.add(QString(), [this] { QDir().mkdir(m_state.MacrosPath); });
    m_init.add(tr("Initializing voice recognition engine"), [this] {
        if (Result<void> created = m_voice->CreateVoiceMenu(); !created)
            m_platform.messages.critical(created.error().message);
    });
    m_init.add(tr("Reading help files"), [this] { m_help->LoadHelpTexts(); });
    m_init.add(tr("Finding fonts"), [this] { m_settingsPage->FillFontList(QFontDatabase::families()); });
    m_init.add(tr("Finding characters"), [this] {
        const CharacterController::CharacterList list = m_character->FillCharacterList();
        m_settingsPage->FillCharacterList(list.fileNames, list.selection);
    });
    m_init.add(tr("Reading desktop & start menu"), [this] { m_startList->LoadStartList(); });
    m_init.add(tr("Reading user programs"), [this] { m_programs->Load(); });
    m_init.add(tr("Reading user documents"), [this] {
        m_documents->Load();
        // The first start: the personal documents come in while the list loads.
        if (!QFile::exists(Settings->settingsFile()))
            m_imports->ImportFirstRunDocuments();
    });
    m_init.add(tr("Reading voice commands"), [this] {
        startUpMessage(m_builtIn->LoadVoiceCommands(m_state.AppPath));
    });
    m_init.add(tr("Reading web sites"), [this] { m_webSites->Load(); });
    m_init.add(tr("Reading macros"), [this] { m_macrosPage->LoadMacros(); });
    m_init.add(tr("Initializing custom menu"), [this] { m_voice->AddSystemCommands(*m_context); });
    m_init.add(QString(), [this] { FillSettingsPage(); });
    m_init.add(QString(), [this] {
        QStringList captions;
        for (int i = 0; i < tabMain->count(); ++i)
            captions << tabMain->tabText(i);
        m_builtIn->AddTabCommands(captions);
    });
    m_init.add(QString(), [this] {
        Loading = false;
        m_voice->setLoading(false);
    });
    m_init.add(QString(), [this] { m_commandsPage->FillVoiceCommandList(); });
    m_init.add(tr("Activating voice recognition"), [this] { m_voice->ActivateMenus(); });
}

void frmMain::createUserLists()
{
    EntryDialog::Services dialog{*m_context,
                                 *m_help,
                                 *m_voice,
                                 [this](const QString& phrase) { return m_voice->CommandExists(phrase); },
                                 &EntryDialog::isProgram,
                                 &EntryDialog::chooseFileToOpen};
    m_listServices = std::make_unique<ListPage::Services>(ListPage::Services{*m_voice, *this, std::move(dialog)});
    m_programs = std::make_unique<UserList>(ListKind::Programs, *m_voice, *m_context, m_state.AppPath);
    m_documents = std::make_unique<UserList>(ListKind::Documents, *m_voice, *m_context, m_state.AppPath);
    m_webSites = std::make_unique<UserList>(ListKind::WebSites, *m_voice, *m_context, m_state.AppPath);
    connect(tabMain, &QTabWidget::currentChanged, this, [this] {
        if (tabMain->currentWidget() == m_startPage)
            m_startPage->activated();
        else if (auto* page = qobject_cast<ListPage*>(tabMain->currentWidget()))
            page->UpdateTabButtons();
    });
}

void frmMain::Init(const InitSequence::StatusSink& showStatus)
{
    m_init.run(showStatus);
    m_started = true;
    // An exit asked for while loading waits until now, so that what is saved was loaded whole.
    if (m_exitRequested)
        QTimer::singleShot(0, this, [this] { m_exitProgram(); });
}

void frmMain::startUpMessage(const QStringList& problems)
{
    if (!problems.isEmpty() && !m_exitRequested)
        m_platform.messages.information(problems.join(u'\n'));
}

void frmMain::connectControls()
{
    connect(cmdTray, &QPushButton::clicked, this, &frmMain::cmdTray_Click);
    connect(cmdExit, &QPushButton::clicked, this, [this] { m_exitProgram(); });
    connect(cmdActivate, &QPushButton::clicked, m_voice.get(), &VoiceMenus::cmdActivate_Click);
    connect(m_voice.get(), &VoiceMenus::activateCaptionChanged, cmdActivate, &QPushButton::setText);
    connect(m_voice.get(), &VoiceMenus::listeningStateChanged, this, [this] {
        showListeningState();
        if (m_firstActivationDone)
            QTimer::singleShot(0, this, &frmMain::noticeAudioProblem);   // not from inside the signal
    });
    connect(cmdTrain, &QPushButton::clicked, this, [this] { m_voice->ShowTraining(this); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { m_help->ShowPageHelp(HelpTopic::Overview); });
    connect(m_macrosPage, &MacrosPage::helpRequested, this, [this] { m_help->ShowPageHelp(HelpTopic::Macros); });
    connect(cmdOnlineSupport, &QPushButton::clicked, this, [this] { m_help->openSupportPage(m_state.supportUrl); });
    connect(&m_minuteTimer, &QTimer::timeout, this, [this] { m_character->onMinuteTick(QDateTime::currentDateTime()); });
}

// Every page fills itself from the settings; the listening button is the window's own.
void frmMain::FillSettingsPage()
{
    cmdActivate->setText(Settings->m_ActiveMode ? tr("Stop Listening") : tr("Listen"));
    showListeningState();
    for (MainWindowPage* page : m_pages)
        page->load();
}

void frmMain::fillGestureLists()
{
    const CharacterController::GestureLists& lists = m_character->gestureLists();
    m_settingsPage->FillGestureList(lists.entries, lists.welcomeSelection);
    m_commandsPage->setGestureNames(lists.entries);
    m_macrosPage->setGestureNames(lists.entries);
    for (ListPage* page : {m_programsPage, m_documentsPage, m_webSitesPage})
        page->setGestureNames(lists.entries);
}

void frmMain::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Runs once per run, the first time the window is opened: at the end of start-up,
    // or after -AUTOSTART when the user first opens it.
    if (!m_activatedOnce && !Loading && Settings) {
        m_activatedOnce = true;
        QTimer::singleShot(0, this, &frmMain::firstActivation);
    }
}

void frmMain::firstActivation()
{
    const double twipsX = m_platform.screen.twipsPerPixelX();
    const double twipsY = m_platform.screen.twipsPerPixelY();
    // A stored place from a larger screen would put the window out of reach.
    const int x = std::clamp(int(std::lround(Settings->m_Left / twipsX)), 0,
                             std::max(0, m_platform.screen.widthPixels() - width()));
    const int y = std::clamp(int(std::lround(Settings->m_Top / twipsY)), 0,
                             std::max(0, m_platform.screen.heightPixels() - height()));
    // The stored place is that of the frame; the window manager may not have framed the
    // window yet, so the frame position is set explicitly as well.
    move(x, y);
    if (QWindow* window = windowHandle())
        window->setFramePosition(QPoint(x, y));

    applyStayOnTop(Settings->m_StayOnTop);

    if (Settings->m_WelcomeGesture != QLatin1String("None"))
        m_character->SayWelcome();

    m_help->ShowFirstRunHelp();
    if (!QFile::exists(Settings->settingsFile()) && !m_exitRequested) {
        m_help->ShowTrainingNotice();
        if (!m_exitRequested)
            m_voice->ShowTraining(this);
    }
    m_firstActivationDone = true;
    noticeAudioProblem();
    emit firstActivationDone();
}

void frmMain::showListeningState()
{
    const QString status = m_voice->listeningStatus();
    const bool noMicrophone = status == QLatin1String("no microphone");
    QString state = tr("Listening");
    QString detail = tr("Vorlix hears what you say.");
    if (status == QLatin1String("no")) {
        state = tr("Not listening");
        detail = tr("Only \"Listen\" is heard until you say it or click Listen.");
    } else if (noMicrophone) {
        state = tr("No microphone");
        detail = m_platform.recogniser.audioProblem();
    }
    lblListening->setText(state);
    cmdActivate->setIcon(noMicrophone ? style()->standardIcon(QStyle::SP_MessageBoxWarning) : QIcon());
    lblListening->setToolTip(detail);
    cmdActivate->setToolTip(detail);
    emit listeningStateChanged(state);
}

// Once per user: the first time no microphone can be heard, say what to do about it.
void frmMain::noticeAudioProblem()
{
    const QString problem = m_platform.recogniser.audioProblem();
    if (!problem.isEmpty() && !m_exitRequested && !m_state.Quitting)
        m_help->ShowMicrophoneNotice(problem);
}

void frmMain::applyStayOnTop(bool topmost)
{
    if (isTopmost() == topmost)
        return;
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
    // Changing the window flags re-creates the window hidden.
    if (wasVisible)
        show();
}

bool frmMain::isTopmost() const
{
    return windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

bool frmMain::askYesNo(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::Yes);
    return ShowModalForm(box) == QMessageBox::Yes;
}

int frmMain::ShowModalForm(QDialog& form)
{
    if (m_exitRequested || (m_state.Quitting && !m_reportingSaveFailures))
        return QDialog::Rejected;
    const bool stayOnTop = Settings && Settings->m_StayOnTop;
    if (stayOnTop)
        applyStayOnTop(false);
    // Owned by the main window: it opens over it, and the desktop groups it with the program.
    if (!form.parentWidget())
        form.setParent(this, form.windowFlags() | Qt::Dialog);
    form.setWindowModality(Qt::ApplicationModal);
    const int result = form.exec();
    if (stayOnTop && !m_state.Quitting)
        applyStayOnTop(true);
    return result;
}

void frmMain::Activate(bool active)
{
    m_voice->Activate(active);
}

void frmMain::Launch()
{
    m_launch();
}

void frmMain::hideMainWindow()
{
    if (m_platform.tray.isAvailable())
        hide();
    else
        showMinimized();   // no notification area to come back from
}

bool frmMain::selectTab(int index)
{
    if (index < 0 || index >= tabMain->count())
        return false;
    tabMain->setCurrentIndex(index);
    return true;
}

void frmMain::cmdTray_Click()
{
    m_help->ShowTrayHint();
    hideMainWindow();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    if (m_state.Quitting) {
        event->accept();
        return;
    }
    event->ignore();
    hideMainWindow();
}

QString frmMain::handleRemoteCommand(const QString& request)
{
    if (request == QLatin1String("exit")) {
        m_exitRequested = true;
        // Open dialogs run nested event loops: close them, then shut down from the outer loop.
        while (QWidget* modal = QApplication::activeModalWidget()) {
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
            if (QApplication::activeModalWidget() == modal)
                break;
        }
        if (m_started)
            QTimer::singleShot(0, this, [this] { m_exitProgram(); });
        return QStringLiteral("exiting %1").arg(getpid());
    }
    if (!m_started)
        return QStringLiteral("starting");
    if (request.startsWith(QLatin1String("say ")))
        return m_voice->sayPhrase(request.mid(4));
    if (request == QLatin1String("status")) {
        // One line of tab-separated fields; `vorlix --status` prints one a line.
        const QString window = !isVisible() ? QStringLiteral("hidden")
                               : isMinimized() ? QStringLiteral("minimised")
                                               : QStringLiteral("shown");
        return QStringList({QStringLiteral("listening: ") + m_voice->listeningStatus(),
                            QStringLiteral("button: ") + cmdActivate->text(),
                            QStringLiteral("window: ") + window,
                            QStringLiteral("page: ") + tabMain->tabText(tabMain->currentIndex()).trimmed(),
                            QStringLiteral("focus: ") + focusName()})
            .join(u'\t');
    }
    return QStringLiteral("unknown request");
}

// The control with the keyboard focus, by name; a nameless one by its class.
QString frmMain::focusName() const
{
    const QWidget* focus = QApplication::focusWidget();
    if (!focus)
        return QString();
    return focus->objectName().isEmpty() ? QString::fromLatin1(focus->metaObject()->className())
                                         : focus->objectName();
}

void frmMain::Form_Unload()
{
    QStringList failures;
    if (m_startList) {
        if (Result<void> saved = m_startList->SaveStartFilter(); !saved)
            failures << saved.error().message;
    }
    if (m_builtIn) {
        if (Result<void> saved = m_builtIn->SaveVoiceCommands(m_state.AppPath); !saved)
            failures << saved.error().message;
    }
    if (m_macros && !m_macros->SaveMacros())
        failures << tr("%1: not every macro file could be written").arg(m_state.MacrosPath);
    for (MainWindowPage* page : m_pages)
        page->save();
    if (Settings) {
        if (Result<void> saved = Settings->Save(*this); !saved)
            failures << saved.error().message;
    }
    for (UserList* list : {m_programs.get(), m_documents.get(), m_webSites.get()}) {
        if (!list)
            continue;
        if (Result<void> saved = list->Save(); !saved)
            failures << saved.error().message;
    }
    reportSaveFailures(failures);
    m_minuteTimer.stop();
    (void)m_platform.agent.unload(CharacterController::kCharacterId);
    if (m_voice)
        m_voice->ReleaseVoiceMenu();
    m_instance.reset();
}

// Shown before the program ends, so the user learns what was not kept. An exit asked
// for from the command line has no one at the window to close a message: it goes to the log.
void frmMain::reportSaveFailures(const QStringList& failures)
{
    if (failures.isEmpty())
        return;
    const QString text = tr("These files could not be saved:") + QLatin1Char('\n') + failures.join(QLatin1Char('\n'));
    qCWarning(lcShell).noquote() << text;
    if (!m_help || m_exitRequested)
        return;
    m_reportingSaveFailures = true;
    m_help->ShowMessage(text, false);
    m_reportingSaveFailures = false;
}

int32_t frmMain::screenWidthTwips() const
{
    return toTwips(m_platform.screen.widthPixels(), m_platform.screen.twipsPerPixelX());
}

int32_t frmMain::windowWidthTwips() const
{
    return toTwips(frameGeometry().width(), m_platform.screen.twipsPerPixelX());
}

// A window never opened this run (an -AUTOSTART session) has no place of its own: the stored one stays.
int32_t frmMain::windowLeftTwips() const
{
    if (!m_activatedOnce && Settings)
        return Settings->m_Left;
    return toTwips(pos().x(), m_platform.screen.twipsPerPixelX());
}

int32_t frmMain::windowTopTwips() const
{
    if (!m_activatedOnce && Settings)
        return Settings->m_Top;
    return toTwips(pos().y(), m_platform.screen.twipsPerPixelY());
}
