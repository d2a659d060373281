#pragma once
// Synthesised key presses, by Windows virtual-key code (0..255).

#include <cstdint>

class KeySender {
public:
    static constexpr uint32_t kKeyUp = 2;    // flag of keybdEvent: release instead of press

    virtual ~KeySender() = default;
    virtual void keybdEvent(uint8_t virtualKey, uint8_t scanCode, uint32_t flags) = 0;
    // Virtual-key code in the low byte and shift state in the high byte (1 Shift,
    // 2 Ctrl, 4 Alt) of the key that types ch; -1 when no key types it.
    virtual int16_t vkKeyScan(char ch) = 0;
};
