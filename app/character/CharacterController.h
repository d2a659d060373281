#pragma once
// Finds, loads, sizes and places the one character, and makes it speak. Holds no
// widgets: the main window fills its combo boxes from the plain lists given here and
// forwards its buttons, change handlers and minute timer. UI thread only.

#include "app/character/CharacterSpeech.h"

#include <QDateTime>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class AgentCharacter;
class AgentCharacters;
class CSettings;
class Clipboard;
class ScreenMetrics;

class CharacterController : public CharacterSpeech {
public:
    // The message window: text, and whether the character reads it aloud.
    using MessageSink = std::function<void(const QString& text, bool speak)>;

    struct CharacterList {
        QStringList fileNames;   // character files, in the folder's listing order
        int selection = -1;      // entry naming m_CharacterName; -1: leave the selection as it is
    };

    // The same entries go into the welcome, command and macro gesture lists.
    struct GestureLists {
        QStringList entries;     // "None", then the character's animations
        int welcomeSelection = 0;
    };

    static inline const QString kCharacterId = QStringLiteral("VorlixAgent");
    static inline const QString kFallbackCharacter = QStringLiteral("merlin.acs");
    static inline const QString kNoGesture = QStringLiteral("None");

    CharacterController(AgentCharacters& agent, CSettings& settings, const ScreenMetrics& screen,
                        Clipboard& clipboard, MessageSink showMessage, QString applicationTitle);

    // The only folder searched for character files.
    QString CharsPath() const { return m_charsPath; }

    CharacterList FillCharacterList() const;

    // Loads m_CharacterName (or the first character file when it is missing) hidden;
    // false after telling the user why nothing could be loaded.
    bool InitCharacter();
    void SetCharacterSize();
    void SetBalloon();
    void SetAgentPos(bool ignoreCharacterMode);
    void FillMainGestureLists();

    const GestureLists& gestureLists() const { return m_gestureLists; }
    // Called whenever the gesture lists are refilled, so the views can follow.
    void setGestureListsChanged(std::function<void(const GestureLists&)> listener);

    void SayAndPlay(const QString& message, const QString& animation, bool hide,
                    bool ignoreCharacterMode) override;
    void StopAgent() override;
    void ReadWindowAloud(const QString& text, const QRect& window) override;

    // Where a character of this size stands to read the window: to its right or left, far
    // enough that a balloon of balloonWidth centred over it stays clear of the window.
    static QPoint placeBeside(const QRect& window, QSize character, int balloonWidth, QSize screen);

    void SayWelcome();
    void previewWelcome(const QString& welcomeBoxText, const QString& gesture);
    // The main window's 60000 ms timer: announces the hour once, in its first minute.
    void onMinuteTick(const QDateTime& now);
    void ReadClipboard();

    // Settings page changes: each stores the field, applies it and, where the page
    // demonstrates it, says its sentence. Loading is the caller's flag: while it is set
    // the page skips the character change, only stores size, position and voice, and
    // stores the font and calls SetBalloon; the balloon switch and the mode always run.
    void changeCharacter(const QString& pickedFileName);   // empty: nothing selected
    void changeSize(int index);
    void changePosition(int index);
    void changeVoiceCharacter(const QString& voice);
    void changeFontName(const QString& family);
    void changeFontSize(int points);
    void changeShowBalloon(bool show);
    void changeCharacterMode(int mode);

private:
    AgentCharacter* character() const;
    int characterMode() const;
    QString speechText(const QString& message) const;
    void demonstrate(const QString& sentence);
    void sayAndPlayAt(const std::optional<QPoint>& place, const QString& message, const QString& animation,
                      bool hide, bool ignoreCharacterMode);

    AgentCharacters& m_agent;
    CSettings& m_settings;
    const ScreenMetrics& m_screen;
    Clipboard& m_clipboard;
    MessageSink m_showMessage;
    QString m_applicationTitle;
    QString m_charsPath;
    GestureLists m_gestureLists;
    std::function<void(const GestureLists&)> m_gestureListsChanged;
    QDateTime m_lastAnnouncedHour;
};
