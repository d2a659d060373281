#pragma once
// The About box.

#include <QDialog>

class frmCopyRight : public QDialog {
    Q_OBJECT
public:
    explicit frmCopyRight(QWidget* parent = nullptr);
};
