#pragma once
// Window messages to the active window (EWMH _NET_ACTIVE_WINDOW), carried out as what
// they mean on X11: a close request, iconify, maximise or restore through the window
// manager, and the edit messages as their key chords. When the active window is one of
// this program's own, the message is queued to that Qt window instead, as a posted
// message would be. UI thread only.

#include "platform/desktop/WindowMessenger.h"
#include "platform/desktop/X11Display.h"

class KeySender;

class X11WindowMessenger : public WindowMessenger {
public:
    // keys types the edit chords; displayName: see X11Display.
    explicit X11WindowMessenger(KeySender& keys, QByteArray displayName = {});

    void postToForeground(uint32_t message, int32_t wParam, int32_t lParam) override;

private:
    void pressChord(uint8_t modifier, uint8_t key);

    KeySender& m_keys;
    X11Display m_display;
};
