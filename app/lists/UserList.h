#pragma once
// One of the user's lists of programs, documents or web sites: its entries in a
// CommandList, registered as they load or are added, and its list file, which follows
// every add, edit and removal at once (one batched edit each) and is rewritten whole,
// numbered 1 to N, at the program's real exit. Widget-free: ListPage shows it.
// UI thread only.

#include "app/lists/ListKind.h"
#include "app/voice/CommandList.h"
#include "platform/common/Result.h"

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class CVoiceCommand;
class VoiceMenus;
struct CommandContext;

// The fields of one entry as the dialogs hand them over; stored exactly as given.
struct ListEntry {
    QString phrase;
    QString target;
    QString speech;
    QString gesture;
    QString commandLine;   // programs only
};

class UserList : public QObject {
    Q_OBJECT
public:
    // The text a missing or empty "voice" reads as; a section holding it is no entry.
    static inline const QString kNoEntry = QStringLiteral("Does not exist");
    // Entry numbers, "NextEntry" and the count are 16-bit values in the file.
    static constexpr int kMaxEntryNumber = 32767;

    // menus and context must outlive the list; appPath is the program folder.
    UserList(const ListKind& kind, VoiceMenus& menus, CommandContext& context, QString appPath,
             QObject* parent = nullptr);

    const ListKind& kind() const { return m_kind; }
    const CommandList& commands() const { return m_commands; }
    QString file() const;
    // True while Load runs: rows may be gathered and shown at its end.
    bool isLoading() const { return m_loading; }

    // Reads the list file (one parse) and registers every entry in file order. The scan
    // runs from section 1 until it has found the file's count of entries, or at most to
    // section kMaxEntryNumber, the highest number the list ever gives, so a count larger
    // than the entries present ends there. A section repeating an earlier phrase of this
    // list (in any letter case) is passed over and is gone after the next rewrite.
    void Load();

    // AddProgram / AddDocument / AddWebSite. Refused, with nothing changed, when the list
    // already holds the phrase or its numbers would pass kMaxEntryNumber. The entry stays
    // in the list when only the file write fails; the error says so.
    Result<CVoiceCommand*> Add(const ListEntry& entry);
    // The imports' add: entries one after another, each only when the list does not hold
    // its phrase yet and accept, asked at its turn, takes it (so it sees the entries added
    // before it), all with one write of the file. The number added; an error when the
    // file could not be written or the numbers ran out (what was added stays).
    // lastAdded, when given, is set to the last entry added.
    Result<int> AddAll(const std::vector<ListEntry>& entries, const std::function<bool(const ListEntry&)>& accept,
                       CVoiceCommand** lastAdded = nullptr);
    // EditProgram / EditDocument / EditWebSite on one of this list's commands. A changed
    // phrase (case counts) moves the entry to the end; "type" is not rewritten.
    Result<void> Edit(CVoiceCommand& command, const ListEntry& entry);
    // Removes the entry, deletes its section and lowers the count.
    Result<void> Remove(CVoiceCommand& command);

    // SavePrograms / SaveDocuments / SaveWebSites: the whole file from the list, in order,
    // numbered from 1, with one replacement.
    Result<void> Save();

signals:
    // Rows follow these: appended in order as entries load or are added, changed, removed.
    void entryAdded(CVoiceCommand* command);
    void entryChanged(CVoiceCommand* command);
    void entryRemoved(int index);
    void loaded();

private:
    CVoiceCommand* append(std::unique_ptr<CVoiceCommand> command);
    QString sectionName(int number) const { return m_kind.sectionWord + QString::number(number); }

    const ListKind& m_kind;
    CommandContext& m_context;
    QString m_appPath;
    CommandList m_commands;
    bool m_loading = false;
};
