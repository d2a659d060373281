#include "platform/desktop/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

bool QtClipboard::hasText() const
{
    return !text().isEmpty();
}

QString QtClipboard::text() const
{
    return QGuiApplication::clipboard()->text(QClipboard::Clipboard);
}

void QtClipboard::setText(const QString& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(text, QClipboard::Clipboard);
    // Shift+Insert pastes the primary selection in some toolkits, the clipboard in others.
    if (clipboard->supportsSelection())
        clipboard->setText(text, QClipboard::Selection);
}
