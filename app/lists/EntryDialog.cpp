#include "app/lists/EntryDialog.h"

#include "app/help/MessageWindows.h"
#include "app/voice/CVoiceCommand.h"
#include "app/voice/VoiceMenuControl.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {

QLabel* labelFor(const QString& text, QWidget* buddy)
{
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

QPushButton* namedButton(const QString& text, const QString& name)
{
    auto* button = new QPushButton(text);
    button->setObjectName(name);
    return button;
}

QLineEdit* namedLine(const QString& name)
{
    auto* line = new QLineEdit;
    line->setObjectName(name);
    return line;
}

} // namespace

EntryDialog::EntryDialog(const Services& services, QWidget* parent) : QDialog(parent), m_services(services)
{
    txtvoice = namedLine(QStringLiteral("txtvoice"));
    TextAppPath = namedLine(QStringLiteral("TextAppPath"));
    TextCharacter = namedLine(QStringLiteral("TextCharacter"));
    cboAppdocGesture = new QComboBox;
    cboAppdocGesture->setObjectName(QStringLiteral("cboAppdocGesture"));
    CommandBrowse = namedButton(tr("&Browse..."), QStringLiteral("CommandBrowse"));
    CommandBrowse->setAutoDefault(false);
    CommandTest = namedButton(tr("&Test"), QStringLiteral("CommandTest"));
    CommandTest->setAutoDefault(false);
    okButton = new QPushButton(tr("&OK"));
    okButton->setDefault(true);
    cancelButton = new QPushButton(tr("&Cancel"));
    cancelButton->setAutoDefault(false);

    connect(txtvoice, &QLineEdit::textChanged, this, &EntryDialog::fieldsChanged);
    connect(TextAppPath, &QLineEdit::textChanged, this, &EntryDialog::fieldsChanged);
    connect(CommandBrowse, &QPushButton::clicked, this, &EntryDialog::CommandBrowse_Click);
    connect(CommandTest, &QPushButton::clicked, this, &EntryDialog::CommandTest_Click);
    connect(okButton, &QPushButton::clicked, this, &EntryDialog::Ok_Click);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void EntryDialog::layOut(const QString& voiceLabel, QWidget* pathArea, const QString& okName, const QString& cancelName)
{
    okButton->setObjectName(okName);
    cancelButton->setObjectName(cancelName);
    auto* LblVoice = labelFor(voiceLabel, txtvoice);
    LblVoice->setObjectName(QStringLiteral("LblVoice"));

    auto* character = new QGroupBox(tr("Character Options"));
    auto* characterLayout = new QVBoxLayout(character);
    characterLayout->addWidget(labelFor(tr("Character &will say"), TextCharacter));
    characterLayout->addWidget(TextCharacter);
    characterLayout->addWidget(labelFor(tr("Character will &gesture"), cboAppdocGesture));
    characterLayout->addWidget(cboAppdocGesture);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(CommandTest);
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LblVoice);
    layout->addWidget(txtvoice);
    layout->addWidget(pathArea);
    layout->addWidget(character);
    layout->addLayout(buttons);
    setMinimumWidth(420);
}

void EntryDialog::FillGestureList(const QStringList& animationNames)
{
    cboAppdocGesture->clear();
    cboAppdocGesture->addItem(QStringLiteral("None"));
    for (const QString& name : animationNames) {
        if (name != QLatin1String("None"))
            cboAppdocGesture->addItem(name);
    }
}

void EntryDialog::selectGesture(const QString& gesture)
{
    const int index = cboAppdocGesture->findText(gesture);
    cboAppdocGesture->setCurrentIndex(index >= 0 ? index : 0);
}

void EntryDialog::showEntry(const QString& voice, const QString& target, const QString& whatToSay, const QString& gesture)
{
    txtvoice->setText(voice);
    TextAppPath->setText(target);
    TextCharacter->setText(whatToSay);
    selectGesture(gesture);
}

bool EntryDialog::FieldsComplete() const
{
    return !txtvoice->text().trimmed().isEmpty() && !TextAppPath->text().trimmed().isEmpty();
}

void EntryDialog::enableOkAndTest(bool enable)
{
    okButton->setEnabled(enable);
    CommandTest->setEnabled(enable);
}

void EntryDialog::fieldsChanged()
{
    enableOkAndTest(FieldsComplete());
}

QStringList EntryDialog::convertFilter(const QString& filter)
{
    QStringList filters;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i].trimmed();
        if (const qsizetype open = name.indexOf(QLatin1Char('(')); open > 0)
            name = name.left(open).trimmed();
        QString pattern = parts[i + 1].trimmed();
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (pattern == QLatin1String("*.*"))
            pattern = QStringLiteral("*");   // files here need no dot in their names
        filters << QStringLiteral("%1 (%2)").arg(name, pattern);
    }
    return filters;
}

bool EntryDialog::isProgram(const QString& path)
{
    // A bare name ("gimp") is a program too when the shell finds it on PATH.
    const QFileInfo file(path);
    if (file.exists())
        return !file.isDir();
    return !path.contains(QLatin1Char('/')) && !QStandardPaths::findExecutable(path).isEmpty();
}

QString EntryDialog::chooseFileToOpen(QWidget* owner, const QStringList& filters, const QString& current)
{
    QFileDialog dlgBrowse(owner);
    dlgBrowse.setObjectName(QStringLiteral("dlgBrowse"));
    dlgBrowse.setFileMode(QFileDialog::ExistingFile);
    dlgBrowse.setNameFilters(filters);
    if (!current.isEmpty())
        dlgBrowse.selectFile(current);
    if (dlgBrowse.exec() != QDialog::Accepted || dlgBrowse.selectedFiles().isEmpty())
        return current;
    return dlgBrowse.selectedFiles().front();
}

void EntryDialog::CommandBrowse_Click()
{
    TextAppPath->setText(m_services.chooseFile(this, browseFilters(), TextAppPath->text()));
}

void EntryDialog::CommandTest_Click()
{
    CVoiceCommand command(m_services.context);
    command.m_Name = txtvoice->text();
    command.m_Voice = txtvoice->text();
    command.m_WhatToSay = TextCharacter->text();
    command.m_Cmd = TextAppPath->text();
    command.m_Gesture = cboAppdocGesture->currentText();
    command.m_Type = commandType();
    fillCommand(command);
    command.Execute();
}

void EntryDialog::refuse(const QString& text, QLineEdit* focus)
{
    m_services.messages.ShowMessage(text, true);
    // The message window switches listening back on as it closes; this dialog is still open.
    m_services.menus.DeactivateMenus();
    focus->setFocus();
}

void EntryDialog::Ok_Click()
{
    accepted = true;
    const QString trimmedPhrase = txtvoice->text().trimmed();
    if ((OldVoice.isEmpty() || OldVoice != trimmedPhrase) && m_services.commandExists(trimmedPhrase))
        return refuse(QStringLiteral("The voice command ") + txtvoice->text() + QStringLiteral(" already exists."), txtvoice);
    if (checksProgramFile() && !m_services.programExists(TextAppPath->text()))
        return refuse(QStringLiteral("Application Does Not Exist"), TextAppPath);

    phrase = trimmedPhrase;
    path = TextAppPath->text().trimmed();
    speech = TextCharacter->text().trimmed();
    gesture = cboAppdocGesture->currentText();
    takeExtraResults();
    accept();
}

void EntryDialog::done(int result)
{
    if (result != QDialog::Accepted)
        accepted = false;
    QDialog::done(result);
}
