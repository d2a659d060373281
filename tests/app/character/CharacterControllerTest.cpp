#include "app/character/CharacterController.h"

#include "app/settings/CSettings.h"
#include "platform/desktop/Clipboard.h"
#include "platform/desktop/ScreenMetrics.h"
#include "tests/app/character/FakeAgent.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QLocale>

#include <optional>

namespace {

struct FakeScreen : ScreenMetrics {
    int widthPixels() const override { return 1024; }
    int heightPixels() const override { return 768; }
    double twipsPerPixelX() const override { return 15; }
    double twipsPerPixelY() const override { return 15; }
};

struct FakeClipboard : Clipboard {
    std::optional<QString> content;   // nullopt: empty, or holding only an image
    bool hasText() const override { return content.has_value(); }
    QString text() const override { return content.value_or(QString()); }
    void setText(const QString& text) override { content = text; }
};

class CharacterTest : public IsolatedTest {
protected:
    CharacterTest()
    {
        QDir().mkpath(chars);
        agent.designs[QStringLiteral("merlin.acs")] = FakeAgentDesign{101, 75, {"Greet", "Read", "Announce"}};
    }

    void addCharacters(const QStringList& names)
    {
        for (const QString& name : names)
            IsolatedEnvironment::writeFile(chars + '/' + name, "character");
    }

    // Loads merlin.acs and forgets the requests of loading.
    void loadMerlin()
    {
        addCharacters({"merlin.acs"});
        ASSERT_TRUE(controller.InitCharacter());
        agent.log.clear();
    }

    static QString speech(const QString& message)
    {
        return QStringLiteral("Speak \\Pit=50\\\\Spd=180\\\\Chr=\"Normal\"\\") + message;
    }

    QString chars = env.path("windir/msagent/chars");
    FakeAgentCharacters agent;
    CSettings settings{env.root()};
    FakeScreen screen;
    FakeClipboard clipboard;
    QStringList messages;   // "shown: <text>" or "spoken: <text>"
    CharacterController controller{agent, settings, screen, clipboard, [this](const QString& text, bool spoken) {
        messages << (spoken ? "spoken: " : "shown: ") + text;
    }, "Vorlix"};
};

// Loading

TEST_F(CharacterTest, loads_the_stored_character_hidden_with_language_size_and_balloon)
{
    addCharacters({"genie.acs", "merlin.acs"});
    ASSERT_TRUE(controller.InitCharacter());
    EXPECT_EQ(agent.log, QStringList({"Unload VorlixAgent", "Load VorlixAgent " + chars + "/merlin.acs", "LanguageID 1033",
                                      "Width 101", "Height 75", "BalloonStyle 1",
                                      "BalloonFontName MS Sans Serif", "BalloonFontSize 10"}));
    EXPECT_EQ(controller.gestureLists().entries, QStringList({"None", "Greet", "Read", "Announce"}));
    EXPECT_EQ(controller.gestureLists().welcomeSelection, 1);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(CharacterTest, stored_name_missing_or_outside_the_folder_loads_the_first_listed_file)
{
    addCharacters({"zed.acs", "Beta.ACS", "alpha.txt", "aaa.acs/inside"});
    IsolatedEnvironment::writeFile(env.path("windir/msagent/evil.acs"), "character");
    for (const QString stored : {"gone.acs", "../evil.acs", "ZED.acs"}) {
        settings.m_CharacterName = stored;
        ASSERT_TRUE(controller.InitCharacter());
    }
    EXPECT_EQ(agent.log.filter("Load"), QStringList({"Load VorlixAgent " + chars + "/Beta.ACS",
                                                     "Load VorlixAgent " + chars + "/Beta.ACS",
                                                     "Load VorlixAgent " + chars + "/zed.acs"}));
    EXPECT_EQ(settings.m_CharacterName, "zed.acs");
    const auto list = controller.FillCharacterList();
    EXPECT_EQ(list.fileNames, QStringList({"Beta.ACS", "zed.acs"}));
    EXPECT_EQ(list.selection, 1);
}

TEST_F(CharacterTest, empty_folder_is_reported_with_the_folder_as_path)
{
    EXPECT_FALSE(controller.InitCharacter());
    EXPECT_EQ(messages, QStringList("shown: Failed to find character file " + chars + "/\r\nUnable to run without a "
                                    "character. Please copy one of the character files (*.acs) to the " + chars
                                    + " directory before you run Vorlix."));
    EXPECT_TRUE(agent.log.isEmpty());
    EXPECT_EQ(settings.m_CharacterName, "");
    EXPECT_EQ(controller.FillCharacterList().selection, -1);
}

TEST_F(CharacterTest, picked_character_that_fails_to_load_falls_back_to_merlin)
{
    addCharacters({"genie.acs", "merlin.acs", "wizard.acs"});
    agent.broken.insert("genie.acs");
    agent.designs["wizard.acs"] = FakeAgentDesign{50, 50, {"Wave"}};
    std::vector<CharacterController::GestureLists> shown;
    controller.setGestureListsChanged([&](const auto& lists) { shown.push_back(lists); });

    controller.changeCharacter("genie.acs");
    EXPECT_EQ(messages, QStringList("shown: Failed to load character. Go to the 'Options' screen and select a "
                                    "different character. (the file is damaged)"));
    EXPECT_EQ(settings.m_CharacterName, "merlin.acs");
    EXPECT_EQ(agent.log.mid(agent.log.size() - 2), QStringList({speech("Hi There. Nice to meet you."), "Hide fast"}));

    controller.changeCharacter("wizard.acs");   // it lacks the welcome gesture "Greet"
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].entries, QStringList({"None", "Wave"}));
    EXPECT_EQ(shown[1].welcomeSelection, 0);
}

// Size and balloon

struct SizeCase {
    int index;
    int designWidth, designHeight;
    QString width, height;
};

class CharacterSizeTest : public CharacterTest, public testing::WithParamInterface<SizeCase> {};

TEST_P(CharacterSizeTest, rounds_halves_to_even_within_16_bits)
{
    const SizeCase c = GetParam();
    agent.designs["merlin.acs"] = FakeAgentDesign{c.designWidth, c.designHeight, {}};
    loadMerlin();
    settings.m_CharacterSize = c.index;
    controller.SetCharacterSize();
    EXPECT_EQ(agent.log, QStringList({"Width " + c.width, "Height " + c.height}));
}

INSTANTIATE_TEST_SUITE_P(Sizes, CharacterSizeTest, testing::Values(
    SizeCase{0, 101, 75, "50", "38"}, SizeCase{1, 101, 75, "76", "56"}, SizeCase{2, 101, 75, "101", "75"},
    SizeCase{3, 101, 75, "152", "112"}, SizeCase{4, 101, 75, "202", "150"}, SizeCase{5, 101, 75, "101", "75"},
    SizeCase{-1, 101, 75, "101", "75"}, SizeCase{4, 20000, 30000, "32767", "32767"}));

TEST_F(CharacterTest, balloon_switch_keeps_the_other_style_bits)
{
    loadMerlin();
    agent.item("VorlixAgent")->balloon().m_style = 6;
    controller.SetBalloon();
    settings.m_ShowBalloon = false;
    settings.m_FontName = "DejaVu Sans";
    controller.SetBalloon();
    EXPECT_EQ(agent.log, QStringList({"BalloonStyle 7", "BalloonFontName MS Sans Serif", "BalloonFontSize 10",
                                      "BalloonStyle 6", "BalloonFontName DejaVu Sans", "BalloonFontSize 10"}));
}

// Placement: a 101 x 75 character on a 1024 x 768 screen

struct PlaceCase {
    int position, mode;
    bool ignoreMode;
    QStringList requests;
};

class PlacementTest : public CharacterTest, public testing::WithParamInterface<PlaceCase> {};

TEST_P(PlacementTest, moves_by_position_and_character_mode)
{
    loadMerlin();
    settings.m_Position = GetParam().position;
    settings.m_CharacterMode = GetParam().mode;
    controller.SetAgentPos(GetParam().ignoreMode);
    EXPECT_EQ(agent.log, GetParam().requests);
}

INSTANTIATE_TEST_SUITE_P(Positions, PlacementTest, testing::Values(
    PlaceCase{0, 0, false, {"MoveTo 462 346"}}, PlaceCase{1, 0, false, {"MoveTo 462 0"}},
    PlaceCase{2, 0, false, {"MoveTo 462 693"}}, PlaceCase{3, 0, false, {"MoveTo 0 0"}},
    PlaceCase{4, 0, false, {"MoveTo 923 0"}}, PlaceCase{5, 0, false, {"MoveTo 0 693"}},
    PlaceCase{6, 0, false, {"MoveTo 923 693"}}, PlaceCase{7, 0, false, {}},
    PlaceCase{9, 0, false, {"MoveTo 462 346"}}, PlaceCase{-1, 0, false, {"MoveTo 462 346"}},
    PlaceCase{1, 1, false, {"MoveTo 10000 10000"}}, PlaceCase{7, 1, false, {}},
    PlaceCase{1, 1, true, {"MoveTo 462 0"}}, PlaceCase{1, 2, false, {}},
    PlaceCase{1, 2, true, {"MoveTo 462 0"}}, PlaceCase{1, 5, false, {"MoveTo 462 0"}}));

// Speech

TEST_F(CharacterTest, say_and_play_requests_follow_the_character_mode)
{
    loadMerlin();
    controller.SayAndPlay("Hi", "Greet", true, false);
    EXPECT_EQ(agent.log, QStringList({"MoveTo 462 0", "Show fast", "Play Greet", speech("Hi"), "Hide fast"}));

    agent.log.clear();
    settings.m_CharacterMode = 1;
    controller.SayAndPlay("Hi", "Greet", true, false);
    EXPECT_EQ(agent.log, QStringList({"MoveTo 10000 10000", "Show fast", speech("Hi"), "Hide fast"}));

    agent.log.clear();
    settings.m_CharacterMode = 2;
    controller.SayAndPlay("Hi", "Greet", true, false);
    EXPECT_TRUE(agent.log.isEmpty());
    controller.SayAndPlay("Hi", "Greet", true, true);
    EXPECT_EQ(agent.log, QStringList({"MoveTo 462 0", "Show fast", "Play Greet", speech("Hi"), "Hide fast"}));
}

TEST_F(CharacterTest, hides_only_when_the_setting_and_the_caller_both_ask)
{
    loadMerlin();
    settings.m_Hide = false;
    controller.SayAndPlay("a", "None", true, false);
    settings.m_Hide = true;
    controller.SayAndPlay("b", "", false, false);
    settings.m_Fast = false;
    controller.SayAndPlay("c", "Wave", true, false);
    EXPECT_EQ(agent.log, QStringList({"MoveTo 462 0", "Show fast", speech("a"),
                                      "MoveTo 462 0", "Show fast", speech("b"),
                                      "MoveTo 462 0", "Show", "Play Wave", speech("c"), "Hide"}));
}

TEST_F(CharacterTest, without_a_character_nothing_is_requested_and_stop_then_hides)
{
    controller.SayAndPlay("Hi", "Greet", true, true);
    controller.StopAgent();
    controller.SetAgentPos(true);
    controller.SetCharacterSize();
    controller.changeCharacterMode(2);
    EXPECT_TRUE(agent.log.isEmpty());
    loadMerlin();
    controller.StopAgent();
    EXPECT_EQ(agent.log, QStringList({"Stop", "Hide fast"}));
}

// The program's own speaking occasions

TEST_F(CharacterTest, greeting_preview_and_voice_tags)
{
    loadMerlin();
    settings.m_CharacterMode = 2;
    controller.SayWelcome();
    settings.m_UserName = "Ann";
    settings.m_WelcomeMessage = "Good day";
    controller.SayWelcome();
    controller.previewWelcome("Nice", "Read");
    EXPECT_EQ(agent.log.filter("Speak"),
              QStringList({speech("Hello ."), speech("Hello Ann.\r\nGood day"), speech("Welcome Ann.Nice")}));
    EXPECT_EQ(agent.log.filter("Play"), QStringList({"Play Greet", "Play Greet", "Play Read"}));

    settings.m_VoicePitch = 400;
    settings.m_VoiceSpeed = -5;
    settings.m_VoiceCharacter = "Whisper";
    controller.SayAndPlay("C:\\dir \"q\"", "None", false, true);
    EXPECT_EQ(agent.log.last(), "Speak \\Pit=400\\\\Spd=-5\\\\Chr=\"Whisper\"\\C:\\dir \"q\"");
}

TEST_F(CharacterTest, time_is_announced_once_at_the_top_of_each_hour)
{
    loadMerlin();
    const QDate day(2026, 3, 14);
    controller.onMinuteTick(QDateTime(day, QTime(15, 0)));   // m_SayTime off
    settings.m_SayTime = true;
    for (const QTime time : {QTime(14, 59, 59), QTime(15, 0, 1), QTime(15, 0, 59), QTime(15, 1), QTime(0, 0)})
        controller.onMinuteTick(QDateTime(day, time));
    controller.onMinuteTick(QDateTime(day.addDays(1), QTime(15, 0)));
    const QLocale locale;
    EXPECT_EQ(agent.log.filter("Speak"), QStringList({speech("The time now is 3 " + locale.pmText()),
                                                      speech("The time now is 12 " + locale.amText()),
                                                      speech("The time now is 3 " + locale.pmText())}));
    EXPECT_EQ(agent.log.filter("Play").first(), "Play Announce");
}

TEST_F(CharacterTest, clipboard_is_read_aloud_or_explained)
{
    loadMerlin();
    const QString sorry = "Sorry, No text is available in the clipboard. You can go to another application and "
                          "copy a block of text to the clipboard, using the 'Edit\\Copy' menu. You can later "
                          "listen to it by pressing this button.";
    controller.ReadClipboard();
    clipboard.content = "";
    controller.ReadClipboard();
    clipboard.content = "Some text";
    controller.ReadClipboard();
    EXPECT_EQ(agent.log.filter("Speak"), QStringList({speech(sorry), speech(sorry), speech("Some text")}));
}

// Settings page changes

TEST_F(CharacterTest, page_changes_apply_before_their_demonstration)
{
    loadMerlin();
    controller.changeSize(0);
    settings.m_ShowBalloon = false;
    controller.changeFontName("Serif");
    controller.changeCharacterMode(0);
    controller.changeCharacterMode(2);
    EXPECT_EQ(agent.log, QStringList({"Width 50", "Height 38", "MoveTo 487 0", "Show fast", "Play Read",
                                      speech("This is my new size"), "Hide fast", "BalloonStyle 0",
                                      "BalloonFontName Serif", "BalloonFontSize 10", "Hide"}));
}

} // namespace
