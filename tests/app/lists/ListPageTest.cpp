#include "tests/fakes/FakeMessageWindows.h"
#include "tests/fakes/FakeModalHost.h"
#include "tests/fakes/VoiceFakes.h"

#include "app/lists/ListPage.h"
#include "app/lists/EntryDialog.h"
#include "app/lists/UserList.h"
#include "app/voice/CVoiceCommand.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

template <typename T>
T* child(QWidget& parent, const char* name)
{
    T* found = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

class ListPageTest : public IsolatedTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(h.menus.CreateVoiceMenu().ok());
        h.menus.AddSystemCommands(h.context);   // "Listen", "Stop Listening", "Show", "Hide"
        for (ListPage* page : {&programs, &documents, &webSites})
            page->setGestureNames({"None", "Wave", "Think"});
    }

    // Types the phrase and path into the open dialog.
    static void type(QDialog& dialog, const QString& phrase, const QString& path)
    {
        QTest::keyClicks(child<QLineEdit>(dialog, "txtvoice"), phrase);
        QTest::keyClicks(child<QLineEdit>(dialog, "TextAppPath"), path);
    }
    static QLineEdit* field(QDialog& dialog, const char* name) { return child<QLineEdit>(dialog, name); }
    static void press(QDialog& dialog, Qt::Key key) { QTest::keyClick(&dialog, key); }
    static QStringList rows(const ListPage& page)
    {
        QStringList texts;
        for (int i = 0; i < page.listView->topLevelItemCount(); ++i)
            texts << page.listView->topLevelItem(i)->text(0);
        return texts;
    }
    void addThroughDialog(ListPage& page, const QString& phrase, const QString& path)
    {
        host.whileOpen = [&](QDialog& dialog) {
            type(dialog, phrase, path);
            press(dialog, Qt::Key_Return);
        };
        QTest::mouseClick(page.cmdAdd, Qt::LeftButton);
    }

    VoiceHarness h;
    FakeMessageWindows messages;
    FakeModalHost host;
    QStringList programsFound{"/usr/bin/gimp", "gimp"};
    ListPage::Services services{
        h.menus, host,
        EntryDialog::Services{h.context, messages, h.menus, [this](const QString& p) { return h.menus.CommandExists(p); },
                              [this](const QString& p) { return programsFound.contains(p); },
                              [](QWidget*, const QStringList&, const QString& current) { return current; }}};
    UserList programList{ListKind::Programs, h.menus, h.context, env.root()};
    UserList documentList{ListKind::Documents, h.menus, h.context, env.root()};
    UserList webList{ListKind::WebSites, h.menus, h.context, env.root()};
    ListPage programs{programList, services};
    ListPage documents{documentList, services};
    ListPage webSites{webList, services};
};

// Blanks, a taken phrase (a built-in one in other case) and a missing program are all
// refused with the dialog kept open; only the fourth try is added.
TEST_F(ListPageTest, AddingAProgramRefusesBadInputAndWritesItsFileOnlyOnceItIsValid)
{
    QStringList seen;
    host.whileOpen = [&](QDialog& dialog) {
        auto* ok = child<QPushButton>(dialog, "cmdOkAddApp");
        type(dialog, "   ", "  ");
        EXPECT_FALSE(ok->isEnabled() || child<QPushButton>(dialog, "CommandTest")->isEnabled());
        for (const auto& [phrase, path] : {std::pair{" hide", "gimp"}, {"Paint", "/no/such/program"}}) {
            field(dialog, "txtvoice")->setText(phrase);
            field(dialog, "TextAppPath")->setText(path);
            QTest::mouseClick(ok, Qt::LeftButton);
            seen << QString::number(dialog.isVisible());
        }
        EXPECT_FALSE(h.listening());                        // still off while the dialog is open
        field(dialog, "txtvoice")->setText(" Draw ");
        field(dialog, "TextAppPath")->setText("gimp");      // a command on PATH will do
        QTest::keyClicks(field(dialog, "TextCommandLine"), " --new ");
        child<QComboBox>(dialog, "cboAppdocGesture")->setCurrentText("Wave");
        press(dialog, Qt::Key_Return);
        seen << QString::number(dialog.isVisible());
    };
    QTest::mouseClick(programs.cmdAdd, Qt::LeftButton);
    EXPECT_EQ(seen, QStringList({"1", "1", "0"}));
    EXPECT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(rows(programs), QStringList{"Draw"});
    EXPECT_FALSE(h.menus.CommandExists("Paint"));
    EXPECT_TRUE(IsolatedEnvironment::readFile(env.path("apps.INI")).startsWith(
        "[app1]\r\nvoice=Draw\r\nApplication=gimp\r\nspeech=\r\ntype=1\r\nGesture=Wave\r\nCommandLine= --new \r\n"));
    EXPECT_TRUE(h.listening());   // listening comes back after the dialog
}

// Keeping its own phrase is no clash, but a case-only change or another entry's phrase is.
TEST_F(ListPageTest, EditingKeepsOrChangesThePhraseButRefusesTakenOnes)
{
    addThroughDialog(documents, "Letter", "/home/a/letter.odt");
    addThroughDialog(documents, "Budget", "/home/a/budget.ods");
    documents.listView->setCurrentItem(documents.listView->topLevelItem(0));
    const auto edit = [&](const QStringList& phrases, const QString& speech = {}) {
        host.whileOpen = [&](QDialog& dialog) {
            EXPECT_EQ(field(dialog, "TextAppPath")->text(), "/home/a/letter.odt");
            field(dialog, "TextCharacter")->setText(speech);
            for (const QString& phrase : phrases) {
                field(dialog, "txtvoice")->setText(phrase);
                press(dialog, Qt::Key_Return);
                EXPECT_EQ(dialog.isVisible(), phrase != phrases.last()) << phrase.toStdString();
            }
        };
        QTest::mouseClick(documents.cmdEdit, Qt::LeftButton);
    };
    edit({"LETTER", "Letter"}, "Dear sir");
    EXPECT_EQ(rows(documents), QStringList({"Letter", "Budget"}));
    EXPECT_EQ(documents.listView->topLevelItem(0)->text(1), "Dear sir");
    edit({"Budget", "My letter"});
    EXPECT_EQ(rows(documents), QStringList({"My letter", "Budget"}));   // the row keeps its place
    EXPECT_EQ(messages.shown.size(), 2);
}

// Remove and a double click act on the selected row, whichever row a removal left selected.
TEST_F(ListPageTest, RemovalActsOnTheSelectedRowAndTheLastRemovalDisablesTheButtons)
{
    for (const char* phrase : {"One", "Two", "Three"})
        addThroughDialog(webSites, phrase, QStringLiteral("https://example.org/") + phrase);
    QTreeWidget& view = *webSites.listView;
    QTest::mouseClick(webSites.cmdRemove, Qt::LeftButton);   // the added row is selected
    view.setCurrentItem(view.topLevelItem(0));
    QTest::mouseClick(webSites.cmdRemove, Qt::LeftButton);
    EXPECT_EQ(rows(webSites), QStringList{"Two"});

    h.log.clear();
    webSites.show();
    QCoreApplication::processEvents();
    const QPoint row = view.visualItemRect(view.topLevelItem(0)).center();
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, row);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, row);
    EXPECT_TRUE(h.log.contains("open https://example.org/Two||1")) << h.log.join('\n').toStdString();

    QTest::mouseClick(webSites.cmdRemove, Qt::LeftButton);
    EXPECT_TRUE(rows(webSites).isEmpty());
    EXPECT_FALSE(webSites.cmdEdit->isEnabled() || webSites.cmdRemove->isEnabled() || webSites.cmdRun->isEnabled());
    EXPECT_FALSE(h.menus.CommandExists("Two"));
}

} // namespace
