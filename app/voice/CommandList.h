#pragma once
// One list of sayable commands: the command objects in their order, keyed by phrase
// (m_Name) ignoring letter case, and their registration with the voice menus. Every list
// (built-in and tab commands, the user's programs, documents and web sites, the Start
// list) is an instance; what differs between them, the file they are kept in, stays with
// the owner, which reads its file into add() and walks the order to save it.
// UI thread only.

#include <QHash>
#include <QString>

#include <memory>
#include <vector>

class CVoiceCommand;
class VoiceMenus;

class CommandList {
public:
    // menus must outlive the list. The list owns its objects; the registry only refers to
    // them, so the owner unregisters (clear()) before the menus go when they outlive it.
    explicit CommandList(VoiceMenus& menus);
    ~CommandList();
    CommandList(const CommandList&) = delete;
    CommandList& operator=(const CommandList&) = delete;

    int count() const { return static_cast<int>(m_commands.size()); }
    bool isEmpty() const { return m_commands.empty(); }
    CVoiceCommand& at(int index) const { return *m_commands.at(static_cast<size_t>(index)); }
    // -1 when command is not in this list.
    int indexOf(const CVoiceCommand& command) const;
    // The command under phrase, ignoring case; nullptr when there is none.
    CVoiceCommand* find(const QString& phrase) const;
    bool contains(const QString& phrase) const { return find(phrase) != nullptr; }

    auto begin() const { return m_commands.begin(); }
    auto end() const { return m_commands.end(); }

    // Appends command under its m_Name, without registering it. nullptr (and the command
    // dropped) when the list already holds that phrase in any letter case.
    CVoiceCommand* add(std::unique_ptr<CVoiceCommand> command);

    // Puts command into the voice menus (the last registration of a phrase wins) or
    // takes this very object out again.
    void registerCommand(CVoiceCommand& command);
    void unregisterCommand(CVoiceCommand& command);

    // Gives command the phrase: it leaves the menus under its old phrase and comes back
    // under the new one. A phrase that differs at all, in letter case too, moves it to
    // the end under the new key. False (nothing changed) when another command of this
    // list holds the phrase.
    bool rename(CVoiceCommand& command, const QString& phrase);

    // Unregisters and destroys command.
    void remove(CVoiceCommand& command);
    // Unregisters and destroys every command.
    void clear();

private:
    static QString keyOf(const QString& phrase) { return phrase.toCaseFolded(); }

    VoiceMenus& m_menus;
    std::vector<std::unique_ptr<CVoiceCommand>> m_commands;
    QHash<QString, CVoiceCommand*> m_index;
};
