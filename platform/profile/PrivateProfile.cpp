#include "platform/profile/PrivateProfile.h"

#include "platform/profile/AtomicFile.h"
#include "platform/profile/ProfileDocument.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <climits>
#include <cstdint>
#include <ctime>
#include <memory>
#include <mutex>
#include <unordered_map>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

using profile::ProfileDocument;

// What identifies one state of a file: a write by anyone changes at least one of these.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    static FileIdentity of(const struct stat& info)
    {
        return {info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
    }
    bool operator==(const FileIdentity& other) const
    {
        return device == other.device && inode == other.inode && size == other.size
            && modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec
            && changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
    }
};

struct Loaded {
    profile::FileState state = profile::FileState::Missing;
    std::shared_ptr<const ProfileDocument> document;
};

// Parsed files by path. Small: the program reads a handful of files, each many times.
class ProfileCache {
public:
    Loaded load(const std::filesystem::path& file)
    {
        struct stat info {};
        if (::stat(file.c_str(), &info) == 0) {
            std::lock_guard lock(m_mutex);
            const auto found = m_entries.find(file.native());
            if (found != m_entries.end() && found->second.identity == FileIdentity::of(info)) {
                found->second.lastUse = ++m_useCounter;
                return {profile::FileState::Read, found->second.document};
            }
        }

        const timespec readAt = now();
        profile::FileContents contents = profile::readWholeFile(file);
        if (contents.state != profile::FileState::Read) {
            forget(file);
            return {contents.state, nullptr};
        }
        auto document = std::make_shared<const ProfileDocument>(std::move(contents.bytes));
        if (isSettled(contents.identity.st_mtim, readAt))
            remember(file, FileIdentity::of(contents.identity), document);
        else
            forget(file);
        return {profile::FileState::Read, document};
    }

    void forget(const std::filesystem::path& file)
    {
        std::lock_guard lock(m_mutex);
        m_entries.erase(file.native());
    }

    void clear()
    {
        std::lock_guard lock(m_mutex);
        m_entries.clear();
    }

private:
    static constexpr size_t kMaxEntries = 32;
    // File times advance in clock ticks, not nanoseconds (seconds on some file systems), so
    // a file written this recently could change again without a new time or size.
    static constexpr int64_t kSettleNs = 2'000'000'000;

    struct Entry {
        FileIdentity identity;
        std::shared_ptr<const ProfileDocument> document;
        uint64_t lastUse = 0;
    };

    static timespec now()
    {
        timespec time{};
        ::clock_gettime(CLOCK_REALTIME, &time);
        return time;
    }

    static bool isSettled(const timespec& modified, const timespec& readAt)
    {
        const int64_t ageNs = (int64_t(readAt.tv_sec) - modified.tv_sec) * 1'000'000'000 + (readAt.tv_nsec - modified.tv_nsec);
        return ageNs >= kSettleNs;
    }

    void remember(const std::filesystem::path& file, FileIdentity identity,
                  std::shared_ptr<const ProfileDocument> document)
    {
        std::lock_guard lock(m_mutex);
        if (m_entries.size() >= kMaxEntries && !m_entries.count(file.native())) {
            const auto oldest = std::min_element(m_entries.begin(), m_entries.end(), [](const auto& a, const auto& b) {
                return a.second.lastUse < b.second.lastUse;
            });
            m_entries.erase(oldest);
        }
        m_entries[file.native()] = Entry{identity, std::move(document), ++m_useCounter};
    }

    std::mutex m_mutex;
    std::unordered_map<std::string, Entry> m_entries;
    uint64_t m_useCounter = 0;
};

ProfileCache& cache()
{
    static ProfileCache instance;
    return instance;
}

// Read-modify-write of a file is one step, so two threads' writes cannot lose each other.
std::mutex& writeMutex()
{
    static std::mutex instance;
    return instance;
}

std::string_view withoutQuotes(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// Length of the valid UTF-8 sequence starting at text[0], 0 when there is none.
size_t utf8SequenceLength(std::string_view text)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    const size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || length > text.size() || (length == 2 && lead < 0xC2))
        return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

bool isUtf8(std::string_view text)
{
    for (size_t pos = 0; pos < text.size();) {
        const size_t length = utf8SequenceLength(text.substr(pos));
        if (length == 0)
            return false;
        pos += length;
    }
    return true;
}

// A UTF-8 value is cut between characters, so no broken character is left at the end;
// text in any other encoding (Latin-1 from an older file) is cut between bytes.
size_t cutLength(std::string_view text, size_t limit)
{
    if (text.size() <= limit || !isUtf8(text))
        return std::min(text.size(), limit);
    size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return cut;
}

bool holdsLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

bool isValidSectionName(std::string_view name)
{
    return !name.empty() && !holdsLineBreak(name) && name.find(']') == std::string_view::npos;
}

bool isValidKeyName(std::string_view name)
{
    return !name.empty() && !holdsLineBreak(name) && name.find('=') == std::string_view::npos && name.front() != '['
        && name.front() != ';';
}

int parseLeadingInt(std::string_view text)
{
    text = profile::trimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') && std::isxdigit(static_cast<unsigned char>(text[2]))) {
        base = 16;
        text.remove_prefix(2);
    }
    // Saturates rather than wrapping: a huge number must not read as a small or negative one.
    const int64_t limit = negative ? -int64_t(INT_MIN) : int64_t(INT_MAX);
    int64_t magnitude = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            break;
        magnitude = std::min(limit, magnitude * base + digit);
    }
    return int(negative ? -magnitude : magnitude);
}

} // namespace

namespace profile {

ProfileSnapshot::ProfileSnapshot(const std::filesystem::path& file)
{
    try {
        m_document = cache().load(file).document;
    } catch (...) {
        // Out of memory on a hostile file: the caller gets the defaults.
    }
}

std::optional<std::string> ProfileSnapshot::value(std::string_view section, std::string_view key) const
{
    if (!m_document)
        return std::nullopt;
    try {
        const auto value = m_document->rawValue(trimBlanks(section), trimBlanks(key));
        if (!value)
            return std::nullopt;
        return std::string(withoutQuotes(*value));
    } catch (...) {
        return std::nullopt;
    }
}

int ProfileSnapshot::getString(std::string_view section, std::string_view key, std::string_view defaultValue,
                               std::string& out, int bufferSize) const
{
    out.clear();
    if (bufferSize <= 0)
        return 0;
    const std::optional<std::string> found = value(section, key);
    while (!found && !defaultValue.empty() && (defaultValue.back() == ' ' || defaultValue.back() == '\t'))
        defaultValue.remove_suffix(1);
    const std::string_view text = found ? std::string_view(*found) : withoutQuotes(defaultValue);
    out.assign(text.substr(0, cutLength(text, size_t(bufferSize) - 1)));
    return int(out.size());
}

int ProfileSnapshot::getInt(std::string_view section, std::string_view key, int defaultValue) const
{
    const std::optional<std::string> found = value(section, key);
    if (!found || found->empty())
        return defaultValue;
    return parseLeadingInt(*found);
}

void ProfileEdit::write(std::string_view section, std::string_view key, std::string_view value)
{
    m_operations.push_back({Kind::Write, std::string(trimBlanks(section)), std::string(trimBlanks(key)), std::string(value)});
}

void ProfileEdit::deleteKey(std::string_view section, std::string_view key)
{
    m_operations.push_back({Kind::DeleteKey, std::string(trimBlanks(section)), std::string(trimBlanks(key)), {}});
}

void ProfileEdit::deleteSection(std::string_view section)
{
    m_operations.push_back({Kind::DeleteSection, std::string(trimBlanks(section)), {}, {}});
}

void ProfileEdit::addSection(std::string_view section)
{
    m_operations.push_back({Kind::AddSection, std::string(trimBlanks(section)), {}, {}});
}

void ProfileEdit::clear()
{
    m_operations.push_back({Kind::Clear, {}, {}, {}});
}

bool ProfileEdit::applyTo(ProfileDocument& document, bool& exists, std::string* why) const
{
    for (const Operation& operation : m_operations) {
        const bool hasKey = operation.kind == Kind::Write || operation.kind == Kind::DeleteKey;
        if (operation.kind != Kind::Clear
            && (!isValidSectionName(operation.section) || (hasKey && !isValidKeyName(operation.key)))) {
            if (why)
                *why = "the name \"" + (hasKey ? operation.key : operation.section) + "\" cannot be written";
            return false;
        }
        switch (operation.kind) {
        case Kind::Write:
            if (holdsLineBreak(operation.value)) {
                if (why)
                    *why = "the value of \"" + operation.key + "\" holds a line break";
                return false;
            }
            document.setValue(operation.section, operation.key, operation.value);
            exists = true;
            break;
        case Kind::DeleteKey:
            document.removeKey(operation.section, operation.key);
            break;
        case Kind::DeleteSection:
            document.removeSection(operation.section);
            break;
        case Kind::AddSection:
            document.addSection(operation.section);
            exists = true;
            break;
        case Kind::Clear:
            document.clear();
            exists = false;
            break;
        }
    }
    return true;
}

} // namespace profile

namespace {

// The advisory lock of every read-modify-write in one folder: the file itself cannot
// carry it, since each write puts a new file in its place.
class FolderLock {
public:
    explicit FolderLock(const std::filesystem::path& file)
    {
        const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
        m_fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        while (m_fd >= 0 && ::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~FolderLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);   // releases the lock
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int m_fd = -1;
};

bool fail(std::string* why, std::string text)
{
    if (why)
        *why = std::move(text);
    return false;
}

} // namespace

bool CommitPrivateProfileEdit(const profile::ProfileEdit& edit, const std::filesystem::path& file, std::string* why)
{
    try {
        std::lock_guard lock(writeMutex());
        const std::optional<std::filesystem::path> target = profile::resolveLinks(file);
        if (!target)
            return fail(why, file.string() + ": the link points nowhere");
        const FolderLock folderLock(*target);
        // Read afresh under the lock: another process may have written since our last read.
        const profile::FileContents contents = profile::readWholeFile(*target);
        if (contents.state == profile::FileState::Unreadable)
            return fail(why, target->string() + ": the file could not be read, so it is not replaced");
        const bool existed = contents.state == profile::FileState::Read;
        bool exists = existed;
        // A rewrite from nothing has no use for the old text beyond knowing it was read.
        ProfileDocument document(edit.startsAfresh() ? std::string() : contents.bytes);
        std::string reason;
        if (!edit.applyTo(document, exists, &reason))
            return fail(why, target->string() + ": " + reason);

        // Our own new file is as young as a file can be; the next read parses it afresh.
        cache().forget(*target);
        if (!exists) {
            if (existed && ::unlink(target->c_str()) != 0 && errno != ENOENT)
                return fail(why, target->string() + ": " + std::strerror(errno));
            return true;
        }
        std::string text = document.text();
        if (existed && text == contents.bytes)
            return true;
        return profile::replaceFileAtomically(*target, text, why);
    } catch (const std::exception& error) {
        return fail(why, file.string() + ": " + error.what());
    }
}

std::optional<std::string> ReadPrivateProfileValue(std::string_view section, std::string_view key,
                                                   const std::filesystem::path& file)
{
    return profile::ProfileSnapshot(file).value(section, key);
}

int GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                            std::string& out, int bufferSize, const std::filesystem::path& file)
{
    return profile::ProfileSnapshot(file).getString(section, key, defaultValue, out, bufferSize);
}

int GetPrivateProfileInt(std::string_view section, std::string_view key, int defaultValue,
                         const std::filesystem::path& file)
{
    return profile::ProfileSnapshot(file).getInt(section, key, defaultValue);
}

bool WritePrivateProfileString(std::string_view section, std::optional<std::string_view> key,
                               std::optional<std::string_view> value, const std::filesystem::path& file)
{
    profile::ProfileEdit edit;
    if (!key)
        edit.deleteSection(section);
    else if (!value)
        edit.deleteKey(section, *key);
    else
        edit.write(section, *key, *value);
    return CommitPrivateProfileEdit(edit, file);
}

bool AddPrivateProfileSection(std::string_view section, const std::filesystem::path& file)
{
    profile::ProfileEdit edit;
    edit.addSection(section);
    return CommitPrivateProfileEdit(edit, file);
}

void ClearPrivateProfileCache()
{
    cache().clear();
}
