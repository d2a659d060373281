#include "app/macros/MacrosPage.h"

#include "app/macros/CMacro.h"
#include "app/macros/MacroList.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString kNoGesture = QStringLiteral("None");

template <typename Widget>
Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

MacrosPage::MacrosPage(MacroList& macros, QWidget* parent) : QWidget(parent), m_macros(macros)
{
    Q_INIT_RESOURCE(macros);
    setObjectName(QStringLiteral("MacrosPage"));

    auto* listFrame = new QGroupBox(QStringLiteral(" Macros "), this);
    m_lstMacros = named(new QTreeWidget(listFrame), "lstMacros");
    m_lstMacros->setHeaderLabels({QStringLiteral("Macro Name")});
    m_lstMacros->setRootIsDecorated(false);
    m_lstMacros->setSelectionMode(QAbstractItemView::SingleSelection);
    m_cmdMacroAdd = named(new QPushButton(QStringLiteral("Add"), listFrame), "cmdMacroAdd");
    m_cmdMacroRemove = named(new QPushButton(QStringLiteral("Remove"), listFrame), "cmdMacroRemove");
    m_cmdMacroHelp = named(new QPushButton(QStringLiteral("Help"), listFrame), "cmdMacroHelp");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdMacroAdd);
    buttons->addWidget(m_cmdMacroRemove);
    buttons->addStretch();
    buttons->addWidget(m_cmdMacroHelp);
    auto* listLayout = new QVBoxLayout(listFrame);
    listLayout->addWidget(m_lstMacros);
    listLayout->addLayout(buttons);

    m_frameMacro = named(new QGroupBox(QStringLiteral(" Details "), this), "FrameMacro");
    m_txtMacroVoice = named(new QLineEdit(m_frameMacro), "txtMacroVoice");
    m_txtMacroText = named(new QPlainTextEdit(m_frameMacro), "txtMacroText");
    m_txtMacroText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtMacroSay = named(new QLineEdit(m_frameMacro), "txtMacroSay");
    m_cboMacroGesture = named(new QComboBox(m_frameMacro), "cboMacroGesture");
    m_cboMacroGesture->addItem(kNoGesture);
    auto* details = new QVBoxLayout(m_frameMacro);
    details->addWidget(new QLabel(QStringLiteral("Voice Command:"), m_frameMacro));
    details->addWidget(m_txtMacroVoice);
    details->addWidget(new QLabel(QStringLiteral("Macro Text:"), m_frameMacro));
    details->addWidget(m_txtMacroText, 1);
    details->addWidget(new QLabel(QStringLiteral("Character will say"), m_frameMacro));
    details->addWidget(m_txtMacroSay);
    details->addWidget(new QLabel(QStringLiteral("Character will gesture"), m_frameMacro));
    details->addWidget(m_cboMacroGesture);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(listFrame, 1);
    layout->addWidget(m_frameMacro, 1);

    connect(m_cmdMacroAdd, &QPushButton::clicked, this, &MacrosPage::cmdMacroAdd_Click);
    connect(m_cmdMacroRemove, &QPushButton::clicked, this, &MacrosPage::cmdMacroRemove_Click);
    connect(m_cmdMacroHelp, &QPushButton::clicked, this, &MacrosPage::helpRequested);
    connect(m_lstMacros, &QTreeWidget::itemSelectionChanged, this, [this] {
        ShowMacroDetails();
        UpdateMacroButtons();
    });
    // Only the user's edits write through: showing a macro must not change it.
    connect(m_txtMacroVoice, &QLineEdit::textEdited, this, &MacrosPage::txtMacroVoice_Change);
    connect(m_txtMacroText, &QPlainTextEdit::textChanged, this, &MacrosPage::txtMacroText_Change);
    connect(m_txtMacroSay, &QLineEdit::textEdited, this, &MacrosPage::txtMacroSay_Change);
    connect(m_cboMacroGesture, &QComboBox::activated, this, &MacrosPage::cboMacroGesture_Click);

    ShowMacroDetails();
    UpdateMacroButtons();
}

void MacrosPage::setGestureNames(const QStringList& names)
{
    const QSignalBlocker blocker(m_cboMacroGesture);
    m_cboMacroGesture->clear();
    if (!names.contains(kNoGesture))
        m_cboMacroGesture->addItem(kNoGesture);
    m_cboMacroGesture->addItems(names);
    ShowMacroDetails();
}

void MacrosPage::LoadMacros()
{
    m_macros.LoadMacros();
    const QSignalBlocker blocker(m_lstMacros);
    m_lstMacros->clear();
    for (int index = 0; index < m_macros.count(); ++index)
        addItem(m_macros.at(index));
    if (m_macros.count() > 0)
        selectRow(0);
    ShowMacroDetails();
    UpdateMacroButtons();
}

void MacrosPage::addItem(const CMacro& macro)
{
    auto* item = new QTreeWidgetItem(m_lstMacros, {macro.m_Voice});
    item->setIcon(0, QIcon(QStringLiteral(":/vorlix/macro.svg")));
}

// Rows follow the list's order, so a row names its macro.
int MacrosPage::selectedRow() const
{
    const QList<QTreeWidgetItem*> selected = m_lstMacros->selectedItems();
    if (selected.isEmpty())
        return -1;
    const int row = m_lstMacros->indexOfTopLevelItem(selected.first());
    return row < m_macros.count() ? row : -1;
}

void MacrosPage::selectRow(int row)
{
    QTreeWidgetItem* item = m_lstMacros->topLevelItem(row);
    m_lstMacros->setCurrentItem(item);
    if (item)
        item->setSelected(true);
}

CMacro* MacrosPage::CurrentMacro() const
{
    const int row = selectedRow();
    return row < 0 ? nullptr : &m_macros.at(row);
}

void MacrosPage::ShowMacroDetails()
{
    const int row = selectedRow();
    // A file that could not be read whole is shown as read, but cannot be edited.
    m_frameMacro->setEnabled(row >= 0 && m_macros.isWhole(row));
    if (row < 0)
        return;
    const CMacro& macro = m_macros.at(row);
    m_showing = true;
    m_txtMacroVoice->setText(macro.m_Voice);
    m_txtMacroText->setPlainText(macro.m_Text);
    m_txtMacroSay->setText(macro.m_WhatToSay);
    int gesture = m_cboMacroGesture->findText(macro.m_Gesture);
    if (gesture < 0)
        gesture = m_cboMacroGesture->findText(kNoGesture);
    m_cboMacroGesture->setCurrentIndex(gesture);
    m_showing = false;
}

void MacrosPage::UpdateMacroButtons()
{
    const bool selected = selectedRow() >= 0;
    m_cmdMacroRemove->setEnabled(selected);
    m_frameMacro->setEnabled(selected && m_macros.isWhole(selectedRow()));
    m_cmdMacroAdd->setEnabled(true);
}

void MacrosPage::cmdMacroAdd_Click()
{
    const CMacro& macro = m_macros.add();
    {
        const QSignalBlocker blocker(m_lstMacros);
        addItem(macro);
        m_lstMacros->clearSelection();
        selectRow(m_macros.count() - 1);
    }
    ShowMacroDetails();
    UpdateMacroButtons();
}

void MacrosPage::cmdMacroRemove_Click()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    {
        const QSignalBlocker blocker(m_lstMacros);
        m_macros.remove(row);
        delete m_lstMacros->takeTopLevelItem(row);
        m_lstMacros->clearSelection();
        if (m_macros.count() > 0)
            selectRow(std::min(row, m_macros.count() - 1));
    }
    ShowMacroDetails();
    UpdateMacroButtons();
}

void MacrosPage::txtMacroVoice_Change(const QString& text)
{
    const int row = selectedRow();
    if (m_showing || row < 0 || !m_macros.changePhrase(row, text))
        return;
    m_lstMacros->topLevelItem(row)->setText(0, m_macros.at(row).m_Voice);
}

void MacrosPage::txtMacroText_Change()
{
    if (CMacro* macro = CurrentMacro(); macro && !m_showing)
        macro->m_Text = m_txtMacroText->toPlainText();
}

void MacrosPage::txtMacroSay_Change(const QString& text)
{
    if (CMacro* macro = CurrentMacro(); macro && !m_showing)
        macro->m_WhatToSay = text;
}

void MacrosPage::cboMacroGesture_Click(int index)
{
    if (CMacro* macro = CurrentMacro(); macro && index >= 0)
        macro->m_Gesture = m_cboMacroGesture->itemText(index);
}
