#include "platform/desktop/X11WindowMessenger.h"
#include "platform/desktop/XTestKeySender.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

struct FakeKeySender : KeySender {
    std::vector<std::pair<int, bool>> events;   // virtual key, released
    void keybdEvent(uint8_t virtualKey, uint8_t, uint32_t flags) override
    {
        events.emplace_back(virtualKey, (flags & kKeyUp) != 0);
    }
    int16_t vkKeyScan(char) override { return -1; }
};

// Collects what the desktop layer says in the log.
class DesktopLogTest : public testing::Test {
protected:
    void SetUp() override
    {
        s_messages.clear();
        m_previous = qInstallMessageHandler(&DesktopLogTest::record);
    }
    void TearDown() override { qInstallMessageHandler(m_previous); }

    static void record(QtMsgType, const QMessageLogContext& context, const QString& message)
    {
        if (QLatin1String(context.category) == QLatin1String("vorlix.desktop"))
            s_messages += message;
    }

    static inline QStringList s_messages;
    QtMessageHandler m_previous = nullptr;
};

// ---- The edit messages type their chords, each key down and up on its own ----------------

struct ChordCase {
    uint32_t message;
    std::vector<std::pair<int, bool>> events;
};

class EditMessageTest : public testing::TestWithParam<ChordCase> {};

TEST_P(EditMessageTest, TypesTheChord)
{
    FakeKeySender keys;
    X11WindowMessenger messenger(keys);
    messenger.postToForeground(GetParam().message, 0, GetParam().message == WindowMessenger::kSetSel ? -1 : 0);
    EXPECT_EQ(keys.events, GetParam().events);
}

constexpr int kCtrl = 0x11;
INSTANTIATE_TEST_SUITE_P(Messages, EditMessageTest, testing::Values(
    ChordCase{WindowMessenger::kCut, {{kCtrl, false}, {'X', false}, {'X', true}, {kCtrl, true}}},
    ChordCase{WindowMessenger::kCopy, {{kCtrl, false}, {'C', false}, {'C', true}, {kCtrl, true}}},
    ChordCase{WindowMessenger::kPaste, {{kCtrl, false}, {'V', false}, {'V', true}, {kCtrl, true}}},
    ChordCase{WindowMessenger::kClear, {{0x2E, false}, {0x2E, true}}},
    ChordCase{WindowMessenger::kUndo, {{kCtrl, false}, {'Z', false}, {'Z', true}, {kCtrl, true}}},
    ChordCase{WindowMessenger::kSetSel, {{kCtrl, false}, {'A', false}, {'A', true}, {kCtrl, true}}},
    // Window actions and unknown messages type nothing.
    ChordCase{WindowMessenger::kClose, {}},
    ChordCase{WindowMessenger::kSysCommand, {}},
    ChordCase{767, {}}, ChordCase{773, {}}, ChordCase{0, {}}, ChordCase{0xFFFFFFFF, {}}));

// ---- Without a display ------------------------------------------------------------------

TEST_F(DesktopLogTest, OffscreenProgramNeverTouchesADisplayAndSaysSoOnce)
{
    // Even with DISPLAY pointing at someone's desktop, an offscreen program acts on nothing.
    XTestKeySender keys;
    X11WindowMessenger messenger(keys);
    for (int i = 0; i < 3; ++i) {
        keys.keybdEvent('A', 0, 0);
        keys.keybdEvent('A', 0, KeySender::kKeyUp);
        messenger.postToForeground(WindowMessenger::kClose, 0, 0);
        messenger.postToForeground(WindowMessenger::kSysCommand, WindowMessenger::kScMaximize, 0);
    }
    EXPECT_EQ(s_messages.size(), 2) << s_messages.join('\n').toStdString();   // one per connection
    for (const QString& message : std::as_const(s_messages))
        EXPECT_TRUE(message.contains(QLatin1String("offscreen"))) << message.toStdString();
}

TEST_F(DesktopLogTest, UnreachableDisplayIsReportedOnceAndIgnored)
{
    XTestKeySender keys(":vorlix-no-such-display");
    for (int i = 0; i < 3; ++i)
        keys.keybdEvent(0x0D, 0, i % 2 ? KeySender::kKeyUp : 0);
    ASSERT_EQ(s_messages.size(), 1);
    EXPECT_TRUE(s_messages[0].contains(QLatin1String(":vorlix-no-such-display")));
}

TEST_F(DesktopLogTest, UnmappedKeysAreIgnoredWithoutOpeningTheDisplay)
{
    XTestKeySender keys(":vorlix-no-such-display");
    keys.keybdEvent(0x00, 0, 0);
    keys.keybdEvent(0xFF, 0, KeySender::kKeyUp);
    EXPECT_TRUE(s_messages.isEmpty());
    EXPECT_EQ(keys.vkKeyScan('A'), 0x141);
}

} // namespace
