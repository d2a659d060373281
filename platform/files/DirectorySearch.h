#pragma once
// File search with the results a Windows volume gives: sorted by name ignoring case,
// so every machine lists the same order; a name starting with "." has the hidden
// attribute; "." and ".." are not listed. Patterns use * and ? and match ignoring case;
// "*.*" matches every name. No Qt, so the exporter library can use it too.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace files {

struct DirEntry {
    std::string name;
    bool isDirectory = false;
    bool isHidden = false;
};

// Entries of folder whose names match pattern; empty when the folder cannot be read.
std::vector<DirEntry> findFiles(const std::filesystem::path& folder, std::string_view pattern = "*.*");

bool matchesPattern(std::string_view name, std::string_view pattern);

// GetWindowsDirectoryA: VORLIX_WINDIR, else <install prefix>/share/vorlix (in the build
// tree, <build>/share/vorlix), found from the running program's location.
std::optional<std::string> windowsDirectory();

// GetSystemDirectoryA: VORLIX_SYSTEMDIR when set; else none.
std::optional<std::string> systemDirectory();

} // namespace files
