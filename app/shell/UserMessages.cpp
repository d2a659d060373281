#include "app/shell/UserMessages.h"

#include "app/shell/AppInfo.h"

#include <QMessageBox>

#include <cstdio>

void MessageBoxMessages::information(const QString& text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
    QMessageBox::information(nullptr, AppInfo::kTitle, text);
}

void MessageBoxMessages::critical(const QString& text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
    QMessageBox::critical(nullptr, AppInfo::kTitle, text);
}
