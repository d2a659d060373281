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
    void writeCommands(const char* text) { IsolatedEnvironment::writeFile(file(), QByteArray(text)); }
    QStringList load() { return commands.LoadVoiceCommands(env.root()); }
    QStringList phrases() const
    {
        QStringList list;
        for (int i = 0; i < commands.count(); ++i)
            list << commands.at(i).m_Voice;
        return list;
    }

    VoiceHarness h;
    BuiltInCommands commands{h.menus, h.context};
};

// ---- reading

TEST_F(BuiltInCommandsTest, AMinimalSectionTakesTheDefaults)
{
    writeCommands("[VoiceCommand 1]\r\nName=Something else\r\nVoice=Close Window\r\n");
    EXPECT_TRUE(load().isEmpty());
    ASSERT_EQ(commands.count(), 1);
    const CVoiceCommand& command = commands.at(0);
    EXPECT_TRUE(command.m_Active);
    EXPECT_EQ(command.m_Voice, QStringLiteral("Close Window"));
    EXPECT_EQ(command.m_Name, QStringLiteral("Close Window"));
    EXPECT_EQ(command.m_Description, QString());
    EXPECT_EQ(command.m_Gesture, QStringLiteral("None"));
    EXPECT_EQ(command.m_WhatToSay, QStringLiteral("Close Window"));
    EXPECT_EQ(command.m_Type, COMMAND_RUN_PROGRAM);
    EXPECT_EQ(command.m_Cmd, QString());
    EXPECT_EQ(command.m_MessageID, 0);
    EXPECT_EQ(command.m_CommandLine, QString());
    EXPECT_FALSE(h.menus.CommandExists(QStringLiteral("Close Window")));   // loading registers nothing
}

TEST_F(BuiltInCommandsTest, TheListEndsAtTheFirstGapEmptyOrMissingPhrase)
{
    writeCommands("[VoiceCommand 1]\nVoice=One\n[VoiceCommand 2]\nVoice=Two\n[VoiceCommand 3]\nVoice=Three\n"
                  "[VoiceCommand 5]\nVoice=Five\n");
    load();
    EXPECT_EQ(phrases(), (QStringList{"One", "Two", "Three"}));

    writeCommands("[VoiceCommand 1]\nVoice=One\n[VoiceCommand 2]\nVoice=  \n[VoiceCommand 3]\nVoice=Three\n");
    load();
    EXPECT_EQ(phrases(), QStringList{"One"});

    writeCommands("[VoiceCommand 1]\nVoice=One\n[VoiceCommand 2]\nVoice=Does not exist\n[VoiceCommand 3]\nVoice=Three\n");
    load();
    EXPECT_EQ(phrases(), QStringList{"One"});
}

TEST_F(BuiltInCommandsTest, OnlyTrueInItsOwnCaseSwitchesACommandOn)
{
    writeCommands("[VoiceCommand 1]\nVoice=A\nActive=True\n[VoiceCommand 2]\nVoice=B\nActive=true\n"
                  "[VoiceCommand 3]\nVoice=C\nActive=False\n[VoiceCommand 4]\nVoice=D\nActive=\n");
    load();
    ASSERT_EQ(commands.count(), 4);
    EXPECT_TRUE(commands.at(0).m_Active);
    EXPECT_FALSE(commands.at(1).m_Active);
    EXPECT_FALSE(commands.at(2).m_Active);
    EXPECT_TRUE(commands.at(3).m_Active);
}

TEST_F(BuiltInCommandsTest, NumbersAreReadFromTheirLeadingNumericPart)
{
    writeCommands("[VoiceCommand 1]\nVoice=A\nType=4 documents\nMessageID=&H10\nWParam=letters\nLParam=-2.5\n"
                  "[VoiceCommand 2]\nVoice=B\nType=\nMessageID=&HF020\nWParam=1 2\nLParam=&O17\n");
    EXPECT_TRUE(load().isEmpty());
    ASSERT_EQ(commands.count(), 2);
    EXPECT_EQ(commands.at(0).m_Type, 4);
    EXPECT_EQ(commands.at(0).m_MessageID, 16);
    EXPECT_EQ(commands.at(0).m_WParam, 0);
    EXPECT_EQ(commands.at(0).m_LParam, -2);
    EXPECT_EQ(commands.at(1).m_Type, 1);
    EXPECT_EQ(commands.at(1).m_MessageID, 0xF020);
    EXPECT_EQ(commands.at(1).m_WParam, 12);
    EXPECT_EQ(commands.at(1).m_LParam, 15);
}

TEST_F(BuiltInCommandsTest, ANumberBeyond32BitsIsReportedAndItsCommandLeftOut)
{
    writeCommands("[VoiceCommand 1]\nVoice=A\n[VoiceCommand 2]\nVoice=B\nMessageID=99999999999\n"
                  "[VoiceCommand 3]\nVoice=C\nWParam=2147483647\nLParam=-2147483648\n");
    const QStringList problems = load();
    EXPECT_EQ(phrases(), (QStringList{"A", "C"}));
    EXPECT_EQ(commands.at(1).m_WParam, 2147483647);
    EXPECT_EQ(commands.at(1).m_LParam, -2147483647 - 1);
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains(QStringLiteral("\"VoiceCommand 2\"")));
    EXPECT_TRUE(problems[0].contains(QStringLiteral("99999999999")));
}

TEST_F(BuiltInCommandsTest, APhraseRepeatedInAnotherCaseIsReportedAndLeftOut)
{
    writeCommands("[VoiceCommand 1]\nVoice=Page Down\n[VoiceCommand 2]\nVoice=page down\n[VoiceCommand 3]\nVoice=Home\n");
    const QStringList problems = load();
    EXPECT_EQ(phrases(), (QStringList{"Page Down", "Home"}));
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains(QStringLiteral("\"VoiceCommand 2\"")));
    EXPECT_TRUE(problems[0].contains(QStringLiteral("page down")));
}

TEST_F(BuiltInCommandsTest, AMissingFileGivesNoCommandsAndNoComplaint)
{
    EXPECT_TRUE(load().isEmpty());
    EXPECT_EQ(commands.count(), 0);
}

TEST_F(BuiltInCommandsTest, ReloadingTakesTheOldCommandsOutOfTheRegistry)
{
    writeCommands("[VoiceCommand 1]\nVoice=One\n");
    load();
    commands.registerActiveCommands();
    writeCommands("[VoiceCommand 1]\nVoice=Two\n");
    load();
    EXPECT_FALSE(h.menus.CommandExists(QStringLiteral("One")));
    EXPECT_TRUE(h.recogniser.commandTexts(h.menu()).isEmpty());
}

// ---- writing

TEST_F(BuiltInCommandsTest, SavingWritesEveryKeyInOrderAndReadsBackTheSame)
{
    writeCommands("[VoiceCommand 1]\nName=Old name\nVoice=Minimise\nType=2\nMessageID=274\nWParam=&HF020\n"
                  "Gesture=GestureDown\n[VoiceCommand 2]\nVoice=Browser\nActive=False\nType=5\nCmd=https://example.org/\n");
    load();
    commands.at(0).m_Description = QStringLiteral("Minimises the window in front");
    commands.at(1).m_WhatToSay = QStringLiteral("Opening the browser");
    ASSERT_TRUE(commands.SaveVoiceCommands(env.root()));

    const QByteArray saved = IsolatedEnvironment::readFile(file());
    EXPECT_EQ(saved.left(saved.indexOf("[VoiceCommand 2]")).trimmed(),
              QByteArray("[VoiceCommand 1]\r\nName=Minimise\r\nActive=True\r\nVoice=Minimise\r\n"
                         "Description=Minimises the window in front\r\nGesture=GestureDown\r\nWhatToSay=Minimise\r\n"
                         "Type=2\r\nCmd=\r\nMessageID=274\r\nWParam=61472\r\nLParam=0"));
    EXPECT_TRUE(saved.contains("Active=False\r\n"));

    load();
    ASSERT_EQ(phrases(), (QStringList{"Minimise", "Browser"}));
    EXPECT_EQ(commands.at(0).m_Description, QStringLiteral("Minimises the window in front"));
    EXPECT_EQ(commands.at(0).m_WParam, 0xF020);
    EXPECT_FALSE(commands.at(1).m_Active);
    EXPECT_EQ(commands.at(1).m_Cmd, QStringLiteral("https://example.org/"));
    EXPECT_EQ(commands.at(1).m_WhatToSay, QStringLiteral("Opening the browser"));
}

TEST_F(BuiltInCommandsTest, ClearedSentenceAndGestureComeBackAsTheirDefaults)
{
    writeCommands("[VoiceCommand 1]\nVoice=Undo\nWhatToSay=Undoing\nGesture=Think\n");
    load();
    commands.at(0).m_WhatToSay.clear();
    commands.at(0).m_Gesture.clear();
    ASSERT_TRUE(commands.SaveVoiceCommands(env.root()));
    load();
    EXPECT_EQ(commands.at(0).m_WhatToSay, QStringLiteral("Undo"));
    EXPECT_EQ(commands.at(0).m_Gesture, QStringLiteral("None"));
}

TEST_F(BuiltInCommandsTest, SectionsBeyondAGapAreDroppedAtTheNextSave)
{
    writeCommands("[VoiceCommand 1]\nVoice=One\n[VoiceCommand 3]\nVoice=Three\n");
    load();
    ASSERT_TRUE(commands.SaveVoiceCommands(env.root()));
    EXPECT_FALSE(IsolatedEnvironment::readFile(file()).contains("Three"));
}

TEST_F(BuiltInCommandsTest, ASaveThatCannotWriteSaysSoAndLeavesWhatIsThere)
{
    writeCommands("[VoiceCommand 1]\nVoice=One\n");
    load();
    ASSERT_TRUE(QFile::remove(file()));
    ASSERT_TRUE(QDir(env.root()).mkdir(BuiltInCommands::kFileName));

    EXPECT_FALSE(commands.SaveVoiceCommands(env.root()));
    EXPECT_TRUE(QFileInfo(file()).isDir());
}

TEST_F(BuiltInCommandsTest, ALineBreakInAValueCannotSplitTheFile)
{
    writeCommands("[VoiceCommand 1]\nVoice=One\n");
    load();
    commands.at(0).m_Description = QStringLiteral("first\r\nVoice=Injected");
    ASSERT_TRUE(commands.SaveVoiceCommands(env.root()));
    load();
    ASSERT_EQ(phrases(), QStringList{"One"});
    EXPECT_EQ(commands.at(0).m_Description, QStringLiteral("first  Voice=Injected"));
}

// ---- tab commands and start-up order

TEST_F(BuiltInCommandsTest, TabCommandsSelectTheirPageByTrimmedCaption)
{
    commands.AddTabCommands({" Start", " My Programs", " My Documents", " Commands", " Web Sites", " Macros", " Settings"});
    EXPECT_EQ(h.recogniser.commandTexts(h.menu()),
              (QStringList{"Start", "My Programs", "My Documents", "Commands", "Web Sites", "Macros", "Settings"}));

    h.log.clear();
    h.recogniser.hear(QStringLiteral("web sites"));
    EXPECT_EQ(h.log, (QStringList{"say Web Sites||1|0", "tab 4"}));
}

TEST_F(BuiltInCommandsTest, SwitchedOnBuiltInCommandsWinOverEarlierPhrases)
{
    h.menus.AddSystemCommands(h.context);
    commands.AddTabCommands({" Start", " Settings"});
    writeCommands("[VoiceCommand 1]\nVoice=settings\nType=3\nMessageID=112\n[VoiceCommand 2]\nVoice=Hide\nActive=False\n");
    load();
    commands.registerActiveCommands();

    EXPECT_EQ(h.menus.GetVCCommand(QStringLiteral("Settings")), &commands.at(0));
    EXPECT_EQ(h.menus.GetVCCommand(QStringLiteral("Hide")), h.menus.SystemCommands()[3].get());

    commands.setActive(commands.at(1), true);
    EXPECT_EQ(h.menus.GetVCCommand(QStringLiteral("Hide")), &commands.at(1));
    commands.setActive(commands.at(1), false);
    EXPECT_FALSE(h.menus.CommandExists(QStringLiteral("Hide")));
}

} // namespace
