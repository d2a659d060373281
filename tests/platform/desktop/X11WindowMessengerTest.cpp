#include "platform/desktop/X11WindowMessenger.h"
#include "platform/desktop/XTestKeySender.h"
#include "tests/platform/desktop/LogRecorder.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using KeyEvents = std::vector<std::pair<int, bool>>;   // virtual key, released
using W = WindowMessenger;

struct FakeKeySender : KeySender {
    KeyEvents events;
    void keybdEvent(uint8_t key, uint8_t, uint32_t flags) override { events.emplace_back(key, (flags & kKeyUp) != 0); }
    int16_t vkKeyScan(char) override { return -1; }
};

class EditMessageTest : public testing::TestWithParam<std::tuple<uint32_t, int32_t, int32_t, KeyEvents>> {};

TEST_P(EditMessageTest, TypesTheChord)
{
    const auto& [message, wParam, lParam, events] = GetParam();
    FakeKeySender keys;
    X11WindowMessenger(keys).postToForeground(message, wParam, lParam);
    EXPECT_EQ(keys.events, events);
}

static KeyEvents ctrl(int key) { return {{0x11, false}, {key, false}, {key, true}, {0x11, true}}; }

// Each key goes down and up on its own; Select All is the select-all message with 0, -1 only.
// The paste chord and the close message are run on a real desktop by the e2e test.
INSTANTIATE_TEST_SUITE_P(Messages, EditMessageTest, testing::ValuesIn(std::vector<std::tuple<uint32_t, int32_t, int32_t, KeyEvents>>{
    {W::kCut, 0, 0, ctrl('X')}, {W::kClear, 0, 0, {{0x2E, false}, {0x2E, true}}},
    {W::kSetSel, 0, -1, ctrl('A')}, {W::kSetSel, 2, 5, {}}, {767, 0, 0, {}}, {0xFFFFFFFF, 0, 0, {}}}));

// Even with DISPLAY pointing at someone's desktop, an offscreen program acts on nothing.
TEST(DesktopWithoutDisplayTest, OffscreenProgramNeverTouchesADisplayAndSaysSoOncePerConnection)
{
    LogRecorder log;
    XTestKeySender keys;
    X11WindowMessenger messenger(keys);
    for (int i = 0; i < 3; ++i) {
        keys.keybdEvent('A', 0, i % 2 ? KeySender::kKeyUp : 0);
        messenger.postToForeground(W::kClose, 0, 0);
        messenger.postToForeground(W::kSysCommand, W::kScMaximize, 0);
    }
    EXPECT_EQ(log.lines.size(), 2) << log.lines.join('\n').toStdString();
    EXPECT_EQ(log.lines.filter("offscreen").size(), 2);
}

TEST(DesktopWithoutDisplayTest, UnreachableDisplayIsLoggedOnceAndUnmappedKeysNeverOpenIt)
{
    LogRecorder log;
    XTestKeySender keys(":vorlix-no-such-display");
    keys.keybdEvent(0x00, 0, 0);
    keys.keybdEvent(0xFF, 0, KeySender::kKeyUp);
    EXPECT_TRUE(log.lines.isEmpty());
    for (int i = 0; i < 3; ++i)
        keys.keybdEvent(0x0D, 0, i % 2 ? KeySender::kKeyUp : 0);
    ASSERT_EQ(log.lines.size(), 1);
    EXPECT_TRUE(log.lines[0].contains(QLatin1String(":vorlix-no-such-display")));
    EXPECT_EQ(keys.vkKeyScan('A'), 0x141);   // the US layout, display or not
}
