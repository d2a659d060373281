#include "tests/exporter/ExporterTestSupport.h"

#include <sys/stat.h>

#include <cstdint>

namespace exportertest {
namespace {

void put(std::string& out, size_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// ASCII test texts only, so one byte becomes one UTF-16 unit.
std::string utf16(const std::string& text)
{
    std::string out;
    for (char c : text)
        put(out, static_cast<unsigned char>(c), 2);
    return out;
}

} // namespace

// The ID list's shell items: the computer, the drive, then file entries with a
// version 9 extension block holding the long name.
std::string idList(const ShortcutFields& f)
{
    auto item = [](const std::string& body) {
        std::string out;
        put(out, body.size() + 2, 2);
        return out + body;
    };
    std::string items = item(std::string("\x1F\x50", 2) + std::string(16, '\x01'));
    items += item("\x2F" + f.idListDrive + std::string(22 - f.idListDrive.size(), '\0'));
    for (const auto& [shortName, longName] : f.idListNames) {
        std::string body("\x32\0", 2);
        body += std::string(10, '\0') + shortName + '\0';
        if (body.size() % 2)
            body.push_back('\0');
        std::string extension;
        put(extension, 0, 2); // size, set below
        put(extension, 9, 2);
        put(extension, 0xBEEF0004, 4);
        extension += std::string(46 - extension.size(), '\0') + utf16(longName) + std::string(2, '\0');
        put(extension, 0, 2); // offset of the first extension block
        extension[0] = static_cast<char>(extension.size() & 0xFF), extension[1] = static_cast<char>(extension.size() >> 8);
        // Offsets count from the item's start, whose size field is not in body.
        items += item(body + extension);
    }
    put(items, 0, 2);
    std::string list;
    put(list, items.size(), 2);
    return list + items;
}

std::string buildShellLink(const ShortcutFields& f)
{
    const uint32_t flags = (f.idListDrive.empty() ? 0 : 0x1) | (f.environmentTarget.empty() ? 0 : 0x200) |
                           (f.target.empty() ? 0 : 0x2) | (f.description.empty() ? 0 : 0x4) |
                           (f.relativePath.empty() ? 0 : 0x8) | (f.arguments.empty() ? 0 : 0x20) | (f.unicode ? 0x80 : 0);
    std::string link("\x4C\0\0\0\x01\x14\x02\0\0\0\0\0\xC0\0\0\0\0\0\0\x46", 20); // header size, class id
    put(link, flags, 4);
    link.resize(76, '\0');
    if (!f.idListDrive.empty())
        link += idList(f);
    if (!f.target.empty()) {
        // LinkInfo: header, volume id, local base path (and its UTF-16 twin), common suffix.
        const size_t header = f.unicodeBasePath ? 0x24 : 0x1C;
        std::string body("\x11\0\0\0\x03\0\0\0\0\0\0\0\x10\0\0\0\0", 17); // a fixed-disk volume id
        const std::string ansiBase = f.unicodeBasePath ? std::string() : f.target;
        const size_t base = header + body.size();
        const size_t suffix = base + ansiBase.size() + 1;
        body += ansiBase + '\0' + '\0';
        if (f.unicodeBasePath)
            body += utf16(f.target) + std::string(4, '\0');
        std::string info;
        for (const size_t value : {header + body.size(), header, size_t(1), header, base, size_t(0), suffix})
            put(info, value, 4);
        for (const size_t value : {suffix + 1, suffix + 1 + (f.target.size() + 1) * 2})
            put(info, value, f.unicodeBasePath ? 4 : 0); // the UTF-16 base path and suffix
        link += info + body;
    }
    for (const std::string* text : {&f.description, &f.relativePath, &f.arguments})
        if (!text->empty())
            put(link, text->size(), 2), link += f.unicode ? utf16(*text) : *text;
    if (!f.environmentTarget.empty()) {
        put(link, 0x314, 4);
        put(link, 0xA0000001, 4);
        link += f.environmentTarget + std::string(260 - f.environmentTarget.size(), '\0');
        link += utf16(f.environmentTarget) + std::string(520 - 2 * f.environmentTarget.size(), '\0');
    }
    put(link, 0, 4); // terminal block
    return link;
}

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    EXPECT_TRUE(out << bytes) << "cannot write " << path;
}

void makeExecutable(const std::string& path)
{
    writeBytes(path, "#!/bin/sh\n");
    ::chmod(path.c_str(), 0755);
}

Records readRecords(const std::string& path)
{
    std::string bytes = readBytes(path);
    std::vector<std::string> lines;
    for (size_t end = 0; (end = bytes.find("\r\n")) != std::string::npos; bytes.erase(0, end + 2))
        lines.push_back(bytes.substr(0, end));
    EXPECT_TRUE(bytes.empty() && lines.size() % 3 == 0) << "not whole records of CR LF lines: " << path;
    Records records;
    for (size_t i = 0; i + 2 < lines.size(); i += 3)
        records.push_back({lines[i], lines[i + 1], lines[i + 2]});
    return records;
}

ExporterTest::ExporterTest()
{
    for (const auto& [name, value] : {std::pair{"XDG_DATA_DIRS", env.path("shared")}, {"PATH", env.path("bin")},
                                      {"LANG", "C"}, {"LC_ALL", ""}, {"LC_MESSAGES", ""}, {"VORLIX_SYSTEMDIR", ""}})
        env.setEnv(name, value);
    qunsetenv("VORLIX_SYSTEMDIR");
    std::filesystem::create_directories(bin);
}

} // namespace exportertest
