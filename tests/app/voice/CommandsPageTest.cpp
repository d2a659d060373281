#include "VoiceFakes.h"

#include "app/voice/BuiltInCommands.h"
#include "app/voice/CVoiceCommand.h"
#include "app/voice/CommandsPage.h"
#include "tests/support/TestEnvironment.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class CommandsPageTest : public IsolatedTest {
protected:
    void fill(const char* file)
    {
        ASSERT_TRUE(h.menus.CreateVoiceMenu().ok());
        IsolatedEnvironment::writeFile(env.path(BuiltInCommands::kFileName), file);
        commands.LoadVoiceCommands(env.root());
        page.setGestureNames({"None", "Write", "Wave"});
        page.FillVoiceCommandList();
    }
    template <typename T>
    T* control(const char* name) { return page.findChild<T*>(QString::fromLatin1(name)); }
    QListWidget* list() { return control<QListWidget>("lstVoiceCommands"); }
    QComboBox* gestures() { return control<QComboBox>("cboExecuteGesture"); }

    VoiceHarness h;
    BuiltInCommands commands{h.menus, h.context};
    CommandsPage page{commands};
};

constexpr char kThree[] = "[VoiceCommand 1]\nVoice=Copy\nDescription=Copies\nWhatToSay=Copying\nGesture=Write\n"
                          "[VoiceCommand 2]\nVoice=Escape\nActive=False\nGesture=Dance\n[VoiceCommand 3]\nVoice=Page Down\n";

TEST_F(CommandsPageTest, FillingListsEveryCommandShowsTheFirstAndRegistersTheSwitchedOnOnes)
{
    fill(kThree);
    ASSERT_EQ(list()->count(), 3);
    EXPECT_EQ(list()->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(list()->item(1)->checkState(), Qt::Unchecked);
    EXPECT_EQ(h.menuTexts(), (QStringList{"Copy", "Page Down"}));

    EXPECT_EQ(page.CurrentCommand(), &commands.at(0));
    EXPECT_TRUE(control<QGroupBox>("FrameCommands")->isEnabled());
    EXPECT_EQ(control<QLineEdit>("txtDescription")->text(), QStringLiteral("Copies"));
    EXPECT_EQ(control<QLineEdit>("txtExecuteText")->text(), QStringLiteral("Copying"));
    EXPECT_EQ(gestures()->currentText(), QStringLiteral("Write"));

    // Switching off takes the phrase out at once; switching on puts it back.
    list()->item(0)->setCheckState(Qt::Unchecked);
    list()->item(1)->setCheckState(Qt::Checked);
    EXPECT_FALSE(commands.at(0).m_Active);
    EXPECT_TRUE(commands.at(1).m_Active);
    EXPECT_EQ(h.menuTexts(), (QStringList{"Page Down", "Escape"}));
}

TEST_F(CommandsPageTest, EditsWriteThroughButAGestureTheCharacterLacksIsKept)
{
    fill(kThree);
    list()->setCurrentRow(1);
    EXPECT_EQ(gestures()->currentText(), QStringLiteral("None"));
    EXPECT_EQ(commands.at(1).m_Gesture, QStringLiteral("Dance"));

    QTest::keyClicks(control<QLineEdit>("txtDescription"), "Leaves");
    QTest::keyClicks(control<QLineEdit>("txtExecuteText"), " now");
    gestures()->setCurrentIndex(2);
    emit gestures()->activated(2);
    EXPECT_EQ(commands.at(1).m_Description, QStringLiteral("Leaves"));
    EXPECT_EQ(commands.at(1).m_WhatToSay, QStringLiteral("Escape now"));
    EXPECT_EQ(commands.at(1).m_Gesture, QStringLiteral("Wave"));
    EXPECT_EQ(commands.at(0).m_Description, QStringLiteral("Copies"));
}

TEST_F(CommandsPageTest, WithoutCommandsNothingIsShownOrEditable)
{
    fill("");
    EXPECT_EQ(list()->count(), 0);
    EXPECT_FALSE(control<QGroupBox>("FrameCommands")->isEnabled());
    EXPECT_EQ(page.CurrentCommand(), nullptr);
}

} // namespace
