#pragma once
// The Settings page of the main window: the preferences controls in a tab strip of their
// own. It fills itself from the settings and writes every change straight back into
// them; what a change does beyond storing (moving the character, demonstrating, handing
// the threshold to the recogniser) it asks for through its signals, which the main window
// binds to the character and the voice menus. Nothing here touches a file.

#include "app/common/MainWindowPage.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>

class CSettings;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTabWidget;

// What the page needs from outside the settings object.
struct SettingsPageServices {
    // The autostart entry: read when the page fills itself (nullopt leaves the box as it
    // is), written at shutdown.
    std::function<std::optional<bool>()> readAutoStart;
    std::function<void(bool enable)> writeAutoStart;
    // The message window: text, and whether the character reads it aloud.
    std::function<void(const QString& text, bool speak)> showMessage;
    QString applicationTitle;
};

class SettingsPage : public QWidget, public MainWindowPage {
    Q_OBJECT
public:
    static inline const QString kFallbackFont = QStringLiteral("MS Sans Serif");
    static constexpr int kMaxFonts = 21;

    SettingsPage(CSettings& settings, SettingsPageServices services, QWidget* parent = nullptr);

    QWidget* widget() override { return this; }
    QString caption() const override { return QStringLiteral(" Settings"); }
    // FillSettingsPage.
    void load() override;
    // Writes the autostart entry from its box.
    void save() override;

    // The balloon fonts: the first 21 of the system's fonts, in the order given.
    void FillFontList(const QStringList& systemFonts);
    // The character files; selection -1 leaves the current entry selected.
    void FillCharacterList(const QStringList& fileNames, int selection);
    // "None" and the character's animations.
    void FillGestureList(const QStringList& gestures, int selection);

    // Asks the user to restart for a changed Start list source to take effect.
    void ShowRestartNotice();

    QTabWidget* tabSettings;
    // General Settings
    QLineEdit* txtUserName;
    QCheckBox* chkAutoStart;
    QCheckBox* chkSayTime;
    QCheckBox* chkLoadSilence;
    QCheckBox* chkDesktopApplications;
    QCheckBox* chkLoadStartMenu;
    QCheckBox* chkLoadControlPanel;
    QCheckBox* chkStayOnTop;
    QComboBox* cboCharacterMode;
    // Welcome
    QComboBox* cboWelcomeGesture;
    QLineEdit* txtWelcomeMessage;
    QPushButton* cmdPreviewWelcome;
    QPushButton* cmdHide;
    // Character
    QComboBox* cboCharacter;
    QPushButton* cmdDownload;
    QLabel* lblCharacterMessage;
    QCheckBox* chkFast;
    QCheckBox* chkAlwaysShow;
    QComboBox* cboPosition;
    QComboBox* cboSize;
    QComboBox* cboVoiceCharacter;
    QCheckBox* chkShowBalloon;
    QComboBox* cboFontName;
    QComboBox* cboFontSize;
    // Voice Recognition
    QSlider* sldThreshold;
    QPushButton* cmdVRTraining;
    // Speech
    QSlider* sldSpeed;
    QSlider* sldPitch;
    QPushButton* cmdClipboard;

signals:
    // Emitted once loading is over: the change has been stored, the receiver applies and
    // demonstrates it.
    void characterPicked(const QString& fileName);
    void positionPicked(int index);
    void sizePicked(int index);
    void voicePicked(const QString& voice);
    void fontNamePicked(const QString& family);
    void fontSizePicked(int points);
    // Always emitted, while loading too.
    void balloonChanged();
    void showBalloonChanged(bool show);
    void characterModePicked(int mode);
    void stayOnTopChanged(bool topmost);
    void thresholdChanged(int value);
    // A Start list source box changed after loading; the setting is stored.
    void startListSourceChanged();
    // The buttons.
    void previewWelcomeClicked(const QString& message, const QString& gesture);
    void hideClicked();
    void clipboardClicked();
    void trainingClicked();
    void downloadClicked();

private:
    void connectControls();
    void cboCharacter_Click();
    void cboPosition_Click();
    void cboSize_Click();
    void cboVoiceCharacter_Click();
    void cboFontName_Click();
    void cboFontSize_Click();
    void cboWelcomeGesture_Click();
    void cboCharacterMode_Click();
    void chkShowBalloon_Click();
    void chkAlwaysShow_Click();
    void chkFast_Click();
    void chkSayTime_Click();
    void chkLoadSilence_Click();
    void chkStayOnTop_Click();
    void startListSource_Click(QCheckBox* box);
    void sldSpeed_Change();
    void sldPitch_Change();
    void sldThreshold_Change();

    CSettings& m_settings;
    SettingsPageServices m_services;
    // Set until load() has run: the main window is still filling its pages.
    bool m_loading = true;
};
