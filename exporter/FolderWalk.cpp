#include "exporter/FolderWalk.h"

#include "platform/files/DirectorySearch.h"

#include <sys/stat.h>

#include <set>
#include <utility>

namespace mokavel {
namespace {

using FolderIdentity = std::pair<dev_t, ino_t>;

bool identify(const std::string& folder, FolderIdentity& identity)
{
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return false;
    identity = {info.st_dev, info.st_ino};
    return true;
}

} // namespace

std::string entryPrefix(std::string_view folder)
{
    std::string prefix(folder);
    if (prefix.empty() || prefix.back() != '/')
        prefix.push_back('/');
    return prefix;
}

std::vector<ListedEntry> listFolder(const std::string& folder)
{
    std::vector<ListedEntry> listed;
    if (folder.empty())
        return listed;
    const std::string prefix = entryPrefix(folder);
    for (files::DirEntry& entry : files::findFiles(folder, "*.*")) {
        ListedEntry item;
        item.path = prefix + entry.name;
        item.name = std::move(entry.name);
        item.isHidden = entry.isHidden;
        item.isDirectory = entry.isDirectory;
        listed.push_back(std::move(item));
    }
    return listed;
}

void walkFolderTree(const std::string& folder, bool skipHidden, const std::function<void(const FolderEntry&)>& onFile)
{
    if (folder.empty())
        return;
    struct Frame {
        std::vector<ListedEntry> entries;
        size_t next = 0;
    };
    std::set<FolderIdentity> entered;
    FolderIdentity identity;
    if (identify(folder, identity))
        entered.insert(identity);
    std::vector<Frame> stack;
    stack.push_back({listFolder(folder)});
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next >= frame.entries.size()) {
            stack.pop_back();
            continue;
        }
        const ListedEntry& entry = frame.entries[frame.next++];
        if (skipHidden && entry.isHidden)
            continue;
        if (!entry.isDirectory) {
            onFile(entry);
            continue;
        }
        if (identify(entry.path, identity) && entered.insert(identity).second) {
            std::string path = entry.path; // the push below may move the frame's entries
            stack.push_back({listFolder(path)});
        }
    }
}

} // namespace mokavel
