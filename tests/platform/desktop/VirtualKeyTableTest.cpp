#include "platform/desktop/VirtualKeyTable.h"

#include <gtest/gtest.h>

#define XK_MISCELLANY
#define XK_LATIN1
#include <X11/XF86keysym.h>
#include <X11/keysymdef.h>

namespace {

struct KeysymCase {
    int virtualKey;
    uint32_t keysym;
};

class VirtualKeyToKeysymTest : public testing::TestWithParam<KeysymCase> {};

TEST_P(VirtualKeyToKeysymTest, MapsToTheKeyOfTheSameMeaning)
{
    EXPECT_EQ(VirtualKeyTable::keysym(static_cast<uint8_t>(GetParam().virtualKey)), GetParam().keysym)
        << "virtual key 0x" << std::hex << GetParam().virtualKey;
}

INSTANTIATE_TEST_SUITE_P(Table, VirtualKeyToKeysymTest, testing::Values(
    // Letters are the unshifted key, whatever the case of the code's character.
    KeysymCase{'A', XK_a}, KeysymCase{'Z', XK_z}, KeysymCase{'9', XK_9}, KeysymCase{0x87, XK_F24},
    KeysymCase{0x11, XK_Control_L}, KeysymCase{0xA5, XK_Alt_R}, KeysymCase{0x22, XK_Next},
    KeysymCase{0x2D, XK_Insert}, KeysymCase{0x60, XK_KP_0}, KeysymCase{0x6E, XK_KP_Decimal},
    KeysymCase{0xAF, XF86XK_AudioRaiseVolume}, KeysymCase{0xB3, XF86XK_AudioPlay},
    KeysymCase{0xC0, XK_grave}, KeysymCase{0xDE, XK_apostrophe},
    // Mouse buttons, reserved and unassigned codes press nothing.
    KeysymCase{0x00, 0}, KeysymCase{0x01, 0}, KeysymCase{0x07, 0}, KeysymCase{0x3A, 0},
    KeysymCase{0x88, 0}, KeysymCase{0xFF, 0}));

struct CharacterCase {
    char character;
    int16_t key;
};

class KeyForCharacterTest : public testing::TestWithParam<CharacterCase> {};

TEST_P(KeyForCharacterTest, GivesTheUsKeyAndShiftState)
{
    EXPECT_EQ(VirtualKeyTable::keyForCharacter(GetParam().character), GetParam().key)
        << "character " << int(static_cast<unsigned char>(GetParam().character));
}

INSTANTIATE_TEST_SUITE_P(UsLayout, KeyForCharacterTest, testing::Values(
    CharacterCase{'a', 0x41}, CharacterCase{'A', 0x141}, CharacterCase{'z', 0x5A},
    CharacterCase{'0', 0x30}, CharacterCase{')', 0x130}, CharacterCase{'!', 0x131},
    CharacterCase{'@', 0x132}, CharacterCase{'(', 0x139},
    CharacterCase{';', 0xBA}, CharacterCase{':', 0x1BA}, CharacterCase{'\'', 0xDE},
    CharacterCase{'"', 0x1DE}, CharacterCase{'\\', 0xDC}, CharacterCase{'|', 0x1DC},
    CharacterCase{'`', 0xC0}, CharacterCase{'~', 0x1C0}, CharacterCase{'/', 0xBF},
    CharacterCase{'?', 0x1BF}, CharacterCase{' ', 0x20}, CharacterCase{'\t', 0x09},
    CharacterCase{'\r', 0x0D}, CharacterCase{'\n', 0x20D}, CharacterCase{'\x01', 0x241},
    // Nothing on a US keyboard types these.
    CharacterCase{'\0', -1}, CharacterCase{'\xE9', -1}, CharacterCase{'\x80', -1}));

// Every printable character must map to a key that the table can press, or a macro
// typed key by key would lose it.
TEST(VirtualKeyTableTest, EveryPrintableCharacterHasAPressableKey)
{
    for (char c = ' '; c <= '~'; ++c) {
        const int16_t key = VirtualKeyTable::keyForCharacter(c);
        ASSERT_GE(key, 0) << "character '" << c << "'";
        EXPECT_LE(key >> 8, 1) << "character '" << c << "' needs more than Shift";
        EXPECT_NE(VirtualKeyTable::keysym(static_cast<uint8_t>(key & 0xFF)), 0u) << "character '" << c << "'";
    }
}

} // namespace
