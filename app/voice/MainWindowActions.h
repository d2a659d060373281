#pragma once
// What a command may ask of the main window itself. The main window implements it;
// tests use a fake.

class MainWindowActions {
public:
    virtual ~MainWindowActions() = default;

    // Sets the listening state and the listening button's caption (VoiceMenus::Activate).
    virtual void Activate(bool active) = 0;
    // Restores the main window to its normal state and shows it.
    virtual void Launch() = 0;
    virtual void hideMainWindow() = 0;
    // Brings page index (0 = first) of tabMain to the front; false when no such page.
    virtual bool selectTab(int index) = 0;
};
