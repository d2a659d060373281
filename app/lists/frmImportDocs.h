#pragma once
// "Import Documents": the folder whose documents are imported. The place box lists the
// places a user picks from (the home folder, the file system's root, mounted removable
// media) by their names; the folder list shows the chosen place's folder tree. A place
// that cannot be read leaves the folder list as it was.

#include <QDialog>
#include <QString>

#include <vector>

class QComboBox;
class QFileSystemModel;
class QPushButton;
class QTreeView;

class frmImportDocs : public QDialog {
    Q_OBJECT
public:
    struct Place {
        QString name;
        QString path;
    };
    // The home folder, "/", then mounted media under /media, /run/media and /mnt.
    static std::vector<Place> defaultPlaces();

    explicit frmImportDocs(std::vector<Place> places = defaultPlaces(), QWidget* parent = nullptr);

    // Selects the place holding folder (the longest that does), then folder in the list.
    void setFolder(const QString& folder);
    // The folder list's current path.
    QString folder() const;

    QComboBox* cmbDrive;
    QTreeView* lstFolder;
    QPushButton* OKButton;
    QPushButton* CancelButton;

private:
    void cmbDrive_Change(int index);
    void showFolder(const QString& path);

    std::vector<Place> m_places;
    QFileSystemModel* m_model;
    int m_shownPlace = -1;
};
