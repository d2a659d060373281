#include "app/shell/NotifyIcon.h"

#include "tests/fakes/ShellFakes.h"

#include <gtest/gtest.h>

namespace {

class NotifyIconTest : public testing::Test {
protected:
    FakeTray tray;
    NotifyIcon icon{tray, quintptr(42), QIcon(), QStringLiteral("Vorlix")};
};

TEST_F(NotifyIconTest, FirstShowAddsTheRecord)
{
    icon.ShowTrayIcon(true);
    ASSERT_EQ(tray.sent.size(), 1u);
    const NotifyIconData& data = tray.sent[0].data;
    EXPECT_EQ(tray.sent[0].command, TrayIconBackend::kAdd);
    EXPECT_EQ(data.cbSize, 88u);
    EXPECT_EQ(data.hWnd, quintptr(42));
    EXPECT_EQ(data.uID, 1u);
    EXPECT_EQ(data.uFlags, 7u);
    EXPECT_EQ(data.uCallbackMessage, 512u);
    EXPECT_EQ(data.szTip, "Vorlix");
    EXPECT_TRUE(icon.IconShown());
}

TEST_F(NotifyIconTest, SecondShowModifiesInsteadOfAddingAnother)
{
    icon.ShowTrayIcon(true);
    icon.ShowTrayIcon(true);
    ASSERT_EQ(tray.sent.size(), 2u);
    EXPECT_EQ(tray.sent[1].command, TrayIconBackend::kModify);
}

TEST_F(NotifyIconTest, ANewTipIsShownAtOnceOnlyWhenTheIconIs)
{
    icon.setTip(QStringLiteral("Vorlix - No microphone"));
    EXPECT_TRUE(tray.sent.empty());
    icon.ShowTrayIcon(true);
    icon.setTip(QStringLiteral("Vorlix - Listening"));
    ASSERT_EQ(tray.sent.size(), 2u);
    EXPECT_EQ(tray.sent[0].data.szTip, "Vorlix - No microphone");
    EXPECT_EQ(tray.sent[1].command, TrayIconBackend::kModify);
    EXPECT_EQ(tray.sent[1].data.szTip, "Vorlix - Listening");
}

TEST_F(NotifyIconTest, HideWhenNeverShownSendsNothing)
{
    icon.ShowTrayIcon(false);
    EXPECT_TRUE(tray.sent.empty());
    EXPECT_FALSE(icon.IconShown());
}

TEST_F(NotifyIconTest, HideAfterShowDeletesOnceThenAddsAgain)
{
    icon.ShowTrayIcon(true);
    icon.ShowTrayIcon(false);
    icon.ShowTrayIcon(false);
    icon.ShowTrayIcon(true);
    ASSERT_EQ(tray.sent.size(), 3u);
    EXPECT_EQ(tray.sent[1].command, TrayIconBackend::kDelete);
    EXPECT_EQ(tray.sent[1].data.uID, 1u);
    EXPECT_EQ(tray.sent[1].data.hWnd, quintptr(42));
    EXPECT_EQ(tray.sent[2].command, TrayIconBackend::kAdd);
}

TEST(NotifyIconTipTest, LongTipIsCutToTheRecordField)
{
    FakeTray tray;
    NotifyIcon icon(tray, 0, QIcon(), QString(100, u'x'));
    icon.ShowTrayIcon(true);
    EXPECT_EQ(tray.sent.at(0).data.szTip.size(), 63);
}

} // namespace
