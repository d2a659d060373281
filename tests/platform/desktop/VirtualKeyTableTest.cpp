#include "platform/desktop/VirtualKeyTable.h"

#include <gtest/gtest.h>

#define XK_MISCELLANY
#define XK_LATIN1
#include <X11/XF86keysym.h>
#include <X11/keysymdef.h>

class VirtualKeyToKeysymTest : public testing::TestWithParam<std::pair<int, uint32_t>> {};

TEST_P(VirtualKeyToKeysymTest, MapsToTheKeyOfTheSameMeaning)
{
    EXPECT_EQ(VirtualKeyTable::keysym(static_cast<uint8_t>(GetParam().first)), GetParam().second);
}

// Letters are the unshifted key; mouse buttons, reserved and unassigned codes press nothing.
INSTANTIATE_TEST_SUITE_P(Table, VirtualKeyToKeysymTest, testing::ValuesIn(std::vector<std::pair<int, uint32_t>>{
    {'A', XK_a}, {0x87, XK_F24}, {0xA5, XK_Alt_R}, {0x22, XK_Next}, {0x6E, XK_KP_Decimal},
    {0xAF, XF86XK_AudioRaiseVolume}, {0x00, 0}, {0x01, 0}, {0x07, 0}, {0x88, 0}, {0xFF, 0}}));

class KeyForCharacterTest : public testing::TestWithParam<std::pair<char, int16_t>> {};

TEST_P(KeyForCharacterTest, GivesTheUsKeyAndShiftState)
{
    EXPECT_EQ(VirtualKeyTable::keyForCharacter(GetParam().first), GetParam().second);
}

// Shifted symbols sit on their US keys; the last three: nothing on a US keyboard types them.
INSTANTIATE_TEST_SUITE_P(UsLayout, KeyForCharacterTest, testing::ValuesIn(std::vector<std::pair<char, int16_t>>{
    {'a', 0x41}, {'A', 0x141}, {')', 0x130}, {'@', 0x132}, {':', 0x1BA}, {'"', 0x1DE}, {'\\', 0xDC}, {'~', 0x1C0},
    {'\t', 0x09}, {'\n', 0x20D}, {'\x01', 0x241}, {'\0', -1}, {'\xE9', -1}, {'\x80', -1}}));

TEST(VirtualKeyTableTest, EveryPrintableCharacterHasAPressableKey)
{
    for (char c = ' '; c <= '~'; ++c) {
        const int16_t key = VirtualKeyTable::keyForCharacter(c);
        ASSERT_GE(key, 0) << "character '" << c << "'";
        EXPECT_LE(key >> 8, 1) << "character '" << c << "' needs more than Shift";
        EXPECT_NE(VirtualKeyTable::keysym(static_cast<uint8_t>(key & 0xFF)), 0u) << "character '" << c << "'";
    }
}
