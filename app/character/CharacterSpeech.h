#pragma once
// The one way anything makes the character speak, and its counterpart that silences it.
// UI thread only; both return at once (the character carries the requests out in order).

#include <QRect>
#include <QString>

class CharacterSpeech {
public:
    virtual ~CharacterSpeech() = default;
    virtual void SayAndPlay(const QString& message, const QString& animation, bool hide,
                            bool ignoreCharacterMode) = 0;
    virtual void StopAgent() = 0;
    // Reads a window's text aloud, standing beside that window (frame in screen pixels)
    // so that neither the character nor its balloon covers what is being read.
    virtual void ReadWindowAloud(const QString& text, const QRect& window) = 0;
};
