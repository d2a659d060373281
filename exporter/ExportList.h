#pragma once
// What every export collects, and the one file format they all write: records of three
// CR LF lines (name, target, arguments) in the order the collectors found them.

#include <string>
#include <string_view>
#include <vector>

namespace mokavel {

struct ExportItem {
    std::string name;      // the phrase the program will offer
    std::string target;    // program path, URL or document path
    std::string arguments; // command-line arguments for target; mostly empty

    friend bool operator==(const ExportItem&, const ExportItem&) = default;
};

// Collectors only append; nothing is sorted or merged.
using ExportList = std::vector<ExportItem>;

// True when extension has exactly 4 characters and text ends with it, ignoring ASCII case.
bool EndsWithNoCase(std::string_view text, std::string_view extension);

bool equalsNoCase(std::string_view a, std::string_view b);

// True when both are non-empty and part occurs in text, ignoring ASCII case.
bool ContainsNoCase(std::string_view text, std::string_view part);

// Writes list to outputFile. An empty list leaves outputFile untouched (not even
// created) and counts as success. The file is replaced atomically, so a failed write
// keeps the older file and reports false. Line breaks and zero bytes inside a field
// are written as blanks, so no field can break the three-line rhythm.
bool WriteExportFile(const ExportList& list, const std::string& outputFile);

// The file name without its last 4 characters (".exe", ".lnk", ".url"); "" when shorter.
std::string withoutLastFour(std::string_view fileName);

} // namespace mokavel
