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
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("shown: ") && messages[0].contains(chars));   // tells where to put one
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
    agent.broken.insert("genie.acs");
    agent.designs["Wizard.acs"] = FakeAgentDesign{50, 50, {"Wave"}};
    std::vector<CharacterController::GestureLists> shown;
    controller.setGestureListsChanged([&](const auto& lists) { shown.push_back(lists); });
    messages.clear();
    controller.changeCharacter("genie.acs");
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("(the file is damaged)"));   // the loader's reason reaches the user
    EXPECT_EQ(settings.m_CharacterName, "merlin.acs");
    EXPECT_EQ(agent.log.mid(agent.log.size() - 2), QStringList({speech("Hi There. Nice to meet you."), "Hide fast"}));
    controller.changeCharacter("Wizard.acs");   // it lacks the welcome gesture "Greet"
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].entries, QStringList({"None", "Greet", "Read", "Announce"}));
    EXPECT_EQ(shown[0].welcomeSelection, 1);
    EXPECT_EQ(shown[1].entries, QStringList({"None", "Wave"}));
    EXPECT_EQ(shown[1].welcomeSelection, 0);
}

// Halves round to even, and a huge design must not overflow the 16-bit size.
TEST_F(CharacterTest, SizeRoundsHalvesToEvenWithin16Bits)
{
    loadMerlin();
    for (const int index : {0, 4, 5, -1}) {   // 50%, 200%, then out of range: 100%
        settings.m_CharacterSize = index;
        controller.SetCharacterSize();
    }
    EXPECT_EQ(agent.log, QStringList({"Width 50", "Height 38", "Width 202", "Height 150", "Width 101", "Height 75",
                                      "Width 101", "Height 75"}));
    agent.designs["merlin.acs"] = FakeAgentDesign{20000, 30000, {}};
    loadMerlin();
    settings.m_CharacterSize = 4;
    controller.SetCharacterSize();
    EXPECT_EQ(agent.log, QStringList({"Width 32767", "Height 32767"}));
}

// A 101 x 75 character on a 1024 x 768 screen: corners keep it whole, position 7 stays in
// place, unknown settings read as the defaults, and ignoring the mode places it anyway.
TEST_F(CharacterTest, MovesByPositionAndCharacterMode)
{
    struct Case { int position, mode; bool ignoreMode; QStringList requests; };
    loadMerlin();
    for (const Case& c : std::vector<Case>{
             {0, 0, false, {"MoveTo 462 346"}}, {6, 0, false, {"MoveTo 923 693"}}, {7, 0, false, {}},
             {9, 0, false, {"MoveTo 462 346"}}, {1, 1, true, {"MoveTo 462 0"}}, {1, 5, false, {"MoveTo 462 0"}}}) {
        agent.log.clear();
        settings.m_Position = c.position, settings.m_CharacterMode = c.mode;
        controller.SetAgentPos(c.ignoreMode);
        EXPECT_EQ(agent.log, c.requests) << c.position << " " << c.mode;
    }
}

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
    for (const QTime time : {QTime(14, 59, 59), QTime(15, 0, 1), QTime(15, 1)})   // on the hour only
        controller.onMinuteTick(QDateTime(QDate(2026, 3, 14), time));
    controller.ReadClipboard();
    clipboard.content = "";
    controller.ReadClipboard();
    clipboard.content = "Some text";
    controller.ReadClipboard();
    const QStringList said = agent.log.filter("Speak");
    ASSERT_EQ(said.size(), 7);
    EXPECT_EQ(said.mid(0, 4), QStringList({speech("Hello."), speech("Hello Ann.\r\nGood day"), speech("Welcome Ann.Nice"),
                                           speech("The time now is 3 " + QLocale().pmText())}));
    // An empty clipboard gets the apology, whose 'Edit\Copy' must not be read as a tag.
    EXPECT_TRUE(said[4].contains("'Edit\\Copy'") && said[5] == said[4]);
    EXPECT_EQ(said[6], speech("Some text"));
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

// Where there is room, neither the character nor its balloon covers the window being read.
TEST(PlaceBesideTest, TheCharacterAndItsBalloonStayClearOfTheWindow)
{
    const QSize character(100, 80), screen(1024, 768);
    constexpr int balloonWidth = 300;
    for (const auto& [window, expected] : {std::pair{QRect(100, 200, 400, 300), QPoint(616, 200)},    // right
                                           std::pair{QRect(600, 300, 424, 300), QPoint(384, 300)},    // left
                                           std::pair{QRect(600, 700, 424, 300), QPoint(384, 688)},    // kept on screen
                                           std::pair{QRect(100, 0, 800, 600), QPoint(924, 0)}}) {     // wider side
        const QPoint place = CharacterController::placeBeside(window, character, balloonWidth, screen);
        EXPECT_EQ(place, expected);
        const QRect body(place, character);
        EXPECT_TRUE(QRect(QPoint(0, 0), screen).contains(body));
        if (window.width() < 500) {
            EXPECT_FALSE(window.intersects(body));
            EXPECT_FALSE(window.intersects(QRect(body.center().x() - balloonWidth / 2, body.top() - 100, balloonWidth, 100)));
        }
    }
}

// The balloon switch keeps the other style bits.
TEST_F(CharacterTest, PageChangesApplyBeforeTheirDemonstration)
{
    loadMerlin();
    agent.item("VorlixAgent")->m_style = 6;
    controller.SetBalloon();
    controller.changeSize(0);
    settings.m_ShowBalloon = false;
    controller.changeFontName("Serif");
    controller.changeCharacterMode(2);
    EXPECT_EQ(agent.log, QStringList({"BalloonStyle 7", "BalloonFontName MS Sans Serif", "BalloonFontSize 10",
                                      "Width 50", "Height 38", "MoveTo 487 0", "Show fast", "Play Read",
                                      speech("This is my new size"), "Hide fast", "BalloonStyle 6",
                                      "BalloonFontName Serif", "BalloonFontSize 10", "Hide"}));
}

} // namespace
