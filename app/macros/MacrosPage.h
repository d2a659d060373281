#pragma once
// The Macros page: the list of macros with Add, Remove and Help, and the details of the
// selected one (phrase, text, sentence, gesture), written straight through to it. A thin
// view over MacroList. It fills itself at its own start-up step (LoadMacros, "Reading
// macros"); the main window saves the macros through MacroList at exit.

#include "app/common/MainWindowPage.h"

#include <QStringList>
#include <QWidget>

class CMacro;
class MacroList;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

class MacrosPage : public QWidget, public MainWindowPage {
    Q_OBJECT
public:
    explicit MacrosPage(MacroList& macros, QWidget* parent = nullptr);

    QWidget* widget() override { return this; }
    QString caption() const override { return QStringLiteral(" Macros"); }

    // The character's gesture names; "None" is added when missing.
    void setGestureNames(const QStringList& names);

    // The start-up step: reads the macro folder, lists every macro and selects the first.
    void LoadMacros();

    // The macro shown in the details frame; nullptr when none is selected.
    CMacro* CurrentMacro() const;

    void cmdMacroAdd_Click();
    void cmdMacroRemove_Click();

signals:
    void helpRequested();

private:
    void ShowMacroDetails();
    void UpdateMacroButtons();
    void selectRow(int row);
    int selectedRow() const;
    void addItem(const CMacro& macro);
    void txtMacroVoice_Change(const QString& text);
    void txtMacroText_Change();
    void txtMacroSay_Change(const QString& text);
    void cboMacroGesture_Click(int index);

    MacroList& m_macros;
    bool m_showing = false;   // filling the details must not write back

    QTreeWidget* m_lstMacros;
    QPushButton* m_cmdMacroAdd;
    QPushButton* m_cmdMacroRemove;
    QPushButton* m_cmdMacroHelp;
    QGroupBox* m_frameMacro;
    QLineEdit* m_txtMacroVoice;
    QPlainTextEdit* m_txtMacroText;
    QLineEdit* m_txtMacroSay;
    QComboBox* m_cboMacroGesture;
};
