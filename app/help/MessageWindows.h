#pragma once
// The two modal message routines as the rest of the program sees them, so a subsystem
// that must tell the user something (a missing character, a restart notice) takes this
// interface and its tests a fake.

#include <QString>

// The six help topics; each names its text in HelpTexts and its message identifier.
enum class HelpTopic { Overview, Start, Programs, Documents, WebSites, Macros };

class MessageWindows {
public:
    virtual ~MessageWindows() = default;

    // The help window; with dontShowFlag set it is skipped when the user has suppressed
    // messageId, and it offers the "don't show" box. Returns when the window is closed.
    virtual void ShowHelpMessage(const QString& text, const QString& messageId, bool dontShowFlag) = 0;

    // The message window; with speak set the character reads the message.
    // Returns when the window is closed.
    virtual void ShowMessage(const QString& text, bool speak) = 0;

    // A page's help button: the topic's text, always shown, without the "don't show" box.
    virtual void ShowPageHelp(HelpTopic topic) = 0;

    // Settings that only take effect after a restart: the message, read aloud.
    virtual void ShowRestartNotice() = 0;
};
