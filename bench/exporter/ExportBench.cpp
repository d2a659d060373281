// Export times on large sources: a Start menu of 10,000 launchers, and favourites of
// 10,000 bookmarks from each kind of source. Everything lives in a temporary folder.

#include "exporter/Mokavel.h"

#include "platform/registry/Registry.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr int kItems = 10000;
constexpr int kPerFolder = 100;

namespace fs = std::filesystem;

void writeText(const fs::path& file, const std::string& text)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

// One temporary home per source kind, so each run sees only its own source.
class Sandbox {
public:
    template <typename Populate>
    Sandbox(const std::string& name, Populate populate)
    {
        char pattern[] = "/tmp/vorlix-export-bench-XXXXXX";
        m_root = fs::path(::mkdtemp(pattern)) / name;
        fs::create_directories(m_root / "home");
        populate(*this);
    }
    ~Sandbox() { fs::remove_all(m_root.parent_path()); }
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    void enter() const
    {
        ::setenv("HOME", (m_root / "home").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (m_root / "config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (m_root / "data").c_str(), 1);
        ::setenv("XDG_DATA_DIRS", (m_root / "shared").c_str(), 1);
        ::setenv("VORLIX_REGISTRY", (m_root / "registry.ini").c_str(), 1);
        ::setenv("PATH", (m_root / "bin").c_str(), 1);
    }

    fs::path operator/(const std::string& relative) const { return m_root / relative; }

private:
    fs::path m_root;
};

const Sandbox& startMenuSandbox()
{
    static const Sandbox sandbox("startmenu", [](const Sandbox& made) {
        writeText(made / "bin/tool", "#!/bin/sh\n");
        ::chmod((made / "bin/tool").c_str(), 0755);
        for (int i = 0; i < kItems; ++i) {
            const std::string id = std::to_string(i);
            writeText(made / ("data/applications/group" + std::to_string(i / kPerFolder) + "/app" + id + ".desktop"),
                      "[Desktop Entry]\nType=Application\nName=Application " + id + "\nName[de]=Anwendung " + id +
                          "\nExec=tool --open %U \"file " + id + "\"\nCategories=Utility;\n");
        }
    });
    return sandbox;
}

// Times the Start menu's export over what the sandbox holds.
void measureStartMenuExport(benchmark::State& state, const Sandbox& sandbox)
{
    sandbox.enter();
    const std::string out = (sandbox / "apps.dat").string();
    for (auto _ : state) {
        if (fnMokavel(out.c_str(), EXPORT_START_MENU) != 1)
            state.SkipWithError("export failed");
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}

void BM_StartMenuOf10000Launchers(benchmark::State& state)
{
    measureStartMenuExport(state, startMenuSandbox());
}
BENCHMARK(BM_StartMenuOf10000Launchers)->Unit(benchmark::kMillisecond);

// Launchers as a desktop ships them, about 7 KB each: the name, comment, generic name
// and keywords in some eighty languages, and a desktop action.
void BM_StartMenuOf10000RealSizeLaunchers(benchmark::State& state)
{
    static const Sandbox sandbox("realsize", [](const Sandbox& made) {
        writeText(made / "bin/tool", "#!/bin/sh\n");
        ::chmod((made / "bin/tool").c_str(), 0755);
        std::string translations;
        for (int language = 0; language < 80; ++language) {
            const std::string code = std::string(1, char('a' + language / 26)) + char('a' + language % 26);
            translations += "Comment[" + code + "]=Edit text files and keep your notes\nGenericName[" + code +
                            "]=Text Editor\nKeywords[" + code + "]=text;editor;notes;\n";
        }
        for (int i = 0; i < kItems; ++i) {
            const std::string id = std::to_string(i);
            writeText(made / ("data/applications/group" + std::to_string(i / kPerFolder) + "/app" + id + ".desktop"),
                      "[Desktop Entry]\nType=Application\nName=Application " + id + "\n" + translations +
                          "Exec=tool --open %U \"file " + id + "\"\nIcon=tool\nCategories=Utility;TextEditor;\n"
                          "MimeType=text/plain;\n\n[Desktop Action new]\nName=New Window\nExec=tool --new\n");
        }
    });
    measureStartMenuExport(state, sandbox);
}
BENCHMARK(BM_StartMenuOf10000RealSizeLaunchers)->Unit(benchmark::kMillisecond);

// Times ExportFavorites over what the sandbox holds.
void measureFavoritesExport(benchmark::State& state, const Sandbox& sandbox)
{
    sandbox.enter();
    const std::string out = (sandbox / "favorites.dat").string();
    for (auto _ : state) {
        if (ExportFavorites(out.c_str()) != 1)
            state.SkipWithError("export failed");
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}

void BM_FavoritesFolderOf10000Shortcuts(benchmark::State& state)
{
    static const Sandbox sandbox("favorites", [](const Sandbox& made) {
        for (int i = 0; i < kItems; ++i)
            writeText(made / ("Favorites/folder" + std::to_string(i / kPerFolder) + "/site" + std::to_string(i) + ".url"),
                      "[InternetShortcut]\r\nURL=http://example.org/" + std::to_string(i) + "\r\n");
    });
    sandbox.enter();
    registry::writeValue(registry::Root::CurrentUser, registry::kShellFoldersKey, "Favorites",
                         (sandbox / "Favorites").string());
    measureFavoritesExport(state, sandbox);
}
BENCHMARK(BM_FavoritesFolderOf10000Shortcuts)->Unit(benchmark::kMillisecond);

void BM_FirefoxPlacesOf10000Bookmarks(benchmark::State& state)
{
    static const Sandbox sandbox("firefox", [](const Sandbox& made) {
        writeText(made / "home/.mozilla/firefox/profiles.ini", "[Profile0]\nIsRelative=1\nPath=bench\n");
        fs::create_directories(made / "home/.mozilla/firefox/bench");
        sqlite3* database = nullptr;
        sqlite3_open((made / "home/.mozilla/firefox/bench/places.sqlite").c_str(), &database);
        std::string sql = "BEGIN; CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url TEXT, title TEXT);"
                          "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER,"
                          " parent INTEGER, position INTEGER, title TEXT, guid TEXT);"
                          "INSERT INTO moz_bookmarks VALUES (1, 2, NULL, 0, 0, '', 'root________');";
        for (int folder = 0; folder < kItems / kPerFolder; ++folder)
            sql += "INSERT INTO moz_bookmarks VALUES (" + std::to_string(2 + folder) + ", 2, NULL, 1, " +
                   std::to_string(folder) + ", 'Folder', 'f" + std::to_string(folder) + "');";
        for (int i = 0; i < kItems; ++i) {
            const std::string id = std::to_string(1000 + i);
            sql += "INSERT INTO moz_places VALUES (" + id + ", 'http://example.org/" + id + "', 'Page');"
                   "INSERT INTO moz_bookmarks VALUES (" + id + ", 1, " + id + ", " +
                   std::to_string(2 + i / kPerFolder) + ", " + std::to_string(i % kPerFolder) + ", 'Site " + id +
                   "', 'b" + id + "');";
        }
        sqlite3_exec(database, (sql + "COMMIT;").c_str(), nullptr, nullptr, nullptr);
        sqlite3_close(database);
    });
    measureFavoritesExport(state, sandbox);
}
BENCHMARK(BM_FirefoxPlacesOf10000Bookmarks)->Unit(benchmark::kMillisecond);

void BM_ChromiumBookmarksOf10000(benchmark::State& state)
{
    static const Sandbox sandbox("chromium", [](const Sandbox& made) {
        std::string json = R"({"roots": {"bookmark_bar": {"type": "folder", "children": [)";
        for (int folder = 0; folder < kItems / kPerFolder; ++folder) {
            json += std::string(folder ? "," : "") + R"({"type": "folder", "name": "F", "children": [)";
            for (int i = 0; i < kPerFolder; ++i) {
                const std::string id = std::to_string(folder * kPerFolder + i);
                json += std::string(i ? "," : "") + R"({"type": "url", "name": "Site )" + id +
                        R"(", "url": "http://example.org/)" + id + R"("})";
            }
            json += "]}";
        }
        writeText(made / "config/chromium/Default/Bookmarks", json + "]}}}");
    });
    measureFavoritesExport(state, sandbox);
}
BENCHMARK(BM_ChromiumBookmarksOf10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
