#pragma once
// The desktop clipboard through QClipboard. UI thread only.

#include "platform/desktop/Clipboard.h"

class QtClipboard : public Clipboard {
public:
    bool hasText() const override;
    QString text() const override;
    void setText(const QString& text) override;
};
