#pragma once
// Registry values kept in one file store, registry.ini (VORLIX_REGISTRY names another
// file; else $XDG_CONFIG_HOME/vorlix/registry.ini). Key paths compare ignoring case;
// values are strings; valueName "" is the key's default (unnamed) value. Two kinds of
// value live elsewhere on this desktop: the values of the Run key are XDG autostart
// entries ($XDG_CONFIG_HOME/autostart/NAME.desktop, the value's text is its Exec=
// line), and the Shell Folders values fall back to the XDG user folders when the store
// does not hold them. No Qt, so the exporter library can use it too.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace registry {

enum class Root { LocalMachine, CurrentUser };

inline constexpr std::string_view kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr std::string_view kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
inline constexpr std::string_view kProgramKey = "Software\\Quennet\\Vorlix";

std::filesystem::path storePath();

// Opens the key, creating it when missing; false when the store cannot be written.
bool createKey(Root root, std::string_view keyPath);
std::optional<std::string> readValue(Root root, std::string_view keyPath, std::string_view valueName);
bool writeValue(Root root, std::string_view keyPath, std::string_view valueName, std::string_view value);
bool deleteValue(Root root, std::string_view keyPath, std::string_view valueName);

} // namespace registry

// The default value of subkey `name` of the program's key, or defaultValue when the key
// cannot be opened or created or the subkey has no value.
std::string ReadRegistryValue(std::string_view name, std::string_view defaultValue);
