#pragma once
// The user's special folders as the registry store (or its XDG defaults) gives them.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mokavel {

inline constexpr int kPerUserRoot = 0;
inline constexpr int kMachineRoot = 1;

// The Shell Folders value valueName under the per-user (0) or machine (1) root; any
// other root is "not found". The text ends at its first zero byte.
std::optional<std::string> ReadShellFolder(int root, std::string_view valueName);

// A value that may list several folders joined with ':' ("Common Start Menu");
// empty parts are dropped.
std::vector<std::string> splitFolderList(std::string_view value);

} // namespace mokavel
