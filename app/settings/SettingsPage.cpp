#include "app/settings/SettingsPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

template <typename T>
T* named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QWidget* page(QTabWidget* tabs, const QString& caption)
{
    auto* widget = new QWidget;
    tabs->addTab(widget, caption);
    return widget;
}

} // namespace

SettingsPage::SettingsPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("SettingsPage"));
    tabSettings = named(new QTabWidget(this), "tabSettings");
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(tabSettings);

    {
        auto* form = new QFormLayout(page(tabSettings, tr("General Settings")));
        txtUserName = named(new QLineEdit, "txtUserName");
        form->addRow(tr("Your Name:"), txtUserName);
        chkAutoStart = named(new QCheckBox(tr("Auto start in system tray")), "chkAutoStart");
        chkStayOnTop = named(new QCheckBox(tr("Keep Vorlix window on top")), "chkStayOnTop");
        form->addRow(chkAutoStart);
        form->addRow(chkStayOnTop);
    }
    {
        auto* form = new QFormLayout(page(tabSettings, tr("Welcome")));
        cboWelcomeGesture = named(new QComboBox, "cboWelcomeGesture");
        txtWelcomeMessage = named(new QLineEdit, "txtWelcomeMessage");
        cmdPreviewWelcome = named(new QPushButton(tr("Preview")), "cmdPreviewWelcome");
        cmdHide = named(new QPushButton(tr("Hide")), "cmdHide");
        form->addRow(tr("Welcome gesture"), cboWelcomeGesture);
        form->addRow(tr("My welcome message"), txtWelcomeMessage);
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(cmdPreviewWelcome);
        buttons->addWidget(cmdHide);
        buttons->addStretch();
        form->addRow(buttons);
    }
    {
        auto* form = new QFormLayout(page(tabSettings, tr("Character")));
        cboCharacter = named(new QComboBox, "cboCharacter");
        cmdDownload = named(new QPushButton(tr("Download More Characters")), "cmdDownload");
        cboPosition = named(new QComboBox, "cboPosition");
        cboPosition->addItems({tr("Center"), tr("Top Center"), tr("Bottom Center"), tr("Top Left"), tr("Top Right"),
                               tr("Bottom Left"), tr("Bottom Right"), tr("Stay in place")});
        cboSize = named(new QComboBox, "cboSize");
        cboSize->addItems({tr("Extra Small"), tr("Small"), tr("Regular"), tr("Large"), tr("Extra Large")});
        form->addRow(tr("Character"), cboCharacter);
        form->addRow(QString(), cmdDownload);
        form->addRow(tr("Character position"), cboPosition);
        form->addRow(tr("Character size"), cboSize);
    }
    {
        auto* layout = new QVBoxLayout(page(tabSettings, tr("Voice Recognition")));
        sldThreshold = named(new QSlider(Qt::Horizontal), "sldThreshold");
        sldThreshold->setRange(0, 100);
        sldThreshold->setSingleStep(1);
        sldThreshold->setPageStep(5);
        sldThreshold->setTickInterval(5);
        sldThreshold->setTickPosition(QSlider::TicksBelow);
        auto* ends = new QHBoxLayout;
        ends->addWidget(new QLabel(tr("Recognition Accuracy")));
        ends->addStretch();
        ends->addWidget(new QLabel(tr("High accuracy && Slow response").replace(QStringLiteral("&&"), QStringLiteral("&"))));
        cmdVRTraining = named(new QPushButton(tr("Training")), "cmdVRTraining");
        layout->addLayout(ends);
        layout->addWidget(sldThreshold);
        layout->addWidget(cmdVRTraining, 0, Qt::AlignLeft);
        layout->addStretch();
    }
    {
        auto* layout = new QVBoxLayout(page(tabSettings, tr("Speech")));
        cmdClipboard = named(new QPushButton(tr("Read Clipboard")), "cmdClipboard");
        layout->addWidget(cmdClipboard, 0, Qt::AlignLeft);
        layout->addStretch();
    }
}
