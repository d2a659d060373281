#include "app/shell/NotifyIcon.h"

#include "tests/fakes/ShellFakes.h"

#include <gtest/gtest.h>

namespace {

class NotifyIconTest : public testing::Test {
protected:
    std::vector<int> commands() const
    {
        std::vector<int> sent;
        for (const FakeTray::Sent& s : tray.sent)
            sent.push_back(s.command);
        return sent;
    }

    FakeTray tray;
    NotifyIcon icon{tray, quintptr(42), QIcon(), QStringLiteral("Vorlix")};
};

// The desktop keeps one icon per record: adding twice or deleting one that is not
// there would leave a stale or duplicate icon behind.
TEST_F(NotifyIconTest, EachShowOrHideSendsOnlyTheCommandThatFits)
{
    icon.ShowTrayIcon(false);
    EXPECT_TRUE(tray.sent.empty()) << "never shown: nothing to delete";
    icon.ShowTrayIcon(true);
    icon.ShowTrayIcon(true);
    icon.ShowTrayIcon(false);
    EXPECT_FALSE(icon.IconShown());
    icon.ShowTrayIcon(false);
    icon.ShowTrayIcon(true);
    EXPECT_TRUE(icon.IconShown());
    using Tray = TrayIconBackend;
    EXPECT_EQ(commands(), std::vector<int>({Tray::kAdd, Tray::kModify, Tray::kDelete, Tray::kAdd}));
    for (const FakeTray::Sent& s : tray.sent) {
        EXPECT_EQ(s.data.hWnd, quintptr(42)) << "the record names the window the clicks go to";
        EXPECT_EQ(s.data.uID, 1u);
    }
}

} // namespace
