#pragma once
// The one way anything makes the character speak, and its counterpart that silences it.
// UI thread only; both return at once (the character carries the requests out in order).

#include <QString>

class CharacterSpeech {
public:
    virtual ~CharacterSpeech() = default;
    virtual void SayAndPlay(const QString& message, const QString& animation, bool hide,
                            bool ignoreCharacterMode) = 0;
    virtual void StopAgent() = 0;
};
