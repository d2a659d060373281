#pragma once
// The Commands page: the built-in commands with a check box each, and the details of the
// selected one (description, sentence, gesture), written straight through to it. A thin
// view over BuiltInCommands. It fills itself at its own start-up step (FillVoiceCommandList),
// after the page commands are in, so its load() has nothing to do.

#include "app/common/MainWindowPage.h"

#include <QStringList>
#include <QWidget>

class BuiltInCommands;
class CVoiceCommand;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;

class CommandsPage : public QWidget, public MainWindowPage {
    Q_OBJECT
public:
    explicit CommandsPage(BuiltInCommands& commands, QWidget* parent = nullptr);

    QWidget* widget() override { return this; }
    QString caption() const override { return QStringLiteral(" Commands"); }

    // The character's gesture names; "None" is added when missing.
    void setGestureNames(const QStringList& names);

    // Registers the switched-on commands, lists every command and selects the first.
    void FillVoiceCommandList();

    // The command shown in the details frame; nullptr until one is selected.
    CVoiceCommand* CurrentCommand() const { return m_currentCommand; }

private:
    void ShowVoiceCommandDetails();
    void lstVoiceCommands_ItemCheck(QListWidgetItem* item);
    void txtDescription_Change(const QString& text);
    void txtExecuteText_Change(const QString& text);
    void cboExecuteGesture_Click(int index);
    void showGesture(const QString& gesture);

    BuiltInCommands& m_commands;
    CVoiceCommand* m_currentCommand = nullptr;
    bool m_filling = false;
    bool m_showing = false;   // a command's details are being shown, not edited

    QListWidget* m_lstVoiceCommands;
    QGroupBox* m_frameCommands;
    QPlainTextEdit* m_txtDescription;
    QLineEdit* m_txtExecuteText;
    QComboBox* m_cboExecuteGesture;
};
