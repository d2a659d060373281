#pragma once
// Reader of shortcut (.lnk) files in the published Shell Link binary format. It takes
// what a shortcut says and resolves nothing on disk; every size and offset in the file
// is checked, so a truncated or hostile file gives nullopt, never a read out of bounds.

#include <optional>
#include <string>
#include <string_view>

namespace mokavel {

struct ShellLink {
    std::string target;      // the target path as stored (UTF-8)
    std::string arguments;   // command-line arguments
    std::string description; // the shortcut's comment
    std::string relativePath; // the target relative to the shortcut's folder, when stored
};

// Shortcut files larger than this are not shortcuts.
inline constexpr size_t kMaxShellLinkBytes = 1 << 20;

std::optional<ShellLink> parseShellLink(std::string_view bytes);

// Reads the file at path; a shortcut that stores only a relative target gets it made
// absolute against its own folder.
std::optional<ShellLink> readShellLink(const std::string& path);

} // namespace mokavel
