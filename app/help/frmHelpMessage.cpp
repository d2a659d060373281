#include "app/help/frmHelpMessage.h"

#include "app/character/CharacterSpeech.h"
#include "app/help/MessageChoices.h"
#include "app/help/MessageWindowLayout.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QLoggingCategory>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>

Q_DECLARE_LOGGING_CATEGORY(lcHelp)

frmHelpMessage::frmHelpMessage(CharacterSpeech& speech, QString choicesFile, QWidget* parent)
    : QDialog(parent), m_speech(speech), m_choicesFile(std::move(choicesFile))
{
    txtMessage = new QPlainTextEdit(this);
    txtMessage->setObjectName(QStringLiteral("txtMessage"));
    txtMessage->setReadOnly(true);
    txtMessage->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtMessage->setMinimumSize(460, 260);

    chkDontShow = new QCheckBox(QStringLiteral("&Dont show this message next time"), this);
    chkDontShow->setObjectName(QStringLiteral("chkDontShow"));
    cmdSayIt = new QPushButton(QStringLiteral("&Say It"), this);
    cmdSayIt->setObjectName(QStringLiteral("cmdSayIt"));
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);

    QBoxLayout* buttons = layOutMessageWindow(*this, txtMessage);
    buttons->addWidget(chkDontShow);
    buttons->addStretch(1);
    buttons->addWidget(cmdSayIt);
    buttons->addWidget(cmdOK);

    connect(cmdSayIt, &QPushButton::clicked, this, &frmHelpMessage::cmdSayIt_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmHelpMessage::cmdOK_Click);
}

void frmHelpMessage::setMessage(const QString& text)
{
    txtMessage->setPlainText(withPlainLineEnds(text));
}

void frmHelpMessage::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Only our own show; a restore from the task bar is not a new opening.
    if (event->spontaneous())
        return;
    chkDontShow->setVisible(m_DontShowVisible);
    cmdSayIt_Click();
}

void frmHelpMessage::cmdSayIt_Click()
{
    m_speech.ReadWindowAloud(txtMessage->toPlainText(), frameGeometry());
}

void frmHelpMessage::cmdOK_Click()
{
    if (m_DontShowVisible && chkDontShow->isChecked() && !hideMessageIn(m_choicesFile, m_ID))
        qCWarning(lcHelp) << "Could not remember the hidden message" << m_ID << "in" << m_choicesFile;
    accept();
}

// Every way of closing ends here (OK, the close box, Escape): the character stops reading.
void frmHelpMessage::done(int result)
{
    m_speech.StopAgent();
    QDialog::done(result);
}
