#include "app/shell/frmTray.h"

#include "app/shell/AppInfo.h"
#include "app/shell/AppPaths.h"
#include "app/shell/NotifyIcon.h"
#include "app/shell/frmCopyRight.h"
#include "app/shell/frmMain.h"
#include "app/shell/frmSplash.h"
#include "platform/desktop/TrayIconBackend.h"
#include "platform/files/DirectorySearch.h"
#include "platform/registry/Registry.h"

#include <QApplication>
#include <QCursor>
#include <QFileInfo>
#include <QIcon>
#include <QMenu>

namespace {
constexpr int kStartUpDelayMs = 100;
}

frmTray::frmTray(AppState& state, PlatformServices& platform) : m_state(state), m_platform(platform)
{
    AppInfo::initResources();
    setObjectName(QStringLiteral("frmTray"));
    setWindowIcon(QIcon(QStringLiteral(":/vorlix/vorlix.svg")));

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("mnuMain"));
    QAction* mnuShow = m_menu->addAction(tr("&Vorlix"));
    mnuShow->setObjectName(QStringLiteral("mnuShow"));
    m_menu->addSeparator();
    QAction* mnuAbout = m_menu->addAction(tr("&About Vorlix"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    m_menu->addSeparator();
    QAction* mnuExit = m_menu->addAction(tr("E&xit"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    connect(mnuShow, &QAction::triggered, this, &frmTray::Launch);
    connect(mnuAbout, &QAction::triggered, this, &frmTray::mnuAbout_Click);
    connect(mnuExit, &QAction::triggered, this, &frmTray::Form_Unload);

    m_icon = std::make_unique<NotifyIcon>(m_platform.tray, quintptr(0), windowIcon(), AppInfo::kTitle);
    m_platform.tray.setCallback([this](uint32_t message, uint32_t mouseMessage) {
        handleIconMessage(message, mouseMessage);
    });

    m_timer.setSingleShot(true);
    m_timer.setInterval(kStartUpDelayMs);
    connect(&m_timer, &QTimer::timeout, this, &frmTray::StartUp);
}

frmTray::~frmTray()
{
    m_platform.tray.setCallback({});
}

void frmTray::Form_Load()
{
    m_splash = std::make_unique<frmSplash>();
    m_splash->show();
    m_splash->ShowStatus(QStringLiteral("Initializing ") + AppInfo::kTitle);
    m_timer.start();
}

void frmTray::StartUp()
{
    m_timer.stop();
    m_state.supportUrl = QString::fromStdString(ReadRegistryValue("SupportURL", AppInfo::kSupportUrl.toStdString()));
    m_state.AppPath = AppPaths::resolveAppPath(
        QString::fromStdString(ReadRegistryValue("AppPath", std::string())),
        QFileInfo(m_state.programFile).absolutePath(),
        QString::fromStdString(files::windowsDirectory().value_or(std::string())));

    m_main = std::make_unique<frmMain>(m_state, m_platform, [this] { Launch(); }, [this] { Form_Unload(); });
    connect(m_main.get(), &frmMain::listeningStateChanged, this, [this](const QString& state) {
        m_icon->setTip(AppInfo::kTitle + QStringLiteral(" - ") + state);
    });
    if (!m_main->Form_Load()) {
        // Another copy runs, or there is no character: end at once, saving nothing.
        m_splash.reset();
        emit programEnded(1);
        return;
    }
    m_main->Init([this](const QString& status) {
        if (m_splash)
            m_splash->ShowStatus(status);
    });
    if (m_splash)
        m_splash->ShowStatus(QStringLiteral("Initialized"));
    ShowTrayIcon(true);
    m_splash.reset();

    const bool autoStart = m_state.commandLine.toUpper() == QLatin1String("-AUTOSTART");
    // Without a notification area a hidden window could not be reached again.
    if (!autoStart || !m_platform.tray.isAvailable())
        Launch();
}

void frmTray::Launch()
{
    if (!m_main)
        return;
    m_main->setWindowState(m_main->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    m_main->show();
    m_main->raise();
    m_main->activateWindow();
}

void frmTray::ShowTrayIcon(bool showIcon)
{
    m_icon->ShowTrayIcon(showIcon);
}

void frmTray::handleIconMessage(uint32_t /*callbackMessage*/, uint32_t mouseMessage)
{
    // A notification that arrives while one is still handled (the icon menu is open) is dropped.
    if (m_handlingIconMessage)
        return;
    m_handlingIconMessage = true;
    if (mouseMessage >= 513 && mouseMessage <= 518)
        TrayIconCallback(mouseMessage);
    m_handlingIconMessage = false;
}

void frmTray::TrayIconCallback(uint32_t msg)
{
    switch (msg) {
    case TrayIconBackend::kLeftButtonDoubleClick:
        if (!m_aboutOpen)
            Launch();
        break;
    case TrayIconBackend::kRightButtonDown:
        m_menu->popup(QCursor::pos());
        break;
    default:
        break;
    }
}

void frmTray::mnuAbout_Click()
{
    m_aboutOpen = true;
    frmCopyRight about(m_main.get());
    if (m_main)
        m_main->ShowModalForm(about);
    else
        about.exec();
    m_aboutOpen = false;
}

void frmTray::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_state.Quitting = true;
    ShowTrayIcon(false);
    if (m_main) {
        m_main->Form_Unload();
        m_main->close();
    }
    emit programEnded(0);
}
