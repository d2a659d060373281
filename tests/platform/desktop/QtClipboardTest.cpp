#include "platform/desktop/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>

#include <gtest/gtest.h>

TEST(QtClipboardTest, EmptyTextOrAnImageLeavesNoText)
{
    QtClipboard clipboard;
    clipboard.setText(QStringLiteral("old"));
    clipboard.setText(QString());
    EXPECT_FALSE(clipboard.hasText());
    QGuiApplication::clipboard()->setImage(QImage(4, 4, QImage::Format_RGB32));
    EXPECT_FALSE(clipboard.hasText());
    QGuiApplication::clipboard()->clear();
}
