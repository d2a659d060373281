#include "exporter/BrowserBookmarks.h"

#include "exporter/FolderWalk.h"
#include "exporter/TextFiles.h"

#include <nlohmann/json.hpp>
#include <sqlite3.h>

#include <sys/stat.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <set>

namespace mokavel {
namespace {

// places.sqlite also holds the history; a large one is a few hundred MB.
constexpr uintmax_t kMaxPlacesFileBytes = uintmax_t(2) << 30;

constexpr int kFirefoxBookmark = 1;
constexpr int kFirefoxFolder = 2;

std::string homeFolder()
{
    const char* home = std::getenv("HOME");
    return home ? home : "";
}

std::string configFolder()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config == '/')
        return config;
    return homeFolder().empty() ? "" : homeFolder() + "/.config";
}

// Script and inline-data addresses are not web sites to open by voice.
bool isWebSiteAddress(std::string_view url)
{
    const size_t colon = url.find(':');
    const std::string_view scheme = url.substr(0, colon == std::string_view::npos ? 0 : colon);
    return !url.empty() && !equalsNoCase(scheme, "javascript") && !equalsNoCase(scheme, "data") &&
           !equalsNoCase(scheme, "place");
}

// A private copy of a places database with its write-ahead log and rollback journal, so
// that what is still in the log is read, and the browser, which holds the file locked
// while it runs, is neither blocked nor disturbed. Removed with the object.
class PlacesSnapshot {
public:
    explicit PlacesSnapshot(const std::string& database)
    {
        namespace fs = std::filesystem;
        std::error_code error;
        const uintmax_t size = fs::file_size(database, error);
        if (error || size > kMaxPlacesFileBytes)
            return;
        std::string pattern = (fs::temp_directory_path(error) / "vorlix-places-XXXXXX").string();
        if (error || !::mkdtemp(pattern.data()))
            return;
        m_folder = pattern;
        // A checkpoint between the copies could pair a database with a log it already
        // holds; copying again until the log stands still gives one consistent state.
        for (int attempt = 0; attempt < 3; ++attempt) {
            const auto logBefore = stamp(database + "-wal");
            bool copied = copy(database, m_folder + "/places.sqlite");
            for (const char* suffix : {"-wal", "-journal"})
                copied = copied && copy(database + suffix, m_folder + "/places.sqlite" + suffix);
            if (copied && stamp(database + "-wal") == logBefore) {
                m_copy = m_folder + "/places.sqlite";
                return;
            }
        }
    }
    ~PlacesSnapshot()
    {
        std::error_code ignored;
        if (!m_folder.empty())
            std::filesystem::remove_all(m_folder, ignored);
    }
    PlacesSnapshot(const PlacesSnapshot&) = delete;
    PlacesSnapshot& operator=(const PlacesSnapshot&) = delete;

    // Empty when no copy could be made.
    const std::string& path() const { return m_copy; }

private:
    static std::pair<uintmax_t, int64_t> stamp(const std::string& file)
    {
        struct stat info {};
        if (::stat(file.c_str(), &info) != 0)
            return {0, 0};
        return {static_cast<uintmax_t>(info.st_size), int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
    }
    // A missing source is no failure: the log and the journal exist only at times.
    static bool copy(const std::string& from, const std::string& to)
    {
        std::error_code error;
        if (!std::filesystem::exists(from, error))
            return true;
        return std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
    }

    std::string m_folder;
    std::string m_copy;
};

std::string columnText(sqlite3_stmt* statement, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(statement, column))) : std::string();
}

struct PlacesRow {
    int64_t id = 0;
    int type = 0;
    std::string guid;
    std::string title;
    std::string url;
};

// profiles.ini lists the profile folders; a relative Path is relative to its folder.
std::vector<std::string> firefoxProfiles(const std::string& root)
{
    std::vector<std::string> profiles;
    const std::optional<std::string> text = readSmallFile(root + "/profiles.ini", 1 << 20);
    if (!text)
        return profiles;
    std::string path;
    bool relative = true;
    bool inProfile = false;
    auto finishSection = [&] {
        if (inProfile && !path.empty())
            profiles.push_back(relative ? root + "/" + path : path);
        path.clear();
        relative = true;
    };
    size_t start = 0;
    while (start < text->size()) {
        size_t end = text->find('\n', start);
        if (end == std::string::npos)
            end = text->size();
        std::string line = text->substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line.front() == '[') {
            finishSection();
            inProfile = line.rfind("[Profile", 0) == 0;
        } else if (line.rfind("Path=", 0) == 0) {
            path = line.substr(5);
        } else if (line.rfind("IsRelative=", 0) == 0) {
            relative = line.substr(11) != "0";
        }
    }
    finishSection();
    return profiles;
}

} // namespace

bool readPlacesDatabase(const std::string& file, ExportList& list)
{
    const PlacesSnapshot snapshot(file);
    if (snapshot.path().empty())
        return false;
    sqlite3* openedDatabase = nullptr;
    // Read-write on the private copy: applying the log needs to write its index.
    const int opened = sqlite3_open_v2(snapshot.path().c_str(), &openedDatabase, SQLITE_OPEN_READWRITE, nullptr);
    const std::unique_ptr<sqlite3, decltype(&sqlite3_close)> database(openedDatabase, &sqlite3_close);
    if (opened != SQLITE_OK)
        return false;

    sqlite3_stmt* preparedStatement = nullptr;
    const char* query = "SELECT b.id, b.parent, b.type, IFNULL(b.guid, ''), "
                        "COALESCE(NULLIF(b.title, ''), p.title, ''), IFNULL(p.url, '') "
                        "FROM moz_bookmarks b LEFT JOIN moz_places p ON b.fk = p.id "
                        "ORDER BY b.parent, b.position, b.id";
    if (sqlite3_prepare_v2(database.get(), query, -1, &preparedStatement, nullptr) != SQLITE_OK)
        return false;
    const std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> statement(preparedStatement, &sqlite3_finalize);

    std::vector<PlacesRow> rows;
    std::map<int64_t, std::vector<size_t>> children;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(statement.get())) == SQLITE_ROW) {
        PlacesRow row;
        row.id = sqlite3_column_int64(statement.get(), 0);
        const int64_t parent = sqlite3_column_int64(statement.get(), 1);
        row.type = sqlite3_column_int(statement.get(), 2);
        row.guid = columnText(statement.get(), 3);
        row.title = columnText(statement.get(), 4);
        row.url = columnText(statement.get(), 5);
        children[parent].push_back(rows.size());
        rows.push_back(std::move(row));
    }

    // The tree hangs from the rows without a parent (the root); the tags folder only
    // repeats bookmarks under tag names.
    std::vector<std::pair<const std::vector<size_t>*, size_t>> stack;
    std::set<int64_t> entered{0};
    if (const auto roots = children.find(0); roots != children.end())
        stack.emplace_back(&roots->second, 0);
    while (!stack.empty()) {
        auto& [siblings, next] = stack.back();
        if (next >= siblings->size()) {
            stack.pop_back();
            continue;
        }
        const PlacesRow& row = rows[(*siblings)[next++]];
        if (row.type == kFirefoxBookmark) {
            if (isWebSiteAddress(row.url))
                list.push_back({row.title, row.url, {}});
        } else if (row.type == kFirefoxFolder && row.guid != "tags________" && entered.insert(row.id).second) {
            if (const auto found = children.find(row.id); found != children.end())
                stack.emplace_back(&found->second, 0);
        }
    }
    return step == SQLITE_DONE;
}

bool readChromiumBookmarks(const std::string& file, ExportList& list)
{
    const std::optional<std::string> text = readSmallFile(file, kMaxBookmarksFileBytes);
    if (!text)
        return false;
    const nlohmann::json document = nlohmann::json::parse(*text, nullptr, false);
    if (!document.is_object() || !document.contains("roots") || !document["roots"].is_object())
        return false;

    const nlohmann::json& roots = document["roots"];
    std::vector<std::pair<const nlohmann::json*, size_t>> stack;
    auto enter = [&](const nlohmann::json& folder) {
        const auto children = folder.find("children");
        if (children != folder.end() && children->is_array())
            stack.emplace_back(&*children, 0);
    };
    auto textOf = [](const nlohmann::json& node, const char* key) {
        const auto value = node.find(key);
        return value != node.end() && value->is_string() ? value->get<std::string>() : std::string();
    };
    for (const char* rootName : {"bookmark_bar", "other", "synced"}) {
        const auto root = roots.find(rootName);
        if (root == roots.end() || !root->is_object())
            continue;
        enter(*root);
        while (!stack.empty()) {
            auto& [siblings, next] = stack.back();
            if (next >= siblings->size()) {
                stack.pop_back();
                continue;
            }
            const nlohmann::json& node = (*siblings)[next++];
            if (!node.is_object())
                continue;
            const std::string type = textOf(node, "type");
            if (type == "url") {
                std::string url = textOf(node, "url");
                if (isWebSiteAddress(url))
                    list.push_back({textOf(node, "name"), std::move(url), {}});
            } else if (type == "folder") {
                enter(node);
            }
        }
    }
    return true;
}

bool collectFirefoxBookmarks(ExportList& list)
{
    const std::string home = homeFolder();
    if (home.empty())
        return false;
    bool found = false;
    std::set<std::string> seen;
    for (const std::string& root : {home + "/.mozilla/firefox", configFolder() + "/mozilla/firefox",
                                    home + "/snap/firefox/common/.mozilla/firefox",
                                    home + "/.var/app/org.mozilla.firefox/.mozilla/firefox"}) {
        for (const std::string& profile : firefoxProfiles(root)) {
            const std::string database = profile + "/places.sqlite";
            if (!isRegularFile(database) || !seen.insert(database).second)
                continue;
            found = true;
            readPlacesDatabase(database, list);
        }
    }
    return found;
}

bool collectChromiumBookmarks(ExportList& list)
{
    const std::string config = configFolder();
    const std::string home = homeFolder();
    if (config.empty())
        return false;
    // Each browser's profile folders: its own configuration folder, then its Snap and
    // Flatpak packages' ones.
    struct Browser {
        const char* folder;
        const char* snap;
        const char* flatpak;
    };
    static constexpr Browser browsers[] = {
        {"chromium", "chromium", "org.chromium.Chromium"},
        {"google-chrome", nullptr, "com.google.Chrome"},
        {"BraveSoftware/Brave-Browser", "brave", "com.brave.Browser"},
        {"vivaldi", nullptr, "com.vivaldi.Vivaldi"},
        {"microsoft-edge", nullptr, "com.microsoft.Edge"},
    };
    bool found = false;
    std::set<std::string> seen;
    for (const Browser& browser : browsers) {
        std::vector<std::string> roots{config + "/" + browser.folder};
        if (!home.empty() && browser.snap)
            roots.push_back(home + "/snap/" + browser.snap + "/common/" + browser.folder);
        if (!home.empty())
            roots.push_back(home + "/.var/app/" + browser.flatpak + "/config/" + browser.folder);
        for (const std::string& root : roots) {
            std::vector<std::string> files{root + "/Default/Bookmarks"};
            for (const ListedEntry& entry : listFolder(root)) {
                if (entry.isDirectory && entry.name != "Default")
                    files.push_back(entry.path + "/Bookmarks");
            }
            for (const std::string& file : files) {
                if (!isRegularFile(file) || !seen.insert(file).second)
                    continue;
                found = true;
                readChromiumBookmarks(file, list);
            }
        }
    }
    return found;
}

} // namespace mokavel
