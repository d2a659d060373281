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
    void SetUp() override
    {
        ASSERT_TRUE(h.menus.CreateVoiceMenu().ok());
        IsolatedEnvironment::writeFile(env.path(BuiltInCommands::kFileName),
                                       "[VoiceCommand 1]\nVoice=Copy\nDescription=Copies\nWhatToSay=Copying\nGesture=Write\n"
                                       "[VoiceCommand 2]\nVoice=Escape\nActive=False\nGesture=Dance\n"
                                       "[VoiceCommand 3]\nVoice=Page Down\n");
        commands.LoadVoiceCommands(env.root());
        page.setGestureNames({"None", "Write", "Wave"});
        page.FillVoiceCommandList();
    }

    template <typename T>
    T* control(const char* name) { return page.findChild<T*>(QString::fromLatin1(name)); }
    QListWidget* list() { return control<QListWidget>("lstVoiceCommands"); }

    VoiceHarness h;
    BuiltInCommands commands{h.menus, h.context};
    CommandsPage page{commands};
};

TEST_F(CommandsPageTest, FillingListsEveryCommandAndRegistersTheSwitchedOnOnes)
{
    ASSERT_EQ(list()->count(), 3);
    EXPECT_EQ(list()->item(1)->text(), QStringLiteral("Escape"));
    EXPECT_EQ(list()->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(list()->item(1)->checkState(), Qt::Unchecked);
    EXPECT_TRUE(h.menus.CommandExists(QStringLiteral("Copy")));
    EXPECT_FALSE(h.menus.CommandExists(QStringLiteral("Escape")));
    EXPECT_TRUE(h.menus.CommandExists(QStringLiteral("Page Down")));

    EXPECT_EQ(page.CurrentCommand(), &commands.at(0));
    EXPECT_TRUE(control<QGroupBox>("FrameCommands")->isEnabled());
    EXPECT_EQ(control<QLineEdit>("txtDescription")->text(), QStringLiteral("Copies"));
    EXPECT_EQ(control<QLineEdit>("txtExecuteText")->text(), QStringLiteral("Copying"));
    EXPECT_EQ(control<QComboBox>("cboExecuteGesture")->currentText(), QStringLiteral("Write"));
}

TEST_F(CommandsPageTest, TheCheckBoxSwitchesTheCommandInAndOutOfTheRecogniser)
{
    list()->item(0)->setCheckState(Qt::Unchecked);
    EXPECT_FALSE(commands.at(0).m_Active);
    EXPECT_FALSE(h.menus.CommandExists(QStringLiteral("Copy")));

    list()->item(1)->setCheckState(Qt::Checked);
    EXPECT_TRUE(commands.at(1).m_Active);
    EXPECT_EQ(h.menus.GetVCCommand(QStringLiteral("escape")), &commands.at(1));
    EXPECT_EQ(h.recogniser.commandTexts(h.menu()), (QStringList{"Page Down", "Escape"}));
}

TEST_F(CommandsPageTest, EditsWriteThroughToTheSelectedCommand)
{
    list()->setCurrentRow(2);
    EXPECT_EQ(page.CurrentCommand(), &commands.at(2));

    QTest::keyClicks(control<QLineEdit>("txtDescription"), "Next page");
    QTest::keyClicks(control<QLineEdit>("txtExecuteText"), " now");
    QComboBox* gestures = control<QComboBox>("cboExecuteGesture");
    gestures->setCurrentIndex(2);
    emit gestures->activated(2);

    EXPECT_EQ(commands.at(2).m_Description, QStringLiteral("Next page"));
    EXPECT_EQ(commands.at(2).m_WhatToSay, QStringLiteral("Page Down now"));
    EXPECT_EQ(commands.at(2).m_Gesture, QStringLiteral("Wave"));
    EXPECT_EQ(commands.at(0).m_Description, QStringLiteral("Copies"));
}

TEST_F(CommandsPageTest, AGestureTheCharacterLacksShowsNoneButIsKept)
{
    list()->setCurrentRow(1);
    EXPECT_EQ(control<QComboBox>("cboExecuteGesture")->currentText(), QStringLiteral("None"));
    EXPECT_EQ(commands.at(1).m_Gesture, QStringLiteral("Dance"));

    page.setGestureNames({"Dance"});   // another character; "None" stays on offer
    EXPECT_EQ(control<QComboBox>("cboExecuteGesture")->currentText(), QStringLiteral("Dance"));
    EXPECT_EQ(control<QComboBox>("cboExecuteGesture")->findText(QStringLiteral("None")), 0);
}

TEST(CommandsPageEmpty, WithoutCommandsNothingIsShownOrEditable)
{
    VoiceHarness h;
    BuiltInCommands commands{h.menus, h.context};
    CommandsPage page{commands};
    page.FillVoiceCommandList();
    EXPECT_EQ(page.findChild<QListWidget*>(QStringLiteral("lstVoiceCommands"))->count(), 0);
    EXPECT_FALSE(page.findChild<QGroupBox*>(QStringLiteral("FrameCommands"))->isEnabled());
    EXPECT_EQ(page.CurrentCommand(), nullptr);
}

} // namespace
