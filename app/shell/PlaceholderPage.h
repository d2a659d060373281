#pragma once
// A page of the main window whose subsystem has not been built yet: it holds the page's
// place in the tab order (the page commands and page selection count on it) and says
// what will be shown there.

#include "app/common/MainWindowPage.h"

#include <QWidget>

class PlaceholderPage : public QWidget, public MainWindowPage {
    Q_OBJECT
public:
    PlaceholderPage(QString caption, const QString& hint);

    QWidget* widget() override { return this; }
    QString caption() const override { return m_caption; }

private:
    QString m_caption;
};
