#pragma once
// Depth-first walk of a folder tree in listing order: a subfolder's entries come where
// the subfolder is met. Each physical folder is entered once per walk, so symbolic-link
// loops end, and the walk is bounded; the walk keeps its own stack, so a very deep tree cannot exhaust the call
// stack (folders whose path the system refuses as too long simply list nothing).

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mokavel {

struct FolderEntry {
    std::string path; // prefix plus name
    std::string name;
    bool isHidden = false;
};

// The folder as the prefix of its entries' paths: one "/" added unless it ends in one.
std::string entryPrefix(std::string_view folder);

// A walk looks at this many entries at most: a desktop linked to a whole disk ends.
inline constexpr size_t kMaxWalkEntries = 200000;

// Calls onFile for every file (not folder) under folder. Folders reached through a
// symbolic link are entered only when they lie inside folder. With skipHidden, hidden files
// and hidden folders (with everything under them) are left out.
void walkFolderTree(const std::string& folder, bool skipHidden, const std::function<void(const FolderEntry&)>& onFile);

// The files and folders directly in folder, in listing order.
struct ListedEntry : FolderEntry {
    bool isDirectory = false;
};
std::vector<ListedEntry> listFolder(const std::string& folder);

} // namespace mokavel
