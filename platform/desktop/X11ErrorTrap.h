#pragma once
// While it lives, X errors (a window that went away between two requests) are dropped
// instead of ending the process, as Xlib's default handler would. It waits for the
// replies of the requests made in its lifetime before it goes. For .cpp files only.

#include <X11/Xlib.h>

class X11ErrorTrap {
public:
    explicit X11ErrorTrap(Display* display)
        : m_display(display), m_previous(XSetErrorHandler(&X11ErrorTrap::ignore))
    {
    }
    ~X11ErrorTrap()
    {
        XSync(m_display, False);
        XSetErrorHandler(m_previous);
    }
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

private:
    static int ignore(Display*, XErrorEvent*) { return 0; }

    Display* m_display;
    XErrorHandler m_previous;
};
