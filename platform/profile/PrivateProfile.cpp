#include "platform/profile/PrivateProfile.h"

#include "platform/profile/AtomicFile.h"
#include "platform/profile/ProfileDocument.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <ctime>
#include <memory>
#include <mutex>
#include <unordered_map>

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

// Cutting inside a UTF-8 sequence would leave a broken character at the end.
size_t cutLength(std::string_view text, size_t limit)
{
    if (text.size() <= limit)
        return text.size();
    size_t cut = limit;
    for (int back = 0; back < 3 && cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80; ++back)
        --cut;
    if (cut < limit && static_cast<unsigned char>(text[cut]) < 0xC0)
        return limit; // not UTF-8 after all
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

std::optional<std::string> ReadPrivateProfileValue(std::string_view section, std::string_view key,
                                                   const std::filesystem::path& file)
{
    try {
        const Loaded loaded = cache().load(file);
        if (!loaded.document)
            return std::nullopt;
        const auto value = loaded.document->rawValue(profile::trimBlanks(section), profile::trimBlanks(key));
        if (!value)
            return std::nullopt;
        return std::string(withoutQuotes(*value));
    } catch (...) {
        // Out of memory on a hostile file: the caller gets the default.
        return std::nullopt;
    }
}

int GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                            std::string& out, int bufferSize, const std::filesystem::path& file)
{
    out.clear();
    if (bufferSize <= 0)
        return 0;
    const std::optional<std::string> value = ReadPrivateProfileValue(section, key, file);
    const std::string_view text = value ? std::string_view(*value) : withoutQuotes(defaultValue);
    out.assign(text.substr(0, cutLength(text, size_t(bufferSize) - 1)));
    return int(out.size());
}

int GetPrivateProfileInt(std::string_view section, std::string_view key, int defaultValue,
                         const std::filesystem::path& file)
{
    const std::optional<std::string> value = ReadPrivateProfileValue(section, key, file);
    if (!value || value->empty())
        return defaultValue;
    return parseLeadingInt(*value);
}

namespace {

// Applies edit to the file's parsed text and puts the result in place atomically. edit
// returns nullopt when nothing changes; then the file is not touched.
template <typename Edit>
bool editFile(const std::filesystem::path& file, bool createsMissingFile, Edit edit)
{
    try {
        std::lock_guard lock(writeMutex());
        const std::optional<std::filesystem::path> target = profile::resolveLinks(file);
        if (!target)
            return false;
        Loaded loaded = cache().load(*target);
        if (loaded.state == profile::FileState::Unreadable)
            return false; // writing would replace a file we could not read: it would be lost
        if (loaded.state == profile::FileState::Missing) {
            if (!createsMissingFile)
                return true;
            loaded.document = std::make_shared<const ProfileDocument>(std::string());
        }
        std::optional<std::string> text = edit(*loaded.document);
        if (!text)
            return true;
        // Our own new file is as young as a file can be; the next read parses it afresh.
        cache().forget(*target);
        return profile::replaceFileAtomically(*target, *text);
    } catch (...) {
        return false;
    }
}

} // namespace

bool WritePrivateProfileString(std::string_view section, std::optional<std::string_view> key,
                               std::optional<std::string_view> value, const std::filesystem::path& file)
{
    section = profile::trimBlanks(section);
    if (key)
        key = profile::trimBlanks(*key);
    if (!isValidSectionName(section) || (key && !isValidKeyName(*key)) || (value && holdsLineBreak(*value)))
        return false;

    return editFile(file, key && value, [&](const ProfileDocument& document) {
        if (!key)
            return document.withoutSection(section);
        if (!value)
            return document.withoutKey(section, *key);
        return document.withValue(section, *key, *value);
    });
}

bool AddPrivateProfileSection(std::string_view section, const std::filesystem::path& file)
{
    section = profile::trimBlanks(section);
    if (!isValidSectionName(section))
        return false;
    return editFile(file, true, [&](const ProfileDocument& document) { return document.withSection(section); });
}

void ClearPrivateProfileCache()
{
    cache().clear();
}
