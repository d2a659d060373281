#include "platform/profile/PrivateProfile.h"

#include "tests/support/TestEnvironment.h"

#include <climits>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

namespace {

std::string readValue(std::string_view section, std::string_view key, const std::string& file,
                      std::string_view defaultValue = "<default>", int bufferSize = kProfileBufferSize)
{
    std::string out;
    const int length = GetPrivateProfileString(section, key, defaultValue, out, bufferSize, file);
    EXPECT_EQ(size_t(length), out.size());
    return out;
}

ino_t inodeOf(const std::string& file)
{
    struct stat info {};
    return ::stat(file.c_str(), &info) == 0 ? info.st_ino : 0;
}

// Makes a file look long settled, as the program's files are when it starts.
void ageFile(const std::string& file)
{
    struct utimbuf times {};
    times.actime = times.modtime = ::time(nullptr) - 3600;
    ::utime(file.c_str(), &times);
}

class ProfileTest : public IsolatedTest {
protected:
    void SetUp() override { ClearPrivateProfileCache(); }

    std::string write(const QByteArray& text)
    {
        IsolatedEnvironment::writeFile(QString::fromStdString(file), text);
        return file;
    }
    QByteArray contents() const { return IsolatedEnvironment::readFile(QString::fromStdString(file)); }

    std::string file = env.stdPath("test.ini");
};

// ---- reading: one table of file, section, key and the value that comes back ----

struct ReadCase {
    const char* name;
    const char* text;
    const char* section;
    const char* key;
    const char* expected;
};

class ReadRuleTest : public ProfileTest, public testing::WithParamInterface<ReadCase> {};

TEST_P(ReadRuleTest, readsTheValueTheRulesGive)
{
    write(GetParam().text);
    EXPECT_EQ(readValue(GetParam().section, GetParam().key, file), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rules, ReadRuleTest, testing::Values(
    ReadCase{"missing_key", "[S]\r\na=1\r\n", "S", "b", "<default>"},
    ReadCase{"missing_section", "[S]\r\na=1\r\n", "T", "a", "<default>"},
    ReadCase{"empty_value_is_empty_not_default", "[S]\r\na=\r\n", "S", "a", ""},
    ReadCase{"blank_value_is_empty", "[S]\r\na=  \t \r\n", "S", "a", ""},
    ReadCase{"names_ignore_case", "[Character]\r\nVoiceSpeed=180\r\n", "CHARACTER", "voicespeed", "180"},
    ReadCase{"blanks_around_names_and_values", "  [ S ]  \r\n \t a b  =  x  y \t\r\n", "S", "a b", "x  y"},
    ReadCase{"text_after_bracket_ignored", "[S] trailing words\r\na=1\r\n", "S", "a", "1"},
    ReadCase{"semicolon_line_is_comment", "[S]\r\n;a=1\r\n", "S", ";a", "<default>"},
    ReadCase{"hash_is_not_a_comment", "[S]\r\n#a=1\r\n", "S", "#a", "1"},
    ReadCase{"no_comment_after_value", "[S]\r\na=b ; c\r\n", "S", "a", "b ; c"},
    ReadCase{"equals_inside_value_kept", "[S]\r\na=b=c\r\n", "S", "a", "b=c"},
    ReadCase{"double_quotes_removed", "[S]\r\na=\" x \"\r\n", "S", "a", " x "},
    ReadCase{"single_quotes_removed", "[S]\r\na='x'\r\n", "S", "a", "x"},
    ReadCase{"only_one_pair_removed", "[S]\r\na=\"\"x\"\"\r\n", "S", "a", "\"x\""},
    ReadCase{"unmatched_quotes_kept", "[S]\r\na=\"x'\r\n", "S", "a", "\"x'"},
    ReadCase{"line_without_equals_is_no_key", "[S]\r\na\r\n", "S", "a", "<default>"},
    ReadCase{"first_duplicate_key_wins", "[S]\r\na=1\r\nA=2\r\n", "S", "a", "1"},
    ReadCase{"only_first_duplicate_section_searched", "[S]\r\na=1\r\n[s]\r\nb=2\r\n", "S", "b", "<default>"},
    ReadCase{"key_before_any_section_is_no_key", "a=1\r\n[S]\r\n", "S", "a", "<default>"},
    ReadCase{"lf_line_ends", "[S]\na=1\nb=2\n", "S", "b", "2"},
    ReadCase{"cr_line_ends", "[S]\ra=1\rb=2\r", "S", "b", "2"},
    ReadCase{"mixed_line_ends", "[S]\r\na=1\nb=2\rc=3", "S", "c", "3"},
    ReadCase{"last_line_without_line_end", "[S]\r\na=1", "S", "a", "1"},
    ReadCase{"byte_order_mark_before_first_section", "\xEF\xBB\xBF[S]\r\na=1\r\n", "S", "a", "1"},
    ReadCase{"utf8_passes_unchanged", "[S]\r\na=Gr\xC3\xBC\xC3\x9F" "e\r\n", "S", "a", "Gr\xC3\xBC\xC3\x9F" "e"},
    ReadCase{"binary_garbage_around_sections", "\x01\x02\xFF\xFE\r\n[S]\r\n\x7F\x80 junk\r\na=1\r\n", "S", "a", "1"}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST_F(ProfileTest, missingFileGivesTheDefaultWithQuotesRemoved)
{
    EXPECT_EQ(readValue("S", "a", env.stdPath("none.ini"), "\"quoted\""), "quoted");
    EXPECT_EQ(readValue("S", "a", env.stdPath("no/folder/none.ini"), "d"), "d");
}

TEST_F(ProfileTest, longValueIsCutToTheBufferLessOne)
{
    write("[S]\r\na=" + QByteArray(5000, 'x') + "\r\n");
    EXPECT_EQ(readValue("S", "a", file).size(), size_t(kProfileBufferSize - 1));
    EXPECT_EQ(readValue("S", "a", file, "", 4), "xxx");
    EXPECT_EQ(readValue("S", "a", file, "", 1), "");
    EXPECT_EQ(readValue("S", "a", file, "", 0), "");
    EXPECT_EQ(ReadPrivateProfileValue("S", "a", file)->size(), 5000u);
}

TEST_F(ProfileTest, cutDoesNotSplitAUtf8Character)
{
    write("[S]\r\na=ab\xC3\xBC" "cd\r\n");
    EXPECT_EQ(readValue("S", "a", file, "", 4), "ab");
    EXPECT_EQ(readValue("S", "a", file, "", 5), "ab\xC3\xBC");
}

TEST_F(ProfileTest, tenMegabyteLineAndBinaryBytesReadWithoutHarm)
{
    QByteArray text = "[S]\r\nhuge=" + QByteArray(10 << 20, 'y') + "\r\n";
    text += QByteArray("\0\0\0[T]\r\nb=2\r\n", 14);
    write(text);
    EXPECT_EQ(readValue("S", "huge", file).size(), size_t(kProfileBufferSize - 1));
    EXPECT_EQ(readValue("T", "b", file), "<default>"); // the header line starts with NUL bytes
    ASSERT_TRUE(WritePrivateProfileString("U", "c", "3", file));
    EXPECT_TRUE(contents().startsWith(text)); // nothing of the old file lost
    EXPECT_EQ(readValue("U", "c", file), "3");
}

TEST_F(ProfileTest, readMissingTellsMissingFromEmpty)
{
    write("[S]\r\nempty=\r\n");
    EXPECT_EQ(ReadPrivateProfileValue("S", "empty", file), std::optional<std::string>(""));
    EXPECT_EQ(ReadPrivateProfileValue("S", "none", file), std::nullopt);
}

// ---- integers ----

struct IntCase {
    const char* stored;
    int expected;
};

class ReadIntTest : public ProfileTest, public testing::WithParamInterface<IntCase> {};

TEST_P(ReadIntTest, readsTheLeadingInteger)
{
    write(QByteArray("[S]\r\nn=") + GetParam().stored + "\r\n");
    EXPECT_EQ(GetPrivateProfileInt("S", "n", 77, file), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Ints, ReadIntTest, testing::Values(
    IntCase{"42", 42}, IntCase{"12abc", 12}, IntCase{"", 77}, IntCase{"   ", 77}, IntCase{" 7 ", 7},
    IntCase{"abc", 0}, IntCase{"-5", -5}, IntCase{"+3", 3}, IntCase{"- 5", 0}, IntCase{"0x1F", 31},
    IntCase{"0X1fz", 31}, IntCase{"0x", 0}, IntCase{"1.9", 1}, IntCase{"\"12\"", 12}, IntCase{"\"\"", 77},
    IntCase{"99999999999", INT_MAX}, IntCase{"-99999999999", INT_MIN}, IntCase{"-2147483648", INT_MIN}));

// ---- writing ----

TEST_F(ProfileTest, firstWriteCreatesTheFileWithCrLf)
{
    ASSERT_TRUE(WritePrivateProfileString("Account", "UserName", "Ann", file));
    EXPECT_EQ(contents(), "[Account]\r\nUserName=Ann\r\n");
}

TEST_F(ProfileTest, missingFolderIsNotCreated)
{
    const std::string inMissingFolder = env.stdPath("missing/test.ini");
    EXPECT_FALSE(WritePrivateProfileString("S", "a", "1", inMissingFolder));
    EXPECT_FALSE(QFile::exists(env.path("missing")));
}

TEST_F(ProfileTest, newKeyGoesAfterTheLastKeyOfItsSection)
{
    write("[A]\r\nx=1\r\n\r\n; about B\r\n[B]\r\ny=2\r\n");
    ASSERT_TRUE(WritePrivateProfileString("a", "z", "3", file));
    EXPECT_EQ(contents(), "[A]\r\nx=1\r\nz=3\r\n\r\n; about B\r\n[B]\r\ny=2\r\n");
}

TEST_F(ProfileTest, newKeyInEmptySectionGoesAfterTheHeader)
{
    write("[A]\n[B]\ny=2");
    ASSERT_TRUE(WritePrivateProfileString("A", "x", "1", file));
    EXPECT_EQ(contents(), "[A]\nx=1\r\n[B]\ny=2");
}

TEST_F(ProfileTest, newSectionGoesAtTheEndEvenWithoutFinalLineEnd)
{
    write("[A]\nx=1");
    ASSERT_TRUE(WritePrivateProfileString("B", "y", "2", file));
    EXPECT_EQ(contents(), "[A]\nx=1\r\n[B]\r\ny=2\r\n");
}

TEST_F(ProfileTest, replacedValueKeepsPlaceCaseAndLineEnd)
{
    write("[S]\n  VoiceSpeed = 180 \nb=2\n");
    ASSERT_TRUE(WritePrivateProfileString("s", "voicespeed", "200", file));
    EXPECT_EQ(contents(), "[S]\nVoiceSpeed=200\nb=2\n");
}

TEST_F(ProfileTest, writeToDuplicateKeyChangesTheFirst)
{
    write("[S]\r\na=1\r\na=2\r\n");
    ASSERT_TRUE(WritePrivateProfileString("S", "a", "9", file));
    EXPECT_EQ(contents(), "[S]\r\na=9\r\na=2\r\n");
}

TEST_F(ProfileTest, valueWithLineBreakIsRefused)
{
    write("[S]\r\na=1\r\n");
    EXPECT_FALSE(WritePrivateProfileString("S", "a", "x\r\n[Evil]", file));
    EXPECT_FALSE(WritePrivateProfileString("S", "a", "x\ny", file));
    EXPECT_EQ(contents(), "[S]\r\na=1\r\n");
}

TEST_F(ProfileTest, namesThatWouldBreakTheFileAreRefused)
{
    EXPECT_FALSE(WritePrivateProfileString("a]b", "k", "v", file));
    EXPECT_FALSE(WritePrivateProfileString("  ", "k", "v", file));
    EXPECT_FALSE(WritePrivateProfileString("S", "k=v", "v", file));
    EXPECT_FALSE(WritePrivateProfileString("S", ";k", "v", file));
    EXPECT_FALSE(WritePrivateProfileString("S", "", "v", file));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(file)));
}

TEST_F(ProfileTest, deletingAKeyRemovesEveryCopyInTheSection)
{
    write("[S]\r\na=1\r\nb=2\r\nA=3\r\n[T]\r\na=4\r\n");
    ASSERT_TRUE(WritePrivateProfileString("S", "a", std::nullopt, file));
    EXPECT_EQ(contents(), "[S]\r\nb=2\r\n[T]\r\na=4\r\n");
    EXPECT_EQ(readValue("S", "a", file), "<default>");
}

TEST_F(ProfileTest, deletingASectionRemovesItWholeAndItsDuplicates)
{
    write("; top\r\n[doc1]\r\nvoice=a\r\n[doc2]\r\nvoice=b\r\n[DOC1]\r\nvoice=c\r\n[doc3]\r\nvoice=d");
    ASSERT_TRUE(WritePrivateProfileString("Doc1", std::nullopt, std::nullopt, file));
    EXPECT_EQ(contents(), "; top\r\n[doc2]\r\nvoice=b\r\n[doc3]\r\nvoice=d");
    EXPECT_EQ(readValue("doc1", "voice", file), "<default>");
}

TEST_F(ProfileTest, writesThatChangeNothingLeaveTheFileUntouched)
{
    write("[S]\r\na=1\r\n");
    const ino_t before = inodeOf(file);
    EXPECT_TRUE(WritePrivateProfileString("S", "a", "1", file));
    EXPECT_TRUE(WritePrivateProfileString("S", "missing", std::nullopt, file));
    EXPECT_TRUE(WritePrivateProfileString("Missing", std::nullopt, std::nullopt, file));
    EXPECT_EQ(inodeOf(file), before);
    EXPECT_EQ(contents(), "[S]\r\na=1\r\n");
}

TEST_F(ProfileTest, deletingFromMissingFileCreatesNothing)
{
    EXPECT_TRUE(WritePrivateProfileString("S", "a", std::nullopt, file));
    EXPECT_TRUE(WritePrivateProfileString("S", std::nullopt, std::nullopt, file));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(file)));
}

TEST_F(ProfileTest, failedWriteLeavesTheTargetIntact)
{
    // A folder where the file should be: the rename cannot replace it.
    QDir().mkpath(QString::fromStdString(file));
    EXPECT_FALSE(WritePrivateProfileString("S", "a", "1", file));
    EXPECT_TRUE(QFileInfo(QString::fromStdString(file)).isDir());
    EXPECT_EQ(QDir(env.root()).entryList(QDir::Files | QDir::Hidden).size(), 0); // no temporary left behind
}

TEST_F(ProfileTest, failedWriteInReadOnlyFolderKeepsTheOldFile)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    const std::string locked = env.stdPath("locked/test.ini");
    IsolatedEnvironment::writeFile(env.path("locked/test.ini"), "[S]\r\na=1\r\n");
    ::chmod(env.stdPath("locked").c_str(), 0555);
    EXPECT_FALSE(WritePrivateProfileString("S", "a", "2", locked));
    ::chmod(env.stdPath("locked").c_str(), 0755);
    EXPECT_EQ(IsolatedEnvironment::readFile(env.path("locked/test.ini")), "[S]\r\na=1\r\n");
}

TEST_F(ProfileTest, writeKeepsPermissionsAndSymbolicLinks)
{
    const std::string real = env.stdPath("real.ini");
    IsolatedEnvironment::writeFile(QString::fromStdString(real), "[S]\r\n");
    ::chmod(real.c_str(), 0640);
    ASSERT_EQ(::symlink(real.c_str(), file.c_str()), 0);
    ASSERT_TRUE(WritePrivateProfileString("S", "a", "1", file));
    EXPECT_TRUE(QFileInfo(QString::fromStdString(file)).isSymLink());
    EXPECT_EQ(IsolatedEnvironment::readFile(QString::fromStdString(real)), "[S]\r\na=1\r\n");
    struct stat info {};
    ::stat(real.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(ProfileTest, concurrentWritersLoseNothing)
{
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([this, t] {
            for (int i = 0; i < 10; ++i)
                WritePrivateProfileString("S" + std::to_string(i % 3), "k" + std::to_string(t) + "_" + std::to_string(i), "v", file);
        });
    }
    for (std::thread& writer : writers)
        writer.join();
    for (int t = 0; t < 4; ++t) {
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(readValue("S" + std::to_string(i % 3), "k" + std::to_string(t) + "_" + std::to_string(i), file), "v");
    }
}

// ---- the cache never hides a change ----

TEST_F(ProfileTest, outsideChangeOfSameSizeIsSeen)
{
    write("[S]\r\na=old\r\n");
    ageFile(file);
    EXPECT_EQ(readValue("S", "a", file), "old");
    EXPECT_EQ(readValue("S", "a", file), "old");
    write("[S]\r\na=new\r\n");
    EXPECT_EQ(readValue("S", "a", file), "new");
}

TEST_F(ProfileTest, ownWritesAndRemovalAreSeen)
{
    write("[S]\r\na=1\r\n");
    ageFile(file);
    EXPECT_EQ(readValue("S", "a", file), "1");
    ASSERT_TRUE(WritePrivateProfileString("S", "a", "2", file));
    EXPECT_EQ(readValue("S", "a", file), "2");
    ASSERT_TRUE(QFile::remove(QString::fromStdString(file)));
    EXPECT_EQ(readValue("S", "a", file), "<default>");
}

TEST_F(ProfileTest, unreadableFileGivesDefaultsAndIsNeverReplaced)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    write("[S]\r\na=1\r\n");
    ::chmod(file.c_str(), 0200);
    EXPECT_EQ(readValue("S", "a", file), "<default>");
    EXPECT_FALSE(WritePrivateProfileString("S", "b", "2", file));
    ::chmod(file.c_str(), 0600);
    EXPECT_EQ(contents(), "[S]\r\na=1\r\n");
}

} // namespace
