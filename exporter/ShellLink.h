#pragma once
// Reader of shortcut (.lnk) files in the published Shell Link binary format. The target
// is the local path of the link information, else the expandable target, else what the
// ID list names; every size and offset in the file is checked, so a truncated or
// hostile file gives nullopt, never a read out of bounds.

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

// Reads the file at path. A Windows target ("C:\\...") of a shortcut inside a Wine
// prefix becomes the file it names on this machine; a shortcut that stores only a
// relative target gets it made absolute against its own folder.
std::optional<ShellLink> readShellLink(const std::string& path);

// The Windows variables a shortcut's expandable target uses (%SystemDrive%,
// %ProgramFiles%, %USERPROFILE%, ...) as a Wine prefix lays them out; others stay.
std::string expandWindowsVariables(std::string_view text);

// The local file a Windows path names when shortcutPath lies inside a Wine prefix (the
// drive through the prefix's "dosdevices", each name matched ignoring case); nullopt
// for anything else.
std::optional<std::string> wineLocalPath(std::string_view windowsPath, const std::string& shortcutPath);

} // namespace mokavel
