#include "app/shell/frmTray.h"

#include "app/shell/NotifyIcon.h"
#include "app/shell/frmMain.h"
#include "platform/registry/Registry.h"
#include "tests/fakes/ShellFakes.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

namespace {

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

TEST_F(frmTrayTest, StartUpShowsTheIconAndTheWindow)
{
    auto tray = startUp(QString());
    EXPECT_EQ(state.AppPath, env.root());
    EXPECT_EQ(state.supportUrl, "https://vorlix.org/support");
    ASSERT_EQ(fakes.tray.sent.size(), 1u);
    EXPECT_EQ(fakes.tray.sent[0].command, TrayIconBackend::kAdd);
    EXPECT_TRUE(tray->mainWindow()->isVisible());
}

TEST_F(frmTrayTest, OnlyTheWholeAutostartArgumentInAnyCaseStartsHidden)
{
    const std::pair<const char*, bool> cases[] = {{"-AUTOSTART", false}, {"-autostart", false}, {"-AutoStart", false},
                                                  {"-AUTOSTART x", true}, {" -AUTOSTART", true}, {"AUTOSTART", true}};
    for (const auto& [argument, shown] : cases) {
        auto tray = startUp(argument);
        EXPECT_EQ(tray->mainWindow()->isVisible(), shown) << argument;
        tray->Form_Unload();
    }
}

TEST_F(frmTrayTest, AutostartWithoutNotificationAreaStillShowsTheWindow)
{
    fakes.tray.available = false;
    auto tray = startUp("-AUTOSTART");
    EXPECT_TRUE(tray->mainWindow()->isVisible());
}

TEST_F(frmTrayTest, DoubleClickLaunchesOnlyTheMouseMessagesCount)
{
    auto tray = startUp("-autostart");
    fakes.tray.callback(512, 513);
    fakes.tray.callback(512, 514);
    fakes.tray.callback(512, 519);
    EXPECT_FALSE(tray->mainWindow()->isVisible());
    fakes.tray.callback(512, 515);
    EXPECT_TRUE(tray->mainWindow()->isVisible());
}

TEST_F(frmTrayTest, RightButtonPopsUpTheMenu)
{
    auto tray = startUp("-autostart");
    fakes.tray.callback(512, 516);
    EXPECT_TRUE(tray->mnuMain()->isVisible());
    QStringList items;
    for (QAction* action : tray->mnuMain()->actions())
        items << (action->isSeparator() ? "-" : action->text());
    EXPECT_EQ(items, QStringList({"&Vorlix", "-", "&About Vorlix", "-", "E&xit"}));
    tray->mnuMain()->hide();
}

TEST_F(frmTrayTest, DoubleClickWhileAboutBoxIsOpenDoesNotLaunch)
{
    auto tray = startUp("-autostart");
    bool aboutWasOpen = false;
    QTimer::singleShot(0, [&] {
        aboutWasOpen = tray->AboutOpen();
        fakes.tray.callback(512, 515);
        EXPECT_FALSE(tray->mainWindow()->isVisible());
        if (auto* about = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            EXPECT_EQ(about->windowTitle(), "About Vorlix");
            EXPECT_EQ(about->findChild<QLabel*>("lblProduct")->text(), "Vorlix 1.0");
            about->findChild<QPushButton*>("cmdOK")->click();
        }
    });
    tray->mnuAbout_Click();
    EXPECT_TRUE(aboutWasOpen);
    EXPECT_FALSE(tray->AboutOpen());
    fakes.tray.callback(512, 515);
    EXPECT_TRUE(tray->mainWindow()->isVisible());
}

TEST_F(frmTrayTest, ExitRemovesTheIconAndSaves)
{
    auto tray = startUp(QString());
    tray->Form_Unload();
    EXPECT_TRUE(state.Quitting);
    ASSERT_EQ(fakes.tray.sent.size(), 2u);
    EXPECT_EQ(fakes.tray.sent[1].command, TrayIconBackend::kDelete);
    EXPECT_TRUE(QFile::exists(env.path("Vorlix.INI")));
    EXPECT_FALSE(tray->mainWindow()->isVisible());
}

} // namespace
