#include "platform/desktop/X11WindowMessenger.h"

#include "platform/desktop/DesktopLog.h"
#include "platform/desktop/KeySender.h"
#include "platform/desktop/VirtualKeyTable.h"

#include <QApplication>
#include <QWidget>

// Xlib's macros (None, Bool, Status) clash with Qt's names: X headers come last.
#include "platform/desktop/X11ErrorTrap.h"
#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <vector>

namespace {

enum class Action { Ignore, Close, Minimize, Maximize, Restore };

constexpr long kNetWmStateRemove = 0;
constexpr long kNetWmStateAdd = 1;
constexpr long kSourcePager = 2;   // EWMH source indication: a tool acting for the user

Action actionFor(uint32_t message, int32_t wParam)
{
    if (message == WindowMessenger::kClose)
        return Action::Close;
    if (message != WindowMessenger::kSysCommand)
        return Action::Ignore;
    // The low four bits of a system command are the system's own.
    switch (wParam & 0xFFF0) {
    case WindowMessenger::kScClose: return Action::Close;
    case WindowMessenger::kScMinimize: return Action::Minimize;
    case WindowMessenger::kScMaximize: return Action::Maximize;
    case WindowMessenger::kScRestore: return Action::Restore;
    default: return Action::Ignore;
    }
}

// The items of a 32-bit window property (Xlib hands them over as longs).
std::vector<unsigned long> longProperty(Display* dpy, Window window, const char* name, Atom type)
{
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> items;
    if (XGetWindowProperty(dpy, window, XInternAtom(dpy, name, False), 0, 1024, False, type,
                           &actualType, &format, &count, &remaining, &data) == Success
        && data && format == 32) {
        const auto* values = reinterpret_cast<const unsigned long*>(data);
        items.assign(values, values + count);
    }
    if (data)
        XFree(data);
    return items;
}

Window activeWindow(Display* dpy)
{
    const auto active = longProperty(dpy, DefaultRootWindow(dpy), "_NET_ACTIVE_WINDOW", XA_WINDOW);
    return active.empty() ? None : active.front();
}

bool managerSupports(Display* dpy, const char* name)
{
    const auto supported = longProperty(dpy, DefaultRootWindow(dpy), "_NET_SUPPORTED", XA_ATOM);
    return std::find(supported.begin(), supported.end(), XInternAtom(dpy, name, False))
        != supported.end();
}

void sendClientMessage(Display* dpy, Window destination, long eventMask, Window window,
                       const char* type, std::initializer_list<long> data)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(dpy, type, False);
    event.xclient.format = 32;
    std::copy(data.begin(), data.end(), event.xclient.data.l);
    XSendEvent(dpy, destination, False, eventMask, &event);
}

// A request to the window manager (EWMH client messages go to the root window).
void sendToManager(Display* dpy, Window window, const char* type, std::initializer_list<long> data)
{
    sendClientMessage(dpy, DefaultRootWindow(dpy), SubstructureRedirectMask | SubstructureNotifyMask,
                      window, type, data);
}

bool acceptsDeleteWindow(Display* dpy, Window window)
{
    const Atom deleteWindow = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
    Atom* protocols = nullptr;
    int count = 0;
    if (!XGetWMProtocols(dpy, window, &protocols, &count))
        return false;
    const bool found = std::find(protocols, protocols + count, deleteWindow) != protocols + count;
    XFree(protocols);
    return found;
}

void requestClose(Display* dpy, Window window)
{
    if (managerSupports(dpy, "_NET_CLOSE_WINDOW")) {
        sendToManager(dpy, window, "_NET_CLOSE_WINDOW", {CurrentTime, kSourcePager});
    } else if (acceptsDeleteWindow(dpy, window)) {
        const long deleteWindow = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
        sendClientMessage(dpy, window, NoEventMask, window, "WM_PROTOCOLS", {deleteWindow, CurrentTime});
    } else {
        qCInfo(lcDesktop, "The active window 0x%lx cannot be asked to close", window);
    }
}

void setMaximized(Display* dpy, Window window, bool maximized)
{
    const long vertical = static_cast<long>(XInternAtom(dpy, "_NET_WM_STATE_MAXIMIZED_VERT", False));
    const long horizontal = static_cast<long>(XInternAtom(dpy, "_NET_WM_STATE_MAXIMIZED_HORZ", False));
    sendToManager(dpy, window, "_NET_WM_STATE",
                  {maximized ? kNetWmStateAdd : kNetWmStateRemove, vertical, horizontal, kSourcePager});
}

void deliverToX11(Display* dpy, Window window, Action action)
{
    X11ErrorTrap trap(dpy);   // the window may be gone by now
    switch (action) {
    case Action::Close: requestClose(dpy, window); break;
    case Action::Minimize: XIconifyWindow(dpy, window, DefaultScreen(dpy)); break;
    case Action::Maximize: setMaximized(dpy, window, true); break;
    case Action::Restore:
        setMaximized(dpy, window, false);
        XMapWindow(dpy, window);   // brings an iconified window back
        break;
    case Action::Ignore: break;
    }
}

QWidget* ownWidget(Window window)
{
    // Only on X11 are the program's window ids X window ids.
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    const auto widgets = QApplication::topLevelWidgets();
    const auto own = std::find_if(widgets.begin(), widgets.end(),
                                  [window](QWidget* widget) { return widget->internalWinId() == window; });
    return own == widgets.end() ? nullptr : *own;
}

void deliverToOwn(QWidget* widget, Action action)
{
    // Queued like a posted message: the caller finishes before the window acts, and
    // nothing happens if the window is gone by then.
    QMetaObject::invokeMethod(
        widget,
        [widget, action] {
            switch (action) {
            case Action::Close: widget->close(); break;
            case Action::Minimize: widget->showMinimized(); break;
            case Action::Maximize: widget->showMaximized(); break;
            case Action::Restore: widget->showNormal(); break;
            case Action::Ignore: break;
            }
        },
        Qt::QueuedConnection);
}

} // namespace

X11WindowMessenger::X11WindowMessenger(KeySender& keys, QByteArray displayName)
    : m_keys(keys), m_display(std::move(displayName))
{
}

void X11WindowMessenger::postToForeground(uint32_t message, int32_t wParam, int32_t lParam)
{
    switch (message) {
    case kSetSel:
        if (wParam == 0 && lParam == -1)
            pressChord(VirtualKeyTable::kControl, 'A');
        return;
    case kCut: pressChord(VirtualKeyTable::kControl, 'X'); return;
    case kCopy: pressChord(VirtualKeyTable::kControl, 'C'); return;
    case kPaste: pressChord(VirtualKeyTable::kControl, 'V'); return;
    case kClear: pressChord(0, VirtualKeyTable::kDelete); return;
    case kUndo: pressChord(VirtualKeyTable::kControl, 'Z'); return;
    default: break;
    }
    const Action action = actionFor(message, wParam);
    if (action == Action::Ignore)
        return;
    Display* dpy = m_display.get();
    if (!dpy)
        return;
    Window window = None;
    {
        X11ErrorTrap trap(dpy);
        window = activeWindow(dpy);
    }
    if (window == None)
        return;
    if (QWidget* own = ownWidget(window))
        deliverToOwn(own, action);
    else
        deliverToX11(dpy, window, action);
}

// Each key goes down and up as its own event, as the edit chords are typed by hand.
void X11WindowMessenger::pressChord(uint8_t modifier, uint8_t key)
{
    if (modifier)
        m_keys.keybdEvent(modifier, 0, 0);
    m_keys.keybdEvent(key, 0, 0);
    m_keys.keybdEvent(key, 0, KeySender::kKeyUp);
    if (modifier)
        m_keys.keybdEvent(modifier, 0, KeySender::kKeyUp);
}
