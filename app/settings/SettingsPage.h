#pragma once
// The Settings page of the main window: the preferences controls, grouped in their own
// tab strip. A thin view: the main window fills the controls from the settings and
// connects their change signals; the page holds no state of its own.

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSlider;
class QTabWidget;

class SettingsPage : public QWidget {
    Q_OBJECT
public:
    explicit SettingsPage(QWidget* parent = nullptr);

    QTabWidget* tabSettings;
    // General Settings
    QLineEdit* txtUserName;
    QCheckBox* chkAutoStart;
    QCheckBox* chkStayOnTop;
    // Welcome
    QComboBox* cboWelcomeGesture;
    QLineEdit* txtWelcomeMessage;
    QPushButton* cmdPreviewWelcome;
    QPushButton* cmdHide;
    // Character
    QComboBox* cboCharacter;
    QPushButton* cmdDownload;
    QComboBox* cboPosition;
    QComboBox* cboSize;
    // Voice Recognition
    QSlider* sldThreshold;
    QPushButton* cmdVRTraining;
    // Speech
    QPushButton* cmdClipboard;
};
