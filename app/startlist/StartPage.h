#pragma once
// The Start page: the Start list's rows with their enabled/disabled icons and the
// buttons that act on the selected row. A thin view over StartList: it shows the rows
// and buttons the list holds and forwards every click.

#include "app/common/MainWindowPage.h"
#include "app/startlist/StartList.h"

#include <QIcon>
#include <QWidget>

class MessageWindows;
class QCheckBox;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class StartPage : public QWidget, public MainWindowPage, public StartListView {
    Q_OBJECT
public:
    // Both must outlive the page.
    StartPage(StartList& list, MessageWindows& help, QWidget* parent = nullptr);
    ~StartPage() override;

    QWidget* widget() override { return this; }
    QString caption() const override { return QStringLiteral(" Start"); }
    // Shows "Hide disabled applications" as the settings hold it; runs while the main
    // window is loading, so the box's change stores nothing and refreshes nothing.
    void load() override;

    // The tab became current: the buttons follow the selection, the list takes the focus.
    void activated();

    QTreeWidget* lstDesktop;
    QPushButton* cmdRunDesktop;
    QPushButton* cmdToggleDesktop;
    QCheckBox* chkHideDisabled;
    QPushButton* cmdRefreshStart;
    QPushButton* cmdStartHelp;

    // StartListView
    void rowsReset() override;
    void rowChanged(int row) override;
    void rowRemoved(int row) override;
    void selectionChanged() override;
    void buttonsChanged() override;
    void focusList() override;

private:
    QTreeWidgetItem* itemFor(const StartList::Row& row) const;
    const QIcon& iconFor(int icon) const;

    StartList& m_list;
    QIcon m_enabledIcon;
    QIcon m_disabledIcon;
    bool m_showing = false; // selection changes made by the list itself are not forwarded back
};
