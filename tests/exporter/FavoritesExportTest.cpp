#include "exporter/BrowserBookmarks.h"
#include "exporter/Mokavel.h"

#include "tests/exporter/ExporterTestSupport.h"

#include <sqlite3.h>
#include <sys/stat.h>

using namespace exportertest;
using mokavel::ExportItem;
using Records = std::vector<ExportItem>;

namespace {

// A places database as Firefox lays it out: root 1 with menu 2, toolbar 3, tags 4 and
// unfiled 5; type 1 bookmark, 2 folder, 3 separator.
class PlacesDatabase {
public:
    explicit PlacesDatabase(const std::string& file)
    {
        std::filesystem::create_directories(std::filesystem::path(file).parent_path());
        EXPECT_EQ(sqlite3_open(file.c_str(), &m_database), SQLITE_OK);
        run("CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR);"
            "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER, parent INTEGER,"
            " position INTEGER, title LONGVARCHAR, guid TEXT);"
            "INSERT INTO moz_bookmarks VALUES (1, 2, NULL, 0, 0, '', 'root________'),"
            " (2, 2, NULL, 1, 0, 'menu', 'menu________'), (3, 2, NULL, 1, 1, 'toolbar', 'toolbar_____'),"
            " (4, 2, NULL, 1, 2, 'tags', 'tags________'), (5, 2, NULL, 1, 3, 'unfiled', 'unfiled_____');");
    }
    ~PlacesDatabase() { sqlite3_close(m_database); }

    void run(const std::string& sql)
    {
        char* error = nullptr;
        EXPECT_EQ(sqlite3_exec(m_database, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
        sqlite3_free(error);
    }

    void bookmark(int id, int parent, int position, const std::string& title, const std::string& url)
    {
        run("INSERT INTO moz_places VALUES (" + std::to_string(id) + ", '" + url + "', 'page title');"
            "INSERT INTO moz_bookmarks VALUES (" + std::to_string(id) + ", 1, " + std::to_string(id) + ", " +
            std::to_string(parent) + ", " + std::to_string(position) + ", " +
            (title.empty() ? std::string("NULL") : "'" + title + "'") + ", 'g" + std::to_string(id) + "');");
    }

    void folder(int id, int parent, int position, const std::string& title)
    {
        run("INSERT INTO moz_bookmarks VALUES (" + std::to_string(id) + ", 2, NULL, " + std::to_string(parent) + ", " +
            std::to_string(position) + ", '" + title + "', 'f" + std::to_string(id) + "');");
    }

    sqlite3* handle() const { return m_database; }

private:
    sqlite3* m_database = nullptr;
};

} // namespace

class FavoritesExportTest : public ExporterTest {
protected:
    int32_t exportFavorites() { return ExportFavorites(out.c_str()); }

    std::string firefoxProfile(const std::string& name)
    {
        writeBytes(path("home/.mozilla/firefox/profiles.ini"),
                   "[General]\nStartWithLastProfile=1\n\n[Profile0]\nName=default\nIsRelative=1\nPath=" + name + "\n");
        return path("home/.mozilla/firefox/" + name + "/places.sqlite");
    }

    const std::string favorites = path("Favorites");
    const std::string out = path("favorites.dat");
};

TEST_F(FavoritesExportTest, withoutAnySourceTheExportFailsAndWritesNothing)
{
    writeBytes(out, "old\r\nold\r\n\r\n");
    EXPECT_EQ(exportFavorites(), 0);
    EXPECT_EQ(readBytes(out), "old\r\nold\r\n\r\n");
    EXPECT_EQ(ExportFavorites(nullptr), 0);
}

TEST_F(FavoritesExportTest, shortcutsOfEverySubfolderComeAtTheirPlaceHiddenOnesIncluded)
{
    setShellFolder(false, "Favorites", favorites + "/");
    writeBytes(favorites + "/Alpha.url", "[InternetShortcut]\r\nURL=http://alpha/\r\n");
    writeBytes(favorites + "/Beta/Inner.url", "[InternetShortcut]\nURL=http://inner/\n");
    writeBytes(favorites + "/Beta/.Secret.url", "[InternetShortcut]\nURL=http://secret/\n");
    writeBytes(favorites + "/.hidden/Deep.url", "[InternetShortcut]\nURL=http://deep/\n");
    writeBytes(favorites + "/Links.URL", "[InternetShortcut]\nURL=http://links/\n");
    writeBytes(favorites + "/NoUrl.url", "[InternetShortcut]\nIconFile=x\n");
    writeBytes(favorites + "/Empty.url", "[InternetShortcut]\nURL=\n");
    writeBytes(favorites + "/Other.txt", "[InternetShortcut]\nURL=http://no/\n");
    writeLauncher(favorites + "/site.desktop", "Type=Link\nName=Site\nURL=https://site/\n");
    writeLauncher(favorites + "/app.desktop", "Type=Application\nName=App\nExec=/bin/sh\n");
    ::mkfifo((favorites + "/Pipe.url").c_str(), 0644);
    ASSERT_EQ(exportFavorites(), 1);
    EXPECT_EQ(readRecords(out), (Records{{"Deep", "http://deep/", ""},
                                         {"Alpha", "http://alpha/", ""},
                                         {".Secret", "http://secret/", ""},
                                         {"Inner", "http://inner/", ""},
                                         {"Links", "http://links/", ""},
                                         {"Site", "https://site/", ""}}));
}

TEST_F(FavoritesExportTest, anEmptyFavoritesFolderSucceedsAndKeepsTheOlderFile)
{
    setShellFolder(false, "Favorites", path("nowhere"));
    writeBytes(out, "old\r\nold\r\n\r\n");
    EXPECT_EQ(exportFavorites(), 1);
    EXPECT_EQ(readBytes(out), "old\r\nold\r\n\r\n");
}

TEST_F(FavoritesExportTest, firefoxFoldersDepthFirstWithoutTagsOrQueries)
{
    PlacesDatabase places(firefoxProfile("abc.default"));
    places.bookmark(10, 3, 1, "Second on toolbar", "http://t2/");
    places.bookmark(11, 3, 0, "First on toolbar", "http://t1/");
    places.folder(12, 2, 0, "News");
    places.bookmark(13, 12, 0, "", "http://news/");
    places.bookmark(14, 2, 1, "Recent", "place:sort=8");
    places.folder(15, 4, 0, "sometag");
    places.bookmark(16, 15, 0, "Tagged copy", "http://t1/");
    places.bookmark(17, 5, 0, "Unfiled", "http://u/");
    places.folder(18, 18, 0, "Orphan loop");
    places.bookmark(19, 18, 0, "Unreachable", "http://x/");
    ASSERT_EQ(exportFavorites(), 1);
    EXPECT_EQ(readRecords(out), (Records{{"page title", "http://news/", ""},
                                         {"First on toolbar", "http://t1/", ""},
                                         {"Second on toolbar", "http://t2/", ""},
                                         {"Unfiled", "http://u/", ""}}));
}

TEST_F(FavoritesExportTest, aLockedDatabaseIsReadWithoutWaitingOrChangingIt)
{
    const std::string file = firefoxProfile("locked");
    PlacesDatabase places(file);
    places.bookmark(10, 3, 0, "Locked", "http://locked/");
    places.run("PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; UPDATE moz_places SET title = title;");
    const std::string before = readBytes(file);
    ASSERT_EQ(exportFavorites(), 1);
    EXPECT_EQ(namesOf(readRecords(out)), (std::vector<std::string>{"Locked"}));
    EXPECT_EQ(readBytes(file), before);
    places.run("COMMIT;");
}

TEST_F(FavoritesExportTest, corruptDatabaseOrBookmarksFileStillCountsAsASource)
{
    writeBytes(firefoxProfile("broken"), "SQLite format 3" + std::string(4000, '\x7F'));
    EXPECT_EQ(exportFavorites(), 1);
    EXPECT_FALSE(std::filesystem::exists(out));
    mokavel::ExportList list;
    EXPECT_FALSE(mokavel::readPlacesDatabase(path("home/.mozilla/firefox/broken/places.sqlite"), list));
    EXPECT_TRUE(list.empty());
}

TEST_F(FavoritesExportTest, chromiumFamilyInFixedBrowserOrderAfterFirefox)
{
    PlacesDatabase places(firefoxProfile("p"));
    places.bookmark(10, 3, 0, "Fox", "http://fox/");
    const std::string bookmarks =
        R"({"roots": {"other": {"type": "folder", "children": [{"type": "url", "name": "Other", "url": "http://o/"}]},
           "bookmark_bar": {"type": "folder", "children": [
               {"type": "folder", "name": "Dev", "children": [{"type": "url", "name": "Docs", "url": "http://d/"}]},
               {"type": "url", "name": "Bar", "url": "http://b/"}, {"type": "url", "name": "No address"}, 7]}}})";
    writeBytes(path("config/google-chrome/Default/Bookmarks"),
               R"({"roots": {"bookmark_bar": {"children": [{"type": "url", "name": "Chrome", "url": "http://c/"}]}}})");
    writeBytes(path("config/chromium/Profile 1/Bookmarks"),
               R"({"roots": {"bookmark_bar": {"children": [{"type": "url", "name": "Second profile", "url": "http://p/"}]}}})");
    writeBytes(path("config/chromium/Default/Bookmarks"), bookmarks);
    writeBytes(path("config/vivaldi/Default/Bookmarks"), "{\"roots\": {\"bookmark_bar\": [");
    writeBytes(path("config/microsoft-edge/Default/Bookmarks"),
               R"({"roots": {"synced": {"children": [{"type": "url", "name": "Edge", "url": "http://e/"}]}}})");
    ASSERT_EQ(exportFavorites(), 1);
    EXPECT_EQ(namesOf(readRecords(out)), (std::vector<std::string>{"Fox", "Docs", "Bar", "Other", "Second profile",
                                                                   "Chrome", "Edge"}));
}

TEST_F(FavoritesExportTest, deeplyNestedBookmarksEndWithoutExhaustingTheStack)
{
    constexpr int kDepth = 100000;
    std::string json = R"({"roots": {"bookmark_bar": )";
    for (int i = 0; i < kDepth; ++i)
        json += R"({"type": "folder", "children": [)";
    json += R"({"type": "url", "name": "Bottom", "url": "http://bottom/"})";
    for (int i = 0; i < kDepth; ++i)
        json += "]}";
    json += "}}";
    writeBytes(path("config/chromium/Default/Bookmarks"), json);
    ASSERT_EQ(exportFavorites(), 1);
    EXPECT_EQ(namesOf(readRecords(out)), (std::vector<std::string>{"Bottom"}));
}

class PersonalDocsExportTest : public ExporterTest {
protected:
    const std::string docs = path("Documents");
    const std::string out = path("documents.dat");
};

TEST_F(PersonalDocsExportTest, keepsOnlyDocumentsDirectlyInTheFolder)
{
    for (const char* name : {"report.doc", "notes.txt", "archive.backup01", "setup.dll", ".txt", "README",
                             "data.tar.gz", "lib.DLLx", ".hidden.doc", "a.b"})
        writeBytes(docs + "/" + name, "");
    writeBytes(docs + "/folder.doc/inside.txt", "");
    ASSERT_EQ(ExportPersonalDocs(docs.c_str(), out.c_str()), 1);
    EXPECT_EQ(readRecords(out), (Records{{"a", docs + "/a.b", ""},
                                         {"data.tar", docs + "/data.tar.gz", ""},
                                         {"notes", docs + "/notes.txt", ""},
                                         {"report", docs + "/report.doc", ""}}));
}

TEST_F(PersonalDocsExportTest, trailingSlashGivesNoDoubledSlash)
{
    writeBytes(docs + "/report.doc", "");
    ASSERT_EQ(ExportPersonalDocs((docs + "/").c_str(), out.c_str()), 1);
    EXPECT_EQ(readRecords(out), (Records{{"report", docs + "/report.doc", ""}}));
}

TEST_F(PersonalDocsExportTest, missingFolderFailsAndTouchesNothing)
{
    writeBytes(out, "old\r\nold\r\n\r\n");
    EXPECT_EQ(ExportPersonalDocs(path("missing").c_str(), out.c_str()), 0);
    EXPECT_EQ(ExportPersonalDocs("", out.c_str()), 0);
    EXPECT_EQ(ExportPersonalDocs(nullptr, out.c_str()), 0);
    makeFolder(docs);
    EXPECT_EQ(ExportPersonalDocs(docs.c_str(), nullptr), 0);
    EXPECT_EQ(ExportPersonalDocs(docs.c_str(), out.c_str()), 1);
    EXPECT_EQ(readBytes(out), "old\r\nold\r\n\r\n");
}
