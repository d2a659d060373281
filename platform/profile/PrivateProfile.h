#pragma once
// Private-profile (INI) files with the observable rules of the Windows calls that the
// program's stored files depend on: names match ignoring case, blanks around names and
// values are trimmed, the first of duplicate sections or keys wins, new sections and
// keys are appended at the end, lines are written with CR LF. Parsed files are cached
// by path, size, inode and modification time (once the file is two seconds old, since file
// times advance in ticks), so reading N keys is one parse; every write
// replaces the file atomically. Strings are bytes (UTF-8 in practice), passed through
// unchanged. Thread-safe; no Qt, so the exporter library can use it too.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The callers' buffer: at most kProfileBufferSize - 1 characters come back.
inline constexpr int kProfileBufferSize = 1024;

// Copies the value of key in section, or defaultValue when the file, section or key is
// missing, into out, cut to bufferSize - 1 characters; returns the number of characters
// copied. A key present with an empty value gives "" and 0. One pair of matching quotes
// around the whole value (or the default) is removed.
int GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                            std::string& out, int bufferSize, const std::filesystem::path& file);

// defaultValue only for a missing or empty value; otherwise the leading integer
// (optional sign, decimal digits or 0x hexadecimal), 0 when there are no digits.
int GetPrivateProfileInt(std::string_view section, std::string_view key, int defaultValue,
                         const std::filesystem::path& file);

// key nullopt deletes the whole section; value nullopt deletes the key. A missing file
// is created (a missing folder is not). A value holding a line break is refused.
// Returns false when the file could not be written or the call was refused; a write
// that changes nothing leaves the file untouched and returns true.
bool WritePrivateProfileString(std::string_view section, std::optional<std::string_view> key,
                               std::optional<std::string_view> value, const std::filesystem::path& file);

// The value of key in section with its quotes removed, whole (no buffer limit); nullopt
// when the file, section or key is missing. Tells a missing key from an empty one.
std::optional<std::string> ReadPrivateProfileValue(std::string_view section, std::string_view key,
                                                   const std::filesystem::path& file);

// Appends an empty section when the file has none of that name (creating the file).
bool AddPrivateProfileSection(std::string_view section, const std::filesystem::path& file);

// Forgets every cached parse (tests and benchmarks that compare against re-parsing).
void ClearPrivateProfileCache();
