#include "app/startlist/StartPage.h"

#include "app/help/MessageWindows.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QPainter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// imgListMain's icons 1 and 2: a program window, and the same greyed and struck through.
QIcon programIcon(bool enabled)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor frame = enabled ? QColor(0x2a, 0x5d, 0xb0) : QColor(0x9a, 0x9a, 0x9a);
    painter.setPen(frame);
    painter.setBrush(enabled ? QColor(0xe8, 0xf0, 0xfc) : QColor(0xee, 0xee, 0xee));
    painter.drawRoundedRect(QRectF(1.5, 2.5, 13, 11), 2, 2);
    painter.fillRect(QRectF(2, 3, 12, 3), frame);
    if (!enabled) {
        painter.setPen(QPen(QColor(0xc0, 0x30, 0x30), 2));
        painter.drawLine(QPointF(3, 14), QPointF(14, 3));
    }
    return QIcon(pixmap);
}

QPushButton* button(const QString& text, const char* name)
{
    auto* widget = new QPushButton(text);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

StartPage::StartPage(StartList& list, MessageWindows& help, QWidget* parent) : QWidget(parent), m_list(list)
{
    setObjectName(QStringLiteral("StartPage"));
    lstDesktop = new QTreeWidget;
    lstDesktop->setObjectName(QStringLiteral("lstDesktop"));
    lstDesktop->setColumnCount(1);
    lstDesktop->setHeaderLabels({tr("Application")});
    lstDesktop->setRootIsDecorated(false);
    lstDesktop->setUniformRowHeights(true); // thousands of rows stay quick to fill
    lstDesktop->header()->setStretchLastSection(true);
    cmdRunDesktop = button(tr("Run"), "cmdRunDesktop");
    cmdToggleDesktop = button(tr("Disable"), "cmdToggleDesktop");
    chkHideDisabled = new QCheckBox(tr("Hide disabled applications"));
    chkHideDisabled->setObjectName(QStringLiteral("chkHideDisabled"));
    cmdRefreshStart = button(tr("Refresh"), "cmdRefreshStart");
    cmdStartHelp = button(tr("Help"), "cmdStartHelp");

    m_enabledIcon = programIcon(true);
    m_disabledIcon = programIcon(false);

    auto* frame = new QGroupBox(QStringLiteral(" Desktop && Start Menu"));
    auto* buttons = new QVBoxLayout;
    for (QWidget* widget : {static_cast<QWidget*>(cmdRunDesktop), static_cast<QWidget*>(cmdToggleDesktop)})
        buttons->addWidget(widget);
    buttons->addStretch();
    buttons->addWidget(cmdRefreshStart);
    buttons->addWidget(cmdStartHelp);
    auto* inside = new QHBoxLayout;
    inside->addWidget(lstDesktop, 1);
    inside->addLayout(buttons);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addLayout(inside);
    frameLayout->addWidget(chkHideDisabled);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);

    connect(cmdRunDesktop, &QPushButton::clicked, this, [this] { m_list.cmdRunDesktop_Click(); });
    connect(lstDesktop, &QTreeWidget::itemDoubleClicked, this, [this] { m_list.cmdRunDesktop_Click(); });
    connect(lstDesktop, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (!m_showing)
            m_list.selectRow(item ? lstDesktop->indexOfTopLevelItem(item) : -1);
    });
    connect(cmdToggleDesktop, &QPushButton::clicked, this, [this] { m_list.cmdToggleDesktop_Click(); });
    connect(chkHideDisabled, &QCheckBox::toggled, this, [this](bool checked) { m_list.chkHideDisabled_Click(checked); });
    connect(cmdRefreshStart, &QPushButton::clicked, this, [this] { m_list.cmdRefreshStart_Click(); });
    connect(cmdStartHelp, &QPushButton::clicked, this, [&help] { help.ShowPageHelp(HelpTopic::Start); });

    m_list.setView(this);
    buttonsChanged();
}

StartPage::~StartPage()
{
    m_list.setView(nullptr);
}

void StartPage::load()
{
    chkHideDisabled->setChecked(m_list.hideDisabled());
}

void StartPage::activated()
{
    m_list.UpdateStartButtons();
    lstDesktop->setFocus();
}

const QIcon& StartPage::iconFor(int icon) const
{
    return icon == StartList::kIconEnabled ? m_enabledIcon : m_disabledIcon;
}

QTreeWidgetItem* StartPage::itemFor(const StartList::Row& row) const
{
    auto* item = new QTreeWidgetItem(QStringList{row.text});
    item->setIcon(0, iconFor(row.icon));
    return item;
}

void StartPage::rowsReset()
{
    m_showing = true;
    lstDesktop->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(m_list.rows().size()));
    for (const StartList::Row& row : m_list.rows())
        items << itemFor(row);
    lstDesktop->addTopLevelItems(items);
    m_showing = false;
    selectionChanged();
}

void StartPage::rowChanged(int row)
{
    if (QTreeWidgetItem* item = lstDesktop->topLevelItem(row))
        item->setIcon(0, iconFor(m_list.rows()[static_cast<size_t>(row)].icon));
}

void StartPage::rowRemoved(int row)
{
    m_showing = true;
    delete lstDesktop->takeTopLevelItem(row);
    m_showing = false;
}

void StartPage::selectionChanged()
{
    m_showing = true;
    const int row = m_list.selectedRow();
    lstDesktop->setCurrentItem(row >= 0 ? lstDesktop->topLevelItem(row) : nullptr);
    if (row < 0)
        lstDesktop->clearSelection();
    m_showing = false;
}

void StartPage::buttonsChanged()
{
    const StartList::Buttons& state = m_list.buttons();
    cmdRunDesktop->setEnabled(state.runEnabled);
    cmdToggleDesktop->setEnabled(state.toggleEnabled);
    cmdToggleDesktop->setText(state.toggleCaption);
}

void StartPage::focusList()
{
    lstDesktop->setFocus();
}
