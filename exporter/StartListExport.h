#pragma once
// The Start list export: programs, shortcuts and launchers of the desktop and the Start
// menu folders, then the control panel applets and the desktop's settings launchers.

#include "exporter/ExportList.h"

#include <cstdint>
#include <set>
#include <string>
#include <string_view>

namespace mokavel {

inline constexpr int32_t kExportDesktop = 1;
inline constexpr int32_t kExportStartMenu = 2;
inline constexpr int32_t kExportControlPanel = 4;

// A shortcut to a shortcut is followed this many times at most: a chain that loops ends.
inline constexpr int kMaxShortcutHops = 16;

// 1 when the sources were collected and written (or nothing was found), else 0.
int32_t exportStartList(const char* outputFile, int32_t sources);

// The desktop-file IDs of the launchers met so far; the first launcher of an ID decides.
using LauncherIds = std::set<std::string>;

// kind "Desktop" or "Start Menu": the per-user folder, then the common folders, so a
// user's launcher overrides the system's one of the same ID; false when the per-user
// folder is unknown. launcherIds, when given, carries the IDs met over to later walks.
bool CollectShellFolder(ExportList& list, std::string_view kind, LauncherIds* launcherIds = nullptr);

enum class LauncherFilter { Everything, SettingsLaunchers };

// Programs (".exe", ELF programs and scripts), shortcuts (".lnk") whose final target is
// an ".exe", and Application launchers of folder and its subfolders; hidden entries and
// names holding "uninstall" are left out, and launchers whose ID is in launcherIds.
// With SettingsLaunchers only launchers whose Categories include "Settings" are taken.
void WalkShortcutFolder(ExportList& list, const std::string& folder,
                        LauncherFilter filter = LauncherFilter::Everything, LauncherIds* launcherIds = nullptr);

// Fills item from the shortcut file: target, arguments and the description as name.
// A shortcut that cannot be read leaves item unchanged.
void ResolveShortcut(const std::string& shortcutPath, ExportItem& item);

// The applets of the system directory, then the settings launchers of the Start menu
// folders not in launcherIds; false only when there is no system directory.
bool CollectControlPanel(ExportList& list, LauncherIds* launcherIds = nullptr);

struct ControlPanelApplet {
    const char* name;
    const char* file;
    const char* parameter;
};
extern const ControlPanelApplet ControlPanelApplets[];

} // namespace mokavel
