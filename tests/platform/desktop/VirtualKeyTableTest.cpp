#include "platform/desktop/VirtualKeyTable.h"

#include <gtest/gtest.h>

#define XK_MISCELLANY
#include <X11/XF86keysym.h>
#include <X11/keysymdef.h>

// Mouse buttons, reserved and unassigned codes press nothing; the e2e test presses the common keys.
TEST(VirtualKeyTableTest, UnassignedCodesPressNothing)
{
    for (const auto& [key, keysym] : std::vector<std::pair<int, uint32_t>>{
             {0x87, XK_F24}, {0xAF, XF86XK_AudioRaiseVolume}, {0x00, 0}, {0x01, 0}, {0x07, 0}, {0x88, 0}, {0xFF, 0}})
        EXPECT_EQ(VirtualKeyTable::keysym(static_cast<uint8_t>(key)), keysym) << key;
}

// Shifted symbols sit on their US keys; control characters need Ctrl; nothing on a US keyboard
// types NUL or a byte past ASCII.
TEST(VirtualKeyTableTest, EveryPrintableCharacterHasAPressableUsKey)
{
    for (char c = ' '; c <= '~'; ++c) {
        const int16_t key = VirtualKeyTable::keyForCharacter(c);
        ASSERT_GE(key, 0) << "character '" << c << "'";
        EXPECT_LE(key >> 8, 1) << "character '" << c << "' needs more than Shift";
        EXPECT_NE(VirtualKeyTable::keysym(static_cast<uint8_t>(key & 0xFF)), 0u) << "character '" << c << "'";
    }
    for (const auto& [c, key] : std::vector<std::pair<char, int16_t>>{{'A', 0x141}, {'@', 0x132}, {'"', 0x1DE}, {'\t', 0x09},
             {'\n', 0x20D}, {'\x01', 0x241}, {'\0', -1}, {'\xE9', -1}, {'\x80', -1}})
        EXPECT_EQ(VirtualKeyTable::keyForCharacter(c), key) << int(c);
}
