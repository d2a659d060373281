#include "platform/agent/CharacterFile.h"

#include "TestCharacter.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

const QByteArray kHeader = "vorlix-character 1\nsize 40 40\npose body\n";
const QByteArray kBody = "image body\n" + TestCharacter::svgRect("#00ff00") + "\nend\n";
const QByteArray kAnimation = "animation Wave\nframe 10 body\nend\n";

TEST(CharacterFileTest, ReadsImagesAnimationsPoseAndMouths)
{
    const Result<CharacterFile> file = CharacterFile::parse(TestCharacter::fileText());
    ASSERT_TRUE(file.ok()) << file.error().message.toStdString();
    const CharacterFile& character = file.value();
    EXPECT_EQ(character.designSize, QSize(40, 40));
    EXPECT_EQ(character.animationNames(), QStringList({"Show", "Wave", "Hide"}));
    ASSERT_EQ(character.findAnimation("WAVE")->frames.size(), 2u);   // callers do not match the case
    EXPECT_EQ(character.findAnimation("Wave")->frames[1].layers, std::vector<int>{1});
    EXPECT_EQ(character.findAnimation("Nod"), nullptr);
    EXPECT_EQ(character.mouths[int(MouthShape::Closed)], 2);
    EXPECT_FALSE(character.mouths[int(MouthShape::Half)].has_value());
}

// Files edited by hand on other systems: CR LF, comments, a pose naming a later image.
TEST(CharacterFileTest, AcceptsCrLfLinesAndCommentsAndPoseAfterUse)
{
    QByteArray text = "# made by hand\r\n" + kHeader + "\r\n" + kBody + kAnimation;
    text.replace("\n", "\r\n");
    const Result<CharacterFile> file = CharacterFile::parse(text);
    ASSERT_TRUE(file.ok()) << file.error().message.toStdString();
    EXPECT_EQ(file.value().animationNames(), QStringList{"Wave"});
}

struct BadFile {
    const char* label;
    QByteArray text;
    const char* expected;   // part of the error message: the line, where one is known
};

void PrintTo(const BadFile& bad, std::ostream* out) { *out << bad.label; }

class CharacterFileRejectTest : public testing::TestWithParam<BadFile> {};

TEST_P(CharacterFileRejectTest, RefusesWithReadableReason)
{
    const Result<CharacterFile> file = CharacterFile::parse(GetParam().text);
    ASSERT_FALSE(file.ok());
    EXPECT_TRUE(file.error().message.contains(QLatin1String(GetParam().expected)))
        << file.error().message.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Malformed, CharacterFileRejectTest, testing::Values(
    BadFile{"empty", "", "empty"},
    BadFile{"binary", QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 11), "not a character file"},
    BadFile{"future version", "vorlix-character 2\n", "version 2"},
    BadFile{"zero size", "vorlix-character 1\nsize 0 40\n", "line 2"},
    BadFile{"huge size", "vorlix-character 1\nsize 40 65535\n", "line 2"},
    BadFile{"no pose", "vorlix-character 1\nsize 40 40\n" + kBody + kAnimation, "resting frame"},
    BadFile{"truncated image", kHeader + "image body\n<svg xmlns=\"http://www.w3.org/2000/svg\">", "line 4"},
    BadFile{"broken svg", kHeader + "image body\n<svg><rect></svg\nend\n" + kAnimation, "SVG"},
    BadFile{"unknown layer", kHeader + kBody + "animation Wave\nframe 10 body hat\nend\n", "line 8"},
    BadFile{"truncated animation", kHeader + kBody + "animation Wave\nframe 10 body\n", "no \"end\""},
    BadFile{"too many layers", kHeader + kBody + "animation Wave\nframe 10" + QByteArray(" body").repeated(17) + "\nend\n",
            "16 layers"}));

// Loading never reads a huge file into memory and always says which file failed.
TEST(CharacterFileLoadTest, BadFilesAreRefusedNamingThePath)
{
    IsolatedEnvironment env;
    const Result<CharacterFile> missing = CharacterFile::load(env.path("nowhere/ghost.acs"));
    ASSERT_FALSE(missing.ok());
    EXPECT_TRUE(missing.error().message.contains(env.path("nowhere/ghost.acs")));

    QDir(env.root()).mkdir("folder.acs");
    EXPECT_FALSE(CharacterFile::load(env.path("folder.acs")).ok());

    QFile huge(env.path("huge.acs"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(CharacterFile::kMaxFileBytes + 1));
    huge.close();
    EXPECT_FALSE(CharacterFile::load(huge.fileName()).ok());

    env.writeFile(env.path("bad.acs"), kHeader + "colour red\n");
    const Result<CharacterFile> bad = CharacterFile::load(env.path("bad.acs"));
    ASSERT_FALSE(bad.ok());
    EXPECT_TRUE(bad.error().message.contains(env.path("bad.acs") + ": line 4"));
}

// The program plays these names; every shipped character must have them.
class ShippedCharacterTest : public testing::TestWithParam<const char*> {};

TEST_P(ShippedCharacterTest, LoadsWithEveryAnimationTheProgramPlays)
{
    const QString path = qEnvironmentVariable("VORLIX_SOURCE_DIR") + "/data/characters/" + GetParam();
    const Result<CharacterFile> file = CharacterFile::load(path);
    ASSERT_TRUE(file.ok()) << file.error().message.toStdString();
    for (const char* name : {"Greet", "Read", "Announce", "Show", "Hide", "Wave", "Think", "Explain", "Pleased",
                             "Surprised", "Confused", "Congratulate", "Acknowledge", "Decline", "Alert",
                             "GetAttention", "Search", "Process", "Write", "Suggest", "Idle1_1", "Blink", "LookLeft",
                             "LookRight", "GestureLeft", "GestureRight", "GestureUp", "GestureDown", "RestPose"})
        EXPECT_TRUE(file.value().animationNames().contains(QLatin1String(name))) << name;
    EXPECT_TRUE(file.value().mouths[int(MouthShape::Closed)] && file.value().mouths[int(MouthShape::Open)]);
}

INSTANTIATE_TEST_SUITE_P(Characters, ShippedCharacterTest, testing::Values("merlin.acs", "robby.acs", "hoot.acs"));

} // namespace
