#pragma once
// The document dialog, which in its web-site mode edits a web address instead (no
// Browse there). Documents and addresses are taken as typed, without a check.

#include "app/lists/EntryDialog.h"

class frmAddDoc : public EntryDialog {
    Q_OBJECT
public:
    explicit frmAddDoc(const Services& services, QWidget* parent = nullptr);

    // True: document mode; False: web-site mode (title, label and Browse follow).
    void setIsDocument(bool isDocument);
    void setEditing();

    QLabel* LabelDocPath;

private:
    int32_t commandType() const override;
    QStringList browseFilters() const override;

    bool m_isDocument = true;
};
