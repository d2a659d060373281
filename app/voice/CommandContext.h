#pragma once
// Everything a CVoiceCommand reaches when it runs. Owned by the main window, which
// outlives every command; commands keep a reference.

class CharacterSpeech;
class KeySender;
class MainWindowActions;
class ShellLauncher;
class WindowMessenger;

struct CommandContext {
    CharacterSpeech& speech;
    ShellLauncher& launcher;
    WindowMessenger& messenger;
    KeySender& keys;
    MainWindowActions& mainWindow;
};
