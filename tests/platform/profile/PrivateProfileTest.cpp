#include "platform/profile/PrivateProfile.h"

#include "tests/support/TestEnvironment.h"

#include <climits>
#include <string>
#include <thread>
#include <vector>

#include <sys/fsuid.h>
#include <sys/stat.h>
#include <sys/wait.h>
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

struct ReadCase { const char* name; const char* text; const char* section; const char* key; const char* expected; };

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
    ReadCase{"header_without_closing_bracket_opens_no_section", "[S]\r\na=1\r\n[T\r\nb=2\r\n", "T", "b", "<default>"},
    ReadCase{"keys_after_an_unclosed_header_stay_in_the_section_before", "[S]\r\na=1\r\n[T\r\nb=2\r\n", "S", "b", "2"},
    ReadCase{"binary_garbage_around_sections", "\x01\x02\xFF\xFE\r\n[S]\r\n\x7F\x80 junk\r\na=1\r\n", "S", "a", "1"}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST_F(ProfileTest, missingFileGivesTheDefaultWithQuotesRemovedAndMissingIsNotEmpty)
{
    EXPECT_EQ(readValue("S", "a", env.stdPath("none.ini"), "\"quoted\""), "quoted");
    EXPECT_EQ(readValue("S", "a", env.stdPath("no/folder/none.ini"), "d"), "d");
    write("[S]\r\nempty=\r\n");
    EXPECT_EQ(ReadPrivateProfileValue("S", "empty", file), std::optional<std::string>(""));
    EXPECT_EQ(ReadPrivateProfileValue("S", "none", file), std::nullopt);
}

TEST_F(ProfileTest, defaultLosesItsTrailingBlanksButNotItsLeadingOnes)
{
    EXPECT_EQ(readValue("S", "a", file, "  None  \t"), "  None");
    EXPECT_EQ(readValue("S", "a", file, "\" x \"  "), " x ");
}

TEST_F(ProfileTest, latin1ValueIsCutBetweenBytesNotEmptied)
{
    write("[S]\r\na=\xC9\xA9\xE9t\xE9\r\n");   // not UTF-8: "É©été" in Latin-1
    EXPECT_EQ(readValue("S", "a", file, "", 2), "\xC9");
    EXPECT_EQ(readValue("S", "a", file, "", 4), "\xC9\xA9\xE9");
}

TEST_F(ProfileTest, longValueIsCutToTheBufferLessOneOnACharacterBoundaryAndTenMegabytesDoNoHarm)
{
    write("[S]\r\na=" + QByteArray(5000, 'x') + "\r\n");
    EXPECT_EQ(readValue("S", "a", file).size(), size_t(kProfileBufferSize - 1));
    EXPECT_EQ(readValue("S", "a", file, "", 4), "xxx");
    EXPECT_EQ(readValue("S", "a", file, "", 1), "");
    EXPECT_EQ(readValue("S", "a", file, "", 0), "");
    EXPECT_EQ(ReadPrivateProfileValue("S", "a", file)->size(), 5000u);
    write("[S]\r\na=ab\xC3\xBC" "cd\r\n");   // a cut does not split a UTF-8 character
    EXPECT_EQ(readValue("S", "a", file, "", 4), "ab");
    EXPECT_EQ(readValue("S", "a", file, "", 5), "ab\xC3\xBC");

    QByteArray text = "[S]\r\nhuge=" + QByteArray(10 << 20, 'y') + "\r\n";
    text += QByteArray("\0\0\0[T]\r\nb=2\r\n", 14);
    write(text);
    EXPECT_EQ(readValue("S", "huge", file).size(), size_t(kProfileBufferSize - 1));
    EXPECT_EQ(readValue("T", "b", file), "<default>"); // the header line starts with NUL bytes
    ASSERT_TRUE(WritePrivateProfileString("U", "c", "3", file));
    EXPECT_TRUE(contents().startsWith(text)); // nothing of the old file lost
    EXPECT_EQ(readValue("U", "c", file), "3");
}

// ---- integers ----

struct IntCase { const char* stored; int expected; };

class ReadIntTest : public ProfileTest, public testing::WithParamInterface<IntCase> {};

TEST_P(ReadIntTest, readsTheLeadingInteger)
{
    write(QByteArray("[S]\r\nn=") + GetParam().stored + "\r\n");
    EXPECT_EQ(GetPrivateProfileInt("S", "n", 77, file), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Ints, ReadIntTest, testing::Values(
    IntCase{"42", 42}, IntCase{"12abc", 12}, IntCase{"", 77}, IntCase{"   ", 77}, IntCase{" 7 ", 7},
    IntCase{"abc", 0}, IntCase{"-5", -5}, IntCase{"+3", 3}, IntCase{"- 5", 0}, IntCase{"0x1F", 31},
    IntCase{"0X1fz", 31}, IntCase{"0x", 0}, IntCase{"1.9", 1}, IntCase{"\"12\"", 12}, IntCase{"\"  7\"", 7}, IntCase{"' -3'", -3}, IntCase{"\"\"", 77},
    IntCase{"99999999999", INT_MAX}, IntCase{"-99999999999", INT_MIN}, IntCase{"-2147483648", INT_MIN}));

// ---- writing: the file before, the write (nullptr: delete), its result and the file after ----

struct WriteCase {
    const char* name;
    const char* before;   // nullptr: no file
    const char* section;
    const char* key;
    const char* value;
    bool ok;
    const char* after;    // nullptr: still no file
};

class WriteRuleTest : public ProfileTest, public testing::WithParamInterface<WriteCase> {};

TEST_P(WriteRuleTest, writesWhatTheRulesGive)
{
    const WriteCase& c = GetParam();
    if (c.before)
        write(c.before);
    const ino_t inode = inodeOf(file);
    const auto optional = [](const char* text) { return text ? std::optional<std::string_view>(text) : std::nullopt; };
    EXPECT_EQ(WritePrivateProfileString(c.section, optional(c.key), optional(c.value), file), c.ok);
    if (!c.after) {
        EXPECT_FALSE(QFile::exists(QString::fromStdString(file)));
    } else {
        EXPECT_EQ(contents(), c.after);
    }
    if (c.before && c.after && std::string_view(c.before) == c.after) {
        EXPECT_EQ(inodeOf(file), inode);   // a write that changes nothing leaves the file untouched
    }
}

INSTANTIATE_TEST_SUITE_P(Rules, WriteRuleTest, testing::Values(
    WriteCase{"first_write_creates_the_file_with_crlf", nullptr, "Account", "UserName", "Ann", true, "[Account]\r\nUserName=Ann\r\n"},
    WriteCase{"new_key_after_the_last_key_of_its_section", "[A]\r\nx=1\r\n\r\n; about B\r\n[B]\r\ny=2\r\n", "a", "z", "3", true,
              "[A]\r\nx=1\r\nz=3\r\n\r\n; about B\r\n[B]\r\ny=2\r\n"},
    WriteCase{"new_key_in_empty_section_after_the_header", "[A]\n[B]\ny=2", "A", "x", "1", true, "[A]\nx=1\r\n[B]\ny=2"},
    WriteCase{"new_section_at_the_end_without_final_line_end", "[A]\nx=1", "B", "y", "2", true, "[A]\nx=1\r\n[B]\r\ny=2\r\n"},
    WriteCase{"replaced_value_keeps_place_case_and_line_end", "[S]\n  VoiceSpeed = 180 \nb=2\n", "s", "voicespeed", "200", true,
              "[S]\nVoiceSpeed=200\nb=2\n"},
    WriteCase{"duplicate_key_changes_the_first", "[S]\r\na=1\r\na=2\r\n", "S", "a", "9", true, "[S]\r\na=9\r\na=2\r\n"},
    WriteCase{"delete_key_removes_every_copy_in_the_section", "[S]\r\na=1\r\nb=2\r\nA=3\r\n[T]\r\na=4\r\n", "S", "a", nullptr, true,
              "[S]\r\nb=2\r\n[T]\r\na=4\r\n"},
    WriteCase{"delete_section_removes_it_whole_and_its_duplicates",
              "; top\r\n[doc1]\r\nvoice=a\r\n[doc2]\r\nvoice=b\r\n[DOC1]\r\nvoice=c\r\n[doc3]\r\nvoice=d", "Doc1", nullptr, nullptr, true,
              "; top\r\n[doc2]\r\nvoice=b\r\n[doc3]\r\nvoice=d"},
    WriteCase{"same_value", "[S]\r\na=1\r\n", "S", "a", "1", true, "[S]\r\na=1\r\n"},
    WriteCase{"delete_missing_key", "[S]\r\na=1\r\n", "S", "missing", nullptr, true, "[S]\r\na=1\r\n"},
    WriteCase{"delete_missing_section", "[S]\r\na=1\r\n", "Missing", nullptr, nullptr, true, "[S]\r\na=1\r\n"},
    WriteCase{"delete_key_from_missing_file", nullptr, "S", "a", nullptr, true, nullptr},
    WriteCase{"delete_section_from_missing_file", nullptr, "S", nullptr, nullptr, true, nullptr},
    WriteCase{"value_with_crlf_refused", "[S]\r\na=1\r\n", "S", "a", "x\r\n[Evil]", false, "[S]\r\na=1\r\n"},
    WriteCase{"value_with_lf_refused", "[S]\r\na=1\r\n", "S", "a", "x\ny", false, "[S]\r\na=1\r\n"},
    WriteCase{"section_with_bracket_refused", nullptr, "a]b", "k", "v", false, nullptr},
    WriteCase{"blank_section_refused", nullptr, "  ", "k", "v", false, nullptr},
    WriteCase{"key_with_equals_refused", nullptr, "S", "k=v", "v", false, nullptr},
    WriteCase{"key_starting_a_comment_refused", nullptr, "S", ";k", "v", false, nullptr},
    WriteCase{"empty_key_refused", nullptr, "S", "", "v", false, nullptr}),
    [](const testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });

TEST_F(ProfileTest, failedWriteLeavesTheTargetIntact)
{
    EXPECT_FALSE(WritePrivateProfileString("S", "a", "1", env.stdPath("missing/test.ini")));
    EXPECT_FALSE(QFile::exists(env.path("missing")));   // a missing folder is not created
    // A folder where the file should be: the rename cannot replace it.
    QDir().mkpath(QString::fromStdString(file));
    EXPECT_FALSE(WritePrivateProfileString("S", "a", "1", file));
    EXPECT_TRUE(QFileInfo(QString::fromStdString(file)).isDir());
    EXPECT_EQ(QDir(env.root()).entryList(QDir::Files | QDir::Hidden).size(), 0); // no temporary left behind
}

// Root may write anything, so the checks run as an ordinary user: the file system user
// of one thread is dropped for the call (setfsuid is per thread).
template <typename Call>
auto asOrdinaryUser(Call call)
{
    decltype(call()) result{};
    std::thread([&] {
        if (::geteuid() == 0)
            ::setfsuid(65534);
        result = call();
    }).join();
    return result;
}

TEST_F(ProfileTest, fileOrFolderTheUserMayNotWriteOrAnUnreadableFileIsNeverReplaced)
{
    ::chmod(env.stdPath("").c_str(), 0777);
    const std::string locked = env.stdPath("locked/test.ini");
    IsolatedEnvironment::writeFile(env.path("locked/test.ini"), "[S]\r\na=1\r\n");
    ::chmod(env.stdPath("locked").c_str(), 0555);
    ::chmod(locked.c_str(), 0666);
    EXPECT_FALSE(asOrdinaryUser([&] { return WritePrivateProfileString("S", "a", "2", locked); }));
    EXPECT_EQ(IsolatedEnvironment::readFile(env.path("locked/test.ini")), "[S]\r\na=1\r\n");

    write("[S]\r\na=1\r\n");   // read-only file in a writable folder: the rename would work
    ::chmod(file.c_str(), 0444);
    std::string why;
    profile::ProfileEdit edit;
    edit.write("S", "a", "2");
    EXPECT_FALSE(asOrdinaryUser([&] { return CommitPrivateProfileEdit(edit, file, &why); }));
    EXPECT_EQ(why, file + ": Permission denied");
    EXPECT_EQ(contents(), "[S]\r\na=1\r\n");

    ::chmod(file.c_str(), 0222);   // unreadable: defaults, and never replaced
    EXPECT_EQ(asOrdinaryUser([&] { return readValue("S", "a", file); }), "<default>");
    EXPECT_FALSE(asOrdinaryUser([&] { return CommitPrivateProfileEdit(edit, file, &why); }));
    EXPECT_NE(why.find("could not be read"), std::string::npos) << why;
    ::chmod(file.c_str(), 0644);
    EXPECT_EQ(contents(), "[S]\r\na=1\r\n");
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
    const auto section = [](int i) { return "S" + std::to_string(i % 3); };
    const auto key = [](int t, int i) { return "k" + std::to_string(t) + "_" + std::to_string(i); };
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([&, t] {
            for (int i = 0; i < 10; ++i)
                WritePrivateProfileString(section(i), key(t, i), "v", file);
        });
    for (std::thread& writer : writers)
        writer.join();
    for (int t = 0; t < 4; ++t)
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(readValue(section(i), key(t, i), file), "v");
}

TEST_F(ProfileTest, twoProcessesWritingOneFileLoseNothing)
{
    constexpr int kKeysEach = 150;
    std::vector<pid_t> children;
    for (int process = 0; process < 2; ++process) {
        const pid_t child = ::fork();
        if (child == 0) {
            for (int i = 0; i < kKeysEach; ++i)
                WritePrivateProfileString("S", "p" + std::to_string(process) + "_" + std::to_string(i), "v", file);
            ::_exit(0);
        }
        children.push_back(child);
    }
    for (pid_t child : children)
        ::waitpid(child, nullptr, 0);
    for (int process = 0; process < 2; ++process)
        for (int i = 0; i < kKeysEach; ++i)
            EXPECT_EQ(readValue("S", "p" + std::to_string(process) + "_" + std::to_string(i), file), "v");
}

// ---- a batched edit gives the bytes of the same writes made one by one ----

struct Write {
    char kind;   // 'w' write, 'k' delete key, 's' delete section, 'a' add section, 'c' clear
    const char* section;
    const char* key;
    const char* value;
};

void record(profile::ProfileEdit& edit, const Write& w)
{
    switch (w.kind) {
    case 'w': edit.write(w.section, w.key, w.value); break;
    case 'k': edit.deleteKey(w.section, w.key); break;
    case 's': edit.deleteSection(w.section); break;
    case 'a': edit.addSection(w.section); break;
    default: edit.clear(); break;
    }
}

struct BatchCase {
    const char* name;
    const char* before;   // nullptr: no file
    std::vector<Write> writes;
};

class BatchEditTest : public ProfileTest, public testing::WithParamInterface<BatchCase> {};

TEST_P(BatchEditTest, givesTheBytesOfTheWritesMadeOneByOne)
{
    const BatchCase& c = GetParam();
    const std::string single = env.stdPath("single.ini");
    if (c.before) {
        IsolatedEnvironment::writeFile(QString::fromStdString(single), c.before);
        write(c.before);
    }
    for (const Write& w : c.writes) {
        profile::ProfileEdit one;
        record(one, w);
        if (w.kind == 'c')
            QFile::remove(QString::fromStdString(single));   // what the shutdown rewrite does first
        else
            CommitPrivateProfileEdit(one, single);
    }
    profile::ProfileEdit batch;
    for (const Write& w : c.writes)
        record(batch, w);
    ASSERT_TRUE(CommitPrivateProfileEdit(batch, file));
    ASSERT_EQ(QFile::exists(QString::fromStdString(single)), QFile::exists(QString::fromStdString(file)));
    EXPECT_EQ(contents(), IsolatedEnvironment::readFile(QString::fromStdString(single)));
}

INSTANTIATE_TEST_SUITE_P(Rules, BatchEditTest, testing::Values(
    BatchCase{"settings_save_into_a_missing_file", nullptr,
              {{'w', "Character", "Name", "Ann"}, {'w', "Account", "UserName", "x"}, {'w', "character", "FONTNAME", "Sans"},
               {'w', "General", "Left", "10"}, {'w', "CHARACTER", "Name", "Bob"}}},
    BatchCase{"case_duplicates_comments_and_mixed_line_ends",
              "; head\n[S]\r\n  A = 1 \rb=2\n[s]\r\nA=3\r\n[T\r\nc=4",
              {{'w', "s", "a", "9"}, {'w', "S", "new", "n"}, {'k', "S", "B", nullptr}, {'w', "s", "B", "again"},
               {'w', "U", "x", " padded "}, {'w', "U", "x", "padded"}, {'w', "u", "X", "padded"}}},
    BatchCase{"removal_then_appended_entries_without_final_line_end", "[Global]\r\nNextEntry=3\r\n[doc1]\r\nvoice=a\r\n[doc2]\r\nvoice=b",
              {{'s', "DOC1", nullptr, nullptr}, {'w', "doc3", "voice", "c"}, {'w', "doc3", "Document", "/d"},
               {'w', "Global", "NextEntry", "4"}, {'s', "doc3", nullptr, nullptr}, {'w', "doc2", "voice", "B"}}},
    BatchCase{"rewrite_from_nothing", "[doc7]\r\nvoice=old\r\n",
              {{'c', nullptr, nullptr, nullptr}, {'w', "doc1", "voice", "a"}, {'w', "doc1", "type", "4"},
               {'w', "Global", "NextEntry", "2"}, {'w', "Global", "docsnum", "1"}}},
    BatchCase{"clear_alone_removes_the_file", "[S]\r\na=1\r\n", {{'c', nullptr, nullptr, nullptr}}},
    BatchCase{"add_section_and_deletes_on_a_missing_file", nullptr,
              {{'k', "S", "a", nullptr}, {'s', "S", nullptr, nullptr}, {'a', "Empty", nullptr, nullptr}, {'w', "Empty", "k", "v"}}},
    BatchCase{"byte_order_mark_and_a_section_written_twice", "\xEF\xBB\xBF[S]\r\na=1\r\n[T]\r\n[S]\r\nb=2\r\n",
              {{'w', "S", "b", "x"}, {'w', "T", "t", "1"}, {'s', "s", nullptr, nullptr}, {'w', "S", "c", "3"}}}),
    [](const testing::TestParamInfo<BatchCase>& info) { return std::string(info.param.name); });

TEST_F(ProfileTest, batchWithARefusedWriteLeavesTheFileAsItWas)
{
    write("[S]\r\na=1\r\n");
    profile::ProfileEdit edit;
    edit.write("S", "a", "2");
    edit.write("S", "b", "two\r\nlines");
    std::string why;
    EXPECT_FALSE(CommitPrivateProfileEdit(edit, file, &why));
    EXPECT_NE(why.find("line break"), std::string::npos) << why;
    EXPECT_EQ(contents(), "[S]\r\na=1\r\n");
}

// ---- the cache never hides a change ----

TEST_F(ProfileTest, outsideChangesOfTheSameSizeOwnWritesAndRemovalAreSeen)
{
    write("[S]\r\na=old\r\n");
    ageFile(file);
    EXPECT_EQ(readValue("S", "a", file), "old");
    EXPECT_EQ(readValue("S", "a", file), "old");
    write("[S]\r\na=new\r\n");
    EXPECT_EQ(readValue("S", "a", file), "new");
    ageFile(file);
    EXPECT_EQ(readValue("S", "a", file), "new");
    ASSERT_TRUE(WritePrivateProfileString("S", "a", "2", file));
    EXPECT_EQ(readValue("S", "a", file), "2");
    ASSERT_TRUE(QFile::remove(QString::fromStdString(file)));
    EXPECT_EQ(readValue("S", "a", file), "<default>");
}

} // namespace
