#include "app/shell/frmTray.h"

#include "app/shell/NotifyIcon.h"
#include "app/shell/frmMain.h"
#include "platform/registry/Registry.h"
#include "tests/fakes/ShellFakes.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

namespace {

using Tray = TrayIconBackend;
constexpr uint32_t kTrayMessage = 512;   // the callback message the icon is registered with

class frmTrayTest : public IsolatedTest {
protected:
    void SetUp() override
    {
        registry::writeValue(registry::Root::LocalMachine, "Software\\Quennet\\Vorlix\\AppPath", "",
                             env.root().toStdString());
        state.programFile = env.path("vorlix");
        IsolatedEnvironment::writeFile(env.path("windir/msagent/chars/merlin.acs"), "character");
        IsolatedEnvironment::writeFile(env.path("MessageID.INI"), "[General]\r\nOverview=Yes\r\n");
        IsolatedEnvironment::writeFile(env.path("Vorlix.INI"), "[Account]\r\nUserName=\r\n");
    }

    std::unique_ptr<frmTray> startUp(const QString& commandLine)
    {
        state.commandLine = commandLine;
        auto tray = std::make_unique<frmTray>(state, fakes.services);
        tray->StartUp();
        return tray;
    }

    AppState state;
    FakePlatform fakes;
};

// Start-up and the double click on the icon are run end to end; these are the cases
// that script cannot reach.
TEST_F(frmTrayTest, OnlyTheWholeAutostartArgumentInAnyCaseStartsHidden)
{
    const std::pair<const char*, bool> cases[] = {{"-AutoStart", false}, {"-AUTOSTART x", true}, {"AUTOSTART", true}};
    for (const auto& [argument, shown] : cases) {
        auto tray = startUp(argument);
        EXPECT_EQ(tray->mainWindow()->isVisible(), shown) << argument;
        tray->Form_Unload();
    }
    EXPECT_EQ(state.AppPath, env.root()) << "the data folder comes from the registry";
    EXPECT_EQ(fakes.tray.sent.back().command, Tray::kDelete) << "no icon left behind";
    // Hidden with no icon to bring it back would leave the user nothing to click.
    fakes.tray.available = false;
    EXPECT_TRUE(startUp("-AUTOSTART")->mainWindow()->isVisible());
}

// The right button opens the menu (the way to exit while hidden), and a double click while
// the About box is open must not open the window behind it.
TEST_F(frmTrayTest, IconClicks)
{
    auto tray = startUp("-autostart");
    fakes.tray.callback(kTrayMessage, Tray::kRightButtonDown);
    EXPECT_TRUE(tray->mnuMain()->isVisible());
    tray->mnuMain()->hide();

    bool aboutWasOpen = false;
    QTimer::singleShot(0, [&] {
        aboutWasOpen = tray->AboutOpen();
        fakes.tray.callback(kTrayMessage, Tray::kLeftButtonDoubleClick);
        EXPECT_FALSE(tray->mainWindow()->isVisible());
        if (auto* about = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            about->findChild<QPushButton*>("cmdOK")->click();
    });
    tray->mnuAbout_Click();
    EXPECT_TRUE(aboutWasOpen);
    EXPECT_FALSE(tray->AboutOpen());
    fakes.tray.callback(kTrayMessage, Tray::kLeftButtonDoubleClick);
    EXPECT_TRUE(tray->mainWindow()->isVisible());
}

} // namespace
