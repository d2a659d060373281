#include "platform/profile/PrivateProfile.h"

#include "tests/support/TestEnvironment.h"

#include <array>
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

class ProfileTest : public IsolatedTest {
protected:
    void SetUp() override { ClearPrivateProfileCache(); }
    void write(const QByteArray& text) { IsolatedEnvironment::writeFile(QString::fromStdString(file), text); }
    QByteArray contents() const { return IsolatedEnvironment::readFile(QString::fromStdString(file)); }

    std::string file = env.stdPath("test.ini");
};

// ---- reading: the file, section, key and the value that comes back ----

TEST_F(ProfileTest, readsTheValueTheRulesGive)
{
    const std::vector<std::array<const char*, 4>> cases{
        {"[S]\r\na=1\r\n", "S", "b", "<default>"},
        {"[S]\r\na=  \t \r\n", "S", "a", ""},   // empty, not the default
        {"  [ Character ]  \r\n \t Voice Speed  =  x  y \t\r\n", "CHARACTER", "voice speed", "x  y"},
        {"[S]\r\na=b ; c\r\n", "S", "a", "b ; c"},   // no comment after a value
        {"[S]\r\na=\"\" x \"\"\r\n", "S", "a", "\" x \""},   // one pair of quotes removed
        {"[S]\r\na=1\r\nA=2\r\n", "S", "a", "1"},
        {"[S]\r\na=1\nb=2\rc=3", "S", "c", "3"},
        {"\xEF\xBB\xBF[S]\r\na=1\r\n", "S", "a", "1"},
        {"[S]\r\na=1\r\n[T\r\nb=2\r\n", "S", "b", "2"},   // an unclosed header opens no section
        {"\x01\x02\xFF\xFE\r\n[S]\r\n\x7F\x80 junk\r\na=1\r\n", "S", "a", "1"}};
    for (const auto& [text, section, key, expected] : cases) {
        write(text);
        EXPECT_EQ(readValue(section, key, file), expected) << text;
    }
    // Missing is not empty, and a missing file is no error.
    write("[S]\r\nempty=\r\n");
    EXPECT_EQ(ReadPrivateProfileValue("S", "empty", file), std::optional<std::string>(""));
    EXPECT_EQ(ReadPrivateProfileValue("S", "none", file), std::nullopt);
    EXPECT_EQ(readValue("S", "a", env.stdPath("no/folder/none.ini")), "<default>");
}

TEST_F(ProfileTest, longValuesAreCutOnCharacterBoundariesAndTenMegabytesDoNoHarm)
{
    write("[S]\r\na=" + QByteArray(5000, 'x') + "\r\nu=ab\xC3\xBC" "cd\r\nl=\xC9\xA9\xE9t\xE9\r\n");
    EXPECT_EQ(readValue("S", "a", file).size(), size_t(kProfileBufferSize - 1));
    EXPECT_EQ(readValue("S", "a", file, "", 1), "");
    EXPECT_EQ(readValue("S", "a", file, "", 0), "");
    EXPECT_EQ(ReadPrivateProfileValue("S", "a", file)->size(), 5000u);
    EXPECT_EQ(readValue("S", "u", file, "", 4), "ab");   // never half a UTF-8 character
    EXPECT_EQ(readValue("S", "u", file, "", 5), "ab\xC3\xBC");
    EXPECT_EQ(readValue("S", "l", file, "", 4), "\xC9\xA9\xE9");   // Latin-1 is cut, not emptied

    QByteArray text = "[S]\r\nhuge=" + QByteArray(10 << 20, 'y') + "\r\n";
    text += QByteArray("\0\0\0[T]\r\nb=2\r\n", 14);
    write(text);
    EXPECT_EQ(readValue("S", "huge", file).size(), size_t(kProfileBufferSize - 1));
    EXPECT_EQ(readValue("T", "b", file), "<default>");   // the header line starts with NUL bytes
    ASSERT_TRUE(WritePrivateProfileString("U", "c", "3", file));
    EXPECT_TRUE(contents().startsWith(text));   // nothing of the old file lost
}

TEST_F(ProfileTest, integersAreReadFromTheLeadingPartAndClamped)
{
    const std::vector<std::pair<const char*, int>> cases{{"12abc", 12}, {"   ", 77}, {"0X1fz", 31}, {"' -3'", -3},
        {"99999999999", INT_MAX}, {"-99999999999", INT_MIN}};
    for (const auto& [stored, expected] : cases) {
        write(QByteArray("[S]\r\nn=") + stored + "\r\n");
        EXPECT_EQ(GetPrivateProfileInt("S", "n", 77, file), expected) << stored;
    }
}

// ---- writing: the file before (nullptr: none), the write (nullptr: delete), its result, the file after ----

struct WriteCase {
    const char *name, *before, *section, *key, *value;
    bool ok;
    const char* after;
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
    EXPECT_EQ(QFile::exists(QString::fromStdString(file)), c.after != nullptr);
    if (c.after) {
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
    WriteCase{"new_section_at_the_end_without_final_line_end", "[A]\nx=1", "B", "y", "2", true, "[A]\nx=1\r\n[B]\r\ny=2\r\n"},
    WriteCase{"replaced_value_keeps_place_case_and_line_end", "[S]\n  VoiceSpeed = 180 \nb=2\n", "s", "voicespeed", "200", true,
              "[S]\nVoiceSpeed=200\nb=2\n"},
    WriteCase{"delete_key_removes_every_copy_in_the_section", "[S]\r\na=1\r\nb=2\r\nA=3\r\n[T]\r\na=4\r\n", "S", "a", nullptr, true,
              "[S]\r\nb=2\r\n[T]\r\na=4\r\n"},
    WriteCase{"delete_section_removes_it_whole_and_its_duplicates",
              "; top\r\n[doc1]\r\nvoice=a\r\n[doc2]\r\nvoice=b\r\n[DOC1]\r\nvoice=c\r\n[doc3]\r\nvoice=d", "Doc1", nullptr, nullptr, true,
              "; top\r\n[doc2]\r\nvoice=b\r\n[doc3]\r\nvoice=d"},
    WriteCase{"same_value", "[S]\r\na=1\r\n", "S", "a", "1", true, "[S]\r\na=1\r\n"},
    WriteCase{"delete_from_missing_file_creates_none", nullptr, "S", nullptr, nullptr, true, nullptr},
    WriteCase{"value_with_line_break_refused", "[S]\r\na=1\r\n", "S", "a", "x\r\n[Evil]", false, "[S]\r\na=1\r\n"},
    WriteCase{"key_with_equals_refused", nullptr, "S", "k=v", "v", false, nullptr}),
    [](const testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });

TEST_F(ProfileTest, failedWriteLeavesTheTargetIntact)
{
    EXPECT_FALSE(WritePrivateProfileString("S", "a", "1", env.stdPath("missing/test.ini")));
    EXPECT_FALSE(QFile::exists(env.path("missing")));   // a missing folder is not created
    QDir().mkpath(QString::fromStdString(file));          // the rename cannot replace a folder
    EXPECT_FALSE(WritePrivateProfileString("S", "a", "1", file));
    EXPECT_TRUE(QFileInfo(QString::fromStdString(file)).isDir());
    EXPECT_EQ(QDir(env.root()).entryList(QDir::Files | QDir::Hidden).size(), 0);   // no temporary left behind
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

TEST_F(ProfileTest, readOnlyOrUnreadableFileIsNeverReplaced)
{
    ::chmod(env.stdPath("").c_str(), 0777);
    write("[S]\r\na=1\r\n");   // read-only file in a writable folder: the rename would work
    ::chmod(file.c_str(), 0444);
    std::string why;
    profile::ProfileEdit edit;
    edit.write("S", "a", "2");
    EXPECT_FALSE(asOrdinaryUser([&] { return CommitPrivateProfileEdit(edit, file, &why); }));
    EXPECT_NE(why.find(file), std::string::npos) << why;

    ::chmod(file.c_str(), 0222);   // unreadable: defaults, and never replaced
    EXPECT_EQ(asOrdinaryUser([&] { return readValue("S", "a", file); }), "<default>");
    EXPECT_FALSE(asOrdinaryUser([&] { return CommitPrivateProfileEdit(edit, file, &why); }));
    ::chmod(file.c_str(), 0644);
    EXPECT_EQ(contents(), "[S]\r\na=1\r\n");
}

// Replacing the link by a plain file would leave the real file stale.
TEST_F(ProfileTest, writeGoesThroughASymbolicLink)
{
    const std::string real = env.stdPath("real.ini");
    IsolatedEnvironment::writeFile(QString::fromStdString(real), "[S]\r\n");
    ASSERT_EQ(::symlink(real.c_str(), file.c_str()), 0);
    ASSERT_TRUE(WritePrivateProfileString("S", "a", "1", file));
    EXPECT_TRUE(QFileInfo(QString::fromStdString(file)).isSymLink());
    EXPECT_EQ(IsolatedEnvironment::readFile(QString::fromStdString(real)), "[S]\r\na=1\r\n");
}

// Threads share the in-process lock, processes only the file lock: both must lose nothing.
TEST_F(ProfileTest, concurrentThreadsAndProcessesLoseNothing)
{
    const auto key = [](int writer, int i) { return "k" + std::to_string(writer) + "_" + std::to_string(i); };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 10; ++i)
                WritePrivateProfileString("S" + std::to_string(i % 3), key(t, i), "v", file);
        });
    for (std::thread& thread : threads)
        thread.join();
    std::vector<pid_t> children;
    for (int p = 4; p < 6; ++p) {
        if (const pid_t child = ::fork(); child != 0) {
            children.push_back(child);
            continue;
        }
        for (int i = 0; i < 150; ++i)
            WritePrivateProfileString("P", key(p, i), "v", file);
        ::_exit(0);
    }
    for (pid_t child : children)
        ::waitpid(child, nullptr, 0);
    for (int t = 0; t < 6; ++t)
        for (int i = 0; i < (t < 4 ? 10 : 150); ++i)
            EXPECT_EQ(readValue(t < 4 ? "S" + std::to_string(i % 3) : "P", key(t, i), file), "v") << key(t, i);
}

// ---- a batched edit gives the bytes of the same writes made one by one ----

// kind: 'w' write, 'k' delete key, 's' delete section, 'a' add section, 'c' clear
struct Write { char kind; const char* section; const char* key; const char* value; };
struct BatchCase { const char* name; const char* before; std::vector<Write> writes; };

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

class BatchEditTest : public ProfileTest, public testing::WithParamInterface<BatchCase> {};

TEST_P(BatchEditTest, givesTheBytesOfTheWritesMadeOneByOne)
{
    const BatchCase& c = GetParam();
    const QString single = env.path("single.ini");
    if (c.before) {
        IsolatedEnvironment::writeFile(single, c.before);
        write(c.before);
    }
    profile::ProfileEdit batch;
    for (const Write& w : c.writes) {
        profile::ProfileEdit one;
        record(one, w);
        record(batch, w);
        if (w.kind == 'c')
            QFile::remove(single);   // what the shutdown rewrite does first
        else
            CommitPrivateProfileEdit(one, single.toStdString());
    }
    ASSERT_TRUE(CommitPrivateProfileEdit(batch, file));
    ASSERT_EQ(QFile::exists(single), QFile::exists(QString::fromStdString(file)));
    EXPECT_EQ(contents(), IsolatedEnvironment::readFile(single));
}

INSTANTIATE_TEST_SUITE_P(Rules, BatchEditTest, testing::Values(
    BatchCase{"case_duplicates_comments_and_mixed_line_ends", "; head\n[S]\r\n  A = 1 \rb=2\n[s]\r\nA=3\r\n[T\r\nc=4",
              {{'w', "s", "a", "9"}, {'w', "S", "new", "n"}, {'k', "S", "B", nullptr}, {'w', "s", "B", "again"},
               {'w', "U", "x", " padded "}, {'w', "U", "x", "padded"}, {'w', "u", "X", "padded"}}},
    BatchCase{"removal_then_appended_entries_without_final_line_end", "[Global]\r\nNextEntry=3\r\n[doc1]\r\nvoice=a\r\n[doc2]\r\nvoice=b",
              {{'s', "DOC1", nullptr, nullptr}, {'w', "doc3", "voice", "c"}, {'w', "doc3", "Document", "/d"},
               {'w', "Global", "NextEntry", "4"}, {'s', "doc3", nullptr, nullptr}, {'w', "doc2", "voice", "B"}}},
    BatchCase{"rewrite_from_nothing", "[doc7]\r\nvoice=old\r\n",
              {{'c', nullptr, nullptr, nullptr}, {'w', "doc1", "voice", "a"}, {'a', "Empty", nullptr, nullptr}, {'w', "G", "n", "2"}}}),
    [](const testing::TestParamInfo<BatchCase>& info) { return std::string(info.param.name); });

TEST_F(ProfileTest, batchWithARefusedWriteLeavesTheFileAsItWas)
{
    write("[S]\r\na=1\r\n");
    profile::ProfileEdit edit;
    edit.write("S", "a", "2");
    edit.write("S", "b", "two\r\nlines");
    EXPECT_FALSE(CommitPrivateProfileEdit(edit, file));
    EXPECT_EQ(contents(), "[S]\r\na=1\r\n");
}

// The cache must never hide a change: an outside one of the same size, an own write, a removal.
TEST_F(ProfileTest, cacheSeesEveryChange)
{
    write("[S]\r\na=old\r\n");
    struct utimbuf settled {};   // long settled, as the files are when the program starts
    settled.actime = settled.modtime = ::time(nullptr) - 3600;
    ::utime(file.c_str(), &settled);
    EXPECT_EQ(readValue("S", "a", file), "old");
    write("[S]\r\na=new\r\n");
    EXPECT_EQ(readValue("S", "a", file), "new");
    ASSERT_TRUE(WritePrivateProfileString("S", "a", "2", file));
    EXPECT_EQ(readValue("S", "a", file), "2");
    ASSERT_TRUE(QFile::remove(QString::fromStdString(file)));
    EXPECT_EQ(readValue("S", "a", file), "<default>");
}

} // namespace
