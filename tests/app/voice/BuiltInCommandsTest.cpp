#include "VoiceFakes.h"

#include "app/voice/BuiltInCommands.h"
#include "app/voice/CVoiceCommand.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

class BuiltInCommandsTest : public IsolatedTest {
protected:
    void SetUp() override { ASSERT_TRUE(h.menus.CreateVoiceMenu().ok()); }

    QString file() const { return env.path(BuiltInCommands::kFileName); }
    QStringList load(const char* text)
    {
        IsolatedEnvironment::writeFile(file(), QByteArray(text));
        return reload();
    }
    QStringList reload() { return commands.LoadVoiceCommands(env.root()); }
    QStringList phrases() const
    {
        QStringList list;
        for (int i = 0; i < commands.count(); ++i)
            list << commands.at(i).m_Voice;
        return list;
    }
    CVoiceCommand& at(int index) { return commands.at(index); }

    VoiceHarness h;
    BuiltInCommands commands{h.menus, h.context};
};

TEST_F(BuiltInCommandsTest, MissingKeysTakeTheirDefaultsAndOnlyTrueSwitchesOn)
{
    EXPECT_TRUE(load("[VoiceCommand 1]\r\nName=Old\r\nVoice=Close Window\r\n"
                     "[VoiceCommand 2]\nVoice=B\nActive=true\n[VoiceCommand 3]\nVoice=C\nActive=True\n").isEmpty());
    ASSERT_EQ(commands.count(), 3);
    EXPECT_TRUE(at(0).m_Active);
    EXPECT_EQ(at(0).m_Name, QStringLiteral("Close Window"));
    EXPECT_EQ(at(0).m_Gesture, QStringLiteral("None"));
    EXPECT_EQ(at(0).m_WhatToSay, QStringLiteral("Close Window"));
    EXPECT_EQ(at(0).m_Type, COMMAND_RUN_PROGRAM);
    EXPECT_EQ(at(0).m_Description, QString());
    EXPECT_FALSE(at(1).m_Active);
    EXPECT_TRUE(at(2).m_Active);
    EXPECT_EQ(h.menus.commandRegistry().count(), 0);   // loading registers nothing
}

TEST_F(BuiltInCommandsTest, TheListEndsAtAGapAnEmptyPhraseOrDoesNotExist)
{
    load("[VoiceCommand 1]\nVoice=One\n[VoiceCommand 2]\nVoice=Two\n[VoiceCommand 4]\nVoice=Four\n");
    EXPECT_EQ(phrases(), (QStringList{"One", "Two"}));
    load("[VoiceCommand 1]\nVoice=One\n[VoiceCommand 2]\nVoice=  \n[VoiceCommand 3]\nVoice=Three\n");
    EXPECT_EQ(phrases(), QStringList{"One"});
    load("[VoiceCommand 1]\nVoice=Does not exist\n[VoiceCommand 2]\nVoice=Two\n");
    EXPECT_TRUE(phrases().isEmpty());
}

TEST_F(BuiltInCommandsTest, NumbersAreReadFromTheirLeadingNumericPart)
{
    EXPECT_TRUE(load("[VoiceCommand 1]\nVoice=A\nType=4 documents\nMessageID=&H10\nWParam=letters\nLParam=-2147483648\n").isEmpty());
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(at(0).m_Type, 4);
    EXPECT_EQ(at(0).m_MessageID, 16);
    EXPECT_EQ(at(0).m_WParam, 0);
    EXPECT_EQ(at(0).m_LParam, -2147483647 - 1);
}

TEST_F(BuiltInCommandsTest, ANumberBeyond32BitsOrARepeatedPhraseIsReportedAndLeftOut)
{
    const QStringList problems = load("[VoiceCommand 1]\nVoice=Page Down\n[VoiceCommand 2]\nVoice=B\nMessageID=99999999999\n"
                                      "[VoiceCommand 3]\nVoice=page down\n[VoiceCommand 4]\nVoice=Home\n");
    EXPECT_EQ(phrases(), (QStringList{"Page Down", "Home"}));
    ASSERT_EQ(problems.size(), 2);
    EXPECT_TRUE(problems[0].contains("\"VoiceCommand 2\"") && problems[0].contains("99999999999"));
    EXPECT_TRUE(problems[1].contains("\"VoiceCommand 3\"") && problems[1].contains("page down"));
}

TEST_F(BuiltInCommandsTest, AMissingFileGivesNothingAndAReloadForgetsTheOldCommands)
{
    EXPECT_TRUE(reload().isEmpty());
    EXPECT_EQ(commands.count(), 0);

    load("[VoiceCommand 1]\nVoice=One\n");
    commands.registerActiveCommands();
    load("[VoiceCommand 1]\nVoice=Two\n");
    EXPECT_FALSE(h.menus.CommandExists(QStringLiteral("One")));
    EXPECT_TRUE(h.menuTexts().isEmpty());
}

TEST_F(BuiltInCommandsTest, SavingWritesEveryKeyInOrderAndReadsBackTheSame)
{
    load("[VoiceCommand 1]\nName=Old name\nVoice=Minimise\nType=2\nMessageID=274\nWParam=&HF020\nGesture=GestureDown\n"
         "[VoiceCommand 2]\nVoice=Browser\nActive=False\nType=5\nCmd=https://example.org/\nWhatToSay=Going\nGesture=Wave\n"
         "[VoiceCommand 4]\nVoice=Beyond the gap\n");
    at(0).m_Description = QStringLiteral("Minimises the window in front");
    at(1).m_WhatToSay.clear();   // cleared sentence and gesture come back as their defaults
    at(1).m_Gesture.clear();
    ASSERT_TRUE(commands.SaveVoiceCommands(env.root()));

    const QByteArray saved = IsolatedEnvironment::readFile(file());
    EXPECT_TRUE(saved.startsWith("[VoiceCommand 1]\r\nName=Minimise\r\nActive=True\r\nVoice=Minimise\r\n"
                                 "Description=Minimises the window in front\r\nGesture=GestureDown\r\nWhatToSay=Minimise\r\n"
                                 "Type=2\r\nCmd=\r\nMessageID=274\r\nWParam=61472\r\nLParam=0\r\n"));
    EXPECT_FALSE(saved.contains("gap"));

    reload();
    ASSERT_EQ(phrases(), (QStringList{"Minimise", "Browser"}));
    EXPECT_EQ(at(0).m_Description, QStringLiteral("Minimises the window in front"));
    EXPECT_FALSE(at(1).m_Active);
    EXPECT_EQ(at(1).m_Cmd, QStringLiteral("https://example.org/"));
    EXPECT_EQ(at(1).m_WhatToSay, QStringLiteral("Browser"));
    EXPECT_EQ(at(1).m_Gesture, QStringLiteral("None"));
}

TEST_F(BuiltInCommandsTest, ALineBreakCannotSplitTheFileAndAFailedSaveSaysSo)
{
    load("[VoiceCommand 1]\nVoice=One\n");
    at(0).m_Description = QStringLiteral("first\r\nVoice=Injected");
    ASSERT_TRUE(commands.SaveVoiceCommands(env.root()));
    reload();
    ASSERT_EQ(phrases(), QStringList{"One"});
    EXPECT_EQ(at(0).m_Description, QStringLiteral("first  Voice=Injected"));

    ASSERT_TRUE(QFile::remove(file()) && QDir(env.root()).mkdir(BuiltInCommands::kFileName));
    EXPECT_FALSE(commands.SaveVoiceCommands(env.root()));
}

TEST_F(BuiltInCommandsTest, TabCommandsSelectTheirPageAndSwitchedOnCommandsWinLast)
{
    h.menus.AddSystemCommands(h.context);
    commands.AddTabCommands({" Start", " My Programs", " My Documents", " Commands", " Web Sites", " Macros", " Settings"});
    h.log.clear();
    h.recogniser.hear(QStringLiteral("web sites"));
    EXPECT_EQ(h.log, (QStringList{"say Web Sites||1|0", "tab 4"}));

    load("[VoiceCommand 1]\nVoice=settings\nType=3\nMessageID=112\n[VoiceCommand 2]\nVoice=Hide\nActive=False\n");
    commands.registerActiveCommands();
    EXPECT_EQ(h.menus.GetVCCommand(QStringLiteral("Settings")), &at(0));
    EXPECT_EQ(h.menus.GetVCCommand(QStringLiteral("Hide")), h.menus.SystemCommands()[3].get());

    commands.setActive(at(1), true);
    EXPECT_EQ(h.menus.GetVCCommand(QStringLiteral("Hide")), &at(1));
    commands.setActive(at(1), false);
    EXPECT_FALSE(h.menus.CommandExists(QStringLiteral("Hide")));
}

} // namespace
