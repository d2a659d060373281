#pragma once
// The platform layers the main window works through, created by main() (or by a test,
// with fakes) and outliving the windows.

#include <QString>

class AgentCharacters;
class Clipboard;
class KeySender;
class MokavelExports;
class ScreenMetrics;
class ShellLauncher;
class TrayIconBackend;
class UserMessages;
class VoiceCommandControl;
class WindowMessenger;

struct PlatformServices {
    AgentCharacters& agent;
    VoiceCommandControl& recogniser;
    ShellLauncher& launcher;
    KeySender& keys;
    WindowMessenger& messenger;
    Clipboard& clipboard;
    ScreenMetrics& screen;
    TrayIconBackend& tray;
    UserMessages& messages;
    MokavelExports& mokavel;
};

// Program-wide values set once during start-up.
struct AppState {
    QString AppPath;
    QString MacrosPath;
    QString CharsPath;
    QString supportUrl;
    QString programFile;       // the running program, for the autostart entry
    QString commandLine;       // the argument text after the program name
    bool Quitting = false;
};
