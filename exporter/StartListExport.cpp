#include "exporter/StartListExport.h"

#include "exporter/DesktopEntry.h"
#include "exporter/FolderWalk.h"
#include "exporter/ShellFolders.h"
#include "exporter/ShellLink.h"
#include "exporter/TextFiles.h"

#include "platform/common/CommandLine.h"
#include "platform/files/DirectorySearch.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>

namespace mokavel {

const ControlPanelApplet ControlPanelApplets[] = {
    {"Accessibility Options", "Access.cpl", "@0"},
    {"Add/Remove Programs", "Appwiz.cpl", "@0"},
    {"MSDOS Console", "Console.cpl", "@0"},
    {"Date/Time", "Timedate", "@0"},
    {"Devices", "Srvmgr.cpl", "@0"},
    {"Display", "Desk.cpl", "@0"},
    {"Find Fast", "Findfast.cp", "@0"},
    {"Fonts", "Main.cpl", "@3"},
    {"GSNW", "Nwc.cpl", "@0"},
    {"Intel Pro Set", "Proset.cpl", "@0"},
    {"Internet", "Inetcpl.cpl", "@0"},
    {"Keyboard", "Main.cpl", "@1"},
    {"Licensing", "Liccpa.cpl", "@0"},
    {"Macfile", "Sfmmgr.cpl", "@0"},
    {"Mail and Fax", "Mlcfg32.Cpl", "@0"},
    {"Modems", "Modem.cpl", "@0"},
    {"Mouse", "Main.cpl", "@0"},
    {"Multimedia", "Mmsys.cpl", "@0"},
    {"Network", "Ncpa.cpl", "@0"},
    {"ODBC32", "Odbccp32.cpl", "@0"},
    {"PCCard", "Devapps.cpl", "@0"},
    {"Ports", "Ports.cpl", "@0"},
    {"Printers", "Main.cpl", "@2"},
    {"Regional Settings", "Intl.cpl", "@0"},
    {"SCSI Adapters", "Devapps.cpl", "@0"},
    {"Server", "Srvmgr.cpl", "@0"},
    {"Services", "Srvmgr.cpl", "@1"},
    {"Sounds", "Mmsys.cpl", "@0"},
    {"System", "Sysdm.cpl", "@0"},
    {"Tape Devices", "Devapps.cpl", "@0"},
    {"Telephony", "Telephon.cpl", "@0"},
    {"UPS", "Ups.cpl", "@0"},
    {"Speech", "speech.cpl", "@0"},
    {"", "", ""},
};

namespace {

// A special folder set to the home folder is how the desktop says the folder is unused;
// walking it would list every program under the user's files.
bool isHomeFolder(const std::string& folder)
{
    const char* home = std::getenv("HOME");
    struct stat folderInfo {}, homeInfo {};
    return home && ::stat(folder.c_str(), &folderInfo) == 0 && ::stat(home, &homeInfo) == 0 &&
           folderInfo.st_dev == homeInfo.st_dev && folderInfo.st_ino == homeInfo.st_ino;
}

// The shortcut followed to its end: while the target is itself a shortcut, that one is
// resolved in turn.
ExportItem resolveShortcutChain(const std::string& shortcutPath)
{
    ExportItem item;
    ResolveShortcut(shortcutPath, item);
    for (int hop = 0; hop < kMaxShortcutHops && EndsWithNoCase(item.target, ".lnk"); ++hop) {
        ExportItem next;
        ResolveShortcut(item.target, next);
        item = std::move(next);
    }
    return item;
}

void addLauncher(ExportList& list, const FolderEntry& file, LauncherFilter filter)
{
    const std::optional<DesktopEntry> entry = readDesktopEntry(file.path, currentMessagesLocale());
    if (!entry || ContainsNoCase(entry->name, "uninstall"))
        return;
    if (filter == LauncherFilter::SettingsLaunchers &&
        std::find(entry->categories.begin(), entry->categories.end(), "Settings") == entry->categories.end())
        return;
    std::optional<LaunchCommand> command = launchCommandOf(*entry);
    if (command)
        list.push_back({entry->name, std::move(command->program), std::move(command->arguments)});
}

} // namespace

void ResolveShortcut(const std::string& shortcutPath, ExportItem& item)
{
    std::optional<ShellLink> link = readShellLink(shortcutPath);
    if (!link)
        return;
    item.target = std::move(link->target);
    item.name = std::move(link->description);
    item.arguments = std::move(link->arguments);
}

void WalkShortcutFolder(ExportList& list, const std::string& folder, LauncherFilter filter, LauncherIds* launcherIds)
{
    LauncherIds ownIds;
    LauncherIds& ids = launcherIds ? *launcherIds : ownIds;
    const size_t prefixLength = entryPrefix(folder).size();
    walkFolderTree(folder, true, [&](const FolderEntry& file) {
        if (ContainsNoCase(file.name, "uninstall"))
            return;
        if (isDesktopFileName(file.name)) {
            // The first launcher of an ID decides, even when it hides itself.
            if (ids.insert(desktopFileId(std::string_view(file.path).substr(prefixLength))).second)
                addLauncher(list, file, filter);
        } else if (filter == LauncherFilter::SettingsLaunchers) {
            return;
        } else if (EndsWithNoCase(file.path, ".lnk")) {
            ExportItem item = resolveShortcutChain(file.path);
            item.name = withoutLastFour(file.name);
            // Written for the shell's splitting, which is how the program reads them back.
            item.arguments = commandline::joinShellWords(commandline::splitWindowsArguments(item.arguments));
            if (EndsWithNoCase(item.target, ".exe"))
                list.push_back(std::move(item));
        } else if (EndsWithNoCase(file.path, ".exe")) {
            list.push_back({withoutLastFour(file.name), file.path, {}});
        } else if (isProgramFile(file.path)) {
            list.push_back({file.name, file.path, {}});
        }
    });
}

bool CollectShellFolder(ExportList& list, std::string_view kind, LauncherIds* launcherIds)
{
    LauncherIds ownIds;
    LauncherIds& ids = launcherIds ? *launcherIds : ownIds;
    if (!equalsNoCase(kind, "Desktop") && !equalsNoCase(kind, "Start Menu"))
        return false;
    const std::optional<std::string> perUser = ReadShellFolder(kPerUserRoot, kind);
    if (!perUser)
        return false;
    if (!isHomeFolder(*perUser))
        WalkShortcutFolder(list, *perUser, LauncherFilter::Everything, &ids);
    if (const auto common = ReadShellFolder(kMachineRoot, "Common " + std::string(kind))) {
        for (const std::string& folder : splitFolderList(*common))
            WalkShortcutFolder(list, folder, LauncherFilter::Everything, &ids);
    }
    return true;
}

bool CollectControlPanel(ExportList& list, LauncherIds* launcherIds)
{
    LauncherIds ownIds;
    LauncherIds& ids = launcherIds ? *launcherIds : ownIds;
    std::optional<std::string> systemDirectory = files::systemDirectory();
    if (systemDirectory) {
        const std::string prefix = entryPrefix(*systemDirectory);
        for (const ControlPanelApplet* applet = ControlPanelApplets; *applet->file; ++applet) {
            if (fileExists(prefix + applet->file))
                list.push_back({applet->name, "rundll32.exe",
                                std::string("shell32.dll,Control_RunDLL ") + applet->file + "," + applet->parameter});
        }
    }
    std::vector<std::string> startMenus;
    if (const auto perUser = ReadShellFolder(kPerUserRoot, "Start Menu"))
        startMenus.push_back(*perUser);
    if (const auto common = ReadShellFolder(kMachineRoot, "Common Start Menu")) {
        for (std::string& folder : splitFolderList(*common))
            startMenus.push_back(std::move(folder));
    }
    for (const std::string& folder : startMenus)
        WalkShortcutFolder(list, folder, LauncherFilter::SettingsLaunchers, &ids);
    return systemDirectory.has_value();
}

int32_t exportStartList(const char* outputFile, int32_t sources)
{
    if (!outputFile || (sources & (kExportDesktop | kExportStartMenu | kExportControlPanel)) == 0)
        return 0;
    ExportList list;
    bool collected = true;
    // Shared by the Start menu and the settings launchers, so one listed with the menu
    // is not listed again with the applets.
    LauncherIds menuIds;
    if (sources & kExportDesktop)
        collected = CollectShellFolder(list, "Desktop");
    if ((sources & kExportStartMenu) && collected)
        collected = CollectShellFolder(list, "Start Menu", &menuIds);
    if ((sources & kExportControlPanel) && collected)
        CollectControlPanel(list, &menuIds);
    if (!collected)
        return 0;
    return WriteExportFile(list, outputFile) ? 1 : 0;
}

} // namespace mokavel
