#include "app/settings/CSettings.h"

#include "tests/support/TestEnvironment.h"

#include <QFile>

#include <array>

namespace {

struct FakePlacement : WindowPlacement {
    int32_t screenWidthTwips() const override { return 19200; }
    int32_t windowWidthTwips() const override { return 9000; }
    int32_t windowLeftTwips() const override { return 1500; }
    int32_t windowTopTwips() const override { return 3000; }
};

class CSettingsTest : public IsolatedTest {
protected:
    QString iniPath() const { return env.path("Vorlix.INI"); }
    void writeIni(const QByteArray& text) { IsolatedEnvironment::writeFile(iniPath(), text); }
    QByteArray ini() const { return IsolatedEnvironment::readFile(iniPath()); }

    CSettings load()
    {
        CSettings settings(env.root());
        settings.LoadSettings(placement);
        return settings;
    }

    FakePlacement placement;
};

TEST_F(CSettingsTest, YesNoFlagIsTrueOnlyForYesInAnyCase)
{
    const std::pair<const char*, bool> cases[] = {{"yes", true}, {"1", false}, {"yess", false}, {"", true}};
    for (const auto& [stored, expected] : cases) {
        writeIni(QByteArray("[Character]\nHide=") + stored + "\n");
        EXPECT_EQ(load().m_Hide, expected) << stored;
    }
}

TEST_F(CSettingsTest, OutOfRangeIndexesAreCorrected)
{
    // Position, CharacterSize, CharacterMode as stored, then as loaded.
    const std::pair<QByteArray, std::array<int, 3>> cases[] = {
        {"9\nCharacterSize=5\n[Global]\nCharacterMode=3", {1, 2, 0}},
        {"-3\nCharacterSize=-1\n[Global]\nCharacterMode=-2", {1, 2, 0}},
        {"7\nCharacterSize=4\n[Global]\nCharacterMode=2", {7, 4, 2}},
    };
    for (const auto& [stored, expected] : cases) {
        writeIni("[Character]\nPosition=" + stored + "\n");
        const CSettings s = load();
        EXPECT_EQ((std::array<int, 3>{s.m_Position, s.m_CharacterSize, s.m_CharacterMode}), expected)
            << stored.toStdString();
    }
}

TEST_F(CSettingsTest, OddValuesReadAsTheirLeadingNumberOrTheDefault)
{
    writeIni("[Character]\nVoiceSpeed=abc\nVoicePitch=180.5\nThreshold=70 percent\nFontSize=12.5\n"
             "FontName=   \n[General]\nTop=99999999999\n[Global]\nLoadSilence=1\nLoadstartMenu=1\n");
    const CSettings s = load();
    EXPECT_EQ(s.m_VoiceSpeed, 0);
    EXPECT_EQ(s.m_VoicePitch, 180);   // halves to even
    EXPECT_EQ(s.m_Threshold, 70);
    EXPECT_EQ(s.m_FontSize, 12);
    EXPECT_EQ(s.m_Top, std::numeric_limits<int32_t>::max()) << "too large saturates instead of overflowing";
    EXPECT_EQ(s.m_FontName, "MS Sans Serif") << "a blank font is no font";
    EXPECT_FALSE(s.m_ActiveMode) << "LoadSilence starts not listening";
    EXPECT_EQ(s.m_LoadStartMenu, 1) << "the key is read as the program has always spelt it";
}

TEST_F(CSettingsTest, SaveWritesEveryKeyInOrderAndReadsBackUnchanged)
{
    // Every value off its default, so a key written from the wrong member shows.
    CSettings s = load();
    s.m_UserName = "Grace", s.m_CharacterName = "robot.acs", s.m_WelcomeMessage = "Good morning, Dave";
    s.m_SayTime = s.m_StayOnTop = true;
    s.m_Hide = s.m_Fast = s.m_ShowBalloon = false;
    s.m_FontName = "DejaVu Sans", s.m_FontSize = 14, s.m_WelcomeGesture = "Wave", s.m_VoiceCharacter = "Whisper";
    s.m_Position = 6, s.m_VoiceSpeed = 220, s.m_VoicePitch = 90, s.m_Threshold = 0, s.m_CharacterSize = 4;
    s.m_Left = 1;   // not saved: the window's position is
    s.m_LoadSilence = s.m_LoadControlPanel = 1;
    s.m_CharacterMode = 2;
    ASSERT_TRUE(s.Save(placement));
    EXPECT_EQ(IsolatedEnvironment::readFile(env.path("Welcome.txt")), "\"Good morning, Dave\"\r\n");

    const QByteArray expected =
        "[Character]\r\nName=robot.acs\r\nHide=No\r\nFast=No\r\nShowBalloon=No\r\nFontName=DejaVu Sans\r\n"
        "FontSize=14\r\nWelcomeGesture=Wave\r\nVoiceCharacter=Whisper\r\nPosition=6\r\nVoiceSpeed=220\r\n"
        "VoicePitch=90\r\nThreshold=0\r\nCharacterSize=4\r\n"
        "[Account]\r\nUserName=Grace\r\n"
        "[General]\r\nSayTime=Yes\r\nHideDisabled=No\r\nStayOnTop=Yes\r\nLeft=1500\r\nTop=3000\r\n"
        "[Global]\r\nLoadSilence=1\r\nLoadControlPanel=1\r\nLoadstartMenu=0\r\nLoadDesktopApplications=1\r\n"
        "CharacterMode=2\r\n";
    EXPECT_EQ(ini(), expected);

    const CSettings back = load();
    EXPECT_EQ(back.m_UserName, "Grace");
    EXPECT_FALSE(back.m_Hide);
    EXPECT_EQ(back.m_Left, 1500);
    EXPECT_EQ(back.m_CharacterMode, 2);
    EXPECT_FALSE(back.m_ActiveMode);
}

// Text the user typed must come back exactly, whatever quoting the file formats use.
TEST_F(CSettingsTest, TypedTextSurvivesCommasQuotesPaddingAndLineBreaks)
{
    for (const QString& text : {QStringLiteral("Hi, there, friend"), QStringLiteral("He said \"hello\" twice"),
                                QStringLiteral("\"quoted\""), QStringLiteral("'Al'"), QStringLiteral(" padded "),
                                QStringLiteral("\"\"twice\"\""), QString()}) {
        CSettings s = load();
        s.m_UserName = s.m_FontName = s.m_WelcomeMessage = text;
        ASSERT_TRUE(s.Save(placement));
        ASSERT_TRUE(s.Save(placement));
        const CSettings back = load();
        EXPECT_EQ(back.m_UserName, text);
        EXPECT_EQ(back.m_FontName, text.trimmed().isEmpty() ? "MS Sans Serif" : text);
        EXPECT_EQ(back.m_WelcomeMessage, text);
    }
    CSettings s = load();
    s.m_WelcomeMessage = "two\r\nlines";
    ASSERT_TRUE(s.Save(placement));
    EXPECT_EQ(load().m_WelcomeMessage, "two\r\nlines");
}

TEST_F(CSettingsTest, WelcomeFileOddShapesNeverStopLoading)
{
    const std::pair<QByteArray, QString> cases[] = {
        {"", ""},                                   // empty file: no field at all
        {"plain text, more\r\n", "plain text"},     // unquoted ends at the comma
        {"\"unterminated", "unterminated"},
    };
    for (const auto& [bytes, expected] : cases) {
        IsolatedEnvironment::writeFile(env.path("Welcome.txt"), bytes);
        EXPECT_EQ(load().m_WelcomeMessage, expected) << bytes.toStdString();
    }
    IsolatedEnvironment::writeFile(env.path("Welcome.txt"), QByteArray("\x00\xff\xfe\"", 4));
    load();   // binary bytes: no crash, whatever text comes out
}

TEST_F(CSettingsTest, GarbageAndBinaryFileYieldsDefaults)
{
    QByteArray garbage("\x00\x01[[[\xff\xfe=\n=\n[Other\nName\n\n\n", 25);
    garbage += QByteArray(10 * 1024 * 1024, 'x');   // a 10 MB line
    garbage += "\n[Character]\nVoiceSpeed=120\n";
    writeIni(garbage);
    CSettings s(env.root());
    const QStringList problems = s.LoadSettings(placement);
    EXPECT_EQ(s.m_CharacterName, "merlin.acs");
    EXPECT_EQ(s.m_VoiceSpeed, 120);
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains("Vorlix.INI could not be read (it is not a text file)"));
    s.m_VoiceSpeed = 200;
    (void)s.Save(placement);
    EXPECT_EQ(ini(), garbage) << "a file that was not read whole is never replaced";
}

TEST_F(CSettingsTest, UnreadableFilesAreReportedAndLeftAsTheyAre)
{
    const QByteArray settings = "[Account]\r\nUserName=Ada\r\n";
    const QByteArray welcome("\xFF\xFE\"\0H\0i\0\"\0", 10);
    writeIni(settings);
    IsolatedEnvironment::writeFile(env.path("Welcome.txt"), welcome);
    WithoutFileRights::denyReading(iniPath());

    CSettings s(env.root());
    QStringList problems;
    {
        WithoutFileRights asUser;
        problems = s.LoadSettings(placement);
    }
    ASSERT_EQ(problems.size(), 2);
    EXPECT_TRUE(problems[0].startsWith(iniPath() + " could not be read")) << problems[0].toStdString();
    EXPECT_TRUE(problems[1].contains("UTF-16"));
    s.m_UserName = "Someone else";
    s.m_WelcomeMessage = "Hello";
    (void)s.Save(placement);
    QFile::setPermissions(iniPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(ini(), settings);
    EXPECT_EQ(IsolatedEnvironment::readFile(env.path("Welcome.txt")), welcome);
}

TEST_F(CSettingsTest, MissingFileOrFolderGivesDefaultsAndNothingIsCreatedByLoading)
{
    const CSettings fresh = load();
    EXPECT_EQ(fresh.m_Left, 19200 - 9000) << "top right corner of the screen";
    EXPECT_FALSE(QFile::exists(iniPath()));

    CSettings s(env.path("no/such/folder"));
    s.LoadSettings(placement);
    EXPECT_EQ(s.m_CharacterName, "merlin.acs");
    EXPECT_FALSE(s.Save(placement));   // refused: a missing folder is not created
    EXPECT_FALSE(QFile::exists(env.path("no/such/folder/Vorlix.INI")));
}

} // namespace
