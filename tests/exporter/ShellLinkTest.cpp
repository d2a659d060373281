#include "exporter/ShellLink.h"

#include "tests/exporter/ExporterTestSupport.h"

#include <cstring>

using namespace exportertest;

// A terminating zero some writers count into a text is no part of it.
TEST(ShellLinkTest, readsEveryFieldInBothEncodingsAndLatin1BecomesUtf8)
{
    for (const bool unicode : {true, false}) { // UTF-16 texts and base path, or ANSI ones in Latin-1
        const auto link = mokavel::parseShellLink(buildShellLink({.target = unicode ? "/opt/run.exe" : "C:\\Caf\xE9\\a.exe",
                                                                  .arguments = std::string("-n file.txt\0", 12),
                                                                  .description = "Editor", .unicode = unicode,
                                                                  .unicodeBasePath = unicode}));
        ASSERT_TRUE(link) << unicode;
        EXPECT_EQ(link->target, unicode ? "/opt/run.exe" : "C:\\Caf\xC3\xA9\\a.exe");
        EXPECT_EQ(link->arguments, "-n file.txt");
        EXPECT_EQ(link->description, "Editor");
    }
}

TEST(ShellLinkTest, truncatedOrHostileBytesAreRejectedWithoutReadingOutOfBounds)
{
    const std::string whole = buildShellLink({.target = "C:\\a\\b.exe", .arguments = "x", .description = "d",
                                              .relativePath = "..\\b.exe", .unicodeBasePath = true});
    for (size_t size = 0; size < whole.size(); ++size)
        (void)mokavel::parseShellLink(std::string_view(whole).substr(0, size));
    EXPECT_FALSE(mokavel::parseShellLink(whole.substr(0, 75)));
    EXPECT_FALSE(mokavel::parseShellLink(whole.substr(0, 90)));

    const std::string link = buildShellLink({.target = "C:\\a.exe", .arguments = "x"});
    for (const uint32_t value : {0xFFFFFFFFu, 0x7FFFFFF0u, 3u}) {
        std::string broken = link;
        std::memcpy(&broken[76], &value, 4); // LinkInfoSize
        EXPECT_FALSE(mokavel::parseShellLink(broken));
        broken = link;
        std::memcpy(&broken[76 + 16], &value, 4); // LocalBasePathOffset
        (void)mokavel::parseShellLink(broken);
    }
    std::string notALink = link;
    notALink[4] = 'X';
    EXPECT_FALSE(mokavel::parseShellLink(notALink));
    EXPECT_FALSE(mokavel::parseShellLink(link.substr(0, link.size() - 8))) << "arguments cut short";
}

TEST(ShellLinkTest, withoutALocalPathTheExpandableTargetThenTheIdListGiveTheTarget)
{
    const auto expandable = mokavel::parseShellLink(
        buildShellLink({.environmentTarget = "%SystemDrive%\\Program Files\\%Unknown%\\app.exe"}));
    ASSERT_TRUE(expandable);
    EXPECT_EQ(expandable->target, "C:\\Program Files\\%Unknown%\\app.exe");

    const auto idList = mokavel::parseShellLink(buildShellLink(
        {.arguments = "-x", .idListDrive = "C:\\", .idListNames = {{"PROGRA~1", "Program Files"}, {"APP.EXE", ""}}}));
    ASSERT_TRUE(idList);
    EXPECT_EQ(idList->target, "C:\\Program Files\\APP.EXE");
    EXPECT_EQ(idList->arguments, "-x");
}
