#include "VoiceFakes.h"

#include "app/voice/CVoiceCommand.h"

#include <gtest/gtest.h>

namespace {

struct Phrase : VoiceCommandObject {
    explicit Phrase(QString text, EventLog* log = nullptr) : text(std::move(text)), log(log) {}
    QString voice() const override { return text; }
    void Execute() override
    {
        if (log)
            *log << QStringLiteral("execute ") + text;
    }
    QString text;
    EventLog* log;
};

class VoiceMenusTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(h.menus.CreateVoiceMenu().ok()); }

    QStringList menuTexts() { return h.recogniser.commandTexts(h.menu()); }

    VoiceHarness h;
    VoiceMenus& menus = h.menus;
};

// ---- creation and release

TEST_F(VoiceMenusTest, CreationSetsThePropertiesAroundTheMenu)
{
    EXPECT_EQ(h.log, (QStringList{"property 1 1", "createMenu MainMenu state1 4", "property 19 1"}));
    EXPECT_EQ(menus.VoiceMenu(), FakeVoiceCommandControl::kHandle);

    menus.ReleaseVoiceMenu();
    EXPECT_EQ(h.log.last(), QStringLiteral("release 41"));
}

TEST(VoiceMenusCreation, FailureGivesTheFullMessageAndPhrasesStillReachTheRegistry)
{
    VoiceHarness h;
    h.recogniser.createFailure = QStringLiteral("No recogniser model");
    const Result<void> created = h.menus.CreateVoiceMenu();
    ASSERT_FALSE(created.ok());
    EXPECT_EQ(created.error().message,
              QStringLiteral("No recogniser model\r\nFailed to initialize voice recognition engine. "
                             "Please E-mail support@vorlix.org and report this error."));
    EXPECT_EQ(h.menus.VoiceMenu(), 0);

    Phrase notepad(QStringLiteral("Notepad"));
    h.menus.RegisterCommand(notepad);
    h.menus.ActivateMenus();
    h.menus.UnregisterCommand(notepad);
    h.menus.RegisterCommand(notepad);
    EXPECT_TRUE(h.menus.CommandExists(QStringLiteral("Notepad")));
}

// ---- registering and unregistering

TEST_F(VoiceMenusTest, BlankPhrasesAreNeverRegistered)
{
    Phrase empty{QString()}, blanks{QStringLiteral("   ")};
    menus.RegisterCommand(empty);
    menus.RegisterCommand(blanks);
    EXPECT_EQ(menus.commandRegistry().count(), 0);
    EXPECT_TRUE(menuTexts().isEmpty());
    EXPECT_FALSE(menus.CommandExists(QString()));
}

TEST_F(VoiceMenusTest, AnEntryCarriesTheTrimmedPhraseAndTheCategoryAsStored)
{
    Phrase padded(QStringLiteral("  Web Sites "));
    menus.RegisterCommand(padded);

    ASSERT_EQ(h.recogniser.entries(h.menu()).size(), 1u);
    const auto& entry = h.recogniser.entries(h.menu()).front();
    EXPECT_EQ(entry.id, 0);
    EXPECT_EQ(entry.command, QStringLiteral("Web Sites"));
    EXPECT_EQ(entry.description, QString());
    EXPECT_EQ(entry.category, QStringLiteral("  Web Sites "));
    EXPECT_EQ(entry.flags, 0);
    EXPECT_EQ(entry.action, QStringLiteral("Web Sites"));
    EXPECT_EQ(menus.GetVCCommand(QStringLiteral("Web Sites")), &padded);

    menus.UnregisterCommand(padded);
    EXPECT_TRUE(menuTexts().isEmpty());
    EXPECT_FALSE(menus.CommandExists(QStringLiteral("Web Sites")));
}

TEST_F(VoiceMenusTest, TheLastObjectRegisteredTakesThePhraseAndNeverGivesItBack)
{
    Phrase first(QStringLiteral("Notepad")), second(QStringLiteral("Notepad "));
    menus.RegisterCommand(first);
    menus.RegisterCommand(second);
    EXPECT_EQ(menuTexts(), QStringList{"Notepad"});
    EXPECT_EQ(menus.GetVCCommand(QStringLiteral("Notepad")), &second);

    menus.UnregisterCommand(second);
    EXPECT_TRUE(menuTexts().isEmpty());
    EXPECT_EQ(menus.GetVCCommand(QStringLiteral("Notepad")), nullptr);
}

TEST_F(VoiceMenusTest, APhraseDifferingInCaseReplacesTheObjectButKeepsTheOldMenuEntry)
{
    Phrase upper(QStringLiteral("Hide"), &h.log), lower(QStringLiteral("hide"), &h.log);
    menus.RegisterCommand(upper);
    menus.RegisterCommand(lower);
    EXPECT_EQ(menuTexts(), (QStringList{"Hide", "hide"}));
    EXPECT_EQ(menus.commandRegistry().count(), 1);

    h.log.clear();
    h.recogniser.hear(QStringLiteral("Hide"));
    h.recogniser.hear(QStringLiteral("hide"));
    EXPECT_EQ(h.log, (QStringList{"execute hide", "execute hide"}));

    menus.UnregisterCommand(lower);
    EXPECT_EQ(menuTexts(), QStringList{"Hide"});
    EXPECT_FALSE(menus.CommandExists(QStringLiteral("Hide")));
}

TEST_F(VoiceMenusTest, UnregisteringGoesByIdentityNotByPhrase)
{
    Phrase registered(QStringLiteral("Notepad")), lookalike(QStringLiteral("Notepad"));
    Phrase other(QStringLiteral("Paint"));
    menus.RegisterCommand(registered);
    menus.RegisterCommand(other);

    menus.UnregisterCommand(lookalike);
    EXPECT_EQ(menus.GetVCCommand(QStringLiteral("notepad")), &registered);
    EXPECT_EQ(menuTexts(), (QStringList{"Notepad", "Paint"}));

    menus.UnregisterCommand(other);
    menus.UnregisterCommand(other);
    EXPECT_EQ(menuTexts(), QStringList{"Notepad"});
    EXPECT_EQ(menus.commandRegistry().count(), 1);
}

TEST_F(VoiceMenusTest, UnregisteringAfterThePhraseChangedRemovesTheEntryItWasRegisteredWith)
{
    Phrase edited(QStringLiteral("Notepad")), other(QStringLiteral("Paint"));
    menus.RegisterCommand(edited);
    menus.RegisterCommand(other);
    edited.text = QStringLiteral("Paint");

    menus.UnregisterCommand(edited);
    EXPECT_EQ(menuTexts(), QStringList{"Paint"});
    EXPECT_EQ(menus.GetVCCommand(QStringLiteral("Paint")), &other);
}

// ---- dispatch

TEST_F(VoiceMenusTest, AHeardPhraseRunsItsObjectIgnoringCase)
{
    Phrase sites(QStringLiteral("Web Sites"), &h.log);
    menus.RegisterCommand(sites);
    h.log.clear();

    h.recogniser.hear(QStringLiteral("web sites"));
    h.recogniser.hear(QStringLiteral("Stale Entry"));
    h.recogniser.hear(QString());
    EXPECT_EQ(h.log, QStringList{"execute Web Sites"});
}

TEST_F(VoiceMenusTest, AnInjectedPhraseFiresOnlyWhileTheMenuIsActive)
{
    Phrase sites(QStringLiteral("Web Sites"), &h.log);
    menus.RegisterCommand(sites);
    h.log.clear();

    EXPECT_FALSE(h.recogniser.injectPhrase(QStringLiteral("Web Sites")));
    menus.ActivateMenus();
    EXPECT_TRUE(h.recogniser.injectPhrase(QStringLiteral("web sites")));
    EXPECT_EQ(h.log, QStringList{"execute Web Sites"});
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

TEST_F(ListeningTest, TheSystemCommandsAreRegisteredInOrderWithTheirSentences)
{
    const auto& commands = menus.SystemCommands();
    ASSERT_EQ(commands.size(), 4u);
    const QStringList phrases{"Listen", "Stop Listening", "Show", "Hide"};
    const QStringList sentences{"Listening", "Not Listening", "Showing", "Hiding"};
    for (size_t i = 0; i < commands.size(); ++i) {
        EXPECT_EQ(commands[i]->m_Voice, phrases[int(i)]);
        EXPECT_EQ(commands[i]->m_Name, phrases[int(i)]);
        EXPECT_EQ(commands[i]->m_WhatToSay, sentences[int(i)]);
        EXPECT_EQ(commands[i]->m_Type, COMMAND_PROGRAM_CONTROL);
        EXPECT_FALSE(commands[i]->m_Active);
        EXPECT_TRUE(commands[i]->m_Gesture.isEmpty());
    }
    EXPECT_EQ(menuTexts(), phrases);

    h.recogniser.hear(QStringLiteral("show"));
    h.recogniser.hear(QStringLiteral("Hide"));
    EXPECT_EQ(h.log, (QStringList{"say Showing||1|0", "launch", "say Hiding||1|0", "hide"}));
}

TEST_F(ListeningTest, TheButtonTogglesListeningAndNamesItsNextAction)
{
    QStringList captions;
    QObject::connect(&menus, &VoiceMenus::activateCaptionChanged, [&](const QString& c) { captions << c; });
    ASSERT_TRUE(menuActive());
    EXPECT_EQ(menus.activateCaption(), QStringLiteral("Stop Listening"));

    menus.cmdActivate_Click();
    EXPECT_FALSE(h.settings.m_ActiveMode);
    EXPECT_FALSE(menuActive());
    EXPECT_EQ(menus.activateCaption(), QStringLiteral("Listen"));

    menus.cmdActivate_Click();
    EXPECT_TRUE(h.settings.m_ActiveMode);
    EXPECT_TRUE(menuActive());
    EXPECT_EQ(captions, (QStringList{"Listen", "Stop Listening"}));
}

TEST_F(ListeningTest, AClickWhileLoadingDoesNothing)
{
    menus.setLoading(true);
    menus.cmdActivate_Click();
    EXPECT_TRUE(h.settings.m_ActiveMode);
    EXPECT_TRUE(menuActive());
    EXPECT_EQ(menus.activateCaption(), QStringLiteral("Stop Listening"));
}

TEST_F(ListeningTest, StoppedByVoiceKeepsHearingUntilTheNextModalDialog)
{
    h.recogniser.hear(QStringLiteral("Stop Listening"));
    EXPECT_FALSE(h.settings.m_ActiveMode);
    EXPECT_EQ(menus.activateCaption(), QStringLiteral("Listen"));
    EXPECT_TRUE(menuActive());

    // Still heard: "Listen" brings listening back without touching the menu.
    h.recogniser.hear(QStringLiteral("Listen"));
    EXPECT_TRUE(h.settings.m_ActiveMode);
    EXPECT_EQ(menus.activateCaption(), QStringLiteral("Stop Listening"));

    h.recogniser.hear(QStringLiteral("Stop Listening"));
    menus.DeactivateMenus();   // a modal dialog opens ...
    menus.ActivateMenus();     // ... and closes
    EXPECT_FALSE(menuActive());

    menus.cmdActivate_Click();
    EXPECT_TRUE(h.settings.m_ActiveMode);
    EXPECT_TRUE(menuActive());
    EXPECT_EQ(menus.activateCaption(), QStringLiteral("Stop Listening"));
}

TEST_F(ListeningTest, AModalDialogSuspendsListeningAndLeavesTheStateAlone)
{
    menus.DeactivateMenus();
    EXPECT_FALSE(menuActive());
    EXPECT_TRUE(h.settings.m_ActiveMode);
    menus.ActivateMenus();
    EXPECT_TRUE(menuActive());

    menus.cmdActivate_Click();
    menus.DeactivateMenus();
    menus.ActivateMenus();
    EXPECT_FALSE(menuActive());
    EXPECT_EQ(menus.activateCaption(), QStringLiteral("Listen"));
}

// ---- threshold and training

TEST_F(VoiceMenusTest, ThresholdBoundsReachTheRecogniserUnchanged)
{
    menus.sldThreshold_Change(0);
    EXPECT_EQ(h.settings.m_Threshold, 0);
    menus.sldThreshold_Change(100);
    EXPECT_EQ(h.settings.m_Threshold, 100);
    EXPECT_EQ(h.recogniser.thresholds, (std::vector<int32_t>{0, 100}));
}

TEST_F(VoiceMenusTest, TrainingCarriesTheApplicationTitle)
{
    menus.ShowTraining(nullptr);
    EXPECT_EQ(h.log.last(), QStringLiteral("training Vorlix Training"));
}

} // namespace
