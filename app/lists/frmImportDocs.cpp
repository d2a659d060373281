#include "app/lists/frmImportDocs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

std::vector<frmImportDocs::Place> frmImportDocs::defaultPlaces()
{
    std::vector<Place> places{{tr("Home"), QDir::homePath()}, {tr("File System"), QStringLiteral("/")}};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        const bool removable = root.startsWith(QLatin1String("/media/")) || root.startsWith(QLatin1String("/run/media/")) ||
                               root.startsWith(QLatin1String("/mnt/"));
        if (removable && volume.isValid())
            places.push_back({volume.displayName(), root});
    }
    return places;
}

frmImportDocs::frmImportDocs(std::vector<Place> places, QWidget* parent) : QDialog(parent), m_places(std::move(places))
{
    setObjectName(QStringLiteral("frmImportDocs"));
    setWindowTitle(QStringLiteral("Import Documents"));
    cmbDrive = new QComboBox;
    cmbDrive->setObjectName(QStringLiteral("cmbDrive"));
    for (const Place& place : m_places)
        cmbDrive->addItem(place.name, place.path);
    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_model->setRootPath(QString());
    lstFolder = new QTreeView;
    lstFolder->setObjectName(QStringLiteral("lstFolder"));
    lstFolder->setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column)
        lstFolder->hideColumn(column);
    lstFolder->header()->hide();

    auto* importFrame = new QGroupBox(QStringLiteral(" Import Documents"));
    auto* importLayout = new QVBoxLayout(importFrame);
    importLayout->addWidget(new QLabel(QStringLiteral("Drive")));
    importLayout->addWidget(cmbDrive);
    importLayout->addWidget(new QLabel(QStringLiteral("Folder")));
    importLayout->addWidget(lstFolder, 1);
    auto* descriptionFrame = new QGroupBox(QStringLiteral(" Description"));
    auto* description = new QLabel(QStringLiteral("Select which folder you want to import documents from."));
    description->setWordWrap(true);
    (new QVBoxLayout(descriptionFrame))->addWidget(description);

    OKButton = new QPushButton(QStringLiteral("OK"));
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("&Cancel"));
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(OKButton, QDialogButtonBox::AcceptRole);
    buttons->addButton(CancelButton, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(importFrame, 1);
    layout->addWidget(descriptionFrame);
    layout->addWidget(buttons);
    resize(420, 460);

    connect(cmbDrive, &QComboBox::currentIndexChanged, this, &frmImportDocs::cmbDrive_Change);
    if (!m_places.empty())
        cmbDrive_Change(0);
}

void frmImportDocs::showFolder(const QString& path)
{
    const QModelIndex index = m_model->index(path);
    lstFolder->setCurrentIndex(index);
    lstFolder->scrollTo(index);
}

void frmImportDocs::cmbDrive_Change(int index)
{
    if (index < 0 || index >= static_cast<int>(m_places.size()))
        return;
    const QString root = m_places[static_cast<size_t>(index)].path;
    const QFileInfo info(root);
    if (!info.isDir() || !info.isReadable() || !QDir(root).isReadable()) {
        // A medium that cannot be read: the place box goes back, the list stays.
        const QSignalBlocker blocker(cmbDrive);
        cmbDrive->setCurrentIndex(m_shownPlace);
        return;
    }
    m_shownPlace = index;
    lstFolder->setRootIndex(m_model->index(root));
    showFolder(root);
}

void frmImportDocs::setFolder(const QString& folder)
{
    const QString clean = QDir::cleanPath(folder);
    int best = -1;
    qsizetype bestLength = -1;
    for (size_t i = 0; i < m_places.size(); ++i) {
        const QString root = QDir::cleanPath(m_places[i].path);
        const bool holds = clean == root || clean.startsWith(root.endsWith(u'/') ? root : root + u'/');
        if (holds && root.size() > bestLength)
            best = static_cast<int>(i), bestLength = root.size();
    }
    if (best < 0)
        return;
    if (best != cmbDrive->currentIndex())
        cmbDrive->setCurrentIndex(best);
    else
        cmbDrive_Change(best);
    if (m_shownPlace == best)
        showFolder(clean);
}

QString frmImportDocs::folder() const
{
    const QModelIndex index = lstFolder->currentIndex();
    if (index.isValid())
        return m_model->filePath(index);
    return m_shownPlace >= 0 ? m_places[static_cast<size_t>(m_shownPlace)].path : QString();
}
