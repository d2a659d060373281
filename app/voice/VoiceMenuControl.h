#pragma once
// Listening switched off around modal dialogs: every modal dialog of the main window is
// shown between DeactivateMenus and ActivateMenus, so no spoken command runs meanwhile.

class VoiceMenuControl {
public:
    virtual ~VoiceMenuControl() = default;
    virtual void ActivateMenus() = 0;
    virtual void DeactivateMenus() = 0;
};
