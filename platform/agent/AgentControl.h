#pragma once
// What the program asks of the animated character: a collection of loaded characters
// and, on each, sizing, a speech balloon and queued requests. Every request-issuing
// call returns at once; a character carries out its requests one after the other, in
// the order issued, on the user-interface thread. UI thread only.

#include "platform/common/Result.h"

#include <QString>
#include <QStringList>

#include <cstdint>

class AgentBalloon {
public:
    static constexpr int kBalloonOn = 1;   // bit of style(): the balloon is shown

    virtual ~AgentBalloon() = default;
    virtual int style() const = 0;
    virtual void setStyle(int style) = 0;
    virtual void setFontName(const QString& family) = 0;
    virtual void setFontSize(int points) = 0;
};

class AgentCharacter {
public:
    static constexpr int kLanguageEnglishUS = 1033;

    virtual ~AgentCharacter() = default;

    virtual void setLanguageID(int languageId) = 0;
    virtual int originalWidth() const = 0;    // design size, pixels
    virtual int originalHeight() const = 0;
    virtual int16_t width() const = 0;        // displayed size, pixels
    virtual int16_t height() const = 0;
    virtual void setWidth(int16_t pixels) = 0;
    virtual void setHeight(int16_t pixels) = 0;
    virtual AgentBalloon& balloon() = 0;
    virtual QStringList animationNames() const = 0;   // in the character file's order

    // Queued requests.
    virtual void moveTo(int16_t x, int16_t y) = 0;    // animated move of the top-left corner, screen pixels
    virtual void show(bool fast) = 0;                 // fast: without the "Show" animation
    virtual void hide(bool fast) = 0;                 // fast: without the "Hide" animation
    virtual Result<void> play(const QString& animation) = 0;   // error: no such animation
    virtual void speak(const QString& text) = 0;      // text may open with speech-output tags
    // Ends the request being carried out now, so the next one runs at once.
    virtual void stop() = 0;
};

// The Characters collection.
class AgentCharacters {
public:
    virtual ~AgentCharacters() = default;
    virtual Result<void> load(const QString& id, const QString& path) = 0;
    virtual Result<void> unload(const QString& id) = 0;     // error when nothing is loaded under id
    virtual AgentCharacter* item(const QString& id) = 0;    // nullptr when nothing is loaded under id
};
