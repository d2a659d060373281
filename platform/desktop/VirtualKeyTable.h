#pragma once
// The one table from Windows virtual-key codes (0..255) to X keysyms, and the key that
// types a character on a US keyboard. Pure functions; no display is needed.

#include <cstdint>

class VirtualKeyTable {
public:
    static constexpr uint8_t kShift = 0x10;
    static constexpr uint8_t kControl = 0x11;
    static constexpr uint8_t kInsert = 0x2D;
    static constexpr uint8_t kDelete = 0x2E;

    // The keysym of the key, in the key's unshifted meaning ('A' gives XK_a); 0 when the
    // code names no key (mouse buttons, reserved and OEM-specific codes).
    static uint32_t keysym(uint8_t virtualKey);

    // As VkKeyScanA on a US layout: virtual-key code in the low byte, shift state in the
    // high byte (1 Shift, 2 Ctrl); -1 when no key types the character.
    static int16_t keyForCharacter(char ch);
};
