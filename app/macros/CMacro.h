#pragma once
// One macro: a phrase whose action pastes a stored text into the window in front, kept in
// a file of its own. The list of macros (MacroList) makes, registers and owns them.

#include "app/voice/VoiceCommandObject.h"

#include <QByteArray>
#include <QString>

#include <optional>

class CharacterSpeech;
class Clipboard;
class KeySender;

// What a macro reaches when it runs. Owned by the main window, which outlives the macros.
struct MacroContext {
    CharacterSpeech& speech;
    Clipboard& clipboard;
    KeySender& keys;
};

class CMacro : public VoiceCommandObject {
public:
    static constexpr uint8_t kShiftKey = 16;
    static constexpr uint8_t kInsertKey = 45;

    explicit CMacro(MacroContext& context) : m_context(context) {}

    QString m_Name;        // full path of the file; the macro's key
    QString m_Voice;       // the phrase
    QString m_Text;        // the text pasted; line breaks are "\n"
    QString m_Gesture;     // animation name; "None" for none
    QString m_WhatToSay;   // the character's sentence

    QString voice() const override { return m_Voice; }

    // The character says the sentence (and hides after it), the text goes on the clipboard
    // and the primary selection, and Shift+Insert pastes it into the window in front. The
    // text stays on the clipboard, so the user can paste it again.
    void Execute() override;

    // Reads the file: three whole lines (phrase, gesture, sentence), then the text, a
    // quoted field in which a doubled quote stands for one. True when all four were read;
    // on false the fields read before the failure keep what was read. UTF-8, or
    // Windows-1252 for files that are not valid UTF-8.
    bool LoadMacro(const QString& filename);

    // Replaces the file m_Name atomically (the old file stays whole until the new one is
    // complete); an unchanged file is not touched. False when it could not be written.
    bool Save() const;

    // Deletes the file m_Name; a failure changes nothing else.
    void Delete() const;

    // The file as Save writes it: four parts, CR LF line ends, UTF-8.
    QByteArray fileContents() const;
    // fileContents(), or nullopt when the file holds exactly that already.
    std::optional<QByteArray> unsavedContents() const;

private:
    MacroContext& m_context;
};
