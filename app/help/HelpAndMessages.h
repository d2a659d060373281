#pragma once
// Help and messages: the six page help texts read from "VORLIXHelp.dat", the help and
// message windows shown modally with listening switched off, the remembered "don't show
// again" choices, and the maker's web pages. The windows themselves are frmHelpMessage
// and frmMessage; showing them over the main window is left to the ModalHost.

#include "app/help/MessageWindows.h"

#include <QString>

class CharacterSpeech;
class ModalHost;
class ShellLauncher;
class VoiceMenuControl;

struct HelpTexts {
    QString Overview;
    QString Start;
    QString Programs;
    QString Documents;
    QString WebSites;
    QString Macros;
};

class HelpAndMessages : public MessageWindows {
public:
    static constexpr auto kCharacterDownloadPage = "https://vorlix.org/characters";
    static constexpr auto kDefaultSupportPage = "https://vorlix.org/support";

    // appPath: the program folder, without a trailing "/".
    HelpAndMessages(QString appPath, CharacterSpeech& speech, VoiceMenuControl& menus, ModalHost& modalHost,
                    ShellLauncher& shell);

    // Reads the six texts of "VORLIXHelp.dat" in topic order. A missing or short file
    // leaves the texts it does not reach empty; nothing is reported.
    void LoadHelpTexts();
    const HelpTexts& helpTexts() const { return m_texts; }

    bool IsMessageHidden(const QString& messageId) const;

    void ShowHelpMessage(const QString& text, const QString& messageId, bool dontShowFlag) override;
    void ShowMessage(const QString& text, bool speak) override;
    void ShowPageHelp(HelpTopic topic) override;

    // The texts the program's own callers show.
    void ShowFirstRunHelp();      // first activation: the overview, unless suppressed
    void ShowTrainingNotice();    // first run: announces the voice training that follows
    void ShowTrayHint();          // the "&Tray" button, before it hides the main window
    void ShowRestartNotice() override;
    // The first time nothing can be heard: what to do about it. Shown once per user.
    void ShowMicrophoneNotice(const QString& problem);

    // The web page buttons, opened maximised. supportPage is the address read at start-up;
    // a blank one falls back to kDefaultSupportPage.
    void openDownloadPage();
    void openSupportPage(const QString& supportPage);

private:
    QString m_appPath;
    CharacterSpeech& m_speech;
    VoiceMenuControl& m_menus;
    ModalHost& m_modalHost;
    ShellLauncher& m_shell;
    HelpTexts m_texts;
};
