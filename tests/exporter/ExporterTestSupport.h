#pragma once
// Fixture trees for the exporter's tests: files, shortcuts built from the published
// Shell Link format, launchers, and export files read back as records.

#include "exporter/ExportList.h"

#include "platform/registry/Registry.h"

#include "tests/support/TestEnvironment.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace exportertest {

using Records = std::vector<mokavel::ExportItem>;
using Names = std::vector<std::string>;

struct ShortcutFields {
    std::string target{}; // LinkInfo local base path
    std::string arguments{};
    std::string description{};
    std::string relativePath{};
    bool unicode = true; // string data in UTF-16
    bool unicodeBasePath = false;
    std::string environmentTarget{}; // the expandable target block, "%SystemDrive%\\..."
    // ID list: the drive ("C:\\"), then each file entry's short and long name.
    std::string idListDrive{};
    std::vector<std::pair<std::string, std::string>> idListNames{};
};

// The bytes of a .lnk file as the shell writes it.
std::string buildShellLink(const ShortcutFields& fields);

void writeBytes(const std::string& path, const std::string& bytes);
void makeExecutable(const std::string& path);

inline std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Records of an export file, three CR LF lines each; none when the file is missing.
Records readRecords(const std::string& path);

inline Names namesOf(const Records& records)
{
    Names names;
    std::ranges::transform(records, std::back_inserter(names), &mokavel::ExportItem::name);
    return names;
}

// Registry store, XDG folders, PATH and locale inside the test's own temporary folder.
class ExporterTest : public IsolatedTest {
protected:
    ExporterTest();
    std::string path(const std::string& relative) const { return env.stdPath(QString::fromStdString(relative)); }
    void setShellFolder(bool machine, const std::string& valueName, const std::string& folder)
    {
        ASSERT_TRUE(registry::writeValue(machine ? registry::Root::LocalMachine : registry::Root::CurrentUser,
                                         registry::kShellFoldersKey, valueName, folder));
    }
    // An Application launcher.
    void writeApp(const std::string& file, const std::string& name, const std::string& exec,
                  const std::string& extraLines = "")
    {
        writeBytes(file, "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + exec + "\n" + extraLines);
    }
    const std::string bin = path("bin");
};

} // namespace exportertest

namespace mokavel {
inline void PrintTo(const ExportItem& i, std::ostream* os) { *os << i.name << " | " << i.target << " | " << i.arguments; }
} // namespace mokavel
