#pragma once
// The program's start-up object. Never shown: it shows the splash window, runs the
// start-up from the first tick of a one-shot timer (after the splash has been painted),
// owns the notification-area icon and its menu, and runs the shutdown.

#include "app/shell/PlatformServices.h"

#include <QTimer>
#include <QWidget>

#include <memory>

class NotifyIcon;
class QMenu;
class frmMain;
class frmSplash;

class frmTray : public QWidget {
    Q_OBJECT
public:
    frmTray(AppState& state, PlatformServices& platform);
    ~frmTray() override;

    // Shows the splash and arms the timer.
    void Form_Load();
    void StartUp();
    // Restores the main window to its normal state and shows it.
    void Launch();
    // "E&xit": the shutdown; then programEnded(0).
    void Form_Unload();

    void TrayIconCallback(uint32_t msg);
    void handleIconMessage(uint32_t callbackMessage, uint32_t mouseMessage);

    frmMain* mainWindow() const { return m_main.get(); }
    QMenu* mnuMain() const { return m_menu; }
    bool AboutOpen() const { return m_aboutOpen; }
    void mnuAbout_Click();

signals:
    // The program is over: the event loop should end with this status (0 after the
    // shutdown; 1 when start-up stopped early, saving nothing).
    void programEnded(int exitStatus);

private:
    void ShowTrayIcon(bool showIcon);

    AppState& m_state;
    PlatformServices& m_platform;
    QTimer m_timer;
    std::unique_ptr<frmSplash> m_splash;
    std::unique_ptr<frmMain> m_main;
    std::unique_ptr<NotifyIcon> m_icon;
    QMenu* m_menu;
    bool m_aboutOpen = false;
    bool m_handlingIconMessage = false;
    bool m_unloaded = false;
};
