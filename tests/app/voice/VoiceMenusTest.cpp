#include "VoiceFakes.h"

#include "app/voice/CVoiceCommand.h"

#include <gtest/gtest.h>

namespace {

struct Phrase : VoiceCommandObject {
    Phrase(QString text, EventLog& log) : text(std::move(text)), log(log) {}
    QString voice() const override { return text; }
    void Execute() override { log << QStringLiteral("execute ") + text; }
    QString text;
    EventLog& log;
};

class VoiceMenusTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(menus.CreateVoiceMenu().ok()); }
    Phrase phrase(const char* text) { return Phrase(QString::fromUtf8(text), h.log); }

    VoiceHarness h;
    VoiceMenus& menus = h.menus;
};

TEST(VoiceMenusCreation, AFailureGivesTheFullMessageAndPhrasesStillReachTheRegistry)
{
    VoiceHarness h;
    h.recogniser.createFailure = QStringLiteral("No model");
    const Result<void> created = h.menus.CreateVoiceMenu();
    ASSERT_FALSE(created.ok());
    EXPECT_EQ(created.error().message, QStringLiteral("No model\r\nFailed to initialize voice recognition engine. "
                                                      "Please E-mail support@vorlix.org and report this error."));
    Phrase notepad(QStringLiteral("Notepad"), h.log);
    h.menus.RegisterCommand(notepad);
    h.menus.ActivateMenus();
    EXPECT_TRUE(h.menus.CommandExists(QStringLiteral("Notepad")));
}

TEST_F(VoiceMenusTest, BlankPhrasesAreNeverRegistered)
{
    Phrase empty = phrase(""), blanks = phrase("   ");
    menus.RegisterCommand(empty);
    menus.RegisterCommand(blanks);
    EXPECT_EQ(menus.commandRegistry().count(), 0);
    EXPECT_TRUE(h.menuTexts().isEmpty());
}

TEST_F(VoiceMenusTest, AnEntryCarriesTheTrimmedPhraseAndTheCategoryAsStored)
{
    Phrase padded = phrase("  Web Sites ");
    menus.RegisterCommand(padded);
    ASSERT_EQ(h.recogniser.menus[h.menu()].size(), 1u);
    const auto& entry = h.recogniser.menus[h.menu()].front();
    EXPECT_EQ(entry.id, 0);
    EXPECT_EQ(entry.command, QStringLiteral("Web Sites"));
    EXPECT_EQ(entry.description, QString());
    EXPECT_EQ(entry.category, QStringLiteral("  Web Sites "));
    EXPECT_EQ(entry.flags, 0);
    EXPECT_EQ(entry.action, QStringLiteral("Web Sites"));
    EXPECT_EQ(menus.GetVCCommand(QStringLiteral("web sites")), &padded);

    menus.UnregisterCommand(padded);
    EXPECT_TRUE(h.menuTexts().isEmpty());
    EXPECT_FALSE(menus.CommandExists(QStringLiteral("Web Sites")));
}

TEST_F(VoiceMenusTest, TheLastObjectRegisteredTakesThePhraseAndNeverGivesItBack)
{
    Phrase first = phrase("Notepad"), second = phrase("Notepad ");
    menus.RegisterCommand(first);
    menus.RegisterCommand(second);
    EXPECT_EQ(h.menuTexts(), QStringList{"Notepad"});
    EXPECT_EQ(menus.GetVCCommand(QStringLiteral("Notepad")), &second);

    menus.UnregisterCommand(second);
    EXPECT_TRUE(h.menuTexts().isEmpty());
    EXPECT_FALSE(menus.CommandExists(QStringLiteral("Notepad")));
}

TEST_F(VoiceMenusTest, APhraseDifferingInCaseReplacesTheObjectButKeepsTheOldMenuEntry)
{
    Phrase upper = phrase("Hide"), lower = phrase("hide");
    menus.RegisterCommand(upper);
    menus.RegisterCommand(lower);
    EXPECT_EQ(h.menuTexts(), (QStringList{"Hide", "hide"}));
    h.log.clear();
    h.recogniser.hear(QStringLiteral("Hide"));
    h.recogniser.hear(QStringLiteral("hide"));
    EXPECT_EQ(h.log, (QStringList{"execute hide", "execute hide"}));

    menus.UnregisterCommand(lower);
    EXPECT_EQ(h.menuTexts(), QStringList{"Hide"});
    EXPECT_FALSE(menus.CommandExists(QStringLiteral("Hide")));
}

TEST_F(VoiceMenusTest, UnregisteringGoesByIdentityAndByThePhraseItWasRegisteredWith)
{
    Phrase notepad = phrase("Notepad"), lookalike = phrase("Notepad"), paint = phrase("Paint");
    menus.RegisterCommand(notepad);
    menus.RegisterCommand(paint);
    menus.UnregisterCommand(lookalike);
    EXPECT_EQ(menus.GetVCCommand(QStringLiteral("Notepad")), &notepad);
    EXPECT_EQ(h.menuTexts(), (QStringList{"Notepad", "Paint"}));

    // Its phrase changed since; the entry of the other "Paint" must stay.
    notepad.text = QStringLiteral("Paint");
    menus.UnregisterCommand(notepad);
    menus.UnregisterCommand(notepad);
    EXPECT_EQ(h.menuTexts(), QStringList{"Paint"});
    EXPECT_EQ(menus.GetVCCommand(QStringLiteral("Paint")), &paint);
}

TEST_F(VoiceMenusTest, AHeardPhraseRunsItsObjectIgnoringCaseAndAnUnknownOneNothing)
{
    Phrase sites = phrase("Web Sites");
    menus.RegisterCommand(sites);
    h.log.clear();
    h.recogniser.hear(QStringLiteral("web sites"));
    h.recogniser.hear(QStringLiteral("Stale Entry"));
    h.recogniser.hear(QString());
    EXPECT_EQ(h.log, QStringList{"execute Web Sites"});

    EXPECT_FALSE(h.recogniser.injectPhrase(QStringLiteral("Web Sites")));   // menu not active yet
    menus.ActivateMenus();
    EXPECT_TRUE(h.recogniser.injectPhrase(QStringLiteral("Web Sites")));
}

TEST_F(VoiceMenusTest, ThresholdBoundsReachTheRecogniserAndTrainingCarriesTheTitle)
{
    menus.sldThreshold_Change(0);
    menus.sldThreshold_Change(100);
    EXPECT_EQ(h.settings.m_Threshold, 100);
    EXPECT_EQ(h.recogniser.thresholds, (std::vector<int32_t>{0, 100}));
    menus.ShowTraining(nullptr);
    EXPECT_EQ(h.log.last(), QStringLiteral("training Vorlix Training"));
}

// ---- listening state

class ListeningTest : public VoiceMenusTest {
protected:
    void SetUp() override
    {
        VoiceMenusTest::SetUp();
        menus.AddSystemCommands(h.context);
        menus.setLoading(false);
        menus.ActivateMenus();
        h.log.clear();
    }
    bool menuActive() { return h.recogniser.isActive(h.menu()); }
};

TEST_F(ListeningTest, TheProgramControlCommandsSpeakAndAct)
{
    EXPECT_EQ(h.menuTexts(), (QStringList{"Listen", "Stop Listening", "Show", "Hide"}));
    const auto& hide = *menus.SystemCommands().back();
    EXPECT_EQ(hide.m_Name, QStringLiteral("Hide"));
    EXPECT_EQ(hide.m_Type, COMMAND_PROGRAM_CONTROL);
    EXPECT_FALSE(hide.m_Active);

    h.recogniser.hear(QStringLiteral("show"));
    h.recogniser.hear(QStringLiteral("Hide"));
    EXPECT_EQ(h.log, (QStringList{"say Showing||1|0", "launch", "say Hiding||1|0", "hide"}));
}

TEST_F(ListeningTest, TheButtonTogglesListeningExceptWhileLoading)
{
    QStringList captions;
    QObject::connect(&menus, &VoiceMenus::activateCaptionChanged, [&](const QString& c) { captions << c; });
    menus.Activate(true);   // the button may show something else; it is told again
    menus.cmdActivate_Click();
    EXPECT_FALSE(h.settings.m_ActiveMode);
    EXPECT_FALSE(menuActive());

    menus.setLoading(true);
    menus.cmdActivate_Click();
    EXPECT_FALSE(menuActive());

    menus.setLoading(false);
    menus.cmdActivate_Click();
    EXPECT_TRUE(h.settings.m_ActiveMode);
    EXPECT_TRUE(menuActive());
    EXPECT_EQ(captions, (QStringList{"Stop Listening", "Listen", "Stop Listening"}));
}

TEST_F(ListeningTest, StoppedByVoiceKeepsHearingUntilTheNextModalDialog)
{
    h.recogniser.hear(QStringLiteral("Stop Listening"));
    EXPECT_FALSE(h.settings.m_ActiveMode);
    EXPECT_EQ(menus.activateCaption(), QStringLiteral("Listen"));
    EXPECT_TRUE(menuActive());

    h.recogniser.hear(QStringLiteral("Listen"));
    EXPECT_EQ(menus.activateCaption(), QStringLiteral("Stop Listening"));

    h.recogniser.hear(QStringLiteral("Stop Listening"));
    menus.DeactivateMenus();   // a modal dialog opens and closes
    menus.ActivateMenus();
    EXPECT_FALSE(menuActive());

    menus.cmdActivate_Click();
    EXPECT_TRUE(h.settings.m_ActiveMode);
    EXPECT_TRUE(menuActive());
    EXPECT_EQ(menus.activateCaption(), QStringLiteral("Stop Listening"));
}

} // namespace
