#include "tests/app/macros/MacroTestSupport.h"

#include "app/macros/MacrosPage.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

namespace {

class MacrosPageTest : public MacroTest {
protected:
    void SetUp() override
    {
        MacroTest::SetUp();
        page.setGestureNames({"None", "Wave", "Write"});
    }
    template <typename T>
    T* child(const char* name)
    {
        T* widget = page.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QTreeWidget* list() { return child<QTreeWidget>("lstMacros"); }
    void click(const char* button) { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }
    void select(int row) { list()->setCurrentItem(list()->topLevelItem(row)); }
    QStringList items()
    {
        QStringList texts;
        for (int i = 0; i < list()->topLevelItemCount(); ++i)
            texts << list()->topLevelItem(i)->text(0);
        return texts;
    }
    QString selectedText()
    {
        const QList<QTreeWidgetItem*> selected = list()->selectedItems();
        return selected.isEmpty() ? QString() : selected.first()->text(0);
    }
    bool detailsEnabled() { return child<QGroupBox>("FrameMacro")->isEnabled(); }
    bool removeEnabled() { return child<QPushButton>("cmdMacroRemove")->isEnabled(); }
    void typeIntoPhrase(const QString& text)
    {
        QLineEdit* box = child<QLineEdit>("txtMacroVoice");
        box->selectAll();
        QTest::keyClicks(box, text);
    }

    MacrosPage page{macros};
};

TEST_F(MacrosPageTest, TheListHasOneColumnAndEmptyPageDisablesDetailsAndRemove)
{
    EXPECT_EQ(list()->columnCount(), 1);
    EXPECT_EQ(list()->headerItem()->text(0), QStringLiteral("Macro Name"));
    page.LoadMacros();
    EXPECT_FALSE(detailsEnabled());
    EXPECT_FALSE(removeEnabled());
    EXPECT_TRUE(child<QPushButton>("cmdMacroAdd")->isEnabled());
    EXPECT_EQ(child<QPlainTextEdit>("txtMacroText")->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

TEST_F(MacrosPageTest, LoadingSelectsTheFirstMacroAndShowsItsDetails)
{
    writeMacroFile(QStringLiteral("a.txt"), "Sign\r\nWave\r\nSigning\r\n\"Kind\r\nregards\"\r\n");
    writeMacroFile(QStringLiteral("b.txt"), "Other\r\nNoSuchGesture\r\n\r\n\"x\"\r\n");
    page.LoadMacros();
    EXPECT_EQ(items(), QStringList({"Sign", "Other"}));
    EXPECT_EQ(selectedText(), QStringLiteral("Sign"));
    EXPECT_FALSE(list()->topLevelItem(0)->icon(0).isNull());
    EXPECT_EQ(child<QLineEdit>("txtMacroVoice")->text(), QStringLiteral("Sign"));
    EXPECT_EQ(child<QPlainTextEdit>("txtMacroText")->toPlainText(), QStringLiteral("Kind\nregards"));
    EXPECT_EQ(child<QLineEdit>("txtMacroSay")->text(), QStringLiteral("Signing"));
    EXPECT_EQ(child<QComboBox>("cboMacroGesture")->currentText(), QStringLiteral("Wave"));

    select(1);
    EXPECT_EQ(page.CurrentMacro(), &macros.at(1));
    EXPECT_EQ(child<QComboBox>("cboMacroGesture")->currentText(), QStringLiteral("None"));
    EXPECT_EQ(macros.at(1).m_Gesture, QStringLiteral("NoSuchGesture"));   // showing changes nothing
}

TEST_F(MacrosPageTest, AddSelectsTheNewMacroAndEditsWriteThrough)
{
    page.LoadMacros();
    click("cmdMacroAdd");
    EXPECT_EQ(items(), QStringList({"Macro 1"}));
    EXPECT_EQ(selectedText(), QStringLiteral("Macro 1"));
    EXPECT_TRUE(detailsEnabled());
    EXPECT_TRUE(removeEnabled());

    QTest::keyClicks(child<QPlainTextEdit>("txtMacroText"), QStringLiteral("Dear Ada,"));
    QTest::keyClick(child<QPlainTextEdit>("txtMacroText"), Qt::Key_Return);
    child<QPlainTextEdit>("txtMacroText")->insertPlainText(QStringLiteral("Grüße"));   // keyClicks is ASCII only
    QTest::keyClicks(child<QLineEdit>("txtMacroSay"), QStringLiteral("Pasting"));
    QComboBox* gesture = child<QComboBox>("cboMacroGesture");
    gesture->setCurrentIndex(gesture->findText(QStringLiteral("Write")));
    emit gesture->activated(gesture->currentIndex());

    const CMacro& macro = macros.at(0);
    EXPECT_EQ(macro.m_Text, QStringLiteral("Dear Ada,\nGrüße"));
    EXPECT_EQ(macro.m_WhatToSay, QStringLiteral("Pasting"));
    EXPECT_EQ(macro.m_Gesture, QStringLiteral("Write"));
    click("cmdMacroAdd");
    EXPECT_EQ(items(), QStringList({"Macro 1", "Macro 2"}));
    EXPECT_EQ(list()->selectedItems().size(), 1);
    EXPECT_TRUE(child<QPlainTextEdit>("txtMacroText")->toPlainText().isEmpty());
}

TEST_F(MacrosPageTest, TypingAPhraseRenamesTheItemAndBlanksKeepTheOldPhrase)
{
    page.LoadMacros();
    click("cmdMacroAdd");
    typeIntoPhrase(QStringLiteral("Sign"));
    EXPECT_EQ(items(), QStringList({"Sign"}));
    EXPECT_TRUE(voice.menus.CommandExists(QStringLiteral("Sign")));
    EXPECT_FALSE(voice.menus.CommandExists(QStringLiteral("Sig")));

    typeIntoPhrase(QStringLiteral("   "));
    EXPECT_EQ(items(), QStringList({"Sign"}));
    EXPECT_EQ(macros.at(0).m_Voice, QStringLiteral("Sign"));
    child<QLineEdit>("txtMacroVoice")->selectAll();
    QTest::keyClick(child<QLineEdit>("txtMacroVoice"), Qt::Key_Delete);
    EXPECT_EQ(macros.at(0).m_Voice, QStringLiteral("Sign"));
    EXPECT_TRUE(voice.menus.CommandExists(QStringLiteral("Sign")));
}

TEST_F(MacrosPageTest, RemoveSelectsTheNextItemOrTheNewLastOne)
{
    page.LoadMacros();
    for (int i = 0; i < 4; ++i)
        click("cmdMacroAdd");
    select(1);
    click("cmdMacroRemove");
    EXPECT_EQ(items(), QStringList({"Macro 1", "Macro 3", "Macro 4"}));
    EXPECT_EQ(selectedText(), QStringLiteral("Macro 3"));
    EXPECT_EQ(page.CurrentMacro(), &macros.at(1));

    select(2);
    click("cmdMacroRemove");
    EXPECT_EQ(selectedText(), QStringLiteral("Macro 3"));

    click("cmdMacroRemove");
    click("cmdMacroRemove");
    EXPECT_TRUE(items().isEmpty());
    EXPECT_FALSE(detailsEnabled());
    EXPECT_FALSE(removeEnabled());
    EXPECT_EQ(page.CurrentMacro(), nullptr);
    page.cmdMacroRemove_Click();   // nothing selected: nothing happens
    EXPECT_TRUE(fileNames().isEmpty());
}

TEST_F(MacrosPageTest, AFileNotReadWholeIsShownButCannotBeEdited)
{
    writeMacroFile(QStringLiteral("a.txt"), "Broken\r\nNone\r\n");
    page.LoadMacros();
    EXPECT_EQ(items(), QStringList({"Broken"}));
    EXPECT_FALSE(detailsEnabled());
    EXPECT_TRUE(removeEnabled());
    click("cmdMacroRemove");
    EXPECT_TRUE(fileNames().isEmpty());
}

TEST_F(MacrosPageTest, HelpAsksForTheMacrosHelp)
{
    QSignalSpy help(&page, &MacrosPage::helpRequested);
    click("cmdMacroHelp");
    EXPECT_EQ(help.count(), 1);
}

} // namespace
