#include "exporter/DesktopEntry.h"

#include "exporter/TextFiles.h"

#include "platform/common/CommandLine.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace mokavel {
namespace {

std::string_view trimmed(std::string_view text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// The escapes of string values: \s \n \t \r \\; any other backslash stays as it is
// (Exec quoting needs to see it).
std::string unescapeValue(std::string_view value)
{
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out.push_back(value[i]);
            continue;
        }
        switch (value[i + 1]) {
        case 's': out.push_back(' '); break;
        case 'n': out.push_back('\n'); break;
        case 't': out.push_back('\t'); break;
        case 'r': out.push_back('\r'); break;
        case '\\': out.push_back('\\'); break;
        default: out.push_back('\\'); continue;
        }
        ++i;
    }
    return out;
}

std::vector<std::string> splitList(std::string_view value)
{
    std::vector<std::string> items;
    size_t start = 0;
    while (start < value.size()) {
        size_t end = value.find(';', start);
        if (end == std::string_view::npos)
            end = value.size();
        if (end > start)
            items.emplace_back(value.substr(start, end - start));
        start = end + 1;
    }
    return items;
}

// The locale keys to try, most specific first: lang_COUNTRY@MODIFIER, lang_COUNTRY,
// lang@MODIFIER, lang.
std::vector<std::string> localeCandidates(std::string_view locale)
{
    std::string modifier;
    if (const size_t at = locale.find('@'); at != std::string_view::npos) {
        modifier = std::string(locale.substr(at));
        locale = locale.substr(0, at);
    }
    if (const size_t dot = locale.find('.'); dot != std::string_view::npos)
        locale = locale.substr(0, dot);
    std::string country;
    if (const size_t underscore = locale.find('_'); underscore != std::string_view::npos) {
        country = std::string(locale.substr(underscore));
        locale = locale.substr(0, underscore);
    }
    const std::string lang(locale);
    std::vector<std::string> candidates;
    if (lang.empty() || lang == "C" || lang == "POSIX")
        return candidates;
    if (!country.empty() && !modifier.empty())
        candidates.push_back(lang + country + modifier);
    if (!country.empty())
        candidates.push_back(lang + country);
    if (!modifier.empty())
        candidates.push_back(lang + modifier);
    candidates.push_back(lang);
    return candidates;
}

bool isKeptKey(std::string_view key)
{
    static constexpr std::string_view kept[] = {"Type", "Name", "Exec", "TryExec", "URL", "Categories", "Hidden",
                                                "NoDisplay", "Terminal", "OnlyShowIn", "NotShowIn"};
    if (key.substr(0, 5) == "Name[")
        return true;
    return std::find(std::begin(kept), std::end(kept), key) != std::end(kept);
}

} // namespace

bool isDesktopFileName(std::string_view fileName)
{
    constexpr std::string_view suffix = ".desktop";
    return fileName.size() >= suffix.size() && fileName.substr(fileName.size() - suffix.size()) == suffix;
}

std::optional<DesktopEntry> parseDesktopEntry(std::string_view text, std::string_view locale)
{
    std::map<std::string, std::string, std::less<>> keys;
    bool inEntryGroup = false;
    bool sawEntryGroup = false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        line = trimmed(line);
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[') {
            if (sawEntryGroup)
                break; // only the first "Desktop Entry" group counts; later groups are actions
            inEntryGroup = line == "[Desktop Entry]";
            sawEntryGroup = inEntryGroup;
            continue;
        }
        const size_t equals = line.find('=');
        if (!inEntryGroup || equals == std::string_view::npos)
            continue;
        const std::string_view key = trimmed(line.substr(0, equals));
        // Real launchers carry hundreds of translated comments and keywords; only the
        // keys read below are kept.
        if (!isKeptKey(key))
            continue;
        keys.emplace(std::string(key), std::string(trimmed(line.substr(equals + 1))));
    }
    if (!sawEntryGroup)
        return std::nullopt;

    auto value = [&](std::string_view key) -> std::string {
        const auto found = keys.find(key);
        return found == keys.end() ? std::string() : unescapeValue(found->second);
    };
    DesktopEntry entry;
    entry.type = value("Type");
    entry.name = value("Name");
    for (const std::string& candidate : localeCandidates(locale)) {
        if (const auto found = keys.find("Name[" + candidate + "]"); found != keys.end()) {
            entry.name = unescapeValue(found->second);
            break;
        }
    }
    entry.exec = value("Exec");
    entry.tryExec = value("TryExec");
    entry.url = value("URL");
    entry.categories = splitList(value("Categories"));
    entry.hidden = value("Hidden") == "true";
    entry.noDisplay = value("NoDisplay") == "true";
    entry.terminal = value("Terminal") == "true";
    entry.onlyShowIn = splitList(value("OnlyShowIn"));
    entry.notShowIn = splitList(value("NotShowIn"));
    return entry;
}

std::optional<DesktopEntry> readDesktopEntry(const std::string& path, std::string_view locale)
{
    const std::optional<std::string> text = readSmallFile(path, kMaxDesktopEntryBytes);
    if (!text)
        return std::nullopt;
    return parseDesktopEntry(*text, locale);
}

std::string currentMessagesLocale()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return value;
    }
    return {};
}

std::optional<std::string> findProgram(std::string_view program)
{
    if (program.empty())
        return std::nullopt;
    if (program.find('/') != std::string_view::npos) {
        const std::string path(program);
        return isExecutableFile(path) ? std::optional(path) : std::nullopt;
    }
    const char* searchPath = std::getenv("PATH");
    const std::string_view folders = searchPath ? searchPath : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string_view::npos)
            end = folders.size();
        const std::string_view folder = folders.substr(start, end - start);
        start = end + 1;
        if (folder.empty() || folder.front() != '/')
            continue; // a relative PATH entry would depend on our working folder
        std::string candidate(folder);
        if (candidate.back() != '/')
            candidate.push_back('/');
        candidate.append(program);
        if (isExecutableFile(candidate))
            return candidate;
    }
    return std::nullopt;
}

std::vector<std::string> currentDesktops()
{
    const char* value = std::getenv("XDG_CURRENT_DESKTOP");
    std::vector<std::string> desktops;
    std::string_view names = value ? value : "";
    while (!names.empty()) {
        const size_t colon = names.find(':');
        if (colon != 0)
            desktops.emplace_back(names.substr(0, colon));
        names = colon == std::string_view::npos ? std::string_view() : names.substr(colon + 1);
    }
    return desktops;
}

bool isShownOn(const DesktopEntry& entry, const std::vector<std::string>& desktops)
{
    auto named = [&](const std::vector<std::string>& list) {
        return std::any_of(desktops.begin(), desktops.end(), [&](const std::string& desktop) {
            return std::find(list.begin(), list.end(), desktop) != list.end();
        });
    };
    if (!entry.onlyShowIn.empty() && !named(entry.onlyShowIn))
        return false;
    return !named(entry.notShowIn);
}

std::string desktopFileId(std::string_view relativePath)
{
    std::string id(relativePath);
    for (char& c : id)
        if (c == '/')
            c = '-';
    return id;
}

std::optional<LaunchCommand> launchCommandOf(const DesktopEntry& entry)
{
    if (entry.type != "Application" || entry.hidden || entry.noDisplay || !isShownOn(entry, currentDesktops()))
        return std::nullopt;
    if (!entry.tryExec.empty() && !findProgram(entry.tryExec))
        return std::nullopt;
    auto arguments = commandline::splitDesktopExec(entry.exec);
    if (!arguments || arguments->empty())
        return std::nullopt;
    std::optional<std::string> program = findProgram(arguments->front());
    if (!program)
        return std::nullopt;
    if (!entry.terminal)
        return LaunchCommand{std::move(*program), commandline::joinShellWords(*arguments, 1)};
    std::optional<std::string> terminal = findProgram("x-terminal-emulator");
    if (!terminal)
        return std::nullopt;
    arguments->front() = std::move(*program);
    return LaunchCommand{std::move(*terminal), "-e " + commandline::joinShellWords(*arguments)};
}

} // namespace mokavel
