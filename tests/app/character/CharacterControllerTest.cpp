#include "app/character/CharacterController.h"

#include "app/settings/CSettings.h"
#include "platform/desktop/Clipboard.h"
#include "platform/desktop/ScreenMetrics.h"
#include "tests/fakes/FakeAgent.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QLocale>

#include <optional>

namespace {

// A 1024 x 768 screen, and a clipboard whose nullopt is empty or holding only an image.
struct FakeScreenAndClipboard : ScreenMetrics, Clipboard {
    int widthPixels() const override { return 1024; }
    int heightPixels() const override { return 768; }
    double twipsPerPixelX() const override { return 15; }
    double twipsPerPixelY() const override { return 15; }
    std::optional<QString> content;
    bool hasText() const override { return content.has_value(); }
    QString text() const override { return content.value_or(QString()); }
    void setText(const QString& text) override { content = text; }
};

class CharacterTest : public IsolatedTest {
protected:
    CharacterTest() { agent.designs["merlin.acs"] = FakeAgentDesign{101, 75, {"Greet", "Read", "Announce"}}; }
    void addCharacters(const QStringList& names)
    {
        for (const QString& name : names)
            IsolatedEnvironment::writeFile(chars + '/' + name, "character");
    }
    void loadMerlin()   // and forget the requests of loading
    {
        addCharacters({"merlin.acs"});
        ASSERT_TRUE(controller.InitCharacter());
        agent.log.clear();
    }
    static QString speech(const QString& message) { return "Speak \\Pit=50\\\\Spd=180\\\\Chr=\"Normal\"\\" + message; }

    QString chars = env.path("windir/msagent/chars");
    FakeAgentCharacters agent;
    CSettings settings{env.root()};
    FakeScreenAndClipboard clipboard;
    QStringList messages;
    CharacterController controller{agent, settings, clipboard, clipboard,
                                   [this](const QString& text, bool spoken) { messages << (spoken ? "spoken: " : "shown: ") + text; }, "Vorlix"};
};

TEST_F(CharacterTest, LoadingPicksTheStoredOrFirstListedCharacterAndAFailureFallsBackToMerlin)
{
    QDir().mkpath(chars);
    EXPECT_FALSE(controller.InitCharacter());
    EXPECT_EQ(messages, QStringList("shown: Failed to find character file " + chars + "/\r\nUnable to run without a character. "
                                    "Please copy one of the character files (*.acs) to the " + chars
                                    + " directory before you run Vorlix."));
    controller.SayAndPlay("Hi", "Greet", true, true);   // without a character nothing is requested
    controller.StopAgent();
    controller.SetAgentPos(true);
    EXPECT_TRUE(agent.log.isEmpty());

    addCharacters({"genie.acs", "merlin.acs", "Wizard.acs", "alpha.txt", "aaa.acs/inside"});
    IsolatedEnvironment::writeFile(env.path("windir/msagent/evil.acs"), "character");
    settings.m_CharacterName = "../evil.acs";   // outside the folder: the first listed file
    ASSERT_TRUE(controller.InitCharacter());
    EXPECT_EQ(agent.log, QStringList({"Unload VorlixAgent", "Load VorlixAgent " + chars + "/genie.acs", "LanguageID 1033",
                                      "Width 100", "Height 80", "BalloonStyle 1", "BalloonFontName MS Sans Serif",
                                      "BalloonFontSize 10"}));
    settings.m_CharacterName = "WIZARD.acs";   // names match ignoring case, and sort so
    ASSERT_TRUE(controller.InitCharacter());
    EXPECT_EQ(settings.m_CharacterName, "Wizard.acs");
    EXPECT_EQ(controller.FillCharacterList().fileNames, QStringList({"genie.acs", "merlin.acs", "Wizard.acs"}));
    EXPECT_EQ(controller.FillCharacterList().selection, 2);
    agent.broken.insert("genie.acs");
    agent.designs["Wizard.acs"] = FakeAgentDesign{50, 50, {"Wave"}};
    std::vector<CharacterController::GestureLists> shown;
    controller.setGestureListsChanged([&](const auto& lists) { shown.push_back(lists); });
    messages.clear();
    controller.changeCharacter("genie.acs");
    EXPECT_EQ(messages, QStringList("shown: Failed to load character. Go to the 'Options' screen and select a "
                                    "different character. (the file is damaged)"));
    EXPECT_EQ(settings.m_CharacterName, "merlin.acs");
    EXPECT_EQ(agent.log.mid(agent.log.size() - 2), QStringList({speech("Hi There. Nice to meet you."), "Hide fast"}));
    controller.changeCharacter("Wizard.acs");   // it lacks the welcome gesture "Greet"
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].entries, QStringList({"None", "Greet", "Read", "Announce"}));
    EXPECT_EQ(shown[0].welcomeSelection, 1);
    EXPECT_EQ(shown[1].entries, QStringList({"None", "Wave"}));
    EXPECT_EQ(shown[1].welcomeSelection, 0);
}

struct SizeCase { int index, designWidth, designHeight; QString width, height; };
class CharacterSizeTest : public CharacterTest, public testing::WithParamInterface<SizeCase> {};

TEST_P(CharacterSizeTest, RoundsHalvesToEvenWithin16Bits)
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

TEST_F(CharacterTest, TheBalloonSwitchKeepsTheOtherStyleBits)
{
    loadMerlin();
    agent.item("VorlixAgent")->m_style = 6;
    controller.SetBalloon();
    settings.m_ShowBalloon = false, settings.m_FontName = "DejaVu Sans";
    controller.SetBalloon();
    EXPECT_EQ(agent.log, QStringList({"BalloonStyle 7", "BalloonFontName MS Sans Serif", "BalloonFontSize 10",
                                      "BalloonStyle 6", "BalloonFontName DejaVu Sans", "BalloonFontSize 10"}));
}

// A 101 x 75 character on a 1024 x 768 screen; position 7 stays in place.
struct PlaceCase { int position, mode; bool ignoreMode; QStringList requests; };
class PlacementTest : public CharacterTest, public testing::WithParamInterface<PlaceCase> {};

TEST_P(PlacementTest, MovesByPositionAndCharacterMode)
{
    loadMerlin();
    settings.m_Position = GetParam().position, settings.m_CharacterMode = GetParam().mode;
    controller.SetAgentPos(GetParam().ignoreMode);
    EXPECT_EQ(agent.log, GetParam().requests);
}

INSTANTIATE_TEST_SUITE_P(Positions, PlacementTest, testing::Values(
    PlaceCase{0, 0, false, {"MoveTo 462 346"}}, PlaceCase{1, 0, false, {"MoveTo 462 0"}}, PlaceCase{2, 0, false, {"MoveTo 462 693"}},
    PlaceCase{3, 0, false, {"MoveTo 0 0"}}, PlaceCase{4, 0, false, {"MoveTo 923 0"}}, PlaceCase{5, 0, false, {"MoveTo 0 693"}},
    PlaceCase{6, 0, false, {"MoveTo 923 693"}}, PlaceCase{7, 0, false, {}}, PlaceCase{9, 0, false, {"MoveTo 462 346"}},
    PlaceCase{-1, 0, false, {"MoveTo 462 346"}}, PlaceCase{1, 1, false, {"MoveTo 10000 10000"}}, PlaceCase{7, 1, false, {}},
    PlaceCase{1, 1, true, {"MoveTo 462 0"}}, PlaceCase{1, 2, false, {}}, PlaceCase{1, 2, true, {"MoveTo 462 0"}},
    PlaceCase{1, 5, false, {"MoveTo 462 0"}}));

TEST_F(CharacterTest, SpeechFollowsTheCharacterModeAndHidesOnlyWhenBothAsk)
{
    loadMerlin();
    controller.SayAndPlay("Hi", "Greet", true, false);
    settings.m_CharacterMode = 1;
    controller.SayAndPlay("Hi", "Greet", true, false);
    EXPECT_EQ(agent.log, QStringList({"MoveTo 462 0", "Show fast", "Play Greet", speech("Hi"), "Hide fast",
                                      "MoveTo 10000 10000", "Show fast", speech("Hi"), "Hide fast"}));
    agent.log.clear();
    settings.m_CharacterMode = 2;
    controller.SayAndPlay("Hi", "Greet", true, false);
    EXPECT_TRUE(agent.log.isEmpty());

    settings.m_Hide = false;
    controller.SayAndPlay("a", "None", true, true);
    settings.m_Hide = true, settings.m_Fast = false;
    controller.SayAndPlay("b", "", false, true);
    controller.SayAndPlay("c", "Wave", true, true);
    controller.StopAgent();
    EXPECT_EQ(agent.log, QStringList({"MoveTo 462 0", "Show fast", speech("a"), "MoveTo 462 0", "Show", speech("b"),
                                      "MoveTo 462 0", "Show", "Play Wave", speech("c"), "Hide", "Stop", "Hide"}));
}

TEST_F(CharacterTest, TheProgramsOwnSpeakingOccasions)
{
    loadMerlin();
    settings.m_CharacterMode = 2;
    controller.SayWelcome();
    settings.m_UserName = "Ann", settings.m_WelcomeMessage = "Good day";
    controller.SayWelcome();
    controller.previewWelcome("Nice", "Read");
    settings.m_CharacterMode = 0, settings.m_SayTime = true;
    for (const QTime time : {QTime(14, 59, 59), QTime(15, 0, 1), QTime(15, 0, 59), QTime(15, 1)})
        controller.onMinuteTick(QDateTime(QDate(2026, 3, 14), time));
    controller.ReadClipboard();
    clipboard.content = "";
    controller.ReadClipboard();
    clipboard.content = "Some text";
    controller.ReadClipboard();
    const QString sorry = "Sorry, No text is available in the clipboard. You can go to another application and "
                          "copy a block of text to the clipboard, using the 'Edit\\Copy' menu. You can later "
                          "listen to it by pressing this button.";
    EXPECT_EQ(agent.log.filter("Speak"),
              QStringList({speech("Hello."), speech("Hello Ann.\r\nGood day"), speech("Welcome Ann.Nice"),
                           speech("The time now is 3 " + QLocale().pmText()), speech(sorry), speech(sorry),
                           speech("Some text")}));
    EXPECT_EQ(agent.log.filter("Play").mid(0, 4), QStringList({"Play Greet", "Play Greet", "Play Read", "Play Announce"}));

    settings.m_VoicePitch = 400, settings.m_VoiceSpeed = -5, settings.m_VoiceCharacter = "Whisper";
    controller.SayAndPlay("C:\\dir \"q\"", "None", false, true);
    EXPECT_EQ(agent.log.last(), "Speak \\Pit=400\\\\Spd=-5\\\\Chr=\"Whisper\"\\C:\\dir \"q\"");
}

// A window being read keeps the character and its balloon off it; the position setting stays.
TEST_F(CharacterTest, AWindowIsReadFromBesideIt)
{
    loadMerlin();
    settings.m_Position = 0;   // centre: today's place for a window in the middle
    controller.ReadWindowAloud("Overview", QRect(312, 200, 400, 300));
    EXPECT_EQ(agent.log, QStringList({"MoveTo 830 200", "Show fast", "Play Read", speech("Overview"), "Hide fast"}));
    EXPECT_EQ(settings.m_Position, 0);
    agent.log.clear();
    controller.SayAndPlay("Hi", "None", true, true);
    EXPECT_EQ(agent.log.first(), "MoveTo 462 346");
}

struct BesideCase { const char* name; QRect window; QPoint expected; };

class PlaceBesideTest : public ::testing::TestWithParam<BesideCase> {};

TEST_P(PlaceBesideTest, TheCharacterAndItsBalloonStayClearOfTheWindow)
{
    const BesideCase& c = GetParam();
    const QSize character(100, 80), screen(1024, 768);
    constexpr int balloonWidth = 300;
    const QPoint place = CharacterController::placeBeside(c.window, character, balloonWidth, screen);
    EXPECT_EQ(place, c.expected);
    const QRect body(place, character);
    EXPECT_TRUE(QRect(QPoint(0, 0), screen).contains(body));
    if (c.window.width() < 500) {   // a window that leaves room on a side
        const QRect balloon(body.center().x() - balloonWidth / 2, body.top() - 100, balloonWidth, 100);
        EXPECT_FALSE(c.window.intersects(body));
        EXPECT_FALSE(c.window.intersects(balloon));
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, PlaceBesideTest, testing::Values(
    BesideCase{"RightWhenThereIsRoom", QRect(100, 200, 400, 300), QPoint(616, 200)},
    BesideCase{"LeftAtTheScreensRightEdge", QRect(600, 300, 424, 300), QPoint(384, 300)},
    BesideCase{"LowWindowKeepsTheCharacterOnScreen", QRect(600, 700, 424, 300), QPoint(384, 688)},
    BesideCase{"TooWideForEitherSideTakesTheWiderSide", QRect(100, 0, 800, 600), QPoint(924, 0)}),
    [](const testing::TestParamInfo<BesideCase>& info) { return std::string(info.param.name); });

TEST_F(CharacterTest, PageChangesApplyBeforeTheirDemonstration)
{
    loadMerlin();
    controller.changeSize(0);
    settings.m_ShowBalloon = false;
    controller.changeFontName("Serif");
    controller.changeCharacterMode(2);
    EXPECT_EQ(agent.log, QStringList({"Width 50", "Height 38", "MoveTo 487 0", "Show fast", "Play Read",
                                      speech("This is my new size"), "Hide fast", "BalloonStyle 0",
                                      "BalloonFontName Serif", "BalloonFontSize 10", "Hide"}));
}

} // namespace
