#pragma once
// A save killed midway leaves its temporary file behind (".Vorlix.INI.tmp1234-0-5678"
// beside Vorlix.INI). Nothing else would ever remove it, so start-up clears those that
// no running save can own. No Qt, so the exporter library can use it too.

#include <chrono>
#include <filesystem>

namespace files {

// Removes the temporaries of atomic replacements in folder (not below it) whose writing
// process has ended, or that are older than maxAge, which no save takes. Returns how many
// were removed; a folder that cannot be read removes nothing.
int removeStaleTemporaries(const std::filesystem::path& folder,
                           std::chrono::seconds maxAge = std::chrono::hours(1));

} // namespace files
