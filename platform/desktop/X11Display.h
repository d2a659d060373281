#pragma once
// One client connection to an X server, opened on first use and closed with the object.
// By default it is the display the program's own windows live on: none when Qt runs
// offscreen or on a framebuffer, so a headless run never acts on someone's desktop.
// UI thread only.

#include <QByteArray>

typedef struct _XDisplay Display;

class X11Display {
public:
    // name: an X display name such as ":1"; empty for the program's own display.
    explicit X11Display(QByteArray name = {});
    ~X11Display();
    X11Display(const X11Display&) = delete;
    X11Display& operator=(const X11Display&) = delete;

    // The connection, or nullptr when there is none (said once in the log).
    Display* get();

private:
    QByteArray m_name;
    Display* m_display = nullptr;
    bool m_tried = false;
};
