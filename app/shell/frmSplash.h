#pragma once
// The splash window shown while the program loads, with a status line that each
// loading step updates before it runs.

#include <QWidget>

class QLabel;

class frmSplash : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);

    // Sets the status line to status + "..." and repaints it at once: the loading steps
    // run on the UI thread without returning to the event loop in between.
    void ShowStatus(const QString& Status);
    QString status() const;

private:
    QLabel* m_lblStatus;
};
