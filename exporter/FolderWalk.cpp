#include "exporter/FolderWalk.h"

#include "platform/files/DirectorySearch.h"

#include <sys/stat.h>

#include <cstdlib>
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

// The folder's real path with a trailing "/", so that a real path under it starts with it.
std::string realPrefix(const std::string& folder)
{
    char* real = ::realpath(folder.c_str(), nullptr);
    if (!real)
        return {};
    std::string prefix = entryPrefix(real);
    std::free(real);
    return prefix;
}

// A folder reached through a symbolic link counts only when it lies inside the walk's
// root: a link to "/" or to the home folder would list the whole machine.
bool staysInside(const ListedEntry& entry, const std::string& rootPrefix)
{
    struct stat info {};
    if (::lstat(entry.path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return true;
    const std::string target = realPrefix(entry.path);
    return !rootPrefix.empty() && target.compare(0, rootPrefix.size(), rootPrefix) == 0;
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
    const std::string rootPrefix = realPrefix(folder);
    size_t entriesLeft = kMaxWalkEntries;
    std::set<FolderIdentity> entered;
    FolderIdentity identity;
    if (identify(folder, identity))
        entered.insert(identity);
    std::vector<Frame> stack;
    stack.push_back({listFolder(folder)});
    while (!stack.empty() && entriesLeft > 0) {
        Frame& frame = stack.back();
        if (frame.next >= frame.entries.size()) {
            stack.pop_back();
            continue;
        }
        const ListedEntry& entry = frame.entries[frame.next++];
        --entriesLeft;
        if (skipHidden && entry.isHidden)
            continue;
        if (!entry.isDirectory) {
            onFile(entry);
            continue;
        }
        if (staysInside(entry, rootPrefix) && identify(entry.path, identity) && entered.insert(identity).second) {
            std::string path = entry.path; // the push below may move the frame's entries
            stack.push_back({listFolder(path)});
        }
    }
}

} // namespace mokavel
