#pragma once
// The message window: a short message that the character reads aloud when m_ToSay is
// set. Opened for one call by HelpAndMessages.

#include <QDialog>
#include <QString>

class CharacterSpeech;
class QLabel;
class QPushButton;

class frmMessage : public QDialog {
    Q_OBJECT
public:
    explicit frmMessage(CharacterSpeech& speech, QWidget* parent = nullptr);

    void setMessage(const QString& text);

    bool m_ToSay = false;  // the character reads the message

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void cmdSayIt_Click();

    CharacterSpeech& m_speech;
    QLabel* lblMessage;
    QPushButton* cmdSayIt;
    QPushButton* cmdOK;
};
