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
    menus.UnregisterCommand(lower);
    EXPECT_FALSE(menus.CommandExists(QStringLiteral("Notepad")) || menus.CommandExists(QStringLiteral("Hide")));

    // Unregistering goes by the phrase the object was registered with, not its current one.
    Phrase notepad("Notepad", h.log), paint("Paint", h.log);
    registerAll({&notepad, &paint});
    notepad.text = QStringLiteral("Paint");   // the other "Paint" must stay
    menus.UnregisterCommand(notepad);
    menus.UnregisterCommand(notepad);
    EXPECT_EQ(h.menuTexts(), (QStringList{"Hide", "Paint"}));
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
        QObject::connect(&menus, &VoiceMenus::activateCaptionChanged, [this](const QString& c) { captions << c; });
    }
    QStringList captions;
};

TEST_F(ListeningTest, TheButtonTogglesListeningExceptWhileLoading)
{
    menus.Activate(true);   // the button may show something else; it is told again
    menus.cmdActivate_Click();
    EXPECT_FALSE(h.settings.m_ActiveMode || h.listening());
    menus.setLoading(true);
    menus.cmdActivate_Click();   // ignored
    menus.setLoading(false);
    menus.cmdActivate_Click();
    EXPECT_TRUE(h.settings.m_ActiveMode && h.listening());
    EXPECT_EQ(captions, (QStringList{"Stop Listening", "Listen", "Stop Listening"}));
}

// Not listening, by voice or by the button, the recogniser hears "Listen" alone, before
// and after modal dialogs, until "Listen" brings the whole menu back.
TEST_F(ListeningTest, NotListeningOnlyListenIsHeardByEitherPath)
{
    Phrase sites("Web Sites", h.log);
    menus.RegisterCommand(sites);
    const QList<QStringList> listenOnly{QStringList{"Listen"}};
    for (const bool byVoice : {true, false}) {
        SCOPED_TRACE(byVoice ? "by voice" : "by the button");
        h.log.clear();
        if (byVoice)
            EXPECT_TRUE(h.recogniser.injectPhrase(QStringLiteral("Stop Listening")));
        else
            menus.cmdActivate_Click();
        EXPECT_FALSE(h.settings.m_ActiveMode);
        EXPECT_EQ(h.heardMenus(), listenOnly);
        EXPECT_FALSE(h.recogniser.injectPhrase(QStringLiteral("Web Sites")));
        h.recogniser.hear(QStringLiteral("Web Sites"));   // a stale result from the decoder
        h.recogniser.hear(QStringLiteral("Hide"));

        menus.DeactivateMenus();   // a modal dialog opens: nothing at all
        EXPECT_TRUE(h.heardMenus().isEmpty());
        EXPECT_FALSE(h.recogniser.injectPhrase(QStringLiteral("Listen")));
        menus.ActivateMenus();     // and closes
        EXPECT_EQ(h.heardMenus(), listenOnly);

        EXPECT_TRUE(h.recogniser.injectPhrase(QStringLiteral("listen")));
        EXPECT_TRUE(h.settings.m_ActiveMode && h.listening());
        EXPECT_TRUE(h.recogniser.injectPhrase(QStringLiteral("Web Sites")));
        EXPECT_EQ(h.log.filter(QStringLiteral("execute")), QStringList{"execute Web Sites"});
    }
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

// `vorlix --say` gets what a heard phrase would do; scripts tell the outcomes apart by the
// client's exit status alone.
TEST_F(ListeningTest, APhraseHandedOverAnswersWhatHappened)
{
    Phrase sites("Web Sites", h.log);
    menus.RegisterCommand(sites);
    const auto say = [&](const char* phrase) { return RemoteSay::interpret(menus.sayPhrase(QString::fromUtf8(phrase))); };
    EXPECT_TRUE(say("web sites").exitStatus == 0 && say("web sites").message.endsWith(QStringLiteral(": Web Sites")));
    EXPECT_TRUE(say("fly me").exitStatus == 4 && say("fly me").message.endsWith(QStringLiteral(": fly me")));
    constexpr int kNotListening = 3;
    menus.DeactivateMenus();   // a modal dialog is open
    EXPECT_EQ(say("Web Sites").exitStatus, kNotListening);
    menus.ActivateMenus();
    h.recogniser.training = true;
    EXPECT_EQ(say("Web Sites").exitStatus, kNotListening);
    h.recogniser.training = false;
    EXPECT_EQ(say("Stop Listening").exitStatus, 0);
    EXPECT_EQ(say("Web Sites").exitStatus, kNotListening);
    EXPECT_EQ(say("Listen").exitStatus, 0);
    EXPECT_EQ(h.log.filter(QStringLiteral("execute")), (QStringList{"execute Web Sites", "execute Web Sites"}));
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
    KindCase{"StopListening", 6, "Stop Listening", 0, "", {"activate 0"}},
    KindCase{"Show", 6, "Show", 0, "", {"launch"}},
    KindCase{"Hide", 6, "Hide", 0, "", {"hide"}},
    KindCase{"ProgramControlComparesExactly", 6, "hide", 0, "", {}},
    KindCase{"SelectTab", 7, "Web Sites", 4, "", {"tab 4"}},
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
