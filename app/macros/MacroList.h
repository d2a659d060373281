#pragma once
// The macros: read from the macro folder at start-up, registered with the voice menus,
// added, renamed and removed by the Macros page, and written back at shutdown. Owns the
// CMacro objects; the voice menus only refer to them. Widget-free; UI thread only.
//
// A file that cannot be read whole is still listed and registered under the phrase it
// got, but is never written back (that would overwrite what could not be read); removing
// it deletes the file.

#include "app/macros/CMacro.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class VoiceMenus;

class MacroList {
public:
    // Milliseconds since midnight, 0..86399999; names the files of new macros.
    using TimeOfDay = std::function<int()>;

    // The references must outlive this object. Without a clock the system time is used.
    MacroList(VoiceMenus& menus, MacroContext& context, QString macrosPath, TimeOfDay timeOfDay = {});
    ~MacroList();

    // Reads every *.txt of the macro folder in listing order and registers each. A missing
    // folder gives no macros.
    void LoadMacros();
    // Writes every whole macro in order; false when one could not be written (the others
    // are written all the same).
    bool SaveMacros() const;

    // A new macro ("Macro " + counter, a new file name), registered at the end; no file
    // is written until SaveMacros.
    CMacro& add();
    // Deletes the file at once, unregisters the macro and drops it.
    void remove(int index);
    // The phrase box changed: a phrase of blanks only changes nothing (false); otherwise
    // the macro is registered under the trimmed phrase, taking it from any other command.
    bool changePhrase(int index, const QString& boxText);

    int count() const { return static_cast<int>(m_entries.size()); }
    CMacro& at(int index) const { return *m_entries.at(size_t(index)).macro; }
    // False for a file that could not be read whole: shown, but not edited or saved.
    bool isWhole(int index) const { return m_entries.at(size_t(index)).whole; }
    // Counts every macro made in this run, loaded ones included.
    int32_t MacroCounter() const { return m_macroCounter; }

private:
    struct Entry {
        std::unique_ptr<CMacro> macro;
        bool whole;
    };

    std::unique_ptr<CMacro> newMacro();
    QString newFileName() const;
    bool isNameTaken(const QString& name) const;

    VoiceMenus& m_menus;
    MacroContext& m_context;
    QString m_macrosPath;
    TimeOfDay m_timeOfDay;
    int32_t m_macroCounter = 0;
    std::vector<Entry> m_entries;
};
