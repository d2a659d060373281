#pragma once
// Whole-file reads and replacements for the platform layers: a replacement goes to a
// temporary file in the same folder and is renamed over the target, so a crash or a
// full disk leaves either the old file or the new one, never half of one.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>

namespace profile {

// Larger files are treated as unreadable rather than risking the memory to hold them.
inline constexpr size_t kMaxFileBytes = size_t(256) << 20;

enum class FileState { Missing, Unreadable, Read };

struct FileContents {
    FileState state = FileState::Missing;
    std::string bytes;
    struct stat identity {}; // of the file that was read
};

FileContents readWholeFile(const std::filesystem::path& file);

// Replaces file with bytes, keeping the old file's permissions (and owner, where we may).
// A new file gets the usual permissions under the umask. The folder must exist. A file
// the user may not write is refused, though the folder would allow the rename.
// false on any failure, with the file's name and the reason in why (when given); the
// old file is then untouched.
bool replaceFileAtomically(const std::filesystem::path& file, std::string_view bytes, std::string* why = nullptr);

struct Replacement {
    std::filesystem::path file;
    std::string bytes;
};

// Replaces many files, each as replaceFileAtomically does, but with one flush of each file
// system for all of them instead of one per file: a thousand small files are written in a
// fraction of the time. The result tells, for each, whether it was replaced.
std::vector<bool> replaceFilesAtomically(const std::vector<Replacement>& replacements);

// file itself, or the file a symbolic link at file points to, so a replacement
// keeps the link; nullopt for a link that cannot be resolved.
std::optional<std::filesystem::path> resolveLinks(const std::filesystem::path& file);

} // namespace profile
