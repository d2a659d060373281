#include "platform/registry/DesktopFolders.h"

#include "platform/profile/AtomicFile.h"
#include "platform/profile/ProfileDocument.h"

#include <cstdlib>
#include <sstream>

#include <pwd.h>
#include <unistd.h>

namespace registry {

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string withoutTrailingSlash(std::string folder)
{
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

// A base folder variable counts only with an absolute path, as the XDG rules say.
std::string baseFolder(const char* name, std::string_view fallbackUnderHome)
{
    std::string value = environment(name);
    if (!value.starts_with('/'))
        return homeFolder() + "/" + std::string(fallbackUnderHome);
    return withoutTrailingSlash(value);
}

} // namespace

std::string homeFolder()
{
    std::string home = environment("HOME");
    if (home.empty()) {
        if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir)
            home = user->pw_dir;
    }
    return withoutTrailingSlash(home.empty() ? "/" : home);
}

std::string configHome()
{
    return baseFolder("XDG_CONFIG_HOME", ".config");
}

std::string dataHome()
{
    return baseFolder("XDG_DATA_HOME", ".local/share");
}

std::vector<std::string> dataDirs()
{
    std::string value = environment("XDG_DATA_DIRS");
    if (value.empty())
        value = "/usr/local/share/:/usr/share/";
    std::vector<std::string> folders;
    std::istringstream parts(value);
    for (std::string part; std::getline(parts, part, ':');) {
        if (part.starts_with('/'))
            folders.push_back(withoutTrailingSlash(part));
    }
    return folders;
}

std::string userFolder(std::string_view name, std::string_view fallbackName)
{
    const std::string home = homeFolder();
    const profile::FileContents file = profile::readWholeFile(configHome() + "/user-dirs.dirs");
    const std::string key = "XDG_" + std::string(name) + "_DIR";
    std::string found = home + "/" + std::string(fallbackName);
    std::istringstream lines(file.bytes);
    for (std::string line; std::getline(lines, line);) {
        // XDG_DESKTOP_DIR="$HOME/Desktop"; the last assignment counts, as in the shell.
        std::string_view text = profile::trimBlanks(line);
        if (!text.starts_with(key) || text.substr(key.size()).find('=') != 0)
            continue;
        text = profile::trimBlanks(text.substr(key.size() + 1));
        if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
            text = text.substr(1, text.size() - 2);
        std::string folder;
        if (text.starts_with("$HOME"))
            folder = home + std::string(text.substr(5));
        else if (text.starts_with('/'))
            folder = std::string(text);
        if (!folder.empty())
            found = withoutTrailingSlash(folder);
    }
    return found;
}

} // namespace registry
