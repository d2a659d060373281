#pragma once
// The two bulk imports: the documents directly in one folder into the Documents list,
// and the favourites (the Favorites folder's internet shortcuts and the browsers'
// bookmarks) into the Web Sites list. The library writes an export file into the
// program folder; every record whose entry is not there yet is added, all with one
// write of the list file. Widget-free: the dialogs and the wait cursor come in as
// functions. UI thread only.

#include <QSet>
#include <QString>

#include <functional>
#include <optional>

class MokavelExports;
class Questions;
class UserList;
class VoiceMenus;

class ListImports {
public:
    struct Services {
        VoiceMenus& menus;
        MokavelExports& library;
        Questions& questions;
        // frmImportDocs opened at folder: the folder chosen, or nullopt when cancelled.
        std::function<std::optional<QString>(const QString& folder)> chooseFolder;
        // The main window's wait cursor on (true) and off.
        std::function<void(bool)> waitCursor;
        // UpdateTabButtons of the page the import started from.
        std::function<void(UserList&)> updateTabButtons;
    };

    static constexpr auto kDocumentsFileName = "documents.dat";
    static constexpr auto kFavoritesFileName = "favorites.dat";

    // Everything given must outlive this object. appPath: the program folder.
    ListImports(QString appPath, UserList& documents, UserList& webSites, Services services);

    // The Import buttons of the Documents and Web Sites pages.
    void cmdImportDocs_Click();
    void cmdImportURL_Click();

    void ImportDocuments(const QString& folder);
    void ImportFavorites();
    // The first start: the personal documents folder, while the Documents list loads.
    void ImportFirstRunDocuments();

    // A document is there when its name is any registered phrase, or its path is a
    // document's (ignoring case); a favourite when its name is a web site's phrase or its
    // address a web site's (both ignoring case).
    bool DocumentExists(const QString& name, const QString& path) const;
    bool WebSiteExists(const QString& name, const QString& address) const;

private:
    // Reads file after export returned non-zero and adds its records to list.
    void importRecords(int32_t exported, const QString& file, UserList& list,
                       const std::function<bool(const QString&, const QString&)>& exists);

    bool holdsTarget(const UserList& list, const QString& target) const;

    QString m_appPath;
    UserList& m_documents;
    UserList& m_webSites;
    Services m_services;
    // The targets of the list being imported into, case-folded, while an import runs.
    const UserList* m_indexedList = nullptr;
    QSet<QString> m_indexedTargets;
};
