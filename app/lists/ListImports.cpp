#include "app/lists/ListImports.h"

#include "app/common/Questions.h"
#include "app/lists/UserList.h"
#include "app/mokavel/ExportRecords.h"
#include "app/mokavel/MokavelExports.h"
#include "app/voice/CVoiceCommand.h"
#include "app/voice/VoiceMenus.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcImports, "vorlix.lists.imports")

ListImports::ListImports(QString appPath, UserList& documents, UserList& webSites, Services services)
    : m_appPath(std::move(appPath)), m_documents(documents), m_webSites(webSites), m_services(std::move(services))
{
}

bool ListImports::holdsTarget(const UserList& list, const QString& target) const
{
    if (&list == m_indexedList)
        return m_indexedTargets.contains(target.toCaseFolded());
    for (const auto& command : list.commands()) {
        if (command->m_Cmd.compare(target, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool ListImports::DocumentExists(const QString& name, const QString& path) const
{
    return m_services.menus.CommandExists(name) || holdsTarget(m_documents, path);
}

bool ListImports::WebSiteExists(const QString& name, const QString& address) const
{
    return m_webSites.commands().contains(name) || holdsTarget(m_webSites, address);
}

void ListImports::importRecords(int32_t exported, const QString& file, UserList& list,
                                const std::function<bool(const QString&, const QString&)>& exists)
{
    if (exported == 0 || !QFile::exists(file))
        return;
    std::vector<ListEntry> entries;
    for (const ExportRecord& record : ReadExportRecords(file)) {
        const QString name = record.name.trimmed();
        const QString target = record.target.trimmed();
        if (!name.isEmpty() && !target.isEmpty())
            entries.push_back(ListEntry{name, target, name, QStringLiteral("None"), QString()});
    }
    // Each record is tested as its turn comes, so it sees the entries added before it;
    // the list's targets are indexed meanwhile, as thousands of records would otherwise
    // each walk the whole list.
    m_indexedTargets.clear();
    for (const auto& command : list.commands())
        m_indexedTargets.insert(command->m_Cmd.toCaseFolded());
    m_indexedList = &list;
    const Result<int> added = list.AddAll(entries, [&](const ListEntry& entry) {
        if (exists(entry.phrase, entry.target))
            return false;
        m_indexedTargets.insert(entry.target.toCaseFolded());
        return true;
    });
    m_indexedList = nullptr;
    if (!added)
        qCWarning(lcImports).noquote() << added.error().message;
}

void ListImports::ImportDocuments(const QString& folder)
{
    const QString file = QDir(m_appPath).filePath(QString::fromLatin1(kDocumentsFileName));
    importRecords(m_services.library.ExportPersonalDocs(folder, file), file, m_documents,
                  [this](const QString& name, const QString& path) { return DocumentExists(name, path); });
}

void ListImports::ImportFavorites()
{
    const QString file = QDir(m_appPath).filePath(QString::fromLatin1(kFavoritesFileName));
    importRecords(m_services.library.ExportFavorites(file), file, m_webSites,
                  [this](const QString& name, const QString& address) { return WebSiteExists(name, address); });
}

void ListImports::ImportFirstRunDocuments()
{
    const QString personal = m_services.library.GetPersonalDocsPath();
    if (!personal.isEmpty())
        ImportDocuments(personal);
}

void ListImports::cmdImportDocs_Click()
{
    m_services.menus.DeactivateMenus();
    const QString personal = m_services.library.GetPersonalDocsPath();
    if (const std::optional<QString> folder = m_services.chooseFolder(personal)) {
        m_services.waitCursor(true);
        ImportDocuments(*folder);
        m_services.waitCursor(false);
    }
    m_services.menus.ActivateMenus();
    m_services.updateTabButtons(m_documents);
}

void ListImports::cmdImportURL_Click()
{
    m_services.menus.DeactivateMenus();
    if (!m_services.questions.askYesNo(
            QStringLiteral("Import Favorites"),
            QStringLiteral("Would you like to import your favorites and your web browsers' bookmarks into the web "
                           "site list?"))) {
        m_services.menus.ActivateMenus();
        return;
    }
    m_services.waitCursor(true);
    ImportFavorites();
    m_services.updateTabButtons(m_webSites);
    m_services.menus.ActivateMenus();
    m_services.waitCursor(false);
}
