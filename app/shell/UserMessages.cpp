#include "app/shell/UserMessages.h"

#include "app/shell/AppInfo.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace {

// Message boxes open over the main window when it is open, owned by it.
QWidget* owner()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("frmMain") && widget->isVisible())
            return widget;
    }
    return nullptr;
}

} // namespace

void MessageBoxMessages::information(const QString& text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
    QMessageBox::information(owner(), AppInfo::kTitle, text);
}

void MessageBoxMessages::critical(const QString& text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
    QMessageBox::critical(owner(), AppInfo::kTitle, text);
}
