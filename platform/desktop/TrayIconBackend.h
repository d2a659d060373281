#pragma once
// The notification-area icon, driven by add / modify / delete commands with a record,
// as the program's icon logic expects. Mouse activity on the icon comes back as the
// mouse message numbers 513-518 (left down/up/double-click, right down/up/double-click).

#include <QIcon>
#include <QString>

#include <cstdint>
#include <functional>

struct NotifyIconData {
    uint32_t cbSize = 88;
    quintptr hWnd = 0;
    uint32_t uID = 1;
    uint32_t uFlags = 7;              // callback message, icon and tip are valid
    uint32_t uCallbackMessage = 512;
    QIcon hIcon;
    QString szTip;                    // at most 63 characters are shown
};

class TrayIconBackend {
public:
    static constexpr int kAdd = 0;     // NIM_ADD
    static constexpr int kModify = 1;  // NIM_MODIFY
    static constexpr int kDelete = 2;  // NIM_DELETE

    static constexpr uint32_t kLeftButtonDown = 513;
    static constexpr uint32_t kLeftButtonUp = 514;
    static constexpr uint32_t kLeftButtonDoubleClick = 515;
    static constexpr uint32_t kRightButtonDown = 516;
    static constexpr uint32_t kRightButtonUp = 517;
    static constexpr uint32_t kMiddleButtonDown = 519;

    // Receives (callback message, mouse message) on the UI thread.
    using Callback = std::function<void(uint32_t message, uint32_t mouseMessage)>;

    virtual ~TrayIconBackend() = default;
    virtual bool notify(int command, const NotifyIconData& data) = 0;
    virtual void setCallback(Callback callback) = 0;
    // Whether the desktop has a notification area to show the icon in.
    virtual bool isAvailable() const = 0;
};
