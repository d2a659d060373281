#pragma once
// TrayIconBackend over QSystemTrayIcon (StatusNotifierItem or the XEmbed tray).

#include "platform/desktop/TrayIconBackend.h"

#include <QObject>
#include <QSystemTrayIcon>

#include <memory>

class QtTrayIcon : public QObject, public TrayIconBackend {
    Q_OBJECT
public:
    explicit QtTrayIcon(QObject* parent = nullptr);
    ~QtTrayIcon() override;

    bool notify(int command, const NotifyIconData& data) override;
    void setCallback(Callback callback) override;
    bool isAvailable() const override;

private:
    void onActivated(QSystemTrayIcon::ActivationReason reason);

    std::unique_ptr<QSystemTrayIcon> m_icon;
    uint32_t m_callbackMessage = 0;
    Callback m_callback;
};
