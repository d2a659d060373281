#include "exporter/ExportList.h"

#include "tests/exporter/ExporterTestSupport.h"

using namespace exportertest;
using mokavel::ExportItem;
using mokavel::ExportList;

class WriteExportFileTest : public ExporterTest {};

TEST_F(WriteExportFileTest, writesThreeCrLfLinesPerRecordWithEmptyArgumentsLine)
{
    const std::string out = path("apps.dat");
    ASSERT_TRUE(mokavel::WriteExportFile({{"Editor", "/usr/bin/ed", ""}, {"Web", "http://x/", "-a b"}}, out));
    EXPECT_EQ(readBytes(out), "Editor\r\n/usr/bin/ed\r\n\r\nWeb\r\nhttp://x/\r\n-a b\r\n");
}

TEST_F(WriteExportFileTest, emptyListNeitherCreatesNorTouchesTheFile)
{
    const std::string missing = path("new.dat");
    EXPECT_TRUE(mokavel::WriteExportFile({}, missing));
    EXPECT_FALSE(std::filesystem::exists(missing));

    const std::string older = path("old.dat");
    writeBytes(older, "Old\r\n/old\r\n\r\n");
    EXPECT_TRUE(mokavel::WriteExportFile({}, older));
    EXPECT_EQ(readBytes(older), "Old\r\n/old\r\n\r\n");
}

TEST_F(WriteExportFileTest, lineBreaksInsideAFieldCannotBreakTheRecordRhythm)
{
    const std::string out = path("favorites.dat");
    ASSERT_TRUE(mokavel::WriteExportFile({{"two\nlines", "a\r\nb", std::string("z\0y", 3)}}, out));
    EXPECT_EQ(readBytes(out), "two lines\r\na  b\r\nz y\r\n");
}

TEST_F(WriteExportFileTest, unwritableTargetFailsAndLeavesNoTemporaryFile)
{
    EXPECT_FALSE(mokavel::WriteExportFile({{"a", "b", ""}}, path("missing/folder/apps.dat")));
    EXPECT_FALSE(std::filesystem::exists(path("missing")));
}

TEST_F(WriteExportFileTest, replacesAnOlderFileWholeAndLeavesNothingBeside)
{
    const std::string out = path("docs/documents.dat");
    writeBytes(out, std::string(10000, 'x'));
    ASSERT_TRUE(mokavel::WriteExportFile({{"n", "t", ""}}, out));
    EXPECT_EQ(readBytes(out), "n\r\nt\r\n\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(path("docs")), {}), 1);
}

struct TextCase {
    std::string text;
    std::string part;
    bool expected;
};

class EndsWithNoCaseTest : public testing::TestWithParam<TextCase> {};

TEST_P(EndsWithNoCaseTest, matchesOnlyFourCharacterExtensions)
{
    EXPECT_EQ(mokavel::EndsWithNoCase(GetParam().text, GetParam().part), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Extensions, EndsWithNoCaseTest, testing::Values(
    TextCase{"Setup.EXE", ".exe", true}, TextCase{".exe", ".exe", true}, TextCase{"exe", "exe", false},
    TextCase{"a.exe", "exe", false}, TextCase{"a.desktop", ".desktop", false}, TextCase{"a.exe ", ".exe", false},
    TextCase{"", ".exe", false}, TextCase{"LINKS.Url", ".url", true}));
