#include "exporter/ShellLink.h"

#include "tests/exporter/ExporterTestSupport.h"

#include <cstring>

using namespace exportertest;

TEST(ShellLinkTest, readsTargetArgumentsAndDescriptionInBothEncodings)
{
    for (const bool unicode : {true, false}) {
        const auto link = mokavel::parseShellLink(
            buildShellLink({.target = "C:\\Tools\\edit.exe", .arguments = "-n file.txt", .description = "Editor",
                            .unicode = unicode}));
        ASSERT_TRUE(link) << unicode;
        EXPECT_EQ(link->target, "C:\\Tools\\edit.exe");
        EXPECT_EQ(link->arguments, "-n file.txt");
        EXPECT_EQ(link->description, "Editor");
    }
}

TEST(ShellLinkTest, prefersTheUnicodeBasePath)
{
    const auto link = mokavel::parseShellLink(buildShellLink({.target = "/opt/app/run.exe", .unicodeBasePath = true}));
    ASSERT_TRUE(link);
    EXPECT_EQ(link->target, "/opt/app/run.exe");
}

TEST(ShellLinkTest, latin1PathBecomesUtf8)
{
    const auto link = mokavel::parseShellLink(buildShellLink({.target = "C:\\Caf\xE9\\a.exe"}));
    ASSERT_TRUE(link);
    EXPECT_EQ(link->target, "C:\\Caf\xC3\xA9\\a.exe");
}

TEST(ShellLinkTest, everyTruncationIsRejectedOrReadWithinBounds)
{
    const std::string whole = buildShellLink({.target = "C:\\a\\b.exe", .arguments = "x", .description = "d",
                                              .relativePath = "..\\b.exe", .unicodeBasePath = true});
    for (size_t size = 0; size < whole.size(); ++size)
        (void)mokavel::parseShellLink(std::string_view(whole).substr(0, size));
    EXPECT_FALSE(mokavel::parseShellLink(whole.substr(0, 75)));
    EXPECT_FALSE(mokavel::parseShellLink(whole.substr(0, 90)));
}

TEST(ShellLinkTest, hostileSizesAndOffsetsAreRejected)
{
    std::string link = buildShellLink({.target = "C:\\a.exe", .arguments = "x"});
    const size_t info = 76;
    for (const uint32_t value : {0xFFFFFFFFu, 0x7FFFFFF0u, 3u}) {
        std::string broken = link;
        std::memcpy(&broken[info], &value, 4); // LinkInfoSize
        EXPECT_FALSE(mokavel::parseShellLink(broken));
        broken = link;
        std::memcpy(&broken[info + 16], &value, 4); // LocalBasePathOffset
        (void)mokavel::parseShellLink(broken);
    }
    std::string notALink = link;
    notALink[4] = 'X';
    EXPECT_FALSE(mokavel::parseShellLink(notALink));
    std::string hugeCount = link;
    hugeCount.resize(hugeCount.size() - 4 - 2 - 2); // cut the arguments short
    EXPECT_FALSE(mokavel::parseShellLink(hugeCount));
}

class ShellLinkFileTest : public ExporterTest {};

TEST_F(ShellLinkFileTest, relativeTargetIsResolvedAgainstTheShortcutsFolder)
{
    writeBytes(path("menu/tool.lnk"), buildShellLink({.relativePath = "..\\bin\\tool.exe"}));
    const auto link = mokavel::readShellLink(path("menu/tool.lnk"));
    ASSERT_TRUE(link);
    EXPECT_EQ(link->target, path("menu/../bin/tool.exe"));
}

TEST_F(ShellLinkFileTest, oversizedOrMissingFilesAreNoShortcuts)
{
    writeBytes(path("huge.lnk"), buildShellLink({.target = "/a.exe"}) + std::string(mokavel::kMaxShellLinkBytes, '\0'));
    EXPECT_FALSE(mokavel::readShellLink(path("huge.lnk")));
    EXPECT_FALSE(mokavel::readShellLink(path("none.lnk")));
    makeFolder(path("folder.lnk"));
    EXPECT_FALSE(mokavel::readShellLink(path("folder.lnk")));
}
