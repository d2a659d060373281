#include "tests/fakes/VoiceFakes.h"

#include "app/lists/UserList.h"
#include "app/voice/CVoiceCommand.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

class UserListTest : public IsolatedTest {
protected:
    void SetUp() override { ASSERT_TRUE(h.menus.CreateVoiceMenu().ok()); }

    QByteArray fileOf(const ListKind& kind) const { return IsolatedEnvironment::readFile(env.path(kind.fileName)); }
    void writeFileOf(const ListKind& kind, const QByteArray& text) { IsolatedEnvironment::writeFile(env.path(kind.fileName), text); }
    std::unique_ptr<UserList> list(const ListKind& kind) { return std::make_unique<UserList>(kind, h.menus, h.context, env.root()); }
    static QStringList phrases(const UserList& from)
    {
        QStringList result;
        for (const auto& command : from.commands())
            result << command->m_Voice + QLatin1Char('@') + command->m_IniSection;
        return result;
    }
    static ListEntry entry(const QString& phrase)
    {
        return ListEntry{phrase, QStringLiteral("/t"), QStringLiteral("Here it is"), QStringLiteral("Wave"), QString()};
    }

    VoiceHarness h;
};

// Removal leaves a gap and "NextEntry" keeps growing, so a kill between writes never
// reuses a section; only the full rewrite numbers from one again.
TEST_F(UserListTest, RemovalLeavesAGapUntilTheRewriteRenumbers)
{
    auto documents = list(ListKind::Documents);
    for (const char* phrase : {"Letter", "Budget", "Diary"})
        ASSERT_TRUE(documents->Add(entry(phrase)));
    ASSERT_TRUE(documents->Remove(*documents->commands().find("budget")));
    EXPECT_FALSE(h.menus.CommandExists("Budget"));
    const QByteArray afterRemoval = fileOf(ListKind::Documents);
    EXPECT_FALSE(afterRemoval.contains("[doc2]"));
    EXPECT_TRUE(afterRemoval.contains("NextEntry=4\r\ndocsnum=2\r\n"));

    documents.reset();
    auto reloaded = list(ListKind::Documents);
    reloaded->Load();
    EXPECT_EQ(phrases(*reloaded), QStringList({"Letter@doc1", "Diary@doc3"}));
    ASSERT_TRUE(reloaded->Save());   // later edits must write into the renumbered sections
    EXPECT_EQ(phrases(*reloaded), QStringList({"Letter@doc1", "Diary@doc2"}));
}

TEST_F(UserListTest, AnEditedPhraseMovesItsEntryLastAndKeepsItsSectionUntilTheRewrite)
{
    auto programs = list(ListKind::Programs);
    ASSERT_TRUE(programs->Add(ListEntry{"Editor", "/usr/bin/ed", "", "None", "-p"}));
    ASSERT_TRUE(programs->Add(ListEntry{"Paint", "/usr/bin/paint", "", "None", ""}));
    CVoiceCommand& editor = *programs->commands().find("Editor");
    ASSERT_TRUE(programs->Edit(editor, ListEntry{"Writer", "/usr/bin/ed", "Writing", "Write", "-q"}));
    EXPECT_EQ(phrases(*programs), QStringList({"Paint@app2", "Writer@app1"}));
    EXPECT_EQ(h.menus.GetVCCommand("writer"), &editor);
    EXPECT_FALSE(h.menus.CommandExists("Editor"));
    EXPECT_TRUE(fileOf(ListKind::Programs).startsWith("[app1]\r\nvoice=Writer\r\n"));
    ASSERT_TRUE(programs->Save());
    EXPECT_TRUE(fileOf(ListKind::Programs).startsWith("[app1]\r\nvoice=Paint\r\n"));
}

// Hand-edited or old files: any letter case, gaps, empty or repeated phrases, overlong
// values, a count larger than the entries.
TEST_F(UserListTest, LoadingTakesTheFileAsItIsAndTheRewriteMendsIt)
{
    writeFileOf(ListKind::Programs,
                "[GLOBAL]\r\nAPPSNUM=9\r\n"
                "[app1]\r\nvoice=\r\nApplication=/gone\r\n"                              // empty phrase: no entry
                "[APP2]\r\nVOICE=Browser\r\napplication=/usr/bin/web\r\ntype=4\r\nCommandLine=--new\r\nGesture=\r\n"
                "[app5]\r\nvoice=Mail\r\nspeech=" + QByteArray(1500, 'x') + "\r\n"
                "[app6]\r\nvoice=MAIL\r\n"                                              // repeats a phrase
                "[app32767]\r\nvoice=Last\r\n");
    auto programs = list(ListKind::Programs);
    programs->Load();
    EXPECT_EQ(phrases(*programs), QStringList({"Browser@app2", "Mail@app5", "Last@app32767"}));
    const CVoiceCommand& browser = *programs->commands().find("browser");
    EXPECT_EQ(browser.m_Gesture, "None");
    EXPECT_EQ(browser.m_CommandLine, "--new");
    EXPECT_EQ(programs->commands().find("mail")->m_WhatToSay.size(), 1023);

    // A program entry typed as a document opens without its command line until the rewrite.
    h.menus.GetVCCommand("Browser")->Execute();
    EXPECT_TRUE(h.log.contains("open /usr/bin/web||1")) << h.log.join('\n').toStdString();

    ASSERT_TRUE(programs->Save());
    const QByteArray saved = fileOf(ListKind::Programs);
    EXPECT_FALSE(saved.contains("/gone"));
    EXPECT_TRUE(saved.startsWith("[app1]\r\nvoice=Browser\r\nApplication=/usr/bin/web\r\nspeech=\r\ntype=1\r\nGesture=None\r\n"
                                 "CommandLine=--new\r\n[app2]\r\nvoice=Mail\r\n"));
    EXPECT_TRUE(saved.endsWith("[Global]\r\nNextEntry=4\r\nappsnum=3\r\n"));
}

TEST_F(UserListTest, AddsThatWouldPassTheHighestNumberOrWriteIntoAnOldEntryAreRefused)
{
    writeFileOf(ListKind::Documents, "[Global]\r\nNextEntry=32767\r\ndocsnum=4\r\n");
    auto documents = list(ListKind::Documents);
    ASSERT_FALSE(documents->Add(entry("One more")));
    EXPECT_TRUE(documents->commands().isEmpty());
    EXPECT_FALSE(h.menus.CommandExists("One more"));

    // "NextEntry" set back by hand: the new entry takes the next free number.
    writeFileOf(ListKind::Documents, "[Global]\r\nNextEntry=1\r\ndocsnum=1\r\n[doc1]\r\nvoice=Old\r\n");
    ASSERT_TRUE(documents->Add(entry("New")));
    EXPECT_TRUE(fileOf(ListKind::Documents).startsWith("[Global]\r\nNextEntry=3\r\ndocsnum=2\r\n[doc1]\r\nvoice=Old\r\n"));
}

TEST_F(UserListTest, AFileThatCannotBeWrittenIsReportedWithItsName)
{
    QDir().mkpath(env.path("Web.INI"));   // a folder where the file should be
    auto webSites = list(ListKind::WebSites);
    const Result<CVoiceCommand*> added = webSites->Add(entry("Weather"));
    ASSERT_FALSE(added);
    EXPECT_TRUE(added.error().message.contains(env.path("Web.INI"))) << added.error().message.toStdString();
    EXPECT_EQ(webSites->commands().count(), 1);   // kept for this run; the rewrite at exit tries again
    EXPECT_FALSE(webSites->Save());
}

} // namespace
