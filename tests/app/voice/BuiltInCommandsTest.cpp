#include "tests/fakes/VoiceFakes.h"

#include "app/voice/BuiltInCommands.h"
#include "app/voice/CVoiceCommand.h"
#include "app/voice/CommandsPage.h"
#include "platform/desktop/VirtualKeyTable.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QStringList kTabs{" Start", " My Programs", " My Documents", " Commands", " Web Sites", " Macros", " Settings"};

class BuiltInCommandsTest : public IsolatedTest {
protected:
    void SetUp() override { ASSERT_TRUE(h.menus.CreateVoiceMenu().ok()); }
    QString file() const { return env.path(BuiltInCommands::kFileName); }
    QStringList load(const char* text)
    {
        IsolatedEnvironment::writeFile(file(), QByteArray(text));
        return commands.LoadVoiceCommands(env.root());
    }
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

TEST_F(BuiltInCommandsTest, MissingKeysTakeTheirDefaultsOnlyTrueSwitchesOnAndNumbersReadTheirLeadingPart)
{
    const QStringList problems = load("[VoiceCommand 1]\r\nName=Old\r\nVoice=Close Window\r\n"
                                      "[VoiceCommand 2]\nVoice=B\nActive=true\n[VoiceCommand 3]\nVoice=C\nActive=True\n");
    ASSERT_EQ(problems.size(), 1);   // a lower-case true is not silently off
    EXPECT_TRUE(problems[0].contains("\"VoiceCommand 2\"") && problems[0].contains("Active=true"));
    ASSERT_EQ(commands.count(), 3);
    EXPECT_TRUE(at(0).m_Active);
    EXPECT_EQ(at(0).m_Name, QStringLiteral("Close Window"));
    EXPECT_EQ(at(0).m_Gesture, QStringLiteral("None"));
    EXPECT_EQ(at(0).m_WhatToSay, QStringLiteral("Close Window"));
    EXPECT_EQ(at(0).m_Type, COMMAND_RUN_PROGRAM);
    EXPECT_FALSE(at(1).m_Active);
    EXPECT_TRUE(at(2).m_Active);
    EXPECT_EQ(h.menus.commandRegistry().count(), 0);   // loading registers nothing

    EXPECT_TRUE(load("[VoiceCommand 1]\nVoice=A\nType=4 documents\nMessageID=&H10\nWParam=letters\nLParam=-2147483648\n").isEmpty());
    ASSERT_EQ(commands.count(), 1);   // numbers are read from their leading part
    EXPECT_EQ(at(0).m_Type, 4);
    EXPECT_EQ(at(0).m_MessageID, 16);
    EXPECT_EQ(at(0).m_WParam, 0);
    EXPECT_EQ(at(0).m_LParam, -2147483647 - 1);
}

TEST_F(BuiltInCommandsTest, TheListEndsAtAGapAnEmptyPhraseOrDoesNotExist)
{
    EXPECT_TRUE(commands.LoadVoiceCommands(env.root()).isEmpty());   // no file at all
    EXPECT_EQ(commands.count(), 0);
    load("[VoiceCommand 1]\nVoice=One\n[VoiceCommand 2]\nVoice=Two\n[VoiceCommand 4]\nVoice=Four\n");
    EXPECT_EQ(phrases(), (QStringList{"One", "Two"}));
    commands.registerActiveCommands();
    load("[VoiceCommand 1]\nVoice=One\n[VoiceCommand 2]\nVoice=  \n[VoiceCommand 3]\nVoice=Three\n");
    EXPECT_EQ(phrases(), QStringList{"One"});
    EXPECT_TRUE(h.menuTexts().isEmpty());   // a reload forgets the old commands
    load("[VoiceCommand 1]\nVoice=Does not exist\n[VoiceCommand 2]\nVoice=Two\n");
    EXPECT_TRUE(phrases().isEmpty());
}

TEST_F(BuiltInCommandsTest, NumbersBeyond32BitsAndRepeatedPhrasesAreReportedNotUsedAndKeptInTheFile)
{
    const char* const text = "[VoiceCommand 1]\nVoice=Page Down\n[VoiceCommand 2]\nVoice=B\nMessageID=99999999999\n"
                             "[VoiceCommand 3]\nVoice=page down\nCmd=keep me\n[VoiceCommand 4]\nVoice=Home\n"
                             "[VoiceCommand 5]\nVoice=HOME\n";
    const QStringList problems = load(text);
    EXPECT_EQ(phrases(), (QStringList{"Page Down", "Home"}));
    ASSERT_EQ(problems.size(), 3);
    EXPECT_TRUE(problems[0].contains("\"VoiceCommand 2\"") && problems[0].contains("99999999999"));
    EXPECT_TRUE(problems[1].contains("\"VoiceCommand 3\"") && problems[1].contains("page down"));
    for (const QString& problem : problems)
        EXPECT_TRUE(problem.endsWith("this command is not used, and stays in the file as it is.")) << problem.toStdString();

    // Saved in their places, with the values they had; the next start finds the same.
    at(1).m_Description = QStringLiteral("Top of the page");
    ASSERT_TRUE(commands.SaveVoiceCommands(env.root()));
    const QByteArray saved = IsolatedEnvironment::readFile(file());
    EXPECT_TRUE(saved.contains("[VoiceCommand 2]\r\nVoice=B\r\nMessageID=99999999999\r\n[VoiceCommand 3]\r\n"
                               "Voice=page down\r\nCmd=keep me\r\n[VoiceCommand 4]\r\nName=Home\r\n"));
    EXPECT_TRUE(saved.endsWith("[VoiceCommand 5]\r\nVoice=HOME\r\n"));
    EXPECT_EQ(commands.LoadVoiceCommands(env.root()).size(), 3);
    EXPECT_EQ(phrases(), (QStringList{"Page Down", "Home"}));
    EXPECT_EQ(at(1).m_Description, QStringLiteral("Top of the page"));
}

TEST_F(BuiltInCommandsTest, SavingWritesEveryKeyInOrderAndReadsBackTheSame)
{
    load("[VoiceCommand 1]\nName=Old name\nVoice=Minimise\nType=2\nMessageID=274\nWParam=&HF020\nGesture=GestureDown\n"
         "[VoiceCommand 2]\nVoice=Browser\nActive=False\nType=5\nCmd=https://example.org/\nWhatToSay=Going\nGesture=Wave\n"
         "[VoiceCommand 4]\nVoice=Beyond the gap\n");
    at(0).m_Description = QStringLiteral("Minimises\r\nVoice=Injected");   // a line break cannot split the file
    at(1).m_WhatToSay.clear();   // cleared sentence and gesture come back as their defaults
    at(1).m_Gesture.clear();
    ASSERT_TRUE(commands.SaveVoiceCommands(env.root()));

    const QByteArray saved = IsolatedEnvironment::readFile(file());
    EXPECT_TRUE(saved.startsWith("[VoiceCommand 1]\r\nName=Minimise\r\nActive=True\r\nVoice=Minimise\r\n"
                                 "Description=Minimises  Voice=Injected\r\nGesture=GestureDown\r\nWhatToSay=Minimise\r\n"
                                 "Type=2\r\nCmd=\r\nMessageID=274\r\nWParam=61472\r\nLParam=0\r\n"));
    EXPECT_TRUE(saved.endsWith("[VoiceCommand 4]\r\nVoice=Beyond the gap\r\n"));   // still unreached, still there

    commands.LoadVoiceCommands(env.root());
    ASSERT_EQ(phrases(), (QStringList{"Minimise", "Browser"}));
    EXPECT_EQ(at(0).m_Description, QStringLiteral("Minimises  Voice=Injected"));
    EXPECT_FALSE(at(1).m_Active);
    EXPECT_EQ(at(1).m_Cmd, QStringLiteral("https://example.org/"));
    EXPECT_EQ(at(1).m_WhatToSay, QStringLiteral("Browser"));
    EXPECT_EQ(at(1).m_Gesture, QStringLiteral("None"));

    ASSERT_TRUE(QFile::remove(file()) && QDir(env.root()).mkdir(BuiltInCommands::kFileName));
    EXPECT_FALSE(commands.SaveVoiceCommands(env.root()));
}

TEST_F(BuiltInCommandsTest, QuotedAndPaddedValuesReadBackUnchangedAfterASave)
{
    const QStringList values{"\"quoted\"", "'single'", "\"\"doubly\"\"", "  padded\t", "\"", "a \"b\" c", "'mixed\"", "plain"};
    for (const QString& value : values) {
        load("[VoiceCommand 1]\nVoice=x\n");
        at(0).m_Name = at(0).m_Voice = at(0).m_Description = at(0).m_Gesture = at(0).m_WhatToSay = at(0).m_Cmd = value;
        ASSERT_TRUE(commands.SaveVoiceCommands(env.root()));
        const QByteArray first = IsolatedEnvironment::readFile(file());
        for (int round = 0; round < 2; ++round) {
            commands.LoadVoiceCommands(env.root());
            ASSERT_EQ(commands.count(), 1) << value.toStdString();
            for (const QString* field : {&at(0).m_Voice, &at(0).m_Description, &at(0).m_Gesture, &at(0).m_WhatToSay,
                                         &at(0).m_Cmd})
                EXPECT_EQ(*field, value);
            ASSERT_TRUE(commands.SaveVoiceCommands(env.root()));
            EXPECT_EQ(IsolatedEnvironment::readFile(file()), first) << "a load and a save change nothing";
        }
    }
}

TEST_F(BuiltInCommandsTest, ValuesLongerThanTheReadersTakeAreReportedAndKeptWhole)
{
    const QString longPhrase = QString(1500, u'p');
    const QString longSentence = QString(1100, u's');
    load(("[VoiceCommand 1]\nVoice=" + longPhrase + "\nWhatToSay=" + longSentence + "\n[VoiceCommand 2]\nVoice=Two\n")
             .toUtf8()
             .constData());
    const QStringList problems = commands.LoadVoiceCommands(env.root());
    ASSERT_EQ(problems.size(), 2);
    EXPECT_TRUE(problems[0].contains("Voice value is 1500 characters"));
    EXPECT_TRUE(problems[1].contains("WhatToSay value is 1100 characters"));
    EXPECT_EQ(at(0).m_Voice.size(), 1023);

    ASSERT_TRUE(commands.SaveVoiceCommands(env.root()));
    const QByteArray saved = IsolatedEnvironment::readFile(file());
    EXPECT_TRUE(saved.contains(("\r\nVoice=" + longPhrase + "\r\n").toUtf8()));
    EXPECT_TRUE(saved.contains(("\r\nWhatToSay=" + longSentence + "\r\n").toUtf8()));

    at(0).m_Voice = QStringLiteral("Edited");   // a value the user changed is saved as it is now
    ASSERT_TRUE(commands.SaveVoiceCommands(env.root()));
    EXPECT_TRUE(IsolatedEnvironment::readFile(file()).contains("\r\nVoice=Edited\r\n"));
}

TEST_F(BuiltInCommandsTest, SectionsBeyondANumberingGapAreNamedAndSurviveEvenAnEmptyList)
{
    const QStringList problems = load("[VoiceCommand 1]\nVoice=One\n[VoiceCommand 3]\nVoice=Three\r\nCmd=c\n"
                                      "[Other]\nx=1\n[VoiceCommand 5]\nVoice=Five\n");
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains("\"VoiceCommand 3\", \"VoiceCommand 5\"")) << problems[0].toStdString();
    ASSERT_EQ(commands.count(), 1);

    commands.setActive(at(0), false);
    ASSERT_TRUE(commands.SaveVoiceCommands(env.root()));
    commands.LoadVoiceCommands(env.root());
    EXPECT_EQ(phrases(), QStringList{"One"});
    EXPECT_TRUE(IsolatedEnvironment::readFile(file()).contains("Voice=Three\r\nCmd=c\r\n"));

    load("[VoiceCommand 2]\nVoice=Two\n");   // nothing loaded, yet the file is not deleted
    ASSERT_TRUE(commands.SaveVoiceCommands(env.root()));
    EXPECT_TRUE(IsolatedEnvironment::readFile(file()).contains("Voice=Two"));
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

    QStringList problems;
    if (kind == "no permission") {
        WithoutFileRights::denyReading(file());
        WithoutFileRights asUser;
        problems = commands.LoadVoiceCommands(env.root());
    } else {
        problems = commands.LoadVoiceCommands(env.root());
    }
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains(file()) && problems[0].contains("could not be read")) << problems[0].toStdString();
    EXPECT_EQ(commands.count(), 0);

    EXPECT_TRUE(commands.SaveVoiceCommands(env.root()));
    QFile::setPermissions(file(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(IsolatedEnvironment::readFile(file()), bytes);
}

INSTANTIATE_TEST_SUITE_P(Kinds, UnreadableCommandFileTest, ::testing::Values("no permission", "utf16", "binary"));

TEST_F(BuiltInCommandsTest, TabCommandsSelectTheirPageAndSwitchedOnCommandsWinLast)
{
    h.menus.AddSystemCommands(h.context);
    commands.AddTabCommands(kTabs);
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

TEST_F(BuiltInCommandsTest, TheCommandsPageSwitchesAndEditsTheCommandsInPlace)
{
    CommandsPage page{commands};
    const auto control = [&](const char* name) { return page.findChild<QWidget*>(QString::fromLatin1(name)); };
    auto* list = static_cast<QListWidget*>(control("lstVoiceCommands"));
    auto* gestures = static_cast<QComboBox*>(control("cboExecuteGesture"));
    page.setGestureNames({"None", "Write", "Wave"});
    page.FillVoiceCommandList();
    EXPECT_FALSE(control("FrameCommands")->isEnabled());   // nothing to show yet

    load("[VoiceCommand 1]\nVoice=Copy\nDescription=Copies\nWhatToSay=Copying\nGesture=Write\n"
         "[VoiceCommand 2]\nVoice=Escape\nActive=False\nGesture=Dance\n[VoiceCommand 3]\nVoice=Page Down\n");
    page.FillVoiceCommandList();
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(1)->checkState(), Qt::Unchecked);
    EXPECT_EQ(h.menuTexts(), (QStringList{"Copy", "Page Down"}));
    EXPECT_TRUE(control("FrameCommands")->isEnabled());
    EXPECT_EQ(static_cast<QLineEdit*>(control("txtExecuteText"))->text(), QStringLiteral("Copying"));
    EXPECT_EQ(gestures->currentText(), QStringLiteral("Write"));

    list->item(0)->setCheckState(Qt::Unchecked);
    list->item(1)->setCheckState(Qt::Checked);
    EXPECT_FALSE(at(0).m_Active);
    EXPECT_EQ(h.menuTexts(), (QStringList{"Page Down", "Escape"}));

    list->setCurrentRow(1);   // a gesture the character lacks shows as None but is kept
    EXPECT_EQ(gestures->currentText(), QStringLiteral("None"));
    EXPECT_EQ(at(1).m_Gesture, QStringLiteral("Dance"));
    QTest::keyClicks(control("txtDescription"), "Leaves");   // the box shows nothing to add to
    QTest::keyClicks(control("txtExecuteText"), " now");
    gestures->setCurrentIndex(2);
    emit gestures->activated(2);
    EXPECT_EQ(at(1).m_Description, QStringLiteral("Leaves"));
    EXPECT_EQ(at(1).m_WhatToSay, QStringLiteral("Escape now"));
    EXPECT_EQ(at(1).m_Gesture, QStringLiteral("Wave"));
    EXPECT_EQ(at(0).m_Description, QStringLiteral("Copies"));

    // A long description is shown whole, wrapped, not cut at the box's edge.
    at(0).m_Description = QString(30, 'x').append(" ").repeated(8).trimmed();
    list->setCurrentRow(0);
    auto* description = static_cast<QPlainTextEdit*>(control("txtDescription"));
    EXPECT_EQ(description->toPlainText(), at(0).m_Description);
    EXPECT_EQ(description->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_GE(description->height(), 4 * description->fontMetrics().lineSpacing());
    EXPECT_EQ(at(1).m_Description, QStringLiteral("Leaves"));   // showing another changes nothing
}

// The shipped file loads cleanly, every entry uses an action the desktop carries out, and no
// phrase takes one from the program or its pages.
TEST_F(BuiltInCommandsTest, TheSuppliedFileWorksAsShipped)
{
    const QString data = qEnvironmentVariable("VORLIX_SOURCE_DIR") + QStringLiteral("/data");
    ASSERT_TRUE(QFile::exists(QDir(data).filePath(BuiltInCommands::kFileName)));
    const QStringList problems = commands.LoadVoiceCommands(data);
    EXPECT_TRUE(problems.isEmpty()) << problems.join(QLatin1Char('\n')).toStdString();
    EXPECT_GE(commands.count(), 30);
    const std::set<std::pair<int32_t, int32_t>> messages{{16, 0}, {274, 0xF020}, {274, 0xF030}, {274, 0xF120},
        {274, 0xF060}, {768, 0}, {769, 0}, {770, 0}, {771, 0}, {772, 0}, {177, 0}};
    const QStringList gestures = QStringLiteral("None Greet Read Announce Wave Think Explain Pleased Surprised Confused "
        "Congratulate Acknowledge Decline Alert GetAttention Search Process Write Suggest GestureLeft GestureRight "
        "GestureUp GestureDown").split(QLatin1Char(' '));
    for (int i = 0; i < commands.count(); ++i) {
        const CVoiceCommand& c = at(i);
        const std::string name = c.m_Voice.toStdString();
        EXPECT_TRUE(c.m_Active && !c.m_Description.isEmpty() && gestures.contains(c.m_Gesture)) << name;
        if (c.m_Type == COMMAND_POST_MESSAGE) {
            EXPECT_TRUE(messages.count({c.m_MessageID, c.m_WParam})) << name;
        } else if (c.m_Type == COMMAND_PRESS_KEY) {
            EXPECT_TRUE(c.m_MessageID >= 0 && c.m_MessageID <= 255 && VirtualKeyTable::keysym(uint8_t(c.m_MessageID))) << name;
        } else if (c.m_Type == COMMAND_RUN_PROGRAM || c.m_Type == COMMAND_OPEN_DOCUMENT || c.m_Type == COMMAND_OPEN_WEB_SITE) {
            EXPECT_FALSE(c.m_Cmd.isEmpty()) << name;
        } else {
            ADD_FAILURE() << name << " has kind " << c.m_Type;
        }
    }
    h.menus.AddSystemCommands(h.context);
    commands.AddTabCommands(kTabs);
    const int before = h.menus.commandRegistry().count();
    commands.registerActiveCommands();
    EXPECT_EQ(h.menus.commandRegistry().count(), before + commands.count());
}

} // namespace
