#pragma once
// The desktop clipboard. UI thread only.

#include <QString>

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual bool hasText() const = 0;           // false for an empty or image-only clipboard
    virtual QString text() const = 0;
    // Sets the clipboard and the primary selection, so every toolkit can paste it.
    virtual void setText(const QString& text) = 0;
};
