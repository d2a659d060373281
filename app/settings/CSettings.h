#pragma once
// The user's preferences for the whole run: loaded once from Vorlix.INI (and the
// welcome message from Welcome.txt) at start-up, saved once at shutdown. Every other
// subsystem reads and assigns the public fields directly.

#include "platform/common/Result.h"

#include <QString>
#include <QStringList>

#include <cstdint>

// Where the main window stands, in twips; LoadSettings needs it for the default of
// "Left", Save stores the window's position at the time of saving.
class WindowPlacement {
public:
    virtual ~WindowPlacement() = default;
    virtual int32_t screenWidthTwips() const = 0;
    virtual int32_t windowWidthTwips() const = 0;
    virtual int32_t windowLeftTwips() const = 0;
    virtual int32_t windowTopTwips() const = 0;
};

class CSettings {
public:
    // appPath: the program folder; the settings file is appPath/Vorlix.INI.
    explicit CSettings(const QString& appPath);

    // Returns a sentence for the user for each file that could not be read (empty when
    // all is well); such a file keeps the defaults and is left untouched by Save.
    QStringList LoadSettings(const WindowPlacement& mainWindow);
    // The settings file with one replacement, then Welcome.txt. The error names the file
    // that could not be written and says why.
    Result<void> Save(const WindowPlacement& mainWindow);

    QString settingsFile() const { return m_settingsFile; }
    QString welcomeFile() const;

    QString m_UserName;
    QString m_CharacterName = QStringLiteral("merlin.acs");
    int32_t m_CharacterSize = 2;
    QString m_WelcomeGesture = QStringLiteral("Greet");
    QString m_VoiceCharacter = QStringLiteral("Normal");
    int32_t m_VoiceSpeed = 180;
    int32_t m_VoicePitch = 50;
    int32_t m_Threshold = 50;
    QString m_FontName = QStringLiteral("MS Sans Serif");
    int32_t m_FontSize = 10;
    bool m_ShowBalloon = true;
    bool m_SayTime = false;
    QString m_WelcomeMessage;
    int32_t m_Position = 1;
    bool m_HideDisabled = false;
    bool m_StayOnTop = false;
    int32_t m_Top = 0;
    int32_t m_Left = 0;
    bool m_Hide = true;
    bool m_Fast = true;
    bool m_ActiveMode = true;     // not stored: listening now
    int16_t m_LoadSilence = 0;
    int16_t m_LoadControlPanel = 0;
    int16_t m_LoadDesktop = 1;
    int16_t m_LoadStartMenu = 0;
    int32_t m_CharacterMode = 0;  // 0 visible and talks, 1 talks and hidden, 2 hidden and silent

private:
    bool m_settingsUnreadable = false;
    bool m_welcomeUnreadable = false;
    QString m_appPath;
    QString m_settingsFile;
};
