#include "app/shell/NotifyIcon.h"

NotifyIcon::NotifyIcon(TrayIconBackend& backend, quintptr ownerWindow, const QIcon& icon, const QString& tip)
    : m_backend(backend)
{
    m_record.hWnd = ownerWindow;
    m_record.hIcon = icon;
    m_record.szTip = tip.left(63);
}

void NotifyIcon::setTip(const QString& tip)
{
    m_record.szTip = tip.left(63);
    if (m_iconShown)
        ShowTrayIcon(true);
}

void NotifyIcon::ShowTrayIcon(bool showIcon)
{
    if (showIcon) {
        m_record.cbSize = 88;
        m_record.uID = 1;
        m_record.uFlags = 7;
        m_record.uCallbackMessage = 512;
        m_backend.notify(m_iconShown ? TrayIconBackend::kModify : TrayIconBackend::kAdd, m_record);
        m_iconShown = true;
        return;
    }
    if (m_iconShown) {
        NotifyIconData removal;
        removal.hWnd = m_record.hWnd;
        removal.uID = 1;
        m_backend.notify(TrayIconBackend::kDelete, removal);
    }
    m_iconShown = false;
}
