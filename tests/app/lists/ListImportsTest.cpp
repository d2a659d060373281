#include "tests/fakes/FakeMokavelExports.h"
#include "tests/fakes/FakeQuestions.h"
#include "tests/fakes/VoiceFakes.h"

#include "app/lists/ListImports.h"
#include "app/lists/UserList.h"
#include "app/lists/frmImportDocs.h"
#include "app/voice/CVoiceCommand.h"

#include <QComboBox>
#include <QFile>

#include <gtest/gtest.h>

namespace {

class ListImportsTest : public IsolatedTest {
protected:
    void SetUp() override { ASSERT_TRUE(h.menus.CreateVoiceMenu().ok()); }

    static QStringList entries(const UserList& list)
    {
        QStringList result;
        for (const auto& command : list.commands())
            result << command->m_Voice + " " + command->m_Cmd;
        return result;
    }

    VoiceHarness h;
    FakeMokavelExports library;
    FakeQuestions questions;
    QStringList events;
    std::optional<QString> chosenFolder;
    UserList documents{ListKind::Documents, h.menus, h.context, env.root()};
    UserList webSites{ListKind::WebSites, h.menus, h.context, env.root()};
    ListImports imports{env.root(), documents, webSites,
                        ListImports::Services{
                            h.menus, library, questions,
                            [this](const QString& folder) {
                                events << "choose " + folder;
                                return chosenFolder;
                            },
                            [this](bool waiting) { events << (waiting ? "wait" : "normal"); },
                            [this](UserList& list) { events << "buttons " + list.kind().fileName; }}};
};

// Names and paths come from foreign folders: trimmed, empty ones skipped, a path already
// listed (in any letter case) or a phrase already taken adds nothing.
TEST_F(ListImportsTest, documentsAreAddedOnceWithTheirNameAsSpeechAndNoGesture)
{
    library.documents = {{" Report ", " /docs/report.doc ", ""}, {"Notes", "/docs/notes.txt", ""},
                         {"Notes", "/docs/notes.odt", ""}, {"", "/docs/x.txt", ""}, {"Empty", "  ", ""},
                         {"Other", "/DOCS/REPORT.DOC", ""}};
    imports.ImportDocuments("/docs");
    EXPECT_EQ(library.calls, QStringList{"ExportPersonalDocs /docs " + env.path("documents.dat")});
    EXPECT_EQ(entries(documents), QStringList({"Report /docs/report.doc", "Notes /docs/notes.txt"}));
    const CVoiceCommand& report = *documents.commands().find("Report");
    EXPECT_EQ(report.m_WhatToSay + "|" + report.m_Gesture, "Report|None");
    const QByteArray file = IsolatedEnvironment::readFile(documents.file());

    imports.ImportDocuments("/docs");
    EXPECT_EQ(IsolatedEnvironment::readFile(documents.file()), file) << "a second import adds nothing";
}

TEST_F(ListImportsTest, aDocumentNamedLikeAnyRegisteredPhraseIsSkippedAFavouriteOnlyByTheWebSites)
{
    CVoiceCommand program(h.context);
    program.m_Voice = "Mail";
    h.menus.RegisterCommand(program);
    ASSERT_TRUE(webSites.Add({"News", "http://News.example/", "News", "None", {}}));
    library.documents = {{"mail", "/docs/mail.txt", ""}};
    library.favorites = {{"Mail", "http://mail/", ""}, {"Paper", "HTTP://NEWS.EXAMPLE/", ""},
                         {"Mail", "http://second-mail/", ""}, {"Weather", "http://weather/", ""}};
    imports.ImportDocuments("/docs");
    imports.ImportFavorites();
    EXPECT_TRUE(documents.commands().isEmpty());
    EXPECT_EQ(entries(webSites), QStringList({"News http://News.example/", "Mail http://mail/", "Weather http://weather/"}));
    EXPECT_EQ(h.menus.GetVCCommand("mail"), webSites.commands().find("Mail")) << "registered last, it takes the phrase";
    h.menus.UnregisterCommand(program);
}

TEST_F(ListImportsTest, aFailedExportOrAMissingFileImportsNothingAndAnOlderFileIsReadAgain)
{
    library.favorites = {{"Weather", "http://weather/", ""}};
    library.result = 0;
    imports.ImportFavorites();
    EXPECT_TRUE(webSites.commands().isEmpty());
    library.result = 1;
    library.favorites.clear();
    IsolatedEnvironment::writeFile(env.path("favorites.dat"), "Old\r\nhttp://old/\r\n\r\n");
    imports.ImportFavorites();
    EXPECT_EQ(entries(webSites), QStringList{"Old http://old/"});
}

TEST_F(ListImportsTest, theImportButtonsAskFirstAndKeepTheMenusOffMeanwhile)
{
    library.favorites = {{"Weather", "http://weather/", ""}};
    library.documents = {{"Report", "/home/user/Documents/report.doc", ""}};
    h.menus.ActivateMenus();
    questions.answers = {false, true};
    imports.cmdImportURL_Click();
    EXPECT_TRUE(webSites.commands().isEmpty());
    imports.cmdImportURL_Click();
    EXPECT_EQ(webSites.commands().count(), 1);
    EXPECT_EQ(events.filter("buttons"), QStringList{"buttons Web.INI"});   // the page shows the new entry

    imports.cmdImportDocs_Click();
    EXPECT_TRUE(documents.commands().isEmpty()) << "no folder chosen";
    chosenFolder = "/home/user/Documents";
    imports.cmdImportDocs_Click();
    EXPECT_EQ(entries(documents), QStringList{"Report /home/user/Documents/report.doc"});
    EXPECT_TRUE(h.listening());
}

// An import writes the file once; it must read exactly as the same entries added one by one.
TEST_F(ListImportsTest, aBatchedImportWritesTheSameFileAsAddsMadeOneByOne)
{
    for (int i = 0; i < 3; ++i)
        library.favorites.push_back({QStringLiteral("Site %1").arg(i), QStringLiteral("http://%1/").arg(i), ""});
    imports.ImportFavorites();
    UserList oneByOne{ListKind::WebSites, h.menus, h.context, env.path("single")};
    QDir().mkpath(env.path("single"));
    for (const ExportRecord& record : library.favorites)
        ASSERT_TRUE(oneByOne.Add({record.name, record.target, record.name, "None", {}}));
    EXPECT_EQ(IsolatedEnvironment::readFile(webSites.file()), IsolatedEnvironment::readFile(oneByOne.file()));
}

TEST(frmImportDocsTest, placesShowTheirFolderTreeAndAnUnreadablePlaceLeavesTheListAsItWas)
{
    IsolatedEnvironment env;
    QDir().mkpath(env.path("home/Documents/Letters"));
    QDir().mkpath(env.path("stick"));
    frmImportDocs form({{"Home", env.path("home")}, {"Stick", env.path("stick")}, {"Gone", env.path("no-medium")}});
    form.setFolder(env.path("home/Documents/Letters"));
    EXPECT_EQ(form.cmbDrive->currentText(), "Home");
    EXPECT_EQ(form.folder(), env.path("home/Documents/Letters"));
    form.cmbDrive->setCurrentIndex(1);
    form.cmbDrive->setCurrentIndex(2);
    EXPECT_EQ(form.cmbDrive->currentText(), "Stick");
    EXPECT_EQ(form.folder(), env.path("stick"));
}

} // namespace
