#pragma once
// Connects what the Settings page asks for to the subsystems that do it: the character
// (placement, size, voice, balloon, mode, demonstrations, welcome preview, clipboard),
// the voice menus (threshold, training) and the help (download page). The page itself
// stores every change in the settings; this adds no state and no checks of its own.

#include <functional>

class CharacterController;
class HelpAndMessages;
class QWidget;
class SettingsPage;
class VoiceMenus;

struct SettingsPageTargets {
    CharacterController& character;
    VoiceMenus& voice;
    HelpAndMessages& help;
    QWidget* trainingOwner;                        // the window the training dialog belongs to
    std::function<void(bool topmost)> applyStayOnTop;
};

void bindSettingsPage(SettingsPage& page, const SettingsPageTargets& targets);
