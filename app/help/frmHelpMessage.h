#pragma once
// The help window: shows a help text, has the character read it when it opens, and can
// offer to suppress the message in future. Opened for one call by HelpAndMessages.

#include <QDialog>
#include <QString>

class CharacterSpeech;
class QCheckBox;
class QPlainTextEdit;
class QPushButton;

class frmHelpMessage : public QDialog {
    Q_OBJECT
public:
    frmHelpMessage(CharacterSpeech& speech, QString choicesFile, QWidget* parent = nullptr);

    void setMessage(const QString& text);

    QString m_ID;                    // the message identifier remembered by a ticked box
    bool m_DontShowVisible = false;  // whether chkDontShow is offered

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void cmdSayIt_Click();
    void cmdOK_Click();

    CharacterSpeech& m_speech;
    QString m_choicesFile;
    QPlainTextEdit* txtMessage;
    QCheckBox* chkDontShow;
    QPushButton* cmdSayIt;
    QPushButton* cmdOK;
};
