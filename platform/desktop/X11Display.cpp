#include "platform/desktop/X11Display.h"

#include "platform/desktop/DesktopLog.h"

#include <QGuiApplication>

#include <X11/Xlib.h>

namespace {

// Qt on X11 or on Wayland (where XWayland may serve X clients); anything else has no
// windows on a real display.
bool applicationUsesX11()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland"));
}

} // namespace

X11Display::X11Display(QByteArray name) : m_name(std::move(name)) {}

X11Display::~X11Display()
{
    if (m_display)
        XCloseDisplay(m_display);
}

Display* X11Display::get()
{
    if (m_tried)
        return m_display;
    m_tried = true;
    if (m_name.isEmpty() && !applicationUsesX11()) {
        qCInfo(lcDesktop, "No X11 display on the \"%s\" platform: key presses and window "
                          "actions are ignored", qPrintable(QGuiApplication::platformName()));
        return nullptr;
    }
    m_display = XOpenDisplay(m_name.isEmpty() ? nullptr : m_name.constData());
    if (!m_display)
        qCWarning(lcDesktop, "Cannot open the X11 display \"%s\": key presses and window "
                             "actions are ignored",
                  m_name.isEmpty() ? qgetenv("DISPLAY").constData() : m_name.constData());
    return m_display;
}
