#pragma once
// The program's icon in the notification area: keeps the icon record and whether the
// icon is shown, and turns show/hide requests into add, modify or delete commands.

#include "platform/desktop/TrayIconBackend.h"

class NotifyIcon {
public:
    NotifyIcon(TrayIconBackend& backend, quintptr ownerWindow, const QIcon& icon, const QString& tip);

    void ShowTrayIcon(bool showIcon);
    bool IconShown() const { return m_iconShown; }
    // A new tooltip, shown at once when the icon is.
    void setTip(const QString& tip);

private:
    TrayIconBackend& m_backend;
    NotifyIconData m_record;
    bool m_iconShown = false;
};
