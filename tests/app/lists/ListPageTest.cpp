#include "tests/fakes/FakeMessageWindows.h"
#include "tests/fakes/FakeModalHost.h"
#include "tests/fakes/VoiceFakes.h"

#include "app/lists/ListPage.h"
#include "app/lists/UserList.h"
#include "app/lists/frmAddAppDoc.h"
#include "app/lists/frmAddDoc.h"
#include "app/voice/CVoiceCommand.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
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

    // Fills the open dialog's phrase and path and presses a key in it.
    static void type(QDialog& dialog, const QString& phrase, const QString& path)
    {
        QTest::keyClicks(child<QLineEdit>(dialog, "txtvoice"), phrase);
        QTest::keyClicks(child<QLineEdit>(dialog, "TextAppPath"), path);
    }
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

TEST_F(ListPageTest, ThePagesCarryTheirNamesCaptionsAndColumns)
{
    EXPECT_EQ(programs.frame->title(), " My Programs");
    EXPECT_EQ(webSites.frame->title(), " Web Addresses");
    EXPECT_EQ(programs.listView->objectName(), "lstApps");
    EXPECT_EQ(documents.listView->objectName(), "lstDocs");
    EXPECT_EQ(webSites.listView->headerItem()->text(3), "Address");
    EXPECT_EQ(programs.listView->headerItem()->text(4), "Command Line");
    EXPECT_EQ(documents.listView->columnCount(), 4);
    EXPECT_EQ(child<QPushButton>(documents, "cmdRunDoc")->text(), "Open");
    EXPECT_TRUE(child<QPushButton>(webSites, "cmdImportURL")->font().bold());
    EXPECT_EQ(programs.cmdImport, nullptr);
    for (QPushButton* button : {programs.cmdEdit, programs.cmdRemove, programs.cmdRun})
        EXPECT_FALSE(button->isEnabled());
    QTest::mouseClick(child<QPushButton>(webSites, "cmdWebSitesHelp"), Qt::LeftButton);
    EXPECT_EQ(messages.shown, QStringList{QStringLiteral("page help %1").arg(int(HelpTopic::WebSites))});
}

TEST_F(ListPageTest, AddingAProgramThroughTheDialogShowsItsRowAndWritesItsFile)
{
    host.whileOpen = [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Add Program");
        auto* ok = child<QPushButton>(dialog, "cmdOkAddApp");
        EXPECT_FALSE(ok->isEnabled());
        type(dialog, "   ", "  ");                      // blanks only: nothing to add or test
        EXPECT_FALSE(ok->isEnabled());
        EXPECT_FALSE(child<QPushButton>(dialog, "CommandTest")->isEnabled());
        child<QLineEdit>(dialog, "txtvoice")->setText(" Draw ");
        child<QLineEdit>(dialog, "TextAppPath")->setText("gimp");   // a command on PATH will do
        EXPECT_TRUE(ok->isEnabled());
        QTest::keyClicks(child<QLineEdit>(dialog, "TextCommandLine"), " --new ");
        child<QComboBox>(dialog, "cboAppdocGesture")->setCurrentText("Wave");
        press(dialog, Qt::Key_Return);
    };
    QTest::mouseClick(programs.cmdAdd, Qt::LeftButton);
    EXPECT_EQ(rows(programs), QStringList{"Draw"});
    EXPECT_EQ(programs.listView->topLevelItem(0)->text(4), " --new ");   // the command line as typed
    EXPECT_TRUE(programs.cmdEdit->isEnabled() && programs.cmdRun->isEnabled());
    EXPECT_TRUE(h.menus.CommandExists("draw"));
    EXPECT_TRUE(IsolatedEnvironment::readFile(env.path("apps.INI")).startsWith(
        "[app1]\r\nvoice=Draw\r\nApplication=gimp\r\nspeech=\r\ntype=1\r\nGesture=Wave\r\nCommandLine= --new \r\n"));
    EXPECT_TRUE(h.listening());   // listening comes back after the dialog
}

TEST_F(ListPageTest, OkRefusesTakenPhrasesAndMissingProgramsAndKeepsTheDialogOpen)
{
    addThroughDialog(programs, "Draw", "/usr/bin/gimp");
    QStringList seen;
    host.whileOpen = [&](QDialog& dialog) {
        type(dialog, " hide", "/usr/bin/gimp");             // a built-in phrase in other case
        press(dialog, Qt::Key_Return);
        seen << QString::number(dialog.isVisible());
        EXPECT_FALSE(h.listening());                        // still off while the dialog is open
        child<QLineEdit>(dialog, "txtvoice")->setText("Paint");
        child<QLineEdit>(dialog, "TextAppPath")->setText("/no/such/program");
        QTest::mouseClick(child<QPushButton>(dialog, "cmdOkAddApp"), Qt::LeftButton);
        seen << QString::number(dialog.isVisible());
        EXPECT_TRUE(child<QLineEdit>(dialog, "TextAppPath")->hasFocus() || !dialog.isActiveWindow());
        press(dialog, Qt::Key_Escape);
        seen << QString::number(dialog.isVisible());
    };
    QTest::mouseClick(programs.cmdAdd, Qt::LeftButton);
    EXPECT_EQ(seen, QStringList({"1", "1", "0"}));
    EXPECT_EQ(messages.shown, QStringList({"message The voice command  hide already exists.|1",
                                           "message Application Does Not Exist|1"}));
    EXPECT_EQ(rows(programs), QStringList{"Draw"});
    EXPECT_FALSE(h.menus.CommandExists("Paint"));
}

TEST_F(ListPageTest, EditingKeepsOrChangesThePhraseButACaseOnlyChangeIsRefused)
{
    addThroughDialog(documents, "Letter", "/home/a/letter.odt");
    addThroughDialog(documents, "Budget", "/home/a/budget.ods");
    documents.listView->setCurrentItem(documents.listView->topLevelItem(0));

    host.whileOpen = [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Edit Document");
        EXPECT_EQ(child<QLineEdit>(dialog, "TextAppPath")->text(), "/home/a/letter.odt");
        EXPECT_TRUE(child<QPushButton>(dialog, "OKButton")->isEnabled());
        child<QLineEdit>(dialog, "txtvoice")->setText("LETTER");
        press(dialog, Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());                    // still registered as "Letter"
        child<QLineEdit>(dialog, "txtvoice")->setText("Letter");
        child<QLineEdit>(dialog, "TextCharacter")->setText("Dear sir");
        press(dialog, Qt::Key_Return);
        EXPECT_FALSE(dialog.isVisible());
    };
    QTest::mouseClick(documents.cmdEdit, Qt::LeftButton);
    EXPECT_EQ(rows(documents), QStringList({"Letter", "Budget"}));
    EXPECT_EQ(documents.listView->topLevelItem(0)->text(1), "Dear sir");

    host.whileOpen = [&](QDialog& dialog) {
        child<QLineEdit>(dialog, "txtvoice")->setText("Budget");   // another entry's phrase
        press(dialog, Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());
        child<QLineEdit>(dialog, "txtvoice")->setText("My letter");
        press(dialog, Qt::Key_Return);
    };
    QTest::mouseClick(documents.cmdEdit, Qt::LeftButton);
    EXPECT_EQ(rows(documents), QStringList({"My letter", "Budget"}));   // the row keeps its place
    EXPECT_EQ(documentList.commands().at(1).m_Voice, "My letter");      // the entry moves last
    EXPECT_EQ(messages.shown.size(), 2);
}

TEST_F(ListPageTest, TheWebSiteDialogTestsTheAddressWithoutSavingAndTheCloseBoxCancels)
{
    host.whileOpen = [&](QDialog& dialog) {
        EXPECT_EQ(dialog.objectName(), "frmAddDoc");
        EXPECT_EQ(dialog.windowTitle(), "Add Web Site");
        EXPECT_EQ(child<QLabel>(dialog, "LabelDocPath")->text(), "Web Site Address");
        EXPECT_FALSE(child<QPushButton>(dialog, "CommandBrowse")->isVisible());
        type(dialog, "Weather", "https://weather.example");
        QTest::mouseClick(child<QPushButton>(dialog, "CommandTest"), Qt::LeftButton);
        dialog.close();
    };
    QTest::mouseClick(webSites.cmdAdd, Qt::LeftButton);
    EXPECT_TRUE(h.log.contains("open https://weather.example||1")) << h.log.join('\n').toStdString();
    EXPECT_TRUE(rows(webSites).isEmpty());
    EXPECT_FALSE(h.menus.CommandExists("Weather"));
    EXPECT_FALSE(QFile::exists(env.path("Web.INI")));

    host.whileOpen = [&](QDialog& dialog) {   // each dialog starts from its design texts
        EXPECT_EQ(dialog.windowTitle(), "Add  Document");
        EXPECT_EQ(child<QLabel>(dialog, "LabelDocPath")->text(), "&Document path");
        child<QLineEdit>(dialog, "TextAppPath")->setText("/kept");
        QTest::mouseClick(child<QPushButton>(dialog, "CommandBrowse"), Qt::LeftButton);   // cancelled
        EXPECT_EQ(child<QLineEdit>(dialog, "TextAppPath")->text(), "/kept");
    };
    QTest::mouseClick(documents.cmdAdd, Qt::LeftButton);
}

TEST_F(ListPageTest, RemovalSelectsTheNextRowAndTheLastRemovalDisablesTheButtons)
{
    for (const char* phrase : {"One", "Two", "Three"})
        addThroughDialog(webSites, phrase, "https://example.org");
    EXPECT_EQ(webSites.listView->currentItem()->text(0), "Three");   // an added row is selected
    QTest::mouseClick(webSites.cmdRemove, Qt::LeftButton);
    EXPECT_EQ(webSites.listView->currentItem()->text(0), "Two");     // the new last row
    webSites.listView->setCurrentItem(webSites.listView->topLevelItem(0));
    QTest::mouseClick(webSites.cmdRemove, Qt::LeftButton);
    EXPECT_EQ(webSites.listView->currentItem()->text(0), "Two");
    EXPECT_TRUE(IsolatedEnvironment::readFile(env.path("Web.INI")).contains("NextEntry=4\r\nwebnum=1\r\n"));

    h.log.clear();
    webSites.show();
    QCoreApplication::processEvents();
    const QPoint row = webSites.listView->visualItemRect(webSites.listView->topLevelItem(0)).center();
    QTest::mousePress(webSites.listView->viewport(), Qt::LeftButton, {}, row);
    QTest::mouseDClick(webSites.listView->viewport(), Qt::LeftButton, {}, row);
    EXPECT_TRUE(h.log.contains("open https://example.org||1")) << h.log.join('\n').toStdString();

    QTest::mouseClick(webSites.cmdRemove, Qt::LeftButton);
    EXPECT_TRUE(rows(webSites).isEmpty());
    for (QPushButton* button : {webSites.cmdEdit, webSites.cmdRemove, webSites.cmdRun})
        EXPECT_FALSE(button->isEnabled());
    EXPECT_FALSE(h.menus.CommandExists("Two"));
}

TEST(EntryDialogFilter, ThePartsFiltersBecomeFileDialogFilters)
{
    EXPECT_EQ(EntryDialog::convertFilter("Application (*.exe)|*.exe|Batch Files (*.bat)|*.bat"),
              QStringList({"Application (*.exe)", "Batch Files (*.bat)"}));
    EXPECT_EQ(EntryDialog::convertFilter("Text File (*.txt)|*.txt |All Files (*.*)|*.*"),
              QStringList({"Text File (*.txt)", "All Files (*)"}));
}

} // namespace
