#pragma once
// Fixture trees for the exporter's tests: files, shortcuts built from the published
// Shell Link format, launchers, and the export files read back as records.

#include "exporter/ExportList.h"

#include "tests/support/TestEnvironment.h"

#include <string>
#include <vector>

namespace exportertest {

struct ShortcutFields {
    std::string target{};      // LinkInfo local base path
    std::string arguments{};
    std::string description{};
    std::string relativePath{};
    bool unicode = true;       // string data in UTF-16
    bool unicodeBasePath = false;
};

// The bytes of a .lnk file as the shell writes it.
std::string buildShellLink(const ShortcutFields& fields);

void writeBytes(const std::string& path, const std::string& bytes);
std::string readBytes(const std::string& path);
void makeFolder(const std::string& path);
void makeExecutable(const std::string& path);

// Records of an export file, three lines each; an empty list when the file is missing.
std::vector<mokavel::ExportItem> readRecords(const std::string& path);
std::vector<std::string> namesOf(const std::vector<mokavel::ExportItem>& records);

// Every test runs with its registry store, XDG folders, PATH and locale inside its own
// temporary folder; no system directory unless the test sets one.
class ExporterTest : public IsolatedTest {
protected:
    ExporterTest();
    std::string path(const std::string& relative) const { return env.stdPath(QString::fromStdString(relative)); }
    void setShellFolder(bool machine, const std::string& valueName, const std::string& folder);
    // A launcher file with the given "Desktop Entry" lines.
    void writeLauncher(const std::string& file, const std::string& lines);
    std::string binFolder() const { return path("bin"); }
};

} // namespace exportertest

namespace mokavel {
inline void PrintTo(const ExportItem& item, std::ostream* out)
{
    *out << "{" << item.name << " | " << item.target << " | " << item.arguments << "}";
}
} // namespace mokavel
