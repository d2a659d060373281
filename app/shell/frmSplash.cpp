#include "app/shell/frmSplash.h"

#include "app/shell/AppInfo.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

frmSplash::frmSplash(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    AppInfo::initResources();
    setObjectName(QStringLiteral("frmSplash"));
    setStyleSheet(QStringLiteral("frmSplash { background: #f7f8ff; border: 1px solid #2f3aa8; }"));

    auto* logo = new QLabel;
    logo->setObjectName(QStringLiteral("imgLogo"));
    logo->setPixmap(QIcon(QStringLiteral(":/vorlix/vorlix.svg")).pixmap(96, 96));

    auto* lblProductName = new QLabel(AppInfo::kTitle);
    lblProductName->setObjectName(QStringLiteral("lblProductName"));
    QFont big = lblProductName->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    lblProductName->setFont(big);

    auto* lblVersion = new QLabel(tr("Version: %1").arg(AppInfo::version()));
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    m_lblStatus = new QLabel;
    m_lblStatus->setObjectName(QStringLiteral("lblStatus"));
    m_lblStatus->setMinimumWidth(260);

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblProductName);
    texts->addWidget(lblVersion);
    texts->addStretch();
    texts->addWidget(m_lblStatus);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(20);
    layout->addWidget(logo);
    layout->addLayout(texts);

    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void frmSplash::ShowStatus(const QString& Status)
{
    m_lblStatus->setText(Status + QStringLiteral("..."));
    m_lblStatus->repaint();
}

QString frmSplash::status() const
{
    return m_lblStatus->text();
}
