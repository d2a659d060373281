#include "app/help/frmMessage.h"

#include "app/character/CharacterSpeech.h"
#include "app/help/MessageWindowLayout.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>

frmMessage::frmMessage(CharacterSpeech& speech, QWidget* parent) : QDialog(parent), m_speech(speech)
{
    lblMessage = new QLabel(this);
    lblMessage->setObjectName(QStringLiteral("lblMessage"));
    // Messages carry file paths and error descriptions: never interpret them as markup.
    lblMessage->setTextFormat(Qt::PlainText);
    lblMessage->setWordWrap(true);
    lblMessage->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblMessage->setMinimumWidth(360);
    lblMessage->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    // A start-up message may list a thousand entries: it scrolls rather than growing
    // past the screen with its OK button.
    auto* scrMessage = new QScrollArea(this);
    scrMessage->setObjectName(QStringLiteral("scrMessage"));
    scrMessage->setWidgetResizable(true);
    scrMessage->setFrameShape(QFrame::NoFrame);
    scrMessage->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrMessage->setWidget(lblMessage);

    cmdSayIt = new QPushButton(QStringLiteral("&Say It"), this);
    cmdSayIt->setObjectName(QStringLiteral("cmdSayIt"));
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);

    QBoxLayout* buttons = layOutMessageWindow(*this, scrMessage);
    buttons->addStretch(1);
    buttons->addWidget(cmdSayIt);
    buttons->addWidget(cmdOK);

    connect(cmdSayIt, &QPushButton::clicked, this, &frmMessage::cmdSayIt_Click);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
}

void frmMessage::setMessage(const QString& text)
{
    lblMessage->setText(withPlainLineEnds(text));
}

void frmMessage::showEvent(QShowEvent* event)
{
    fitToScreen(*this);
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    cmdSayIt->setEnabled(m_ToSay);
    if (m_ToSay)
        cmdSayIt_Click();
}

void frmMessage::cmdSayIt_Click()
{
    m_speech.ReadWindowAloud(lblMessage->text(), frameGeometry());
}

// A silent message leaves the character alone: it may be saying something else.
void frmMessage::done(int result)
{
    if (m_ToSay)
        m_speech.StopAgent();
    QDialog::done(result);
}
