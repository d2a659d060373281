#pragma once
// The message and help windows as lines of a log: "message TEXT|SPEAK", "help TOPIC", "restart notice".

#include "app/help/MessageWindows.h"

#include <QStringList>

struct FakeMessageWindows : MessageWindows {
    QStringList shown;
    void ShowHelpMessage(const QString& text, const QString& messageId, bool) override
    {
        shown << QStringLiteral("help %1|%2").arg(messageId, text);
    }
    void ShowMessage(const QString& text, bool speak) override
    {
        shown << QStringLiteral("message %1|%2").arg(text).arg(speak);
    }
    void ShowPageHelp(HelpTopic topic) override { shown << QStringLiteral("page help %1").arg(int(topic)); }
    void ShowRestartNotice() override { shown << QStringLiteral("restart notice"); }
};
