#include "platform/desktop/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>

#include <gtest/gtest.h>

namespace {

class QtClipboardTest : public testing::Test {
protected:
    void TearDown() override { QGuiApplication::clipboard()->clear(); }
    QtClipboard clipboard;
};

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

} // namespace
