#pragma once
// The commands that come with the program, read from VoiceCommands.INI in file order and
// written back at shutdown, and the tab commands that make each page of the main window
// sayable by its caption. Owns both sets; VoiceMenus only refers to them.

#include "app/voice/CommandList.h"
#include "platform/common/Result.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <utility>
#include <optional>
#include <vector>

class CVoiceCommand;
class VoiceMenus;
struct CommandContext;

class BuiltInCommands {
public:
    static inline const QString kFileName = QStringLiteral("VoiceCommands.INI");

    // Both references must outlive this object.
    BuiltInCommands(VoiceMenus& menus, CommandContext& context);
    ~BuiltInCommands();

    // Reads appPath/VoiceCommands.INI from section "VoiceCommand 1" on, up to the first
    // section without a Voice; registers nothing. A section whose phrase repeats an
    // earlier one (ignoring case) or holding a number beyond 32 bits is not used, but
    // kept as it was for the save. The result names each such section in a sentence for
    // the user (empty when all is well), and so a file that could not be read, sections
    // beyond a numbering gap, an Active that reads as off only for its letter case, and
    // values cut to the readers' length.
    QStringList LoadVoiceCommands(const QString& appPath);

    // Rewrites the file in collection order, the sections not used in their places, the
    // sections beyond a numbering gap after them, and the whole of values that were cut
    // on loading, with one replacement: the old file stays whole until the new one is
    // complete. A file that could not be read is left untouched. The error names the
    // file and says why.
    Result<void> SaveVoiceCommands(const QString& appPath) const;

    // One select-tab command per caption (index 0 first), registered at once.
    void AddTabCommands(const QStringList& captions);

    // Registers every switched-on command, in order.
    void registerActiveCommands();
    // Switches a command on (registered) or off (unregistered); reaches the file at save.
    void setActive(CVoiceCommand& command, bool active);

    int count() const { return m_commands.count(); }
    CVoiceCommand& at(int index) const { return m_commands.at(index); }
    // The command under phrase (ignoring case), or nullptr.
    CVoiceCommand* find(const QString& phrase) const { return m_commands.find(phrase); }

private:
    // A section that was not used: its values as they were, and how many commands came before it.
    struct UnusedSection {
        size_t before;
        std::vector<std::pair<const char*, QString>> values;
    };

    CommandContext& m_context;
    CommandList m_commands;
    CommandList m_tabCommands;
    std::vector<UnusedSection> m_unused;
    std::optional<QString> m_unreadable;   // why the file could not be read at loading
    QList<QPair<int, QStringList>> m_unreached;   // sections beyond a numbering gap: number, key lines
    QHash<const CVoiceCommand*, QHash<QString, QString>> m_wholeValues;   // key -> whole value
};
