#include "tests/fakes/VoiceFakes.h"

#include "app/voice/CVoiceCommand.h"
#include "app/voice/RemoteSay.h"

#include <gtest/gtest.h>

namespace {

struct Phrase : VoiceCommandObject {
    Phrase(const char* text, EventLog& log) : text(QString::fromUtf8(text)), log(log) {}
    QString voice() const override { return text; }
    void Execute() override { log << QStringLiteral("execute ") + text; }
    QString text;
    EventLog& log;
};

class VoiceMenusTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(menus.CreateVoiceMenu().ok()); }
    void registerAll(std::initializer_list<Phrase*> phrases)
    {
        for (Phrase* p : phrases)
            menus.RegisterCommand(*p);
    }
    VoiceHarness h;
    VoiceMenus& menus = h.menus;
};

TEST(VoiceMenusCreation, AFailureNamesTheEngineProblemAndPhrasesStillReachTheRegistry)
{
    VoiceHarness h;
    h.recogniser.createFailure = QStringLiteral("No model");
    const Result<void> created = h.menus.CreateVoiceMenu();
    ASSERT_FALSE(created.ok());
    EXPECT_TRUE(created.error().message.startsWith(QStringLiteral("No model\r\n")));
    Phrase notepad("Notepad", h.log);
    h.menus.RegisterCommand(notepad);
    h.menus.ActivateMenus();   // without an engine: no crash
    EXPECT_TRUE(h.menus.CommandExists(QStringLiteral("Notepad")));
}

TEST_F(VoiceMenusTest, ATrimmedEntryIsHeardIgnoringCaseOnlyWhileActiveAndBlanksAreNeverRegistered)
{
    Phrase empty("", h.log), blanks("   ", h.log), sites("  Web Sites ", h.log);
    registerAll({&empty, &blanks, &sites});
    EXPECT_EQ(menus.commandRegistry().count(), 1);
    EXPECT_EQ(h.menuTexts(), QStringList{"Web Sites"});
    h.recogniser.hear(QStringLiteral("web sites"));
    h.recogniser.hear(QStringLiteral("Stale Entry"));
    h.recogniser.hear(QString());
    EXPECT_EQ(h.log, QStringList{"execute   Web Sites "});
    EXPECT_FALSE(h.recogniser.injectPhrase(QStringLiteral("Web Sites")));
    menus.ActivateMenus();
    EXPECT_TRUE(h.recogniser.injectPhrase(QStringLiteral("Web Sites")));
}

TEST_F(VoiceMenusTest, TheLastRegisteredTakesThePhraseCaseVariantsKeepTheirEntriesAndUnregisteringGoesByIdentity)
{
    Phrase first("Notepad", h.log), second("Notepad ", h.log), upper("Hide", h.log), lower("hide", h.log);
    registerAll({&first, &second, &upper, &lower});
    EXPECT_EQ(h.menuTexts(), (QStringList{"Notepad", "Hide", "hide"}));
    EXPECT_EQ(menus.GetVCCommand(QStringLiteral("NOTEPAD")), &second);
    h.recogniser.hear(QStringLiteral("Hide"));
    h.recogniser.hear(QStringLiteral("hide"));
    EXPECT_EQ(h.log, (QStringList{"execute hide", "execute hide"}));
    menus.UnregisterCommand(second);   // the replaced object never gets the phrase back
    EXPECT_FALSE(menus.CommandExists(QStringLiteral("Notepad")));

    // Unregistering goes by the phrase the object was registered with, not its current one.
    Phrase paint("Paint", h.log);
    registerAll({&paint});
    lower.text = QStringLiteral("Paint");
    menus.UnregisterCommand(lower);
    menus.UnregisterCommand(lower);
    EXPECT_FALSE(menus.CommandExists(QStringLiteral("Hide")));
    EXPECT_EQ(menus.GetVCCommand(QStringLiteral("Paint")), &paint);
}

class ListeningTest : public VoiceMenusTest {
protected:
    void SetUp() override
    {
        VoiceMenusTest::SetUp();
        menus.AddSystemCommands(h.context);
        menus.setLoading(false);
        menus.ActivateMenus();
    }
};

// The voice path and modal dialogs run end to end; the button, and the button while
// loading, are only reachable here. Not listening, "Listen" alone is heard.
TEST_F(ListeningTest, TheButtonTogglesListeningExceptWhileLoadingAndThenOnlyListenIsHeard)
{
    Phrase sites("Web Sites", h.log);
    menus.RegisterCommand(sites);
    menus.cmdActivate_Click();
    EXPECT_FALSE(h.settings.m_ActiveMode || h.listening());
    EXPECT_EQ(h.heardMenus(), QList<QStringList>{QStringList{"Listen"}});
    EXPECT_FALSE(h.recogniser.injectPhrase(QStringLiteral("Web Sites")));
    h.recogniser.hear(QStringLiteral("Web Sites"));   // a stale result from the decoder
    menus.setLoading(true);
    menus.cmdActivate_Click();   // ignored
    menus.setLoading(false);
    EXPECT_FALSE(h.settings.m_ActiveMode);
    menus.cmdActivate_Click();
    EXPECT_TRUE(h.settings.m_ActiveMode && h.listening());
    EXPECT_TRUE(h.recogniser.injectPhrase(QStringLiteral("Web Sites")));
    EXPECT_EQ(h.log.filter(QStringLiteral("execute")), QStringList{"execute Web Sites"});
}

TEST_F(ListeningTest, ListenWakesTheProgramEvenWhenAListTookThePhrase)
{
    Phrase mine("Listen", h.log);
    menus.RegisterCommand(mine);
    menus.Activate(false);
    h.log.clear();
    EXPECT_TRUE(h.recogniser.injectPhrase(QStringLiteral("Listen")));
    EXPECT_EQ(h.log, (QStringList{"say Listening||1|0", "activate 1"}));
    EXPECT_TRUE(h.listening());
}

// The exit statuses of `vorlix --say` run end to end; training only shows here.
TEST_F(ListeningTest, APhraseHandedOverDuringTrainingIsNotRunAndAGarbledAnswerIsAFailure)
{
    Phrase sites("Web Sites", h.log);
    menus.RegisterCommand(sites);
    h.recogniser.training = true;
    EXPECT_EQ(RemoteSay::interpret(menus.sayPhrase(QStringLiteral("Web Sites"))).exitStatus, 3);
    EXPECT_TRUE(h.log.filter(QStringLiteral("execute")).isEmpty());
    EXPECT_EQ(RemoteSay::interpret(QStringLiteral("garbled")).exitStatus, 1);
}

struct KindCase { const char* name; int32_t type; const char* voice; int32_t messageId; const char* commandLine; QStringList actions; };

class ExecuteTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(ExecuteTest, SpeaksFirstThenActsByKind)
{
    const KindCase& c = GetParam();
    VoiceHarness h;
    CVoiceCommand command(h.context);
    command.m_Voice = QString::fromUtf8(c.voice), command.m_Cmd = QStringLiteral("target");
    command.m_Type = c.type, command.m_MessageID = c.messageId, command.m_WParam = 61472, command.m_LParam = -3;
    command.m_CommandLine = QString::fromUtf8(c.commandLine);
    command.m_WhatToSay = QStringLiteral("Done"), command.m_Gesture = QStringLiteral("Wave");
    command.Execute();
    // What opens something is started first: the character then says whether it could.
    const bool opens = c.type == 1 || c.type == 4 || c.type == 5;
    EXPECT_EQ(h.log, opens ? c.actions + QStringList{"say Done|Wave|1|0"} : QStringList{"say Done|Wave|1|0"} + c.actions);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ExecuteTest, testing::Values(
    KindCase{"RunWithArguments", 1, "Edit", 0, "notes.txt", {"open target|notes.txt|1"}},
    KindCase{"PostToForeground", 2, "Minimise", 274, "", {"post 274 61472 -3"}},
    KindCase{"PressAndReleaseKey", 3, "Page Down", 34, "", {"key 34 0 0", "key 34 0 2"}},
    KindCase{"KeyCodeAbove255PressesNothing", 3, "Odd", 256, "", {}},
    KindCase{"NegativeKeyCodePressesNothing", 3, "Odd", -1, "", {}},
    KindCase{"WebSiteNeverTakesArguments", 5, "News", 0, "ignored", {"open target||1"}},
    KindCase{"Hide", 6, "Hide", 0, "", {"hide"}},
    KindCase{"ProgramControlComparesExactly", 6, "hide", 0, "", {}},
    KindCase{"TabThatDoesNotExistOnlySpeaks", 7, "Nowhere", 7, "", {}},
    KindCase{"UnknownKindOnlySpeaks", 8, "Eight", 16, "", {}}),
    [](const testing::TestParamInfo<KindCase>& info) { return std::string(info.param.name); });

TEST(CommandThatCannotStart, SaysSoInsteadOfItsSentence)
{
    VoiceHarness h;
    for (const int32_t type : {1, 4, 5}) {
        CVoiceCommand command(h.context);
        command.m_Voice = command.m_Name = QStringLiteral("Open Terminal");
        command.m_Type = type;
        command.m_Cmd = QStringLiteral("missing-terminal");
        command.m_WhatToSay = QStringLiteral("Opening a terminal");
        command.Execute();
    }
    EXPECT_EQ(h.log.filter("say"), QStringList(3, "say I could not start Open Terminal.|Decline|1|0"));
}

} // namespace
