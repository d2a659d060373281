#include "exporter/ShellFolders.h"

#include "platform/registry/Registry.h"

namespace mokavel {

std::optional<std::string> ReadShellFolder(int root, std::string_view valueName)
{
    if (root != kPerUserRoot && root != kMachineRoot)
        return std::nullopt;
    const auto registryRoot = root == kPerUserRoot ? registry::Root::CurrentUser : registry::Root::LocalMachine;
    std::optional<std::string> value = registry::readValue(registryRoot, registry::kShellFoldersKey, valueName);
    if (value)
        value->resize(std::string_view(value->c_str()).size());
    return value;
}

std::vector<std::string> splitFolderList(std::string_view value)
{
    std::vector<std::string> folders;
    size_t start = 0;
    while (start <= value.size()) {
        size_t end = value.find(':', start);
        if (end == std::string_view::npos)
            end = value.size();
        if (end > start)
            folders.emplace_back(value.substr(start, end - start));
        start = end + 1;
    }
    return folders;
}

} // namespace mokavel
