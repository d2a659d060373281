#include "exporter/FavoritesExport.h"

#include "exporter/BrowserBookmarks.h"
#include "exporter/DesktopEntry.h"
#include "exporter/FolderWalk.h"
#include "exporter/ShellFolders.h"
#include "exporter/TextFiles.h"

#include "platform/profile/PrivateProfile.h"

namespace mokavel {
namespace {

constexpr int kUrlBufferSize = 1000;
// Internet shortcuts are a few hundred bytes; anything far larger is not one.
constexpr size_t kMaxShortcutBytes = 1 << 20;
constexpr size_t kMaxExtensionLength = 6;

} // namespace

void WalkFavoritesFolder(ExportList& list, const std::string& folder, std::string_view extension)
{
    walkFolderTree(folder, false, [&](const FolderEntry& file) {
        if (EndsWithNoCase(file.path, extension)) {
            if (!isSmallRegularFile(file.path, kMaxShortcutBytes))
                return; // a pipe would block the reader, a huge file fill memory
            std::string url;
            GetPrivateProfileString("InternetShortcut", "URL", "", url, kUrlBufferSize, file.path);
            if (!url.empty())
                list.push_back({withoutLastFour(file.name), std::move(url), {}});
        } else if (isDesktopFileName(file.name)) {
            const std::optional<DesktopEntry> entry = readDesktopEntry(file.path, currentMessagesLocale());
            if (entry && entry->type == "Link" && !entry->url.empty())
                list.push_back({entry->name, entry->url, {}});
        }
    });
}

void WalkDocumentsFolder(ExportList& list, const std::string& folder)
{
    for (const ListedEntry& entry : listFolder(folder)) {
        if (entry.isDirectory || entry.isHidden)
            continue;
        const size_t dot = entry.name.rfind('.');
        if (dot == std::string::npos)
            continue;
        const std::string_view extension = std::string_view(entry.name).substr(dot);
        if (extension.size() > kMaxExtensionLength || ContainsNoCase(extension, ".dll") || dot == 0)
            continue;
        list.push_back({entry.name.substr(0, dot), entry.path, {}});
    }
}

int32_t exportFavorites(const char* outputFile)
{
    if (!outputFile)
        return 0;
    ExportList list;
    bool sourceFound = false;
    if (const std::optional<std::string> favorites = ReadShellFolder(kPerUserRoot, "Favorites")) {
        sourceFound = true;
        WalkFavoritesFolder(list, *favorites, ".url");
    }
    sourceFound = collectFirefoxBookmarks(list) || sourceFound;
    sourceFound = collectChromiumBookmarks(list) || sourceFound;
    if (!sourceFound)
        return 0;
    return WriteExportFile(list, outputFile) ? 1 : 0;
}

int32_t exportPersonalDocs(const char* folder, const char* outputFile)
{
    if (!folder || !outputFile || !fileExists(folder))
        return 0;
    ExportList list;
    WalkDocumentsFolder(list, folder);
    return WriteExportFile(list, outputFile) ? 1 : 0;
}

} // namespace mokavel
