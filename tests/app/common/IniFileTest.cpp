#include "app/common/IniFile.h"

#include "platform/profile/PrivateProfile.h"
#include "tests/support/TestEnvironment.h"

namespace {

class IniFileTest : public IsolatedTest {
protected:
    void SetUp() override { ClearPrivateProfileCache(); }
    QString file = env.path("Vorlix.INI");
};

TEST_F(IniFileTest, emptyOrMissingValueGivesTheDefault)
{
    IsolatedEnvironment::writeFile(file, "[Character]\r\nHide=\r\nFontName=   \r\n");
    EXPECT_EQ(ReadIniString("Character", "Hide", "yes", file), "yes");
    EXPECT_EQ(ReadIniString("Character", "FontName", "MS Sans Serif", file), "MS Sans Serif");
    EXPECT_EQ(ReadIniString("Character", "Hide", "yes", env.path("none/Vorlix.INI")), "yes");
}

TEST_F(IniFileTest, textOutsideAsciiRoundTripsAndALongValueIsCutTo1023CharactersNotBytes)
{
    ASSERT_TRUE(WriteIniString("Account", QStringLiteral("UserName"), QStringLiteral("Zoë Ångström 😀"), file));
    EXPECT_EQ(ReadIniString("account", "USERNAME", "", file), QStringLiteral("Zoë Ångström 😀"));
    ASSERT_TRUE(WriteIniString("S", QStringLiteral("k"), QString(2000, QChar(0x00E9)), file));
    EXPECT_EQ(ReadIniString("S", "k", "", file), QString(1023, QChar(0x00E9)));

    // A cut must not leave half of a surrogate pair behind.
    ASSERT_TRUE(WriteIniString("S", QStringLiteral("k"), QString(1022, u'a') + QStringLiteral("😀😀"), file));
    EXPECT_EQ(ReadIniString("S", "k", "", file), QString(1022, u'a'));
}

TEST_F(IniFileTest, deletesKeysAndSectionsAndReportsARefusedWrite)
{
    ASSERT_TRUE(WriteIniString("doc1", QStringLiteral("voice"), QStringLiteral("Letter"), file));
    ASSERT_TRUE(WriteIniString("doc2", QStringLiteral("voice"), QStringLiteral("Memo"), file));
    ASSERT_TRUE(WriteIniString("doc1", QStringLiteral("voice"), std::nullopt, file));
    ASSERT_TRUE(WriteIniString("doc2", std::nullopt, std::nullopt, file));
    EXPECT_EQ(IsolatedEnvironment::readFile(file), "[doc1]\r\n");
    EXPECT_FALSE(WriteIniString("S", QStringLiteral("k"), QStringLiteral("two\nlines"), file));
    EXPECT_FALSE(WriteIniString("S", QStringLiteral("k"), QStringLiteral("v"), env.path("missing/Vorlix.INI")));
}

} // namespace
