#pragma once
// Private-profile (INI) files with the observable rules of the Windows calls that the
// program's stored files depend on: names match ignoring case, blanks around names and
// values are trimmed, the first of duplicate sections or keys wins, new sections and
// keys are appended at the end, lines are written with CR LF. Parsed files are cached
// by path, size, inode and modification time (once the file is two seconds old, since file
// times advance in ticks), so reading N keys is one parse. Every write is a
// read-modify-write under an advisory lock on the file's folder (flock), so two processes
// never lose each other's writes, and replaces the file atomically; a file that could
// not be read, or that the user may not write, is never replaced. Strings are bytes
// (UTF-8 in practice), passed through unchanged. Thread-safe; no Qt, so the exporter
// library can use it too.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace profile {
class ProfileDocument;

// Writes to one file that belong together (a settings save, a list rewrite, an add's
// keys): recorded here, then applied by CommitPrivateProfileEdit with one parse and one
// atomic replacement, giving the same bytes as the same writes made one by one.
class ProfileEdit {
public:
    void write(std::string_view section, std::string_view key, std::string_view value);
    void deleteKey(std::string_view section, std::string_view key);
    void deleteSection(std::string_view section);
    void addSection(std::string_view section);
    // Starts from no file at all, as deleting the file first would.
    void clear();

    bool startsAfresh() const { return !m_operations.empty() && m_operations.front().kind == Kind::Clear; }

    // Applies the edit to document; false when a name or value is refused (nothing applied
    // after it), with the reason in why. exists: whether the file exists before and after.
    bool applyTo(ProfileDocument& document, bool& exists, std::string* why) const;

private:
    enum class Kind { Write, DeleteKey, DeleteSection, AddSection, Clear };
    struct Operation {
        Kind kind;
        std::string section;
        std::string key;
        std::string value;
    };
    std::vector<Operation> m_operations;
};

// One parse of a file for many reads, with the rules of the calls below (which use it).
// A missing or unreadable file reads as empty.
class ProfileSnapshot {
public:
    explicit ProfileSnapshot(const std::filesystem::path& file);
    int getString(std::string_view section, std::string_view key, std::string_view defaultValue, std::string& out,
                  int bufferSize) const;
    int getInt(std::string_view section, std::string_view key, int defaultValue) const;
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

private:
    std::shared_ptr<const ProfileDocument> m_document;
};
} // namespace profile

// Applies every write of edit, in order, to file: one read under the lock, one atomic
// replacement (none when nothing changes; an edit that clears and writes nothing removes
// the file). False when the file could not be read or written or a write was refused;
// then the file is untouched and why (when given) says what went wrong, naming the file.
bool CommitPrivateProfileEdit(const profile::ProfileEdit& edit, const std::filesystem::path& file,
                              std::string* why = nullptr);

// The callers' buffer: at most kProfileBufferSize - 1 characters come back.
inline constexpr int kProfileBufferSize = 1024;

// Copies the value of key in section, or defaultValue when the file, section or key is
// missing, into out, cut to bufferSize - 1 characters; returns the number of characters
// copied. A key present with an empty value gives "" and 0. One pair of matching quotes
// around the whole value (or the default) is removed; the default loses its trailing
// blanks first. A UTF-8 value is cut between characters, any other between bytes.
int GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                            std::string& out, int bufferSize, const std::filesystem::path& file);

// defaultValue only for a missing or empty value; otherwise the leading integer
// (after leading blanks: optional sign, decimal digits or 0x hexadecimal), 0 when there
// are no digits.
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
