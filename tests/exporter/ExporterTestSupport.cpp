#include "tests/exporter/ExporterTestSupport.h"

#include "platform/registry/Registry.h"

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace exportertest {
namespace {

void put32(std::string& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void put16(std::string& out, uint16_t value)
{
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

// ASCII test texts only, so one byte becomes one UTF-16 unit.
std::string utf16(const std::string& text)
{
    std::string out;
    for (char c : text)
        put16(out, static_cast<unsigned char>(c));
    return out;
}

void putStringData(std::string& out, const std::string& text, bool unicode)
{
    put16(out, static_cast<uint16_t>(text.size()));
    out += unicode ? utf16(text) : text;
}

} // namespace

std::string buildShellLink(const ShortcutFields& fields)
{
    uint32_t flags = 0;
    if (!fields.target.empty())
        flags |= 0x2;
    if (!fields.description.empty())
        flags |= 0x4;
    if (!fields.relativePath.empty())
        flags |= 0x8;
    if (!fields.arguments.empty())
        flags |= 0x20;
    if (fields.unicode)
        flags |= 0x80;

    std::string link;
    put32(link, 0x4C);
    link += std::string("\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16);
    put32(link, flags);
    link += std::string(76 - link.size(), '\0');

    // LinkInfo: header, volume id, local base path (and its UTF-16 twin), common suffix.
    const uint32_t headerSize = fields.unicodeBasePath ? 0x24 : 0x1C;
    std::string volumeId;
    put32(volumeId, 0x11);
    put32(volumeId, 3);
    put32(volumeId, 0);
    put32(volumeId, 0x10);
    volumeId.push_back('\0');
    const std::string ansiBase = fields.unicodeBasePath ? std::string() : fields.target;
    const uint32_t volumeOffset = headerSize;
    const uint32_t baseOffset = volumeOffset + static_cast<uint32_t>(volumeId.size());
    const uint32_t suffixOffset = baseOffset + static_cast<uint32_t>(ansiBase.size()) + 1;
    const uint32_t unicodeBaseOffset = suffixOffset + 1;
    std::string body = volumeId + ansiBase + '\0' + '\0';
    if (fields.unicodeBasePath)
        body += utf16(fields.target) + std::string(2, '\0') + std::string(2, '\0');
    std::string info;
    put32(info, headerSize + static_cast<uint32_t>(body.size()));
    put32(info, headerSize);
    put32(info, 1);
    put32(info, volumeOffset);
    put32(info, baseOffset);
    put32(info, 0);
    put32(info, suffixOffset);
    if (fields.unicodeBasePath) {
        put32(info, unicodeBaseOffset);
        put32(info, unicodeBaseOffset + static_cast<uint32_t>(fields.target.size() + 1) * 2);
    }
    if (!fields.target.empty())
        link += info + body;

    if (!fields.description.empty())
        putStringData(link, fields.description, fields.unicode);
    if (!fields.relativePath.empty())
        putStringData(link, fields.relativePath, fields.unicode);
    if (!fields.arguments.empty())
        putStringData(link, fields.arguments, fields.unicode);
    put32(link, 0); // terminal block
    return link;
}

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void makeFolder(const std::string& path)
{
    std::filesystem::create_directories(path);
}

void makeExecutable(const std::string& path)
{
    writeBytes(path, "#!/bin/sh\n");
    ::chmod(path.c_str(), 0755);
}

std::vector<mokavel::ExportItem> readRecords(const std::string& path)
{
    const std::string bytes = readBytes(path);
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "line without CR LF in " << path;
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    EXPECT_EQ(lines.size() % 3, 0u) << path;
    std::vector<mokavel::ExportItem> records;
    for (size_t i = 0; i + 2 < lines.size(); i += 3)
        records.push_back({lines[i], lines[i + 1], lines[i + 2]});
    return records;
}

std::vector<std::string> namesOf(const std::vector<mokavel::ExportItem>& records)
{
    std::vector<std::string> names;
    for (const auto& record : records)
        names.push_back(record.name);
    return names;
}

ExporterTest::ExporterTest()
{
    env.setEnv("XDG_DATA_DIRS", env.path("shared"));
    env.setEnv("PATH", env.path("bin"));
    env.setEnv("LANG", "C");
    env.setEnv("LC_ALL", "");
    env.setEnv("LC_MESSAGES", "");
    env.setEnv("VORLIX_SYSTEMDIR", "");
    qunsetenv("VORLIX_SYSTEMDIR");
    makeFolder(path("bin"));
}

void ExporterTest::setShellFolder(bool machine, const std::string& valueName, const std::string& folder)
{
    ASSERT_TRUE(registry::writeValue(machine ? registry::Root::LocalMachine : registry::Root::CurrentUser,
                                     registry::kShellFoldersKey, valueName, folder));
}

void ExporterTest::writeLauncher(const std::string& file, const std::string& lines)
{
    writeBytes(file, "[Desktop Entry]\n" + lines);
}

} // namespace exportertest
