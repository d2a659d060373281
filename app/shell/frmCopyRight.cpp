#include "app/shell/frmCopyRight.h"

#include "app/shell/AppInfo.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmCopyRight::frmCopyRight(QWidget* parent) : QDialog(parent)
{
    AppInfo::initResources();
    setObjectName(QStringLiteral("frmCopyRight"));
    setWindowTitle(tr("About Vorlix"));

    auto* image = new QLabel;
    image->setObjectName(QStringLiteral("imgAbout"));
    image->setPixmap(QIcon(QStringLiteral(":/vorlix/vorlix.svg")).pixmap(80, 80));
    auto* lblProduct = new QLabel(AppInfo::caption());
    lblProduct->setObjectName(QStringLiteral("lblProduct"));
    QFont bold = lblProduct->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 4);
    lblProduct->setFont(bold);
    auto* lblAbout = new QLabel(tr("A voice-driven desktop assistant."));
    auto* cmdOK = new QPushButton(tr("&OK"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblProduct);
    texts->addWidget(lblAbout);
    texts->addStretch();
    texts->addWidget(cmdOK, 0, Qt::AlignRight);
    auto* layout = new QHBoxLayout(this);
    layout->setSpacing(18);
    layout->addWidget(image, 0, Qt::AlignTop);
    layout->addLayout(texts);
}
