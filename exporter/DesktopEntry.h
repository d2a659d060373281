#pragma once
// Reader of the desktop's launcher files (.desktop, Desktop Entry format): the keys of
// the "Desktop Entry" group that the exports need, with Name localised, and the Exec
// line split into a program and its arguments.

#include "platform/common/CommandLine.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mokavel {

// Launcher files larger than this are not launchers.
inline constexpr size_t kMaxDesktopEntryBytes = 1 << 20;

struct DesktopEntry {
    std::string type;  // "Application", "Link", ...
    std::string name;  // Name for the given locale
    std::string exec;  // escapes of the value already undone
    std::string tryExec;
    std::string url;
    std::vector<std::string> categories;
    std::vector<std::string> onlyShowIn;
    std::vector<std::string> notShowIn;
    bool hidden = false;
    bool noDisplay = false;
    bool terminal = false;
};

// Launcher files are named "*.desktop", in this letter case.
bool isDesktopFileName(std::string_view fileName);

// locale is a messages locale such as "de_AT.UTF-8@euro"; "" or "C" take the plain Name.
std::optional<DesktopEntry> parseDesktopEntry(std::string_view text, std::string_view locale);
std::optional<DesktopEntry> readDesktopEntry(const std::string& path, std::string_view locale);

// The messages locale of this process: LC_ALL, else LC_MESSAGES, else LANG.
std::string currentMessagesLocale();

// The arguments of an Exec value with quoting undone and field codes (%f, %U, ...)
// removed; nullopt when a quote is not closed.
inline std::optional<std::vector<std::string>> splitExec(std::string_view exec)
{
    return commandline::splitDesktopExec(exec);
}

// The full path of an executable: program itself when it holds a "/", else the first
// match in the folders of PATH.
std::optional<std::string> findProgram(std::string_view program);

// The desktops named by XDG_CURRENT_DESKTOP, most specific first.
std::vector<std::string> currentDesktops();

// Whether OnlyShowIn and NotShowIn let the launcher show on one of desktops.
bool isShownOn(const DesktopEntry& entry, const std::vector<std::string>& desktops);

// A launcher's desktop-file ID: its path below the applications folder with "/" made
// "-"; a user's launcher overrides the system's one of the same ID.
std::string desktopFileId(std::string_view relativePath);

// What an Application launcher runs: the program's full path and its arguments.
struct LaunchCommand {
    std::string program;
    std::string arguments;
};

// nullopt when the launcher is not an Application, is hidden from menus (Hidden,
// NoDisplay, OnlyShowIn/NotShowIn for this desktop, a TryExec that is not found), or its program cannot be found. A launcher
// that needs a terminal runs in the system's x-terminal-emulator, or not at all.
std::optional<LaunchCommand> launchCommandOf(const DesktopEntry& entry);

} // namespace mokavel
