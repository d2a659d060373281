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
    EXPECT_EQ(registered("Terminal"), list.StartItems().find("terminal"));
    selectText("Terminal");
    list.cmdRunDesktop_Click();
    EXPECT_TRUE(h.log.contains("say Terminal||1|0"));
    EXPECT_TRUE(h.log.contains("open /usr/bin/term|-e 'top'|1"));
}

TEST_F(StartListTest, anExistingListIsUsedAsItIsAFailedExportIsTriedAgainAndNoSourceMeansNoList)
{
    IsolatedEnvironment::writeFile(list.listFile(), "Old\r\n/old\r\n\r\n");
    list.LoadStartList();
    EXPECT_TRUE(library.calls.isEmpty());
    EXPECT_EQ(rowTexts(), QStringList{"Old"});

    QFile::remove(list.listFile());
    library.result = 0;
    auto next = nextStart(library);
    next->LoadStartList();
    EXPECT_TRUE(next->rows().empty());
    library.result = 1;
    auto third = nextStart(library);
    third->LoadStartList();
    EXPECT_EQ(library.calls.size(), 2);
    EXPECT_EQ(third->rows().size(), 3u);

    // With every source off even a list on disk is not read, and the filter is emptied at exit.
    IsolatedEnvironment::writeFile(list.filterFile(), "Mail\r\n");
    h.settings.m_LoadDesktop = h.settings.m_LoadStartMenu = h.settings.m_LoadControlPanel = 0;
    auto none = nextStart(library);
    none->LoadStartList();
    EXPECT_EQ(library.calls.size(), 2);
    EXPECT_TRUE(none->rows().empty());
    ASSERT_TRUE(none->SaveStartFilter().ok());
    EXPECT_EQ(IsolatedEnvironment::readFile(list.filterFile()), QByteArray());
}

TEST_F(StartListTest, aDisabledEntryLoadsDisabledInAnyLetterCaseAndHiddenWhileHideDisabledIsSet)
{
    IsolatedEnvironment::writeFile(list.filterFile(), "MAIL\r\nnot listed\r\n");
    list.LoadStartList();
    EXPECT_EQ(rowTexts(), QStringList({"Editor", "Mail (off)", "Terminal"}));
    EXPECT_EQ(registered("Mail"), nullptr);

    h.settings.m_HideDisabled = true;
    auto hiding = nextStart(library);
    hiding->LoadStartList();
    EXPECT_EQ(hiding->rows().size(), 2u);
    ASSERT_TRUE(hiding->SaveStartFilter().ok());
    EXPECT_EQ(IsolatedEnvironment::readFile(hiding->filterFile()), "Mail\r\n") << "the phrase as the list file has it";
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
    list.cmdToggleDesktop_Click();
    EXPECT_EQ(rowTexts(), QStringList({"Editor", "Mail", "EDITOR (off)"}));
}

// The selection following each removal is the page's test; here, what stays registered and stored.
TEST_F(StartListTest, disablingEveryRowWithHideDisabledEmptiesTheListAndTheFilterKeepsWhatIsOff)
{
    list.LoadStartList();
    h.menus.setLoading(false);
    list.chkHideDisabled_Click(true);
    EXPECT_FALSE(list.buttons().toggleEnabled) << "refilling the list drops the selection";
    for (const char* text : {"Mail", "Terminal", "Editor"}) {
        selectText(text);
        list.cmdToggleDesktop_Click();
    }
    EXPECT_TRUE(list.rows().empty());
    EXPECT_FALSE(list.buttons().runEnabled || list.buttons().toggleEnabled);
    EXPECT_EQ(registered("Mail"), nullptr);

    list.chkHideDisabled_Click(false);
    EXPECT_EQ(rowTexts(), QStringList({"Editor (off)", "Mail (off)", "Terminal (off)"}));
    selectText("Mail");
    list.cmdToggleDesktop_Click();
    EXPECT_NE(registered("Mail"), nullptr);
    ASSERT_TRUE(list.SaveStartFilter().ok());
    EXPECT_EQ(IsolatedEnvironment::readFile(list.filterFile()), "Editor\r\nTerminal\r\n");
}

// Both tell the user the list is rebuilt at the next start; the rows of this run stay.
TEST_F(StartListTest, refreshAndTheSourceBoxesDeleteTheListOnlyWhenAskedAndOnceLoadingIsOver)
{
    list.LoadStartList();
    list.chkLoadStartMenu_Click(true);   // the page setting its boxes while loading
    EXPECT_EQ(h.settings.m_LoadStartMenu, 0);
    h.menus.setLoading(false);
    questions.answers = {false, true};
    list.cmdRefreshStart_Click();
    EXPECT_TRUE(QFile::exists(list.listFile()));
    EXPECT_TRUE(messages.shown.isEmpty());
    list.cmdRefreshStart_Click();
    EXPECT_FALSE(QFile::exists(list.listFile()));
    EXPECT_EQ(list.rows().size(), 3u);
    EXPECT_NE(registered("Mail"), nullptr);

    IsolatedEnvironment::writeFile(list.listFile(), "Old\r\n/old\r\n\r\n");
    list.chkLoadStartMenu_Click(true);
    list.chkDesktopApplications_Click(false);
    list.chkLoadControlPanel_Click(true);
    EXPECT_EQ(list.sourceBits(), MokavelExports::kStartMenu | MokavelExports::kControlPanel);
    EXPECT_FALSE(QFile::exists(list.listFile()));
    EXPECT_EQ(messages.shown.size(), 4);
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
    auto fromDesktop = nextStart(real);
    fromDesktop->LoadStartList();
    ASSERT_EQ(fromDesktop->rows().size(), 2u);
    const CVoiceCommand& calculator = *fromDesktop->StartItems().find("Calculator");
    EXPECT_EQ(calculator.m_Cmd + " " + calculator.m_CommandLine, env.path("bin/calc") + " --mode 'sci fi'");
    EXPECT_EQ(fromDesktop->rows()[1].text, "Setup");
}
