#pragma once
// The message and help windows as a fake: every window shown is one line of shown.

#include "app/help/MessageWindows.h"

#include <QStringList>

struct FakeMessageWindows : MessageWindows {
    QStringList shown;
    void ShowHelpMessage(const QString& text, const QString& messageId, bool dontShowFlag) override
    {
        shown << QStringLiteral("help %1|%2|%3").arg(text, messageId).arg(dontShowFlag);
    }
    void ShowMessage(const QString& text, bool speak) override { shown << QStringLiteral("message %1|%2").arg(text).arg(speak); }
    void ShowPageHelp(HelpTopic topic) override { shown << QStringLiteral("page help %1").arg(static_cast<int>(topic)); }
    void ShowRestartNotice() override { shown << QStringLiteral("restart notice"); }
};
