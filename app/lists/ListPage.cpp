#include "app/lists/ListPage.h"

#include "app/lists/UserList.h"
#include "app/lists/frmAddAppDoc.h"
#include "app/lists/frmAddDoc.h"
#include "app/shell/ModalHost.h"
#include "app/voice/CVoiceCommand.h"
#include "app/voice/VoiceMenus.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The names and texts of one page's controls.
struct PageNames {
    const char* tab;
    const char* frame;
    const char* list;
    const char* add;
    const char* edit;
    const char* remove;
    const char* run;
    const char* runText;
    const char* import;   // nullptr: no Import button
    const char* help;
    const char* targetColumn;
    HelpTopic helpTopic;
};

const PageNames& namesOf(const ListKind& kind)
{
    static const PageNames programs{" My Programs", " My Programs", "lstApps", "cmdAdd", "cmdEditApp", "cmdRemove", "cmdRun", "Run",
                                    nullptr, "cmdProgramsHelp", "Path", HelpTopic::Programs};
    static const PageNames documents{" My Documents", " My Documents", "lstDocs", "cmdAddDoc", "cmdEditdoc", "cmdRemoveDoc", "cmdRunDoc",
                                     "Open", "cmdImportDocs", "cmdDocHelp", "Path", HelpTopic::Documents};
    static const PageNames webSites{" Web Sites", " Web Addresses", "lstWeb", "cmdAddWeb", "cmdEditWeb", "cmdRemoveWeb", "cmdRunWeb",
                                    "Open", "cmdImportURL", "cmdWebSitesHelp", "Address", HelpTopic::WebSites};
    if (&kind == &ListKind::Programs)
        return programs;
    return &kind == &ListKind::Documents ? documents : webSites;
}

QPushButton* button(const char* text, const char* name, bool bold = false)
{
    auto* widget = new QPushButton(QString::fromUtf8(text));
    widget->setObjectName(QString::fromLatin1(name));
    if (bold) {
        QFont font = widget->font();
        font.setBold(true);
        widget->setFont(font);
    }
    return widget;
}

constexpr int kCommandRole = Qt::UserRole;

CVoiceCommand* commandOf(const QTreeWidgetItem* row)
{
    return row ? static_cast<CVoiceCommand*>(row->data(0, kCommandRole).value<void*>()) : nullptr;
}

} // namespace

QIcon imgListMain(int index)
{
    QStyle* style = QApplication::style();
    switch (index) {
    case 1: return style->standardIcon(QStyle::SP_ComputerIcon);
    case 4: return style->standardIcon(QStyle::SP_FileIcon);
    case 5: return style->standardIcon(QStyle::SP_DriveNetIcon);
    default: return style->standardIcon(QStyle::SP_DirIcon);
    }
}

ListPage::ListPage(UserList& list, const Services& services, QWidget* parent)
    : QWidget(parent), m_list(list), m_services(services)
{
    const PageNames& names = namesOf(list.kind());
    m_rowIcon = imgListMain(list.kind().icon);
    frame = new QGroupBox(QString::fromUtf8(names.frame));
    listView = new QTreeWidget;
    listView->setObjectName(QString::fromLatin1(names.list));
    listView->setRootIsDecorated(false);
    listView->setUniformRowHeights(true);
    listView->setSelectionMode(QAbstractItemView::SingleSelection);
    QStringList headers{tr("Voice Command"), tr("Character will say"), tr("Gesture"), QString::fromLatin1(names.targetColumn)};
    if (list.kind().hasCommandLine)
        headers << tr("Command Line");
    listView->setHeaderLabels(headers);

    cmdAdd = button("Add", names.add);
    cmdEdit = button("Edit", names.edit);
    cmdRemove = button("Remove", names.remove);
    cmdRun = button(names.runText, names.run, true);
    if (names.import)
        cmdImport = button("Import", names.import, true);
    cmdHelp = button("Help", names.help, true);
    enableRowButtons(false);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* each : {cmdAdd, cmdEdit, cmdRemove, cmdRun, cmdImport}) {
        if (each)
            buttons->addWidget(each);
    }
    buttons->addStretch();
    buttons->addWidget(cmdHelp);
    auto* frameLayout = new QHBoxLayout(frame);
    frameLayout->addWidget(listView, 1);
    frameLayout->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);

    connect(cmdAdd, &QPushButton::clicked, this, &ListPage::addEntry);
    connect(cmdEdit, &QPushButton::clicked, this, &ListPage::editEntry);
    connect(cmdRemove, &QPushButton::clicked, this, &ListPage::removeEntry);
    connect(cmdRun, &QPushButton::clicked, this, &ListPage::runEntry);
    connect(cmdHelp, &QPushButton::clicked, this, [this, topic = names.helpTopic] {
        m_services.dialog.messages.ShowPageHelp(topic);
    });
    connect(listView, &QTreeWidget::itemDoubleClicked, this, [this] { runEntry(); });
    connect(listView, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (selectedCommand())
            enableRowButtons(true);
    });

    connect(&list, &UserList::entryAdded, this, &ListPage::appendRow);
    connect(&list, &UserList::entryChanged, this, &ListPage::updateRow);
    connect(&list, &UserList::entryRemoved, this, &ListPage::removeRow);
    connect(&list, &UserList::loaded, this, [this] {
        std::vector<QTreeWidgetItem*> rows = std::move(m_pendingRows);
        listView->addTopLevelItems(QList<QTreeWidgetItem*>(rows.begin(), rows.end()));
        if (listView->topLevelItemCount() > 0)
            listView->setCurrentItem(listView->topLevelItem(0));
    });
}

QString ListPage::caption() const
{
    return QString::fromUtf8(namesOf(m_list.kind()).tab);
}

ListPage::~ListPage()
{
    qDeleteAll(m_pendingRows);
}

void ListPage::fillRow(QTreeWidgetItem& row, const CVoiceCommand& command) const
{
    row.setText(0, command.m_Voice);
    row.setText(1, command.m_WhatToSay);
    row.setText(2, command.m_Gesture);
    row.setText(3, command.m_Cmd);
    if (m_list.kind().hasCommandLine)
        row.setText(4, command.m_CommandLine);
}

void ListPage::appendRow(CVoiceCommand* command)
{
    auto* row = new QTreeWidgetItem;
    row->setIcon(0, m_rowIcon);
    row->setData(0, kCommandRole, QVariant::fromValue(static_cast<void*>(command)));
    fillRow(*row, *command);
    if (m_list.isLoading()) {
        m_pendingRows.push_back(row);   // one insertion at the end of the load
        return;
    }
    listView->addTopLevelItem(row);
    listView->setCurrentItem(row);
    listView->setFocus();
}

void ListPage::updateRow(CVoiceCommand* command)
{
    for (int i = 0; i < listView->topLevelItemCount(); ++i) {
        if (commandOf(listView->topLevelItem(i)) == command)
            fillRow(*listView->topLevelItem(i), *command);
    }
}

void ListPage::removeRow(int index)
{
    delete listView->takeTopLevelItem(index);
    const int rows = listView->topLevelItemCount();
    if (rows == 0)
        enableRowButtons(false);
    else
        listView->setCurrentItem(listView->topLevelItem(std::min(index, rows - 1)));
    listView->setFocus();
}

void ListPage::enableRowButtons(bool enable)
{
    cmdEdit->setEnabled(enable);
    cmdRemove->setEnabled(enable);
    cmdRun->setEnabled(enable);
}

CVoiceCommand* ListPage::selectedCommand() const
{
    const QList<QTreeWidgetItem*> selected = listView->selectedItems();
    return selected.isEmpty() ? nullptr : commandOf(selected.front());
}

void ListPage::UpdateTabButtons()
{
    enableRowButtons(selectedCommand() != nullptr);
    listView->setFocus();
}

std::unique_ptr<EntryDialog> ListPage::makeDialog(bool editing)
{
    std::unique_ptr<EntryDialog> dialog;
    if (m_list.kind().hasCommandLine) {
        auto programs = std::make_unique<frmAddAppDoc>(m_services.dialog, this);
        if (editing)
            programs->setEditing();
        dialog = std::move(programs);
    } else {
        auto documents = std::make_unique<frmAddDoc>(m_services.dialog, this);
        documents->setIsDocument(&m_list.kind() == &ListKind::Documents);
        if (editing)
            documents->setEditing();
        dialog = std::move(documents);
    }
    dialog->FillGestureList(m_gestureNames);
    return dialog;
}

ListEntry ListPage::entryFrom(const EntryDialog& dialog) const
{
    return ListEntry{dialog.phrase, dialog.path, dialog.speech, dialog.gesture, dialog.commandLine};
}

void ListPage::showError(const Error& error)
{
    m_services.dialog.messages.ShowMessage(error.message, false);
}

void ListPage::addEntry()
{
    m_services.menus.DeactivateMenus();
    std::unique_ptr<EntryDialog> dialog = makeDialog(false);
    dialog->OldVoice.clear();
    dialog->enableOkAndTest(false);
    dialog->selectGesture(QStringLiteral("None"));
    m_services.modalHost.ShowModalForm(*dialog);
    if (dialog->accepted) {
        if (Result<CVoiceCommand*> added = m_list.Add(entryFrom(*dialog)); !added)
            showError(added.error());
        UpdateTabButtons();
    }
    m_services.menus.ActivateMenus();
}

void ListPage::editEntry()
{
    CVoiceCommand* command = selectedCommand();
    if (!command)
        return;
    m_services.menus.DeactivateMenus();
    std::unique_ptr<EntryDialog> dialog = makeDialog(true);
    dialog->OldVoice = command->m_Voice;
    dialog->showEntry(command->m_Voice, command->m_Cmd, command->m_WhatToSay, command->m_Gesture);
    if (auto* programs = dynamic_cast<frmAddAppDoc*>(dialog.get()))
        programs->TextCommandLine->setText(command->m_CommandLine);
    dialog->enableOkAndTest(true);
    m_services.modalHost.ShowModalForm(*dialog);
    if (dialog->accepted) {
        if (Result<void> edited = m_list.Edit(*command, entryFrom(*dialog)); !edited)
            showError(edited.error());
        listView->setFocus();
    }
    m_services.menus.ActivateMenus();
}

void ListPage::removeEntry()
{
    if (CVoiceCommand* command = selectedCommand()) {
        if (Result<void> removed = m_list.Remove(*command); !removed)
            showError(removed.error());
    }
}

void ListPage::runEntry()
{
    if (CVoiceCommand* command = selectedCommand()) {
        command->Execute();
        listView->setFocus();
    }
}
