#include "tests/fakes/VoiceFakes.h"

#include "app/voice/BuiltInCommands.h"
#include "app/voice/CVoiceCommand.h"
#include "app/voice/CommandsPage.h"
#include "platform/desktop/VirtualKeyTable.h"

#include <QDir>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QStringList kTabs{" Start", " My Programs", " My Documents", " Commands", " Web Sites", " Macros", " Settings"};

class BuiltInCommandsTest : public IsolatedTest {
protected:
    void SetUp() override { ASSERT_TRUE(h.menus.CreateVoiceMenu().ok()); }
    QString file() const { return env.path(BuiltInCommands::kFileName); }
    QStringList load(const QByteArray& text)
    {
        IsolatedEnvironment::writeFile(file(), text);
        return commands.LoadVoiceCommands(env.root());
    }
    CVoiceCommand& at(int index) { return commands.at(index); }
    QStringList phrases()
    {
        QStringList list;
        for (int i = 0; i < commands.count(); ++i)
            list << at(i).m_Voice;
        return list;
    }

    VoiceHarness h;
    BuiltInCommands commands{h.menus, h.context};
};

TEST_F(BuiltInCommandsTest, MissingKeysTakeTheirDefaultsOnlyTrueSwitchesOnAndNumbersReadTheirLeadingPart)
{
    const QStringList problems = load("[VoiceCommand 1]\r\nName=Old\r\nVoice=Close Window\r\nType=4 documents\r\n"
                                      "MessageID=&H10\r\nWParam=letters\r\nLParam=-2147483648\r\n"
                                      "[VoiceCommand 2]\nVoice=B\nActive=true\n[VoiceCommand 3]\nVoice=C\nActive=True\n");
    ASSERT_EQ(problems.size(), 1);   // a lower-case true is not silently off
    EXPECT_TRUE(problems[0].contains("\"VoiceCommand 2\"") && problems[0].contains("Active=true"));
    ASSERT_EQ(commands.count(), 3);
    EXPECT_TRUE(at(0).m_Active && !at(1).m_Active && at(2).m_Active);
    EXPECT_EQ(at(0).m_Name, QStringLiteral("Close Window"));   // the phrase, not the stale name
    EXPECT_EQ(at(0).m_WhatToSay, QStringLiteral("Close Window"));
    EXPECT_EQ((std::vector<int64_t>{at(0).m_Type, at(0).m_MessageID, at(0).m_WParam, at(0).m_LParam}),
              (std::vector<int64_t>{4, 16, 0, INT32_MIN}));
    EXPECT_EQ(h.menus.commandRegistry().count(), 0);   // loading registers nothing
}

// Sections past a gap, an empty phrase or "Does not exist" are never loaded, but are named and
// kept in the file, even when nothing at all was loaded.
TEST_F(BuiltInCommandsTest, TheListEndsAtAGapAnEmptyPhraseOrDoesNotExistAndTheRestSurvives)
{
    EXPECT_TRUE(commands.LoadVoiceCommands(env.root()).isEmpty());   // no file at all
    const QStringList problems = load("[VoiceCommand 1]\nVoice=One\n[VoiceCommand 2]\nVoice=Two\n[VoiceCommand 4]\nVoice=Four\r\n"
                                      "Cmd=c\n[Other]\nx=1\n[VoiceCommand 6]\nVoice=Six\n");
    EXPECT_EQ(phrases(), (QStringList{"One", "Two"}));
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains("\"VoiceCommand 4\", \"VoiceCommand 6\"")) << problems[0].toStdString();
    commands.registerActiveCommands();
    ASSERT_TRUE(commands.SaveVoiceCommands(env.root()));
    EXPECT_TRUE(IsolatedEnvironment::readFile(file()).contains("Voice=Four\r\nCmd=c\r\n"));

    load("[VoiceCommand 1]\nVoice=One\n[VoiceCommand 2]\nVoice=  \n[VoiceCommand 3]\nVoice=Three\n");
    EXPECT_EQ(phrases(), QStringList{"One"});
    EXPECT_TRUE(h.menuTexts().isEmpty());   // a reload forgets the old commands
    load("[VoiceCommand 1]\nVoice=Does not exist\n[VoiceCommand 2]\nVoice=Two\n");
    EXPECT_TRUE(phrases().isEmpty());
    ASSERT_TRUE(commands.SaveVoiceCommands(env.root()));
    EXPECT_TRUE(IsolatedEnvironment::readFile(file()).contains("Voice=Two"));
}

TEST_F(BuiltInCommandsTest, NumbersBeyond32BitsAndRepeatedPhrasesAreReportedNotUsedAndKeptInTheFile)
{
    const QStringList problems = load("[VoiceCommand 1]\nVoice=Page Down\n[VoiceCommand 2]\nVoice=B\nMessageID=99999999999\n"
                                      "[VoiceCommand 3]\nVoice=page down\nCmd=keep me\n[VoiceCommand 4]\nVoice=Home\n"
                                      "[VoiceCommand 5]\nVoice=HOME\n");
    EXPECT_EQ(phrases(), (QStringList{"Page Down", "Home"}));
    ASSERT_EQ(problems.size(), 3);
    EXPECT_TRUE(problems[0].contains("\"VoiceCommand 2\"") && problems[0].contains("99999999999"));
    EXPECT_TRUE(problems[1].contains("\"VoiceCommand 3\"") && problems[1].contains("page down"));
    ASSERT_TRUE(commands.SaveVoiceCommands(env.root()));
    const QByteArray saved = IsolatedEnvironment::readFile(file());
    EXPECT_TRUE(saved.contains("[VoiceCommand 2]\r\nVoice=B\r\nMessageID=99999999999\r\n[VoiceCommand 3]\r\n"
                               "Voice=page down\r\nCmd=keep me\r\n[VoiceCommand 4]\r\nName=Home\r\n"));
    EXPECT_TRUE(saved.endsWith("[VoiceCommand 5]\r\nVoice=HOME\r\n"));
    EXPECT_EQ(commands.LoadVoiceCommands(env.root()).size(), 3);   // the next start finds the same
}

TEST_F(BuiltInCommandsTest, ALineBreakCannotSplitTheFileAndARefusedSaveIsReported)
{
    load("[VoiceCommand 1]\nVoice=Minimise\n[VoiceCommand 2]\nVoice=Browser\nActive=False\nWhatToSay=Going\nGesture=Wave\n");
    at(0).m_Description = QStringLiteral("Minimises\r\nVoice=Injected");
    at(1).m_WhatToSay.clear();   // cleared sentence and gesture come back as their defaults
    at(1).m_Gesture.clear();
    ASSERT_TRUE(commands.SaveVoiceCommands(env.root()));
    EXPECT_TRUE(IsolatedEnvironment::readFile(file()).contains("\r\nDescription=Minimises  Voice=Injected\r\n"));
    commands.LoadVoiceCommands(env.root());
    ASSERT_EQ(phrases(), (QStringList{"Minimise", "Browser"}));
    EXPECT_FALSE(at(1).m_Active);
    EXPECT_EQ((QStringList{at(1).m_WhatToSay, at(1).m_Gesture}), (QStringList{"Browser", "None"}));

    ASSERT_TRUE(QFile::remove(file()) && QDir(env.root()).mkdir(BuiltInCommands::kFileName));
    EXPECT_FALSE(commands.SaveVoiceCommands(env.root()));
}

TEST_F(BuiltInCommandsTest, ValuesLongerThanTheReadersTakeAreReportedAndKeptWholeUnlessEdited)
{
    const QByteArray longPhrase(1500, 'p');
    EXPECT_EQ(load("[VoiceCommand 1]\nVoice=" + longPhrase + "\n").size(), 1);
    EXPECT_EQ(at(0).m_Voice.size(), 1023);
    ASSERT_TRUE(commands.SaveVoiceCommands(env.root()));
    EXPECT_TRUE(IsolatedEnvironment::readFile(file()).contains("\r\nVoice=" + longPhrase + "\r\n"));

    at(0).m_Voice = QStringLiteral("Edited");
    ASSERT_TRUE(commands.SaveVoiceCommands(env.root()));
    EXPECT_TRUE(IsolatedEnvironment::readFile(file()).contains("\r\nVoice=Edited\r\n"));
}

class UnreadableCommandFileTest : public BuiltInCommandsTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(UnreadableCommandFileTest, IsReportedAtLoadingAndLeftUntouchedAtSaving)
{
    const QString kind = QString::fromLatin1(GetParam());
    QByteArray bytes("[VoiceCommand 1]\r\nVoice=Mine\r\n");
    if (kind == "utf16")
        bytes = QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char*>(u"[VoiceCommand 1]\r\nVoice=Mine\r\n"), 62);
    else if (kind == "binary")
        bytes = QByteArray("\x7F" "ELF\x02\x01\x01\0\0\0", 10) + bytes;
    IsolatedEnvironment::writeFile(file(), bytes);

    const QStringList problems = [&] {
        if (kind != "no permission")
            return commands.LoadVoiceCommands(env.root());
        WithoutFileRights::denyReading(file());
        WithoutFileRights asUser;
        return commands.LoadVoiceCommands(env.root());
    }();
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains(file()) && problems[0].contains("could not be read")) << problems[0].toStdString();
    EXPECT_EQ(commands.count(), 0);

    EXPECT_TRUE(commands.SaveVoiceCommands(env.root()));
    QFile::setPermissions(file(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(IsolatedEnvironment::readFile(file()), bytes);
}

INSTANTIATE_TEST_SUITE_P(Kinds, UnreadableCommandFileTest, ::testing::Values("no permission", "utf16", "binary"));

TEST_F(BuiltInCommandsTest, TheCommandsPageSwitchesAndEditsTheCommandsInPlace)
{
    CommandsPage page{commands};
    const auto control = [&](const char* name) { return page.findChild<QWidget*>(QString::fromLatin1(name)); };
    auto* list = static_cast<QListWidget*>(control("lstVoiceCommands"));
    page.setGestureNames({"None", "Write", "Wave"});
    load("[VoiceCommand 1]\nVoice=Copy\nDescription=Copies\n[VoiceCommand 2]\nVoice=Escape\nActive=False\nGesture=Dance\n");
    page.FillVoiceCommandList();
    ASSERT_EQ(list->count(), 2);
    list->item(0)->setCheckState(Qt::Unchecked);
    list->item(1)->setCheckState(Qt::Checked);
    EXPECT_EQ(h.menuTexts(), QStringList{"Escape"});

    list->setCurrentRow(1);   // a gesture the character lacks shows as None but is kept
    EXPECT_EQ(at(1).m_Gesture, QStringLiteral("Dance"));
    QTest::keyClicks(control("txtExecuteText"), " now");
    list->setCurrentRow(0);   // showing another writes nothing back
    EXPECT_EQ((QStringList{at(0).m_Description, at(0).m_WhatToSay, at(1).m_WhatToSay, at(1).m_Gesture}),
              (QStringList{"Copies", "Copy", "Escape now", "Dance"}));
}

// The shipped file loads cleanly, every entry uses an action the desktop carries out, and no
// phrase takes one from the program or its pages.
TEST_F(BuiltInCommandsTest, TheSuppliedFileWorksAsShipped)
{
    const QStringList problems = commands.LoadVoiceCommands(qEnvironmentVariable("VORLIX_SOURCE_DIR") + QStringLiteral("/data"));
    EXPECT_TRUE(problems.isEmpty()) << problems.join(QLatin1Char('\n')).toStdString();
    ASSERT_GT(commands.count(), 0);
    const std::set<std::pair<int32_t, int32_t>> messages{{16, 0}, {274, 0xF020}, {274, 0xF030}, {274, 0xF120},
        {274, 0xF060}, {768, 0}, {769, 0}, {770, 0}, {771, 0}, {772, 0}, {177, 0}};
    for (int i = 0; i < commands.count(); ++i) {
        const CVoiceCommand& c = at(i);
        const std::string name = c.m_Voice.toStdString();
        EXPECT_TRUE(c.m_Active && !c.m_Description.isEmpty()) << name;
        if (c.m_Type == COMMAND_POST_MESSAGE) {
            EXPECT_TRUE(messages.count({c.m_MessageID, c.m_WParam})) << name;
        } else if (c.m_Type == COMMAND_PRESS_KEY) {
            EXPECT_TRUE(c.m_MessageID >= 0 && c.m_MessageID <= 255 && VirtualKeyTable::keysym(uint8_t(c.m_MessageID))) << name;
        } else {
            const bool opens = c.m_Type == COMMAND_RUN_PROGRAM || c.m_Type == COMMAND_OPEN_DOCUMENT || c.m_Type == COMMAND_OPEN_WEB_SITE;
            EXPECT_TRUE(opens && !c.m_Cmd.isEmpty()) << name << " has kind " << c.m_Type;
        }
    }
    h.menus.AddSystemCommands(h.context);
    commands.AddTabCommands(kTabs);
    const int before = h.menus.commandRegistry().count();
    commands.registerActiveCommands();
    EXPECT_EQ(h.menus.commandRegistry().count(), before + commands.count());
}

} // namespace
