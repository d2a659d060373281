#pragma once
// The one recogniser menu and everything that goes in and out of it: registering and
// unregistering command objects (menu entry plus CommandRegistry entry), the listening
// state with the listening button's caption, the four program-control commands, the
// recognition threshold, training, and dispatch of every heard phrase. UI thread only.
// The widgets stay with the main window; it forwards their events here and shows
// activateCaption().

#include "app/voice/CommandRegistry.h"
#include "app/voice/VoiceMenuControl.h"
#include "platform/common/Result.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class CSettings;
class CVoiceCommand;
class QWidget;
class VoiceCommandControl;
class VoiceCommandObject;
struct CommandContext;

class VoiceMenus : public QObject, public VoiceMenuControl {
    Q_OBJECT
public:
    // Connects the recogniser's phraseRecognized to VR1_PhraseRecognized. Both references
    // must outlive this object.
    VoiceMenus(VoiceCommandControl& recogniser, CSettings& settings, QObject* parent = nullptr);
    ~VoiceMenus() override;

    // Creates the main menu. On failure the error's message is the full text for the
    // critical message box; start-up goes on and phrases still reach CommandRegistry.
    Result<void> CreateVoiceMenu();
    void ReleaseVoiceMenu();
    int32_t VoiceMenu() const { return m_voiceMenu; }

    // The end of start-up and the close of a modal dialog: the main menu is heard while
    // m_ActiveMode is set, otherwise only "Listen".
    void ActivateMenus() override;
    // A modal dialog opens: nothing is heard until ActivateMenus.
    void DeactivateMenus() override;
    // Sets the listening state and the caption. Not listening, the recogniser hears
    // "Listen" alone, so that ordinary speech cannot fire anything else.
    void Activate(bool active);
    // For `vorlix --status`: "yes", "no" (switched off) or "no microphone" (switched on,
    // but the audio input fails).
    QString listeningStatus() const;
    // Heard phrases may fire now (no modal dialog open, start-up over).
    bool isHearing() const;

    // A phrase handed over by `vorlix --say`: it runs exactly when the same phrase heard
    // would run. The answer is for the client (RemoteSay).
    QString sayPhrase(const QString& phrase);

    // "Listen", "Stop Listening", "Show" and "Hide", registered in that order.
    void AddSystemCommands(CommandContext& context);
    const std::vector<std::unique_ptr<CVoiceCommand>>& SystemCommands() const { return m_systemCommands; }

    // A blank phrase is never registered; the last object registered under a phrase
    // holds it, in the registry and in the menu. The registry keeps a pointer: an object
    // must be unregistered before its owner destroys it.
    void RegisterCommand(VoiceCommandObject& object);
    // Takes this very object out, with the menu entry it was registered with (even when
    // its phrase changed since); an object that is not registered changes nothing.
    void UnregisterCommand(VoiceCommandObject& object);

    bool CommandExists(const QString& command) const { return m_registry.contains(command); }
    VoiceCommandObject* GetVCCommand(const QString& command) const { return m_registry.find(command); }
    const CommandRegistry& commandRegistry() const { return m_registry; }

    // The main window's Loading flag: set from its load until the tab commands are in.
    void setLoading(bool loading) { m_loading = loading; }
    bool isLoading() const { return m_loading; }

    // Caption of cmdActivate: the action its next click performs.
    QString activateCaption() const { return m_activateCaption; }

    // cmdTrain and cmdVRTraining.
    void ShowTraining(QWidget* owner);

    // Handlers the main window and the Settings page connect their controls to.
    void cmdActivate_Click();
    void sldThreshold_Change(int value);   // 0..100, 100 the strictest
    void VR1_PhraseRecognized(int32_t value1, const QString& text2, int32_t value3, const QString& text4,
                              int32_t value5, const QString& text6, const QString& command);

signals:
    void activateCaptionChanged(const QString& caption);
    // The listening state or the audio input changed.
    void listeningStateChanged();

private:
    void AddSystemCommand(const QString& phrase, const QString& sentence, CommandContext& context);
    void AddToVoiceMenu(VoiceCommandObject& object, const QString& phrase);
    void RemovePhrase(const QString& phrase, int32_t menu);
    void RemoveFromVoiceMenu(const QString& voice);
    void setActivateCaption(bool active);
    void applyListening();

    VoiceCommandControl& m_recogniser;
    CSettings& m_settings;
    int32_t m_voiceMenu = 0;
    int32_t m_listenMenu = 0;   // "Listen" alone, active while not listening
    bool m_suspended = true;    // until the end of start-up, and while a modal dialog is open
    QString m_ran;              // the command text of the phrase that ran last
    bool m_loading = true;
    QString m_activateCaption = QStringLiteral("Stop Listening");
    CommandRegistry m_registry;
    std::vector<std::unique_ptr<CVoiceCommand>> m_systemCommands;
};
