#include "app/voice/CommandsPage.h"

#include "app/voice/BuiltInCommands.h"
#include "app/voice/CVoiceCommand.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

const QString kNoGesture = QStringLiteral("None");

} // namespace

CommandsPage::CommandsPage(BuiltInCommands& commands, QWidget* parent) : QWidget(parent), m_commands(commands)
{
    setObjectName(QStringLiteral("CommandsPage"));
    auto* listFrame = new QGroupBox(QStringLiteral(" Voice Commands "), this);
    m_lstVoiceCommands = new QListWidget(listFrame);
    m_lstVoiceCommands->setObjectName(QStringLiteral("lstVoiceCommands"));
    auto* listLayout = new QVBoxLayout(listFrame);
    listLayout->addWidget(m_lstVoiceCommands);

    m_frameCommands = new QGroupBox(QStringLiteral(" Details "), this);
    m_frameCommands->setObjectName(QStringLiteral("FrameCommands"));
    // Descriptions run to a sentence or two: the box wraps them and shows them whole.
    m_txtDescription = new QPlainTextEdit(m_frameCommands);
    m_txtDescription->setObjectName(QStringLiteral("txtDescription"));
    m_txtDescription->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_txtDescription->setTabChangesFocus(true);
    m_txtDescription->setFixedHeight(m_txtDescription->fontMetrics().lineSpacing() * 4
                                     + 2 * m_txtDescription->frameWidth() + 8);
    m_txtExecuteText = new QLineEdit(m_frameCommands);
    m_txtExecuteText->setObjectName(QStringLiteral("txtExecuteText"));
    m_cboExecuteGesture = new QComboBox(m_frameCommands);
    m_cboExecuteGesture->setObjectName(QStringLiteral("cboExecuteGesture"));
    m_cboExecuteGesture->addItem(kNoGesture);
    auto* details = new QFormLayout(m_frameCommands);
    details->addRow(QStringLiteral("Description:"), m_txtDescription);
    details->addRow(QStringLiteral("Character will say"), m_txtExecuteText);
    details->addRow(QStringLiteral("Character will gesture"), m_cboExecuteGesture);
    m_frameCommands->setEnabled(false);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(listFrame, 1);
    layout->addWidget(m_frameCommands, 1);

    connect(m_lstVoiceCommands, &QListWidget::currentRowChanged, this, &CommandsPage::ShowVoiceCommandDetails);
    connect(m_lstVoiceCommands, &QListWidget::itemChanged, this, &CommandsPage::lstVoiceCommands_ItemCheck);
    // Only the user's edits write through: showing a command must not change it.
    connect(m_txtDescription, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_showing)
            txtDescription_Change(m_txtDescription->toPlainText());
    });
    connect(m_txtExecuteText, &QLineEdit::textEdited, this, &CommandsPage::txtExecuteText_Change);
    connect(m_cboExecuteGesture, &QComboBox::activated, this, &CommandsPage::cboExecuteGesture_Click);
}

void CommandsPage::setGestureNames(const QStringList& names)
{
    m_cboExecuteGesture->clear();
    if (!names.contains(kNoGesture))
        m_cboExecuteGesture->addItem(kNoGesture);
    m_cboExecuteGesture->addItems(names);
    ShowVoiceCommandDetails();
}

void CommandsPage::FillVoiceCommandList()
{
    m_filling = true;
    m_lstVoiceCommands->clear();
    m_commands.registerActiveCommands();
    for (int index = 0; index < m_commands.count(); ++index) {
        const CVoiceCommand& command = m_commands.at(index);
        auto* item = new QListWidgetItem(command.m_Voice, m_lstVoiceCommands);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(command.m_Active ? Qt::Checked : Qt::Unchecked);
    }
    if (m_lstVoiceCommands->count() > 0)
        m_lstVoiceCommands->setCurrentRow(0);
    m_filling = false;
}

void CommandsPage::ShowVoiceCommandDetails()
{
    // Rows follow the collection's order, so a row names its command.
    const int row = m_lstVoiceCommands->currentRow();
    const bool selected = row >= 0 && row < m_commands.count();
    m_frameCommands->setEnabled(selected);
    if (!selected) {
        m_currentCommand = nullptr;
        return;
    }
    m_currentCommand = &m_commands.at(row);
    m_showing = true;
    m_txtDescription->setPlainText(m_currentCommand->m_Description);
    m_showing = false;
    m_txtExecuteText->setText(m_currentCommand->m_WhatToSay);
    showGesture(m_currentCommand->m_Gesture);
}

void CommandsPage::showGesture(const QString& gesture)
{
    int index = m_cboExecuteGesture->findText(gesture);
    if (index < 0)
        index = m_cboExecuteGesture->findText(kNoGesture);
    m_cboExecuteGesture->setCurrentIndex(index);
}

void CommandsPage::lstVoiceCommands_ItemCheck(QListWidgetItem* item)
{
    if (m_filling)
        return;
    const int row = m_lstVoiceCommands->row(item);
    if (row < 0 || row >= m_commands.count())
        return;
    CVoiceCommand& command = m_commands.at(row);
    const bool checked = item->checkState() == Qt::Checked;
    if (checked != command.m_Active)
        m_commands.setActive(command, checked);
}

void CommandsPage::txtDescription_Change(const QString& text)
{
    if (m_currentCommand)
        m_currentCommand->m_Description = text;
}

void CommandsPage::txtExecuteText_Change(const QString& text)
{
    if (m_currentCommand)
        m_currentCommand->m_WhatToSay = text;
}

void CommandsPage::cboExecuteGesture_Click(int index)
{
    if (m_currentCommand && index >= 0)
        m_currentCommand->m_Gesture = m_cboExecuteGesture->itemText(index);
}
