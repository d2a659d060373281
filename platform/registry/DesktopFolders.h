#pragma once
// Where this desktop keeps the folders that the Windows shell names: the XDG base and
// user folders, with their documented defaults.

#include <string>
#include <string_view>
#include <vector>

namespace registry {

std::string homeFolder();
std::string configHome();  // $XDG_CONFIG_HOME, else ~/.config
std::string dataHome();    // $XDG_DATA_HOME, else ~/.local/share
std::vector<std::string> dataDirs(); // $XDG_DATA_DIRS, else /usr/local/share and /usr/share

// A folder of ~/.config/user-dirs.dirs ("DESKTOP", "DOCUMENTS"), else ~/fallbackName.
std::string userFolder(std::string_view name, std::string_view fallbackName);

} // namespace registry
