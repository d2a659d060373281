#include "exporter/ShellLink.h"

#include "exporter/ExportList.h"
#include "exporter/FolderWalk.h"
#include "exporter/TextFiles.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <iterator>

namespace mokavel {
namespace {

constexpr uint32_t kHeaderSize = 0x4C;
constexpr unsigned char kLinkClassId[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                            0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

enum LinkFlag : uint32_t {
    HasLinkTargetIdList = 0x1,
    HasLinkInfo = 0x2,
    HasName = 0x4,
    HasRelativePath = 0x8,
    HasWorkingDir = 0x10,
    HasArguments = 0x20,
    HasIconLocation = 0x40,
    IsUnicode = 0x80,
};

constexpr uint32_t kVolumeIdAndLocalBasePath = 0x1;
constexpr uint32_t kHasExpString = 0x200;
constexpr uint32_t kFileEntryExtensionSignature = 0xBEEF0004;
constexpr uint32_t kEnvironmentBlockSignature = 0xA0000001;
constexpr size_t kEnvironmentBlockSize = 0x314;

// Bounds-checked little-endian reads over the file's bytes.
class Reader {
public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes) {}

    bool has(size_t offset, size_t count) const { return offset <= m_bytes.size() && count <= m_bytes.size() - offset; }

    std::optional<uint32_t> u32(size_t offset) const
    {
        if (!has(offset, 4))
            return std::nullopt;
        uint32_t value = 0;
        for (int i = 3; i >= 0; --i)
            value = (value << 8) | static_cast<unsigned char>(m_bytes[offset + static_cast<size_t>(i)]);
        return value;
    }

    std::optional<uint16_t> u16(size_t offset) const
    {
        if (!has(offset, 2))
            return std::nullopt;
        return static_cast<uint16_t>(static_cast<unsigned char>(m_bytes[offset]) |
                                     (static_cast<unsigned char>(m_bytes[offset + 1]) << 8));
    }

    // A zero-terminated 8-bit string starting at offset and not running past limit.
    std::optional<std::string> ansiString(size_t offset, size_t limit) const
    {
        if (limit > m_bytes.size() || offset >= limit)
            return std::nullopt;
        const size_t end = m_bytes.substr(0, limit).find('\0', offset);
        if (end == std::string_view::npos)
            return std::nullopt;
        return ansiToUtf8(m_bytes.substr(offset, end - offset));
    }

    // A zero-terminated UTF-16LE string starting at offset and not running past limit.
    std::optional<std::string> unicodeString(size_t offset, size_t limit) const
    {
        if (limit > m_bytes.size() || offset >= limit)
            return std::nullopt;
        size_t end = offset;
        while (end + 1 < limit && (m_bytes[end] != '\0' || m_bytes[end + 1] != '\0'))
            end += 2;
        if (end + 1 >= limit)
            return std::nullopt;
        return utf16LeToUtf8(m_bytes.substr(offset, end - offset));
    }

    size_t size() const { return m_bytes.size(); }
    std::string_view slice(size_t offset, size_t count) const { return m_bytes.substr(offset, count); }

private:
    std::string_view m_bytes;
};

// The LinkInfo structure's local path: base path plus common suffix, Unicode when given.
std::optional<std::string> localPathOf(const Reader& file, size_t start)
{
    const auto size = file.u32(start);
    const auto headerSize = file.u32(start + 4);
    const auto flags = file.u32(start + 8);
    if (!size || !headerSize || !flags || *size < 0x1C || !file.has(start, *size))
        return std::nullopt;
    if (!(*flags & kVolumeIdAndLocalBasePath))
        return std::nullopt;
    const size_t limit = start + *size;
    const auto baseOffset = file.u32(start + 16);
    const auto suffixOffset = file.u32(start + 24);
    if (!baseOffset || !suffixOffset)
        return std::nullopt;
    if (*headerSize >= 0x24) {
        const auto baseUnicode = file.u32(start + 28);
        const auto suffixUnicode = file.u32(start + 32);
        if (baseUnicode && *baseUnicode != 0) {
            auto base = file.unicodeString(start + *baseUnicode, limit);
            if (base) {
                if (suffixUnicode && *suffixUnicode != 0)
                    *base += file.unicodeString(start + *suffixUnicode, limit).value_or("");
                return base;
            }
        }
    }
    auto base = file.ansiString(start + *baseOffset, limit);
    if (base)
        *base += file.ansiString(start + *suffixOffset, limit).value_or("");
    return base;
}

// The long name of a file entry's extension block, whose place depends on its version.
std::optional<std::string> longNameOf(const Reader& file, size_t block, size_t limit)
{
    const auto size = file.u16(block);
    const auto version = file.u16(block + 2);
    if (!size || !version || file.u32(block + 4) != kFileEntryExtensionSignature || *size < 8 ||
        block + *size > limit || *version < 3)
        return std::nullopt;
    const size_t nameOffset = *version >= 9 ? 46 : *version == 8 ? 42 : *version == 7 ? 38 : 20;
    return file.unicodeString(block + nameOffset, block + *size);
}

// The target as the shell items of the ID list name it: a drive ("C:\") followed by
// file entries, each by its long name when stored, else its short one. nullopt when
// the list holds anything else (a virtual folder, a network place).
std::optional<std::string> idListTargetOf(const Reader& file, size_t start, size_t end)
{
    std::string path;
    size_t offset = start;
    while (offset + 2 <= end) {
        const auto size = file.u16(offset);
        if (!size || *size == 0)
            break;
        if (*size < 3 || offset + *size > end)
            return std::nullopt;
        const size_t limit = offset + *size;
        const auto type = static_cast<unsigned char>(file.slice(offset + 2, 1)[0]);
        if (type == 0x1F) {
            // The root folder (the computer): nothing of the path.
        } else if ((type & 0x70) == 0x20) {
            auto drive = file.ansiString(offset + 3, limit);
            if (!drive || drive->size() < 2 || (*drive)[1] != ':')
                return std::nullopt;
            path = drive->substr(0, 2) + "\\";
        } else if ((type & 0x70) == 0x30 && !path.empty()) {
            const bool unicodeName = type & 0x04;
            auto name = unicodeName ? file.unicodeString(offset + 14, limit) : file.ansiString(offset + 14, limit);
            if (!name)
                return std::nullopt;
            // The extension block follows the name at an even distance from the item's start.
            size_t extension = 14 + (unicodeName ? (name->size() + 1) * 2 : name->size() + 1);
            extension += extension % 2;
            if (auto longName = longNameOf(file, offset + extension, limit); longName && !longName->empty())
                name = std::move(longName);
            if (path.back() != '\\')
                path.push_back('\\');
            path += *name;
        } else {
            return std::nullopt;
        }
        offset = limit;
    }
    if (path.empty())
        return std::nullopt;
    return path;
}

// The environment-variable block's target, the last resort of the shell itself.
std::optional<std::string> environmentTargetOf(const Reader& file, size_t offset)
{
    while (true) {
        const auto blockSize = file.u32(offset);
        if (!blockSize || *blockSize < 8 || !file.has(offset, *blockSize))
            return std::nullopt;
        const auto signature = file.u32(offset + 4);
        if (signature == kEnvironmentBlockSignature && *blockSize >= kEnvironmentBlockSize) {
            const size_t limit = offset + kEnvironmentBlockSize;
            auto unicode = file.unicodeString(offset + 8 + 260, limit);
            if (unicode && !unicode->empty())
                return unicode;
            return file.ansiString(offset + 8, offset + 8 + 260);
        }
        offset += *blockSize;
    }
}

} // namespace

std::string expandWindowsVariables(std::string_view text)
{
    const char* user = std::getenv("USER");
    const std::string profile = std::string("C:\\users\\") + (user && *user ? user : "Public");
    const std::pair<std::string_view, std::string> known[] = {
        {"SystemDrive", "C:"}, {"SystemRoot", "C:\\windows"}, {"windir", "C:\\windows"},
        {"ProgramFiles", "C:\\Program Files"}, {"ProgramFiles(x86)", "C:\\Program Files (x86)"},
        {"ProgramW6432", "C:\\Program Files"}, {"CommonProgramFiles", "C:\\Program Files\\Common Files"},
        {"ProgramData", "C:\\ProgramData"}, {"ALLUSERSPROFILE", "C:\\ProgramData"}, {"USERPROFILE", profile},
        {"APPDATA", profile + "\\AppData\\Roaming"}, {"LOCALAPPDATA", profile + "\\AppData\\Local"},
    };
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        const size_t open = text.find('%', i);
        const size_t close = open == std::string_view::npos ? open : text.find('%', open + 1);
        if (close == std::string_view::npos) {
            out.append(text.substr(i));
            break;
        }
        out.append(text.substr(i, open - i));
        const std::string_view name = text.substr(open + 1, close - open - 1);
        const auto found = std::find_if(std::begin(known), std::end(known),
                                        [&](const auto& entry) { return equalsNoCase(entry.first, name); });
        if (found != std::end(known)) {
            out += found->second;
            i = close + 1;
        } else {
            out.push_back('%'); // not a variable we know: the text stays, the second "%" may open one
            i = open + 1;
        }
    }
    return out;
}

std::optional<std::string> wineLocalPath(std::string_view windowsPath, const std::string& shortcutPath)
{
    if (windowsPath.size() < 2 || windowsPath[1] != ':' || !std::isalpha(static_cast<unsigned char>(windowsPath[0])) ||
        (windowsPath.size() > 2 && windowsPath[2] != '\\' && windowsPath[2] != '/'))
        return std::nullopt;
    // The prefix is the nearest folder above the shortcut holding "dosdevices".
    std::string prefix = shortcutPath.substr(0, shortcutPath.rfind('/'));
    while (!prefix.empty()) {
        struct stat info {};
        if (::stat((prefix + "/dosdevices").c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            break;
        prefix.erase(prefix.rfind('/'));
    }
    if (prefix.empty())
        return std::nullopt;
    const char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(windowsPath[0])));
    char* root = ::realpath((prefix + "/dosdevices/" + drive + ":").c_str(), nullptr);
    if (!root)
        return std::nullopt;
    std::string local = root;
    std::free(root);
    // Windows names ignore letter case; each name is looked up as the folder spells it.
    size_t start = 3;
    while (start < windowsPath.size()) {
        size_t end = windowsPath.find_first_of("\\/", start);
        if (end == std::string_view::npos)
            end = windowsPath.size();
        const std::string_view name = windowsPath.substr(start, end - start);
        start = end + 1;
        if (name.empty() || name == ".")
            continue;
        std::string spelled(name);
        if (!fileExists(local + "/" + spelled)) {
            for (const ListedEntry& entry : listFolder(local)) {
                if (equalsNoCase(entry.name, name)) {
                    spelled = entry.name;
                    break;
                }
            }
        }
        local += "/" + spelled;
    }
    return local;
}

std::optional<ShellLink> parseShellLink(std::string_view bytes)
{
    const Reader file(bytes);
    if (file.u32(0) != kHeaderSize || !file.has(0, kHeaderSize) ||
        file.slice(4, 16) != std::string_view(reinterpret_cast<const char*>(kLinkClassId), 16))
        return std::nullopt;
    const uint32_t flags = *file.u32(20);
    size_t offset = kHeaderSize;

    std::optional<std::string> idListTarget;
    if (flags & HasLinkTargetIdList) {
        const auto idListSize = file.u16(offset);
        if (!idListSize || !file.has(offset + 2, *idListSize))
            return std::nullopt;
        idListTarget = idListTargetOf(file, offset + 2, offset + 2 + *idListSize);
        offset += 2 + *idListSize;
    }

    ShellLink link;
    if (flags & HasLinkInfo) {
        const auto infoSize = file.u32(offset);
        if (!infoSize || *infoSize < 4 || !file.has(offset, *infoSize))
            return std::nullopt;
        link.target = localPathOf(file, offset).value_or("");
        offset += *infoSize;
    }

    // The string data come in this fixed order, each only when its flag is set.
    const bool unicode = flags & IsUnicode;
    for (const uint32_t flag : {HasName, HasRelativePath, HasWorkingDir, HasArguments, HasIconLocation}) {
        if (!(flags & flag))
            continue;
        const auto count = file.u16(offset);
        const size_t byteCount = count ? size_t(*count) * (unicode ? 2 : 1) : 0;
        if (!count || !file.has(offset + 2, byteCount))
            return std::nullopt;
        const std::string_view raw = file.slice(offset + 2, byteCount);
        std::string text = unicode ? utf16LeToUtf8(raw) : ansiToUtf8(raw);
        // Common link writers count the terminating zero in; it is no part of the text.
        while (!text.empty() && text.back() == '\0')
            text.pop_back();
        offset += 2 + byteCount;
        if (flag == HasName)
            link.description = std::move(text);
        else if (flag == HasRelativePath)
            link.relativePath = std::move(text);
        else if (flag == HasArguments)
            link.arguments = std::move(text);
    }

    // The shell prefers the expandable target when the link says it has one.
    if (link.target.empty() || (flags & kHasExpString)) {
        if (auto expandable = environmentTargetOf(file, offset); expandable && !expandable->empty())
            link.target = expandWindowsVariables(*expandable);
    }
    if (link.target.empty() && idListTarget)
        link.target = std::move(*idListTarget);
    return link;
}

std::optional<ShellLink> readShellLink(const std::string& path)
{
    const std::optional<std::string> bytes = readSmallFile(path, kMaxShellLinkBytes);
    if (!bytes)
        return std::nullopt;
    std::optional<ShellLink> link = parseShellLink(*bytes);
    if (link) {
        if (std::optional<std::string> local = wineLocalPath(link->target, path))
            link->target = std::move(*local);
    }
    if (link && link->target.empty() && !link->relativePath.empty()) {
        std::string relative = link->relativePath;
        for (char& c : relative)
            if (c == '\\')
                c = '/';
        link->target = relative.front() == '/' ? relative : path.substr(0, path.rfind('/') + 1) + relative;
    }
    return link;
}

} // namespace mokavel
