#include "tests/app/macros/MacroTestSupport.h"

#include "app/macros/MacrosPage.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
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

TEST_F(MacrosPageTest, LoadingSelectsTheFirstMacroAndShowsItsDetails)
{
    writeMacroFile(QStringLiteral("a.txt"), "Sign\r\nWave\r\nSigning\r\n\"Kind\r\nregards\"\r\n");
    writeMacroFile(QStringLiteral("b.txt"), "Other\r\nNoSuchGesture\r\n\r\n\"x\"\r\n");
    page.LoadMacros();
    EXPECT_EQ(items(), QStringList({"Sign", "Other"}));
    EXPECT_EQ(selectedText(), QStringLiteral("Sign"));
    EXPECT_EQ(child<QPlainTextEdit>("txtMacroText")->toPlainText(), QStringLiteral("Kind\nregards"));
    EXPECT_EQ(child<QLineEdit>("txtMacroSay")->text(), QStringLiteral("Signing"));
    EXPECT_EQ(child<QComboBox>("cboMacroGesture")->currentText(), QStringLiteral("Wave"));

    select(1);
    EXPECT_EQ(page.CurrentMacro(), &macros.at(1));
    EXPECT_EQ(child<QComboBox>("cboMacroGesture")->currentText(), QStringLiteral("None"));
    EXPECT_EQ(macros.at(1).m_Gesture, QStringLiteral("NoSuchGesture"));   // showing changes nothing
}

TEST_F(MacrosPageTest, AddSelectsTheNewMacroAndEditsAndTypedPhrasesWriteThrough)
{
    page.LoadMacros();
    click("cmdMacroAdd");
    EXPECT_EQ(selectedText(), QStringLiteral("Macro 1"));
    EXPECT_TRUE(detailsEnabled() && removeEnabled());
    typeIntoPhrase(QStringLiteral("Sign"));
    typeIntoPhrase(QStringLiteral("   "));   // blanks keep the old phrase
    EXPECT_EQ(items(), QStringList({"Sign"}));

    auto* text = child<QPlainTextEdit>("txtMacroText");
    QTest::keyClicks(text, QStringLiteral("Dear Ada,"));
    QTest::keyClick(text, Qt::Key_Return);
    text->insertPlainText(QStringLiteral("Grüße"));   // keyClicks is ASCII only
    QTest::keyClicks(child<QLineEdit>("txtMacroSay"), QStringLiteral("Pasting"));
    QComboBox* gesture = child<QComboBox>("cboMacroGesture");
    gesture->setCurrentIndex(gesture->findText(QStringLiteral("Write")));
    emit gesture->activated(gesture->currentIndex());
    const CMacro& macro = macros.at(0);
    EXPECT_EQ(QStringList({macro.m_Text, macro.m_WhatToSay, macro.m_Gesture}),
              QStringList({"Dear Ada,\nGrüße", "Pasting", "Write"}));

    // The second macro's empty details must not carry the first one's over.
    click("cmdMacroAdd");
    EXPECT_EQ(items(), QStringList({"Sign", "Macro 2"}));
    EXPECT_TRUE(text->toPlainText().isEmpty());
    EXPECT_EQ(macros.at(0).m_Text, QStringLiteral("Dear Ada,\nGrüße"));
}

TEST_F(MacrosPageTest, RemoveSelectsTheNextItemOrTheNewLastOne)
{
    page.LoadMacros();
    for (int i = 0; i < 3; ++i)
        click("cmdMacroAdd");
    select(1);
    click("cmdMacroRemove");
    EXPECT_EQ(items(), QStringList({"Macro 1", "Macro 3"}));
    EXPECT_EQ(page.CurrentMacro(), &macros.at(1));
    click("cmdMacroRemove");
    EXPECT_EQ(selectedText(), QStringLiteral("Macro 1"));

    click("cmdMacroRemove");
    EXPECT_TRUE(items().isEmpty());
    EXPECT_FALSE(detailsEnabled() || removeEnabled());
    EXPECT_EQ(page.CurrentMacro(), nullptr);
    page.cmdMacroRemove_Click();   // nothing selected: nothing happens
}

TEST_F(MacrosPageTest, AFileNotReadWholeIsShownButCannotBeEdited)
{
    writeMacroFile(QStringLiteral("a.txt"), "Broken\r\nNone\r\n");
    page.LoadMacros();
    EXPECT_EQ(items(), QStringList({"Broken"}));
    EXPECT_FALSE(detailsEnabled());
    click("cmdMacroRemove");
    EXPECT_TRUE(fileNames().isEmpty());
}

} // namespace
