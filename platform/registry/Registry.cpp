#include "platform/registry/Registry.h"

#include "platform/profile/AtomicFile.h"
#include "platform/profile/PrivateProfile.h"
#include "platform/profile/ProfileDocument.h"
#include "platform/registry/DesktopFolders.h"

#include <cstdlib>
#include <sstream>

namespace registry {

namespace {

// The store keeps a key's unnamed value under this name, which no named value may take.
constexpr std::string_view kDefaultValueName = "@";
constexpr std::string_view kUserShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
// RegQueryValueExA into the caller's buffer of 512 characters: a longer value does not fit.
constexpr size_t kRegistryBufferSize = 512;

std::string_view normalizedKeyPath(std::string_view keyPath)
{
    keyPath = profile::trimBlanks(keyPath);
    while (!keyPath.empty() && keyPath.front() == '\\')
        keyPath.remove_prefix(1);
    while (!keyPath.empty() && keyPath.back() == '\\')
        keyPath.remove_suffix(1);
    return keyPath;
}

std::string sectionFor(Root root, std::string_view keyPath)
{
    std::string section = root == Root::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
    keyPath = normalizedKeyPath(keyPath);
    if (!keyPath.empty())
        section.append("\\").append(keyPath);
    return section;
}

std::optional<std::string_view> storedValueName(std::string_view valueName)
{
    if (valueName.empty())
        return kDefaultValueName;
    if (valueName == kDefaultValueName)
        return std::nullopt;
    return valueName;
}

bool isRunKey(std::string_view keyPath)
{
    return profile::equalsIgnoringCase(normalizedKeyPath(keyPath), kRunKey);
}

bool isShellFoldersKey(std::string_view keyPath)
{
    const std::string_view path = normalizedKeyPath(keyPath);
    return profile::equalsIgnoringCase(path, kShellFoldersKey) || profile::equalsIgnoringCase(path, kUserShellFoldersKey);
}

bool ensureStoreFolder()
{
    const std::filesystem::path folder = storePath().parent_path();
    std::error_code error;
    return folder.empty() || std::filesystem::create_directories(folder, error) || std::filesystem::is_directory(folder, error);
}

// ---- Run key values are XDG autostart entries ----

std::optional<std::filesystem::path> autostartFile(std::string_view name)
{
    if (name.empty() || name == "." || name == ".." || name.find_first_of(std::string_view("/\r\n\0", 4)) != std::string_view::npos)
        return std::nullopt;
    return std::filesystem::path(configHome()) / "autostart" / (std::string(name) + ".desktop");
}

// Exec= is a desktop-entry string (backslash escapes) in which % opens a field code.
std::string escapeExec(std::string_view value)
{
    std::string escaped;
    for (char c : value) {
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '%')
            escaped += "%%";
        else
            escaped += c;
    }
    return escaped;
}

std::string unescapeExec(std::string_view value)
{
    std::string text;
    for (size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        const char next = i + 1 < value.size() ? value[i + 1] : '\0';
        if (c == '\\' && next != '\0') {
            ++i;
            text += next == 's' ? ' ' : next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else if (c == '%' && next == '%') {
            ++i;
            text += '%';
        } else {
            text += c;
        }
    }
    return text;
}

// An entry the desktop's own settings switched off does not start the program, so it
// does not count as the value.
std::optional<std::string> readAutostart(std::string_view name)
{
    const std::optional<std::filesystem::path> file = autostartFile(name);
    if (!file)
        return std::nullopt;
    const profile::FileContents contents = profile::readWholeFile(*file);
    std::optional<std::string> exec;
    bool switchedOff = false;
    bool inMainGroup = false;
    std::istringstream lines(contents.bytes);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string_view text = profile::trimBlanks(line);
        if (text.starts_with('[')) {
            inMainGroup = text == "[Desktop Entry]";
            continue;
        }
        const size_t equals = text.find('=');
        if (!inMainGroup || equals == std::string_view::npos)
            continue;
        const std::string_view key = profile::trimBlanks(text.substr(0, equals));
        const std::string_view value = profile::trimBlanks(text.substr(equals + 1));
        if (key == "Exec" && !exec)
            exec = unescapeExec(value);
        else if ((key == "Hidden" && value == "true") || (key == "X-GNOME-Autostart-enabled" && value == "false"))
            switchedOff = true;
    }
    return switchedOff ? std::nullopt : exec;
}

bool writeAutostart(std::string_view name, std::string_view value)
{
    const std::optional<std::filesystem::path> file = autostartFile(name);
    if (!file || value.find_first_of("\r\n") != std::string_view::npos)
        return false;
    std::error_code error;
    std::filesystem::create_directories(file->parent_path(), error);
    const std::string entry = "[Desktop Entry]\nType=Application\nName=" + std::string(name) + "\nExec=" + escapeExec(value)
        + "\nX-GNOME-Autostart-enabled=true\n";
    const std::optional<std::filesystem::path> target = profile::resolveLinks(*file);
    return target && profile::replaceFileAtomically(*target, entry);
}

bool deleteAutostart(std::string_view name)
{
    const std::optional<std::filesystem::path> file = autostartFile(name);
    if (!file)
        return false;
    std::error_code error;
    std::filesystem::remove(*file, error);
    return !error;
}

// ---- Shell Folders values the store does not hold come from the XDG folders ----

std::optional<std::string> shellFolderFallback(Root root, std::string_view valueName)
{
    const auto is = [&](std::string_view name) { return profile::equalsIgnoringCase(valueName, name); };
    if (root == Root::CurrentUser) {
        if (is("Desktop"))
            return userFolder("DESKTOP", "Desktop");
        if (is("Personal"))
            return userFolder("DOCUMENTS", "Documents");
        if (is("Start Menu"))
            return dataHome() + "/applications";
        return std::nullopt;
    }
    if (is("Common Start Menu")) {
        std::string joined;
        for (const std::string& folder : dataDirs())
            joined += (joined.empty() ? "" : ":") + folder + "/applications";
        return joined;
    }
    return std::nullopt;
}

} // namespace

std::filesystem::path storePath()
{
    if (const char* named = std::getenv("VORLIX_REGISTRY"); named && *named)
        return named;
    return std::filesystem::path(configHome()) / "vorlix" / "registry.ini";
}

bool createKey(Root root, std::string_view keyPath)
{
    return ensureStoreFolder() && AddPrivateProfileSection(sectionFor(root, keyPath), storePath());
}

std::optional<std::string> readValue(Root root, std::string_view keyPath, std::string_view valueName)
{
    if (isRunKey(keyPath))
        return readAutostart(valueName);
    const std::optional<std::string_view> name = storedValueName(valueName);
    if (!name)
        return std::nullopt;
    std::optional<std::string> value = ReadPrivateProfileValue(sectionFor(root, keyPath), *name, storePath());
    if (!value && isShellFoldersKey(keyPath))
        return shellFolderFallback(root, valueName);
    return value;
}

bool writeValue(Root root, std::string_view keyPath, std::string_view valueName, std::string_view value)
{
    if (isRunKey(keyPath))
        return writeAutostart(valueName, value);
    const std::optional<std::string_view> name = storedValueName(valueName);
    if (!name || !ensureStoreFolder())
        return false;
    // Always quoted, so blanks at either end and quotes of the value itself survive the read.
    const std::string quoted = "\"" + std::string(value) + "\"";
    return WritePrivateProfileString(sectionFor(root, keyPath), *name, quoted, storePath());
}

bool deleteValue(Root root, std::string_view keyPath, std::string_view valueName)
{
    if (isRunKey(keyPath))
        return deleteAutostart(valueName);
    const std::optional<std::string_view> name = storedValueName(valueName);
    return name && WritePrivateProfileString(sectionFor(root, keyPath), *name, std::nullopt, storePath());
}

} // namespace registry

std::string ReadRegistryValue(std::string_view name, std::string_view defaultValue)
{
    if (!registry::createKey(registry::Root::LocalMachine, registry::kProgramKey))
        return std::string(defaultValue);
    const std::optional<std::string> value = registry::readValue(
        registry::Root::LocalMachine, std::string(registry::kProgramKey) + "\\" + std::string(name), "");
    if (!value || value->size() >= registry::kRegistryBufferSize)
        return std::string(defaultValue);
    return *value;
}
