#pragma once
// Key presses synthesised through the X server's XTest extension. A press and its
// release are separate calls, so chords are built by the caller (Shift down, Insert
// down, Insert up, Shift up). Without an X display or XTest every call does nothing,
// said once in the log. UI thread only.

#include "platform/desktop/KeySender.h"
#include "platform/desktop/X11Display.h"

class XTestKeySender : public KeySender {
public:
    // displayName: see X11Display; empty for the program's own display.
    explicit XTestKeySender(QByteArray displayName = {});

    // scanCode is not used: X picks the key from the keysym of virtualKey.
    void keybdEvent(uint8_t virtualKey, uint8_t scanCode, uint32_t flags) override;
    int16_t vkKeyScan(char ch) override;

private:
    Display* display();

    X11Display m_display;
    bool m_checkedExtension = false;
    bool m_hasExtension = false;
    bool m_loggedMissingKey[256] = {};
};
