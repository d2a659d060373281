#include "exporter/BrowserBookmarks.h"
#include "exporter/Mokavel.h"

#include "tests/exporter/ExporterTestSupport.h"

#include <sqlite3.h>
#include <memory>
#include <sys/stat.h>

using namespace exportertest;

namespace {

void run(sqlite3* database, const std::string& sql)
{
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(database, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
}

// A places database as Firefox lays it out (root 1 with menu 2, toolbar 3, tags 4 and
// unfiled 5), with further rows "(id, url, title)" of places and "(id, type (1 bookmark,
// 2 folder), place, parent, position, title, guid)" of bookmarks.
std::unique_ptr<sqlite3, int (*)(sqlite3*)> placesDatabase(const std::string& file, const std::string& places,
                                                            const std::string& bookmarks)
{
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    sqlite3* database = nullptr;
    EXPECT_EQ(sqlite3_open(file.c_str(), &database), SQLITE_OK);
    run(database, "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR);"
                  "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER, parent INTEGER,"
                  " position INTEGER, title LONGVARCHAR, guid TEXT);"
                  "INSERT INTO moz_places VALUES " + places + "; INSERT INTO moz_bookmarks VALUES"
                  " (1, 2, NULL, 0, 0, '', 'root________'), (2, 2, NULL, 1, 0, 'menu', 'menu________'),"
                  " (3, 2, NULL, 1, 1, 'toolbar', 'toolbar_____'), (4, 2, NULL, 1, 2, 'tags', 'tags________'),"
                  " (5, 2, NULL, 1, 3, 'unfiled', 'unfiled_____'), " + bookmarks + ";");
    return {database, sqlite3_close};
}

std::string chromiumBookmarks(const std::string& name, const std::string& url, const std::string& root = "bookmark_bar")
{
    return R"({"roots": {")" + root + R"(": {"children": [{"type": "url", "name": ")" + name + R"(", "url": ")" + url +
           R"("}]}}})";
}

} // namespace

class FavoritesExportTest : public ExporterTest {
protected:
    std::string firefoxProfile(const std::string& name)
    {
        writeBytes(path("home/.mozilla/firefox/profiles.ini"),
                   "[General]\nStartWithLastProfile=1\n\n[Profile0]\nName=default\nIsRelative=1\nPath=" + name + "\n");
        return path("home/.mozilla/firefox/" + name + "/places.sqlite");
    }

    const std::string favorites = path("Favorites");
    const std::string out = path("favorites.dat");
};

TEST_F(FavoritesExportTest, withoutAnySourceFailsAnEmptyOrCorruptSourceSucceedsBothKeepingTheOlderFile)
{
    writeBytes(out, "old\r\nold\r\n\r\n");
    EXPECT_EQ(ExportFavorites(out.c_str()), 0);
    EXPECT_EQ(ExportFavorites(nullptr), 0);
    setShellFolder(false, "Favorites", path("nowhere"));
    EXPECT_EQ(ExportFavorites(out.c_str()), 1);
    writeBytes(firefoxProfile("broken"), "SQLite format 3" + std::string(4000, '\x7F')); // a source all the same
    EXPECT_EQ(ExportFavorites(out.c_str()), 1);
    EXPECT_EQ(readBytes(out), "old\r\nold\r\n\r\n");
}

TEST_F(FavoritesExportTest, shortcutsOfEverySubfolderComeAtTheirPlaceHiddenOnesIncluded)
{
    setShellFolder(false, "Favorites", favorites + "/");
    for (const auto& [file, lines] : {std::pair{"Alpha.url", "\r\nURL=http://alpha/\r\n"}, {"NoUrl.url", "\nIconFile=x\n"},
                                      {"Beta/Inner.url", "\nURL=http://inner/\n"}, {"Empty.url", "\nURL=\n"},
                                      {"Beta/.Secret.url", "\nURL=http://secret/\n"}, {"Other.txt", "\nURL=http://no/\n"},
                                      {".hidden/Deep.url", "\nURL=http://deep/\n"}, {"Links.URL", "\nURL=http://links/\n"}})
        writeBytes(favorites + "/" + file, std::string("[InternetShortcut]") + lines);
    writeBytes(favorites + "/site.desktop", "[Desktop Entry]\nType=Link\nName=Site\nURL=https://site/\n");
    writeApp(favorites + "/app.desktop", "App", "/bin/sh");
    ::mkfifo((favorites + "/Pipe.url").c_str(), 0644);
    ASSERT_EQ(ExportFavorites(out.c_str()), 1);
    EXPECT_EQ(readRecords(out), (Records{{"Deep", "http://deep/", ""}, {"Alpha", "http://alpha/", ""},
                                         {".Secret", "http://secret/", ""}, {"Inner", "http://inner/", ""},
                                         {"Links", "http://links/", ""}, {"Site", "https://site/", ""}}));
}

TEST_F(FavoritesExportTest, firefoxFoldersDepthFirstWithoutTagsOrQueriesEvenWhileTheBrowserLocksTheFile)
{
    const std::string file = firefoxProfile("abc.default");
    const auto places = placesDatabase(
        file,
        "(10, 'http://t2/', 'page title'), (11, 'http://t1/', ''), (13, 'http://news/', 'page title'),"
        " (14, 'place:sort=8', ''), (16, 'http://t1/', ''), (17, 'http://u/', ''), (19, 'http://x/', '')",
        "(10, 1, 10, 3, 1, 'Second on toolbar', 'a'), (11, 1, 11, 3, 0, 'First on toolbar', 'b'),"
        " (12, 2, NULL, 2, 0, 'News', 'c'), (13, 1, 13, 12, 0, NULL, 'd'), (14, 1, 14, 2, 1, 'Recent', 'e'),"
        " (15, 2, NULL, 4, 0, 'sometag', 'f'), (16, 1, 16, 15, 0, 'Tagged copy', 'g'),"
        " (17, 1, 17, 5, 0, 'Unfiled', 'h'), (18, 2, NULL, 18, 0, 'Orphan loop', 'i'),"
        " (19, 1, 19, 18, 0, 'Unreachable', 'j')");
    run(places.get(), "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; UPDATE moz_places SET title = title;");
    const std::string before = readBytes(file);
    ASSERT_EQ(ExportFavorites(out.c_str()), 1);
    EXPECT_EQ(readBytes(file), before);
    EXPECT_EQ(readRecords(out), (Records{{"page title", "http://news/", ""}, {"First on toolbar", "http://t1/", ""},
                                         {"Second on toolbar", "http://t2/", ""}, {"Unfiled", "http://u/", ""}}));
}

// Snap and Flatpak installs keep their profiles under their own folders. Script and data
// addresses are no web sites; a file past the size bound is no real bookmarks file.
TEST_F(FavoritesExportTest, chromiumFamilyInFixedBrowserOrderAfterFirefoxMalformedFilesSkipped)
{
    const auto places = placesDatabase(firefoxProfile("p"), "(10, 'http://fox/', ''), (11, 'javascript:alert(1)', '')",
                                       "(10, 1, 10, 3, 0, 'Fox', 'a'), (11, 1, 11, 3, 1, 'Bookmarklet', 'b')");
    writeBytes(path("config/chromium/Default/Bookmarks"),
               R"({"roots": {"other": {"type": "folder", "children": [{"type": "url", "name": "Other", "url": "http://o/"}]},
           "bookmark_bar": {"type": "folder", "children": [
               {"type": "folder", "name": "Dev", "children": [{"type": "url", "name": "Docs", "url": "http://d/"}]},
               {"type": "url", "name": "Pixel", "url": "DATA:image/png;base64,AA"},
               {"type": "url", "name": "Bar", "url": "http://b/"}, {"type": "url", "name": "No address"}, 7]}}})");
    writeBytes(path("config/google-chrome/Default/Bookmarks"), chromiumBookmarks("Chrome", "http://c/"));
    writeBytes(path("config/chromium/Profile 1/Bookmarks"), chromiumBookmarks("Second profile", "http://p/"));
    writeBytes(path("config/chromium/Profile 2/Bookmarks"),
               chromiumBookmarks("Huge", "http://huge/") + std::string(mokavel::kMaxBookmarksFileBytes, ' '));
    writeBytes(path("config/vivaldi/Default/Bookmarks"), "{\"roots\": {\"bookmark_bar\": [");
    writeBytes(path("config/microsoft-edge/Default/Bookmarks"), chromiumBookmarks("Edge", "http://e/", "synced"));
    writeBytes(path("home/snap/chromium/common/chromium/Default/Bookmarks"), chromiumBookmarks("Snap", "http://s/"));
    writeBytes(path("home/.var/app/com.google.Chrome/config/google-chrome/Profile 2/Bookmarks"),
               chromiumBookmarks("Flatpak", "http://f/"));
    ASSERT_EQ(ExportFavorites(out.c_str()), 1);
    EXPECT_EQ(namesOf(readRecords(out)),
              (Names{"Fox", "Docs", "Bar", "Other", "Second profile", "Snap", "Chrome", "Flatpak", "Edge"}));
}

TEST_F(FavoritesExportTest, deeplyNestedBookmarksEndWithoutExhaustingTheStack)
{
    constexpr int kDepth = 100000;
    std::string json = R"({"roots": {"bookmark_bar": )", closing;
    for (int i = 0; i < kDepth; ++i)
        json += R"({"type": "folder", "children": [)", closing += "]}";
    writeBytes(path("config/chromium/Default/Bookmarks"),
               json + R"({"type": "url", "name": "Bottom", "url": "http://bottom/"})" + closing + "}}");
    ASSERT_EQ(ExportFavorites(out.c_str()), 1);
    EXPECT_EQ(namesOf(readRecords(out)), (Names{"Bottom"}));
}

class PersonalDocsExportTest : public ExporterTest {};

TEST_F(PersonalDocsExportTest, keepsOnlyDocumentsDirectlyInTheFolderAndAMissingFolderFails)
{
    const std::string docs = path("Documents"), out = path("documents.dat"), missing = path("missing");
    std::filesystem::create_directories(docs);
    writeBytes(out, "old\r\nold\r\n\r\n");
    for (const char* folder : {missing.c_str(), "", static_cast<const char*>(nullptr)})
        EXPECT_EQ(ExportPersonalDocs(folder, out.c_str()), 0);
    EXPECT_EQ(ExportPersonalDocs(docs.c_str(), nullptr), 0);
    EXPECT_EQ(ExportPersonalDocs(docs.c_str(), out.c_str()), 1);
    EXPECT_EQ(readBytes(out), "old\r\nold\r\n\r\n") << "nothing found leaves the older file";

    for (const char* name : {"report.doc", "notes.txt", "setup.dll", ".txt", "README", "data.tar.gz", ".hidden.doc",
                             "a.b", "folder.doc/inside.txt"})
        writeBytes(docs + "/" + name, "");
    ASSERT_EQ(ExportPersonalDocs((docs + "/").c_str(), out.c_str()), 1);
    EXPECT_EQ(readRecords(out), (Records{{"a", docs + "/a.b", ""}, {"data.tar", docs + "/data.tar.gz", ""},
                                         {"notes", docs + "/notes.txt", ""}, {"report", docs + "/report.doc", ""}}));
}

TEST_F(FavoritesExportTest, firefoxBookmarksStillInTheWriteAheadLogAreReadAsTheBrowserSeesThem)
{
    const std::string file = firefoxProfile("wal.default");
    const auto places = placesDatabase(file, "(10, 'http://kept/', ''), (11, 'http://gone/', '')",
                                       "(10, 1, 10, 3, 0, 'Old name', 'a'), (11, 1, 11, 3, 1, 'Deleted', 'b')");
    // As a running browser: the log is never checkpointed while the connection lives.
    run(places.get(), "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;"
                      "INSERT INTO moz_places VALUES (12, 'http://new/', '');"
                      "INSERT INTO moz_bookmarks VALUES (12, 1, 12, 3, 2, 'New', 'c');"
                      "UPDATE moz_bookmarks SET title = 'New name' WHERE id = 10;"
                      "DELETE FROM moz_bookmarks WHERE id = 11;");
    ASSERT_TRUE(std::filesystem::file_size(file + "-wal") > 0);
    const std::string database = readBytes(file), log = readBytes(file + "-wal");
    ASSERT_EQ(ExportFavorites(out.c_str()), 1);
    EXPECT_EQ(readRecords(out), (Records{{"New name", "http://kept/", ""}, {"New", "http://new/", ""}}));
    EXPECT_EQ(readBytes(file), database);
    EXPECT_EQ(readBytes(file + "-wal"), log);
}
