#include "platform/desktop/QtTrayIcon.h"

QtTrayIcon::QtTrayIcon(QObject* parent) : QObject(parent) {}

QtTrayIcon::~QtTrayIcon() = default;

bool QtTrayIcon::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayIcon::setCallback(Callback callback)
{
    m_callback = std::move(callback);
}

bool QtTrayIcon::notify(int command, const NotifyIconData& data)
{
    switch (command) {
    case kAdd:
        if (m_icon)
            return false;   // one icon per id: adding twice is refused, as modify is the way
        m_icon = std::make_unique<QSystemTrayIcon>();
        connect(m_icon.get(), &QSystemTrayIcon::activated, this, &QtTrayIcon::onActivated);
        [[fallthrough]];
    case kModify:
        if (!m_icon)
            return false;
        m_callbackMessage = data.uCallbackMessage;
        m_icon->setIcon(data.hIcon);
        m_icon->setToolTip(data.szTip.left(63));
        m_icon->show();
        return true;
    case kDelete:
        if (!m_icon)
            return false;
        m_icon->hide();
        m_icon.reset();
        return true;
    default:
        return false;
    }
}

void QtTrayIcon::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (!m_callback)
        return;
    auto send = [this](uint32_t mouseMessage) { m_callback(m_callbackMessage, mouseMessage); };
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        send(kLeftButtonDown);
        send(kLeftButtonUp);
        break;
    case QSystemTrayIcon::DoubleClick:
        send(kLeftButtonDoubleClick);
        break;
    case QSystemTrayIcon::Context:
        send(kRightButtonDown);
        send(kRightButtonUp);
        break;
    case QSystemTrayIcon::MiddleClick:
        send(kMiddleButtonDown);
        break;
    case QSystemTrayIcon::Unknown:
        break;
    }
}
