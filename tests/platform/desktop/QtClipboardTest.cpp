#include "platform/desktop/QtClipboard.h"
#include "platform/desktop/QtScreenMetrics.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QScreen>

#include <gtest/gtest.h>

namespace {

class QtClipboardTest : public testing::Test {
protected:
    void TearDown() override { QGuiApplication::clipboard()->clear(); }
    QtClipboard clipboard;
};

TEST_F(QtClipboardTest, TextSurvivesWholeWithLineBreaks)
{
    const QString text = QStringLiteral("first line\r\nsecond \"quoted\" line\n\ttab caf\u00e9 \u20ac");
    clipboard.setText(text);
    EXPECT_TRUE(clipboard.hasText());
    EXPECT_EQ(clipboard.text(), text);
}

TEST_F(QtClipboardTest, EmptyTextReplacesWhatWasThere)
{
    clipboard.setText(QStringLiteral("old"));
    clipboard.setText(QString());
    EXPECT_FALSE(clipboard.hasText());
    EXPECT_TRUE(clipboard.text().isEmpty());
}

TEST_F(QtClipboardTest, ImageOnlyClipboardHasNoText)
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QGuiApplication::clipboard()->setImage(image);
    EXPECT_FALSE(clipboard.hasText());
    EXPECT_TRUE(clipboard.text().isEmpty());
}

TEST(QtScreenMetricsTest, TwipsFollowTheLogicalDpiOfThePrimaryScreen)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    QtScreenMetrics metrics;
    EXPECT_EQ(metrics.widthPixels(), screen->size().width());
    EXPECT_EQ(metrics.heightPixels(), screen->size().height());
    EXPECT_DOUBLE_EQ(metrics.twipsPerPixelX() * screen->logicalDotsPerInchX(), 1440.0);
    EXPECT_DOUBLE_EQ(metrics.twipsPerPixelY() * screen->logicalDotsPerInchY(), 1440.0);
}

} // namespace
