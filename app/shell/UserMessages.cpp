#include "app/shell/UserMessages.h"

#include "app/shell/AppInfo.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace {

// A message box grows with its text; past this it would outgrow the screen and hide its
// OK button, so the box shows the beginning and keeps the whole text under "Show Details".
constexpr int kMaxShownLines = 20;
constexpr qsizetype kMaxShownCharacters = 2000;

// Message boxes open over the main window when it is open, owned by it.
QWidget* owner()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("frmMain") && widget->isVisible())
            return widget;
    }
    return nullptr;
}

void showMessage(QMessageBox::Icon icon, const QString& text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
    QMessageBox box(icon, AppInfo::kTitle, QString(), QMessageBox::Ok, owner());
    box.setTextFormat(Qt::PlainText);
    const QStringList lines = text.split(u'\n');
    if (lines.size() <= kMaxShownLines && text.size() <= kMaxShownCharacters) {
        box.setText(text);
    } else {
        const QString beginning = lines.mid(0, kMaxShownLines).join(u'\n').left(kMaxShownCharacters);
        box.setText(beginning + QStringLiteral("\n…\n\nThe whole message is under Show Details."));
        box.setDetailedText(text);
    }
    box.exec();
}

} // namespace

void MessageBoxMessages::information(const QString& text)
{
    showMessage(QMessageBox::Information, text);
}

void MessageBoxMessages::critical(const QString& text)
{
    showMessage(QMessageBox::Critical, text);
}
