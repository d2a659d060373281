#include "exporter/ExportList.h"

#include "tests/exporter/ExporterTestSupport.h"

using namespace exportertest;

class WriteExportFileTest : public ExporterTest {};

TEST_F(WriteExportFileTest, recordsOfThreeCrLfLinesReplaceTheFileWholeAnEmptyListTouchesNothing)
{
    const std::string out = path("docs/apps.dat");
    std::filesystem::create_directories(path("docs"));
    ASSERT_TRUE(mokavel::WriteExportFile(
        {{"Editor", "/usr/bin/ed", ""}, {"two\nlines", "a\r\nb", std::string("-a\0b", 4)}}, out));
    EXPECT_TRUE(mokavel::WriteExportFile({}, out));
    EXPECT_EQ(readBytes(out), "Editor\r\n/usr/bin/ed\r\n\r\ntwo lines\r\na  b\r\n-a b\r\n");
    EXPECT_TRUE(mokavel::WriteExportFile({}, path("new.dat")));
    EXPECT_FALSE(std::filesystem::exists(path("new.dat")));
    ASSERT_TRUE(mokavel::WriteExportFile({{"n", "t", ""}}, out));
    EXPECT_EQ(readBytes(out), "n\r\nt\r\n\r\n") << "replaced whole";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(path("docs")), {}), 1) << "no temporary file left";
    EXPECT_FALSE(mokavel::WriteExportFile({{"a", "b", ""}}, path("missing/folder/apps.dat")));
    EXPECT_FALSE(std::filesystem::exists(path("missing")));
}
