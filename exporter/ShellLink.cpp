#include "exporter/ShellLink.h"

#include "exporter/TextFiles.h"

#include <cstdint>

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

std::optional<ShellLink> parseShellLink(std::string_view bytes)
{
    const Reader file(bytes);
    if (file.u32(0) != kHeaderSize || !file.has(0, kHeaderSize) ||
        file.slice(4, 16) != std::string_view(reinterpret_cast<const char*>(kLinkClassId), 16))
        return std::nullopt;
    const uint32_t flags = *file.u32(20);
    size_t offset = kHeaderSize;

    if (flags & HasLinkTargetIdList) {
        const auto idListSize = file.u16(offset);
        if (!idListSize || !file.has(offset + 2, *idListSize))
            return std::nullopt;
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

    if (link.target.empty())
        link.target = environmentTargetOf(file, offset).value_or("");
    return link;
}

std::optional<ShellLink> readShellLink(const std::string& path)
{
    const std::optional<std::string> bytes = readSmallFile(path, kMaxShellLinkBytes);
    if (!bytes)
        return std::nullopt;
    std::optional<ShellLink> link = parseShellLink(*bytes);
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
