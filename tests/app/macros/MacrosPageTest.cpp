#include "tests/app/macros/MacroTestSupport.h"

#include "app/macros/MacrosPage.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace {

class MacrosPageTest : public MacroTest {
protected:
    template <typename T>
    T* child(const char* name)
    {
        T* widget = page.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QTreeWidget* list() { return child<QTreeWidget>("lstMacros"); }
    void click(const char* button) { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }
    QStringList items()
    {
        QStringList texts;
        for (int i = 0; i < list()->topLevelItemCount(); ++i)
            texts << list()->topLevelItem(i)->text(0);
        return texts;
    }
    bool detailsEnabled() { return child<QGroupBox>("FrameMacro")->isEnabled(); }
    void typeIntoPhrase(const QString& text)
    {
        QLineEdit* box = child<QLineEdit>("txtMacroVoice");
        box->selectAll();
        QTest::keyClicks(box, text);
    }

    MacrosPage page{macros};
};

// Adding and typing on the page run end to end; here, what must not leak between macros.
TEST_F(MacrosPageTest, ABlankPhraseKeepsTheOldOneAndANewMacroStartsEmpty)
{
    page.LoadMacros();
    click("cmdMacroAdd");
    typeIntoPhrase(QStringLiteral("Sign"));
    typeIntoPhrase(QStringLiteral("   "));
    auto* text = child<QPlainTextEdit>("txtMacroText");
    QTest::keyClicks(text, QStringLiteral("Dear Ada,"));
    click("cmdMacroAdd");
    EXPECT_EQ(items(), QStringList({"Sign", "Macro 2"}));
    EXPECT_TRUE(text->toPlainText().isEmpty());
    EXPECT_EQ(macros.at(0).m_Text, QStringLiteral("Dear Ada,"));
    EXPECT_TRUE(macros.at(1).m_Text.isEmpty());
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
