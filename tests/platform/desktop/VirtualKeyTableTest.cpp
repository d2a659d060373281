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
    {'A', XK_a}, {'Z', XK_z}, {'9', XK_9}, {0x87, XK_F24}, {0x11, XK_Control_L}, {0xA5, XK_Alt_R},
    {0x22, XK_Next}, {0x2D, XK_Insert}, {0x60, XK_KP_0}, {0x6E, XK_KP_Decimal}, {0xC0, XK_grave},
    {0xAF, XF86XK_AudioRaiseVolume}, {0xB3, XF86XK_AudioPlay}, {0xDE, XK_apostrophe},
    {0x00, 0}, {0x01, 0}, {0x07, 0}, {0x3A, 0}, {0x88, 0}, {0xFF, 0}}));

class KeyForCharacterTest : public testing::TestWithParam<std::pair<char, int16_t>> {};

TEST_P(KeyForCharacterTest, GivesTheUsKeyAndShiftState)
{
    EXPECT_EQ(VirtualKeyTable::keyForCharacter(GetParam().first), GetParam().second);
}

// The last three: nothing on a US keyboard types them.
INSTANTIATE_TEST_SUITE_P(UsLayout, KeyForCharacterTest, testing::ValuesIn(std::vector<std::pair<char, int16_t>>{
    {'a', 0x41}, {'A', 0x141}, {'z', 0x5A}, {'0', 0x30}, {')', 0x130}, {'!', 0x131}, {'@', 0x132},
    {'(', 0x139}, {';', 0xBA}, {':', 0x1BA}, {'\'', 0xDE}, {'"', 0x1DE}, {'\\', 0xDC}, {'|', 0x1DC},
    {'`', 0xC0}, {'~', 0x1C0}, {'/', 0xBF}, {'?', 0x1BF}, {' ', 0x20}, {'\t', 0x09}, {'\r', 0x0D},
    {'\n', 0x20D}, {'\x01', 0x241}, {'\0', -1}, {'\xE9', -1}, {'\x80', -1}}));

TEST(VirtualKeyTableTest, EveryPrintableCharacterHasAPressableKey)
{
    for (char c = ' '; c <= '~'; ++c) {
        const int16_t key = VirtualKeyTable::keyForCharacter(c);
        ASSERT_GE(key, 0) << "character '" << c << "'";
        EXPECT_LE(key >> 8, 1) << "character '" << c << "' needs more than Shift";
        EXPECT_NE(VirtualKeyTable::keysym(static_cast<uint8_t>(key & 0xFF)), 0u) << "character '" << c << "'";
    }
}
