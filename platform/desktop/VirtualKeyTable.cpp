#include "platform/desktop/VirtualKeyTable.h"

#include <array>
#include <string_view>

#define XK_MISCELLANY
#define XK_LATIN1
#include <X11/XF86keysym.h>
#include <X11/keysymdef.h>

namespace {

using Table = std::array<uint32_t, 256>;

constexpr Table buildTable()
{
    Table t{};
    t[0x03] = XK_Break;       // VK_CANCEL (Ctrl+Break)
    t[0x08] = XK_BackSpace;
    t[0x09] = XK_Tab;
    t[0x0C] = XK_Clear;
    t[0x0D] = XK_Return;
    t[0x10] = XK_Shift_L;     // VK_SHIFT
    t[0x11] = XK_Control_L;   // VK_CONTROL
    t[0x12] = XK_Alt_L;       // VK_MENU
    t[0x13] = XK_Pause;
    t[0x14] = XK_Caps_Lock;
    t[0x15] = XK_Kana_Lock;   // VK_KANA
    t[0x19] = XK_Kanji;
    t[0x1B] = XK_Escape;
    t[0x1C] = XK_Henkan;      // VK_CONVERT
    t[0x1D] = XK_Muhenkan;    // VK_NONCONVERT
    t[0x1F] = XK_Mode_switch; // VK_MODECHANGE
    t[0x20] = XK_space;
    t[0x21] = XK_Prior;
    t[0x22] = XK_Next;
    t[0x23] = XK_End;
    t[0x24] = XK_Home;
    t[0x25] = XK_Left;
    t[0x26] = XK_Up;
    t[0x27] = XK_Right;
    t[0x28] = XK_Down;
    t[0x29] = XK_Select;
    t[0x2A] = XK_Print;       // VK_PRINT
    t[0x2B] = XK_Execute;
    t[0x2C] = XK_Print;       // VK_SNAPSHOT
    t[0x2D] = XK_Insert;
    t[0x2E] = XK_Delete;
    t[0x2F] = XK_Help;
    for (int i = 0; i < 10; ++i)
        t[0x30 + i] = XK_0 + i;
    for (int i = 0; i < 26; ++i)
        t[0x41 + i] = XK_a + i;
    t[0x5B] = XK_Super_L;     // VK_LWIN
    t[0x5C] = XK_Super_R;     // VK_RWIN
    t[0x5D] = XK_Menu;        // VK_APPS
    t[0x5F] = XF86XK_Sleep;
    for (int i = 0; i < 10; ++i)
        t[0x60 + i] = XK_KP_0 + i;
    t[0x6A] = XK_KP_Multiply;
    t[0x6B] = XK_KP_Add;
    t[0x6C] = XK_KP_Separator;
    t[0x6D] = XK_KP_Subtract;
    t[0x6E] = XK_KP_Decimal;
    t[0x6F] = XK_KP_Divide;
    for (int i = 0; i < 24; ++i)
        t[0x70 + i] = XK_F1 + i;
    t[0x90] = XK_Num_Lock;
    t[0x91] = XK_Scroll_Lock;
    t[0xA0] = XK_Shift_L;
    t[0xA1] = XK_Shift_R;
    t[0xA2] = XK_Control_L;
    t[0xA3] = XK_Control_R;
    t[0xA4] = XK_Alt_L;
    t[0xA5] = XK_Alt_R;
    t[0xA6] = XF86XK_Back;
    t[0xA7] = XF86XK_Forward;
    t[0xA8] = XF86XK_Refresh;
    t[0xA9] = XF86XK_Stop;
    t[0xAA] = XF86XK_Search;
    t[0xAB] = XF86XK_Favorites;
    t[0xAC] = XF86XK_HomePage;
    t[0xAD] = XF86XK_AudioMute;
    t[0xAE] = XF86XK_AudioLowerVolume;
    t[0xAF] = XF86XK_AudioRaiseVolume;
    t[0xB0] = XF86XK_AudioNext;
    t[0xB1] = XF86XK_AudioPrev;
    t[0xB2] = XF86XK_AudioStop;
    t[0xB3] = XF86XK_AudioPlay;
    t[0xB4] = XF86XK_Mail;
    t[0xB5] = XF86XK_AudioMedia;
    t[0xB6] = XF86XK_MyComputer; // VK_LAUNCH_APP1
    t[0xB7] = XF86XK_Calculator; // VK_LAUNCH_APP2
    t[0xBA] = XK_semicolon;      // VK_OEM_1
    t[0xBB] = XK_equal;          // VK_OEM_PLUS
    t[0xBC] = XK_comma;
    t[0xBD] = XK_minus;
    t[0xBE] = XK_period;
    t[0xBF] = XK_slash;          // VK_OEM_2
    t[0xC0] = XK_grave;          // VK_OEM_3
    t[0xDB] = XK_bracketleft;    // VK_OEM_4
    t[0xDC] = XK_backslash;      // VK_OEM_5
    t[0xDD] = XK_bracketright;   // VK_OEM_6
    t[0xDE] = XK_apostrophe;     // VK_OEM_7
    t[0xE2] = XK_less;           // VK_OEM_102, the extra key of 102-key keyboards
    t[0xFA] = XF86XK_AudioPlay;  // VK_PLAY
    t[0xFE] = XK_Clear;          // VK_OEM_CLEAR
    return t;
}

constexpr Table kKeysyms = buildTable();

constexpr int16_t kWithShift = 0x100;
constexpr int16_t kWithControl = 0x200;

// The US keys whose shifted meaning differs from the plain one, unshifted then shifted.
struct PunctuationKey {
    uint8_t virtualKey;
    char plain;
    char shifted;
};
constexpr PunctuationKey kPunctuation[] = {
    {0xBA, ';', ':'}, {0xBB, '=', '+'}, {0xBC, ',', '<'}, {0xBD, '-', '_'},
    {0xBE, '.', '>'}, {0xBF, '/', '?'}, {0xC0, '`', '~'}, {0xDB, '[', '{'},
    {0xDC, '\\', '|'}, {0xDD, ']', '}'}, {0xDE, '\'', '"'},
};
constexpr std::string_view kShiftedDigits = ")!@#$%^&*(";

} // namespace

uint32_t VirtualKeyTable::keysym(uint8_t virtualKey)
{
    return kKeysyms[virtualKey];
}

int16_t VirtualKeyTable::keyForCharacter(char ch)
{
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 'a' && c <= 'z')
        return static_cast<int16_t>(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z')
        return static_cast<int16_t>(kWithShift | c);
    if (c >= '0' && c <= '9')
        return static_cast<int16_t>(c);
    if (const auto at = kShiftedDigits.find(ch); at != std::string_view::npos)
        return static_cast<int16_t>(kWithShift | ('0' + at));
    for (const PunctuationKey& key : kPunctuation) {
        if (ch == key.plain)
            return key.virtualKey;
        if (ch == key.shifted)
            return static_cast<int16_t>(kWithShift | key.virtualKey);
    }
    switch (c) {
    case ' ': return 0x20;
    case '\b': return 0x08;
    case '\t': return 0x09;
    case '\r': return 0x0D;
    case '\n': return kWithControl | 0x0D;   // Ctrl+Enter types a line feed
    case 0x1B: return 0x1B;                  // Escape
    case 0x1C: return 0xDC | kWithControl;   // Ctrl+backslash
    case 0x1D: return 0xDD | kWithControl;   // Ctrl+]
    case 0x7F: return kWithControl | 0x08;   // Ctrl+Backspace
    default: break;
    }
    if (c >= 1 && c <= 26)                   // the other control characters: Ctrl+letter
        return static_cast<int16_t>(kWithControl | (c - 1 + 'A'));
    return -1;
}
