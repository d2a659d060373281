#include "platform/files/DirectorySearch.h"

#include "tests/support/TestEnvironment.h"

#include <QDir>

namespace {

std::vector<std::string> namesOf(const std::vector<files::DirEntry>& entries)
{
    std::vector<std::string> names;
    for (const files::DirEntry& entry : entries)
        names.push_back(entry.name);
    return names;
}

class DirectorySearchTest : public IsolatedTest {
protected:
    void SetUp() override
    {
        for (const char* name : {"b.txt", "A.txt", "c.TXT", ".hidden", "readme", "a.txt"})
            IsolatedEnvironment::writeFile(env.path(QStringLiteral("list/") + name), "x");
        QDir().mkpath(env.path("list/Sub.txt"));
    }
    std::string folder = env.stdPath("list");
};

TEST_F(DirectorySearchTest, listsSortedAndMatchesIgnoringCaseWithAttributesAndUnreadableFoldersGiveNothing)
{
    const auto entries = files::findFiles(folder);
    EXPECT_EQ(namesOf(entries), (std::vector<std::string>{".hidden", "A.txt", "a.txt", "b.txt", "c.TXT", "readme", "Sub.txt"}));
    EXPECT_TRUE(entries[0].isHidden);
    EXPECT_FALSE(entries[1].isHidden);
    EXPECT_TRUE(entries.back().isDirectory);
    EXPECT_FALSE(entries[1].isDirectory);
    EXPECT_EQ(namesOf(files::findFiles(folder, "*.txt")),
              (std::vector<std::string>{"A.txt", "a.txt", "b.txt", "c.TXT", "Sub.txt"}));
    EXPECT_EQ(namesOf(files::findFiles(folder, "?.TXT")), (std::vector<std::string>{"A.txt", "a.txt", "b.txt", "c.TXT"}));
    EXPECT_TRUE(files::findFiles(env.stdPath("missing")).empty());
    EXPECT_TRUE(files::findFiles(env.stdPath("list/readme")).empty());
}

struct PatternCase { const char* name; const char* pattern; bool matches; };

class PatternTest : public testing::TestWithParam<PatternCase> {};

TEST_P(PatternTest, matchesLikeAWindowsVolume)
{
    EXPECT_EQ(files::matchesPattern(GetParam().name, GetParam().pattern), GetParam().matches)
        << GetParam().name << " ~ " << GetParam().pattern;
}

INSTANTIATE_TEST_SUITE_P(Patterns, PatternTest, testing::Values(
    PatternCase{"readme", "*.*", true}, PatternCase{"a.lnk.txt", "*.lnk", false}, PatternCase{"ac", "a?c", false},
    PatternCase{"", "*", true}, PatternCase{"abc", "", false}, PatternCase{"abcbcd", "a*bcd", true},
    PatternCase{"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*a*c", false}));

} // namespace
