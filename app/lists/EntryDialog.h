#pragma once
// What frmAddAppDoc and frmAddDoc share: the phrase, the path, the character's sentence
// and gesture, Browse, Test, and OK with its checks. Modal; OK is the default button
// (Enter), Cancel the escape button, and the close box counts as Cancel. A dialog is
// made fresh for each add or edit, so it always starts from its design texts.

#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
struct CommandContext;
class MessageWindows;
class VoiceMenuControl;

class EntryDialog : public QDialog {
    Q_OBJECT
public:
    // What the dialog needs around it; all must outlive the dialog.
    struct Services {
        CommandContext& context;                               // Test runs a command
        MessageWindows& messages;                              // the refusals
        VoiceMenuControl& menus;                               // kept off while the dialog is open
        std::function<bool(const QString&)> commandExists;     // any registered phrase
        std::function<bool(const QString&)> programExists;     // a file, or a command on PATH
        // Shows the open-file dialog; returns the chosen file or, when cancelled, current.
        std::function<QString(QWidget* owner, const QStringList& filters, const QString& current)> chooseFile;
    };

    // The results, read by the caller after the dialog has closed.
    bool accepted = false;
    QString phrase;
    QString path;
    QString speech;
    QString gesture;
    QString commandLine;   // programs only
    // In: the phrase of the entry being edited, empty when adding.
    QString OldVoice;

    // FillGestureList: "None" and then the character's animation names.
    void FillGestureList(const QStringList& animationNames);
    // Shows gesture when the box holds it, "None" otherwise.
    void selectGesture(const QString& gesture);
    // Fills the fields from an entry being edited.
    void showEntry(const QString& voice, const QString& target, const QString& whatToSay, const QString& gesture);
    bool FieldsComplete() const;
    // EnableButtons / EnableDocButtons: OK and Test together.
    void enableOkAndTest(bool enable);

    // What the program uses for Services::programExists and chooseFile.
    static bool isProgram(const QString& path);
    static QString chooseFileToOpen(QWidget* owner, const QStringList& filters, const QString& current);

    // A "Name (*.ext)|*.ext|..." filter as file dialog filters ("*.*" reads as "*").
    static QStringList convertFilter(const QString& filter);

    QLineEdit* txtvoice;
    QLineEdit* TextAppPath;
    QLineEdit* TextCharacter;
    QComboBox* cboAppdocGesture;
    QPushButton* CommandBrowse;
    QPushButton* CommandTest;
    QPushButton* okButton;
    QPushButton* cancelButton;

protected:
    EntryDialog(const Services& services, QWidget* parent);
    // Lays the controls out around pathArea, which holds the subclass's path controls.
    void layOut(const QString& voiceLabel, QWidget* pathArea, const QString& okName, const QString& cancelName);

    // Per kind: the command type Test runs, the Browse filters, the program file check.
    virtual int32_t commandType() const = 0;
    virtual QStringList browseFilters() const = 0;
    virtual bool checksProgramFile() const { return false; }
    virtual void fillCommand(class CVoiceCommand&) const {}
    virtual void takeExtraResults() {}

    void done(int result) override;

private:
    void fieldsChanged();
    void CommandBrowse_Click();
    void CommandTest_Click();
    void Ok_Click();
    void refuse(const QString& text, QLineEdit* focus);

    const Services& m_services;
};
