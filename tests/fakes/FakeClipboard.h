#pragma once
// The clipboard as one text; with a log, every setText is recorded there in order with
// the other fakes' actions.

#include "platform/desktop/Clipboard.h"

#include <QStringList>

struct FakeClipboard : Clipboard {
    FakeClipboard() = default;
    explicit FakeClipboard(QStringList& log) : log(&log) {}

    bool hasText() const override { return !content.isEmpty(); }
    QString text() const override { return content; }
    void setText(const QString& text) override
    {
        content = text;
        if (log)
            *log << QStringLiteral("clipboard ") + text;
    }

    QString content;
    QStringList* log = nullptr;
};
