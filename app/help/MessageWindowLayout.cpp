#include "app/help/MessageWindowLayout.h"

#include <QDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

QBoxLayout* layOutMessageWindow(QDialog& dialog, QWidget* message)
{
    dialog.setWindowTitle(QStringLiteral("Vorlix Message"));

    auto* picIcon = new QLabel(&dialog);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    const int iconSize = dialog.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &dialog);
    picIcon->setPixmap(dialog.style()->standardIcon(QStyle::SP_MessageBoxInformation, nullptr, &dialog)
                           .pixmap(iconSize, iconSize));
    picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* fraMessage = new QFrame(&dialog);
    fraMessage->setObjectName(QStringLiteral("fraMessage"));
    fraMessage->setFrameShape(QFrame::StyledPanel);
    auto* frameLayout = new QVBoxLayout(fraMessage);
    frameLayout->addWidget(message);

    auto* top = new QHBoxLayout;
    top->addWidget(picIcon);
    top->addWidget(fraMessage, 1);

    auto* buttons = new QHBoxLayout;
    auto* outer = new QVBoxLayout(&dialog);
    outer->addLayout(top, 1);
    outer->addLayout(buttons);
    return buttons;
}

void fitToScreen(QWidget& window)
{
    const QScreen* screen = window.screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    // The frame the window manager adds is not known before showing; leave room for it.
    const QSize room = available.size() - QSize(16, 48);
    window.setMaximumSize(room);
    window.resize(window.sizeHint().boundedTo(room));
}

QString withPlainLineEnds(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}
