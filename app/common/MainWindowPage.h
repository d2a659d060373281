#pragma once
// One page of the main window's tab strip. The subsystem that owns a page builds it over
// its own logic classes and hands it to the main window, which only places the pages in
// tab order, lets each fill itself once during start-up and write back at shutdown. A page
// never reads or writes a file itself: it works on the objects it was given.

#include <QString>

class QWidget;

class MainWindowPage {
public:
    virtual ~MainWindowPage() = default;

    // The page as the tab strip shows it; the tab strip takes ownership.
    virtual QWidget* widget() = 0;
    // The tab's text, with its leading blank (" Settings"); the page command says it trimmed.
    virtual QString caption() const = 0;

    // Fills the controls from the settings, once, while the main window is still loading
    // (after every list has been read, before the page commands are registered). Changes
    // fired while a page fills itself only store; they never make the character speak.
    virtual void load() {}
    // Writes back what the page does not store as it changes; runs at shutdown before the
    // settings are written to disk.
    virtual void save() {}
};
