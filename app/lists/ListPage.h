#pragma once
// The page of one user list (My Programs, My Documents or Web Sites): the entries in a
// report list view, and Add, Edit, Remove, Run/Open, Import and Help. A thin view over
// UserList: rows follow its signals, and the buttons call it through the entry dialogs.

#include "app/common/MainWindowPage.h"
#include "app/help/MessageWindows.h"
#include "app/lists/EntryDialog.h"
#include "app/lists/UserList.h"

#include <QIcon>
#include <QWidget>

#include <memory>

class CVoiceCommand;
class ModalHost;
class QGroupBox;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class UserList;
class VoiceMenus;

class ListPage : public QWidget, public MainWindowPage {
    Q_OBJECT
public:
    struct Services {
        VoiceMenus& menus;
        ModalHost& modalHost;
        EntryDialog::Services dialog;
    };

    // list and services must outlive the page.
    ListPage(UserList& list, const Services& services, QWidget* parent = nullptr);
    ~ListPage() override;

    QWidget* widget() override { return this; }
    // " My Programs", " My Documents" or " Web Sites".
    QString caption() const override;

    // The character's animation names for the dialogs' gesture boxes.
    void setGestureNames(const QStringList& names) { m_gestureNames = names; }

    // Edit, Remove and Run/Open enabled exactly when a row is selected; the list view
    // gets the focus. Run when the page is shown and after every add.
    void UpdateTabButtons();

    // Add, Edit, Remove, Run/Open and the double click.
    void addEntry();
    void editEntry();
    void removeEntry();
    void runEntry();

    // The entry of the selected row, or nullptr.
    CVoiceCommand* selectedCommand() const;

    QGroupBox* frame;
    QTreeWidget* listView;
    QPushButton* cmdAdd;
    QPushButton* cmdEdit;
    QPushButton* cmdRemove;
    QPushButton* cmdRun;
    QPushButton* cmdImport = nullptr;   // documents and web sites; its action comes with the imports
    QPushButton* cmdHelp;

private:
    std::unique_ptr<EntryDialog> makeDialog(bool editing);
    ListEntry entryFrom(const EntryDialog& dialog) const;
    void appendRow(CVoiceCommand* command);
    void updateRow(CVoiceCommand* command);
    void removeRow(int index);
    void fillRow(QTreeWidgetItem& row, const CVoiceCommand& command) const;
    void enableRowButtons(bool enable);
    void showError(const Error& error);

    UserList& m_list;
    const Services& m_services;
    QStringList m_gestureNames;
    QIcon m_rowIcon;   // one icon shared by every row: loading it per row costs more than the rest
    std::vector<QTreeWidgetItem*> m_pendingRows;   // rows of a load, added in one step
};

// The main window's image list: the row icons by their index (1 programs, 4 documents,
// 5 web sites).
QIcon imgListMain(int index);
