#pragma once
// What the voice menus need of anything that can be said: its phrase and its action.
// CVoiceCommand and the macros implement it; the lists that make the objects own them.

#include <QString>

class VoiceCommandObject {
public:
    virtual ~VoiceCommandObject() = default;

    // The phrase (m_Voice) exactly as stored, blanks included.
    virtual QString voice() const = 0;
    // Runs the command; UI thread only.
    virtual void Execute() = 0;
};
