#include "tests/app/startlist/StartListFixture.h"

#include "app/mokavel/MokavelLibrary.h"
#include "platform/registry/Registry.h"

#include <QFile>

using StartListTest = StartListFixture;

TEST_F(StartListTest, aMissingListIsExportedFromTheChosenSourcesAndEveryRecordBecomesAProgramCommand)
{
    h.settings.m_LoadDesktop = 1, h.settings.m_LoadStartMenu = 0, h.settings.m_LoadControlPanel = 1;
    list.LoadStartList();
    EXPECT_EQ(library.calls, QStringList{"fnMokavel " + list.listFile() + " 5"});
    EXPECT_EQ(rowTexts(), QStringList({"Editor", "Mail", "Terminal"}));
    EXPECT_EQ(list.selectedRow(), 0);
    EXPECT_TRUE(list.buttons().runEnabled && list.buttons().toggleEnabled);
    const CVoiceCommand& terminal = *list.StartItems().find("terminal");
    EXPECT_EQ(terminal.m_Type, COMMAND_RUN_PROGRAM);
    EXPECT_EQ(terminal.m_Cmd, "/usr/bin/term");
    EXPECT_EQ(terminal.m_CommandLine, "-e 'top'");
    EXPECT_EQ(terminal.m_WhatToSay, "Terminal");
    EXPECT_TRUE(terminal.m_Gesture.isEmpty());
    EXPECT_EQ(registered("Terminal"), &terminal);

    selectText("Terminal");
    list.cmdRunDesktop_Click();
    EXPECT_TRUE(h.log.contains("say Terminal||1|0"));
    EXPECT_TRUE(h.log.contains("open /usr/bin/term|-e 'top'|1"));
}

TEST_F(StartListTest, withEverySourceOffNothingIsExportedOrReadAndTheFilterIsForgottenAtExit)
{
    IsolatedEnvironment::writeFile(list.listFile(), "Old\r\n/old\r\n\r\n");
    IsolatedEnvironment::writeFile(list.filterFile(), "Old\r\n");
    h.settings.m_LoadDesktop = h.settings.m_LoadStartMenu = h.settings.m_LoadControlPanel = 0;
    list.LoadStartList();
    EXPECT_TRUE(library.calls.isEmpty());
    EXPECT_TRUE(list.rows().empty());
    EXPECT_FALSE(list.buttons().runEnabled);
    ASSERT_TRUE(list.SaveStartFilter().ok());
    EXPECT_EQ(IsolatedEnvironment::readFile(list.filterFile()), QByteArray());
}

TEST_F(StartListTest, anExistingListIsUsedAsItIsAndAFailedExportIsTriedAgainNextStart)
{
    IsolatedEnvironment::writeFile(list.listFile(), "Old\r\n/old\r\n\r\n");
    list.LoadStartList();
    EXPECT_TRUE(library.calls.isEmpty());
    EXPECT_EQ(rowTexts(), QStringList{"Old"});

    QFile::remove(list.listFile());
    library.result = 0;
    StartList next{env.root(), h.settings, h.menus, h.context, library, messages, questions};
    next.LoadStartList();
    EXPECT_EQ(library.calls.size(), 1);
    EXPECT_TRUE(next.rows().empty());
    library.result = 1;
    StartList third{env.root(), h.settings, h.menus, h.context, library, messages, questions};
    third.LoadStartList();
    EXPECT_EQ(library.calls.size(), 2);
    EXPECT_EQ(third.rows().size(), 3u);
}

TEST_F(StartListTest, aDisabledEntryLoadsDisabledInAnyLetterCaseAndHiddenWhileHideDisabledIsSet)
{
    IsolatedEnvironment::writeFile(list.filterFile(), "MAIL\r\nnot listed\r\n");
    list.LoadStartList();
    EXPECT_EQ(rowTexts(), QStringList({"Editor", "Mail (off)", "Terminal"}));
    EXPECT_FALSE(list.StartItems().find("Mail")->m_Active);
    EXPECT_EQ(registered("Mail"), nullptr);

    h.settings.m_HideDisabled = true;
    StartList hiding{env.root(), h.settings, h.menus, h.context, library, messages, questions};
    hiding.LoadStartList();
    EXPECT_EQ(hiding.rows().size(), 2u);
    ASSERT_TRUE(hiding.SaveStartFilter().ok());
    EXPECT_EQ(IsolatedEnvironment::readFile(hiding.filterFile()), "Mail\r\n") << "the phrase as the list file has it";
}

TEST_F(StartListTest, twoRecordsOfOnePhraseKeepTheFirstAsEntryWhileTheLaterOneHasARowAndThePhrase)
{
    library.startList = {{"Editor", "/desktop/editor", ""}, {"Mail", "/usr/bin/mail", ""},
                         {"EDITOR", "/menu/editor", ""}};
    list.LoadStartList();
    EXPECT_EQ(rowTexts(), QStringList({"Editor", "Mail", "EDITOR"}));
    EXPECT_EQ(list.StartItems().count(), 2);
    const auto* answering = dynamic_cast<const CVoiceCommand*>(registered("editor"));
    ASSERT_NE(answering, nullptr);
    EXPECT_EQ(answering->m_Cmd, "/menu/editor") << "the last registration of a phrase answers";

    selectText("EDITOR");
    list.cmdRunDesktop_Click();
    EXPECT_TRUE(h.log.contains("open /desktop/editor||1")) << "rows act on the first entry of their phrase";
    EXPECT_FALSE(h.log.contains("open /menu/editor||1"));
    list.cmdToggleDesktop_Click();
    EXPECT_FALSE(list.StartItems().find("Editor")->m_Active);
    EXPECT_EQ(rowTexts(), QStringList({"Editor", "Mail", "EDITOR (off)"}));
}

TEST_F(StartListTest, disablingWithHideDisabledRemovesTheRowAndTheButtonsFollowTheNextSelection)
{
    list.LoadStartList();
    h.menus.setLoading(false);
    list.chkHideDisabled_Click(true);
    EXPECT_EQ(list.selectedRow(), -1) << "refilling the list drops the selection";
    EXPECT_FALSE(list.buttons().toggleEnabled);

    selectText("Mail");
    EXPECT_EQ(list.buttons().toggleCaption, "Disable");
    list.cmdToggleDesktop_Click();
    EXPECT_EQ(rowTexts(), QStringList({"Editor", "Terminal"}));
    EXPECT_EQ(registered("Mail"), nullptr);
    EXPECT_EQ(list.rows()[static_cast<size_t>(list.selectedRow())].text, "Terminal");
    list.cmdToggleDesktop_Click();
    EXPECT_EQ(list.rows()[static_cast<size_t>(list.selectedRow())].text, "Editor");
    list.cmdToggleDesktop_Click();
    EXPECT_TRUE(list.rows().empty());
    EXPECT_FALSE(list.buttons().runEnabled || list.buttons().toggleEnabled);

    list.chkHideDisabled_Click(false);
    EXPECT_EQ(rowTexts(), QStringList({"Editor (off)", "Mail (off)", "Terminal (off)"}));
    selectText("Mail");
    EXPECT_EQ(list.buttons().toggleCaption, "Enable");
    list.cmdToggleDesktop_Click();
    EXPECT_EQ(list.buttons().toggleCaption, "Disable");
    EXPECT_NE(registered("Mail"), nullptr);
    ASSERT_TRUE(list.SaveStartFilter().ok());
    EXPECT_EQ(IsolatedEnvironment::readFile(list.filterFile()), "Editor\r\nTerminal\r\n");
}

TEST_F(StartListTest, refreshAnsweredNoChangesNothingAndYesDeletesTheListKeepingTheRows)
{
    list.LoadStartList();
    questions.answers = {false, true};
    list.cmdRefreshStart_Click();
    EXPECT_TRUE(QFile::exists(list.listFile()));
    EXPECT_TRUE(messages.shown.isEmpty());
    list.cmdRefreshStart_Click();
    EXPECT_FALSE(QFile::exists(list.listFile()));
    EXPECT_EQ(messages.shown, QStringList{"restart notice"});
    EXPECT_EQ(questions.asked, QStringList(2, "Refresh Start|Would you like to refresh the 'Start' list?"));
    EXPECT_EQ(list.rows().size(), 3u);
    EXPECT_NE(registered("Mail"), nullptr);
}

TEST_F(StartListTest, sourceBoxesStoreAndInvalidateOnlyOnceLoadingIsOver)
{
    list.LoadStartList();
    list.chkLoadStartMenu_Click(true);
    EXPECT_EQ(h.settings.m_LoadStartMenu, 0);
    EXPECT_TRUE(QFile::exists(list.listFile()));
    h.menus.setLoading(false);
    list.chkLoadStartMenu_Click(true);
    list.chkDesktopApplications_Click(false);
    list.chkLoadControlPanel_Click(true);
    EXPECT_EQ(list.sourceBits(), MokavelExports::kStartMenu | MokavelExports::kControlPanel);
    EXPECT_FALSE(QFile::exists(list.listFile()));
    EXPECT_EQ(messages.shown, QStringList(3, "restart notice"));
}

// End to end with the real library: a desktop of launchers becomes the page's rows.
TEST_F(StartListTest, theRealLibraryFillsTheListFromTheDesktopsLaunchers)
{
    env.setEnv("VORLIX_MOKAVEL", qEnvironmentVariable("VORLIX_BUILD_DIR") + "/lib/libMokavel.so");
    env.setEnv("PATH", env.path("bin"));
    env.setEnv("XDG_DATA_DIRS", env.path("shared"));
    const QString desktop = env.path("Desktop");
    ASSERT_TRUE(registry::writeValue(registry::Root::CurrentUser, registry::kShellFoldersKey, "Desktop",
                                     desktop.toStdString()));
    IsolatedEnvironment::writeFile(env.path("bin/calc"), "#!/bin/sh\n");
    QFile::setPermissions(env.path("bin/calc"), QFile::ReadOwner | QFile::ExeOwner);
    IsolatedEnvironment::writeFile(desktop + "/calc.desktop",
                                   "[Desktop Entry]\nType=Application\nName=Calculator\nExec=calc --mode \"sci fi\" %U\n");
    IsolatedEnvironment::writeFile(desktop + "/Setup.exe", "");
    MokavelLibrary real;
    StartList fromDesktop{env.root(), h.settings, h.menus, h.context, real, messages, questions};
    fromDesktop.LoadStartList();
    ASSERT_EQ(fromDesktop.rows().size(), 2u);
    const CVoiceCommand& calculator = *fromDesktop.StartItems().find("Calculator");
    EXPECT_EQ(calculator.m_Cmd, env.path("bin/calc"));
    EXPECT_EQ(calculator.m_CommandLine, "--mode 'sci fi'");
    EXPECT_EQ(fromDesktop.rows()[1].text, "Setup");
}
