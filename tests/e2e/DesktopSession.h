#pragma once
// A private X desktop for end-to-end tests: Xvfb with openbox, started before the
// QApplication so that the classes under test run with their defaults, as in the program.
// start() leaves failure set when a tool is missing or the desktop did not come up (the
// setup script installs the tools, so neither is a reason to skip); DISPLAY names it afterwards.

// gtest before Xlib, whose None macro would break it.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

constexpr int kWaitMs = 15000;

struct DesktopSession {
    QString failure;
    Display* display = nullptr;
    QProcess xvfb, openbox;
    QTemporaryDir home;

    void start()
    {
        for (const char* tool : {"Xvfb", "openbox"}) {
            if (QStandardPaths::findExecutable(tool).isEmpty())
                return void(failure = QLatin1String(tool) + " is not installed");
        }
        // Before the QApplication no event loop runs: block until Xvfb names a free display.
        xvfb.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        xvfb.start("Xvfb", {"-displayfd", "1", "-noreset", "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
        xvfb.waitForReadyRead(kWaitMs);
        const QByteArray name = ":" + xvfb.readAll().trimmed();
        if (name == ":" || !(display = XOpenDisplay(name.constData())))
            return void(failure = "Xvfb did not start");
        qputenv("DISPLAY", name);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));   // openbox's defaults
        // openbox drops windows mapped while it starts up; it runs --startup once ready.
        const QString ready = home.filePath("openbox-ready");
        openbox.start("openbox", {"--sm-disable", "--startup", QStringLiteral("touch '%1'").arg(ready)});
        if (!QTest::qWaitFor([&] { return QFile::exists(ready); }, kWaitMs))
            failure = "openbox did not start managing windows";
    }

    ~DesktopSession()
    {
        for (QProcess* process : {&openbox, &xvfb}) {
            process->kill();
            process->waitForFinished(kWaitMs);
        }
    }

    Atom atom(const char* name) const { return XInternAtom(display, name, False); }

    // The items of a 32-bit property of window (0: the root window).
    QList<unsigned long> property(const char* name, Atom type, Window window = 0) const
    {
        Atom actualType = 0;
        int format = 0;
        unsigned long count = 0, remaining = 0;
        unsigned long* data = nullptr;
        XGetWindowProperty(display, window ? window : DefaultRootWindow(display), atom(name), 0, 64, False, type,
                           &actualType, &format, &count, &remaining, reinterpret_cast<unsigned char**>(&data));
        const QList<unsigned long> items = data && format == 32 ? QList(data, data + count) : QList<unsigned long>();
        XFree(data);
        return items;
    }

    QList<unsigned long> clients() const { return property("_NET_CLIENT_LIST", XA_WINDOW); }

    // The managed window whose title is title; 0 when there is none.
    Window clientNamed(const char* title) const
    {
        for (unsigned long window : clients()) {
            char* name = nullptr;
            const bool found = XFetchName(display, window, &name) && name && qstrcmp(name, title) == 0;
            XFree(name);
            if (found)
                return window;
        }
        return 0;
    }

    // Activates window as a click would; true once it is active and has the keyboard focus.
    bool activate(Window window) const
    {
        XEvent event{};
        event.xclient = {ClientMessage, 0, False, display, window, atom("_NET_ACTIVE_WINDOW"), 32, {}};
        event.xclient.data.l[0] = 2;
        XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
        return QTest::qWaitFor([&] {
            Window focus = 0;
            int revertTo = 0;
            XGetInputFocus(display, &focus, &revertTo);
            return focus == window && property("_NET_ACTIVE_WINDOW", XA_WINDOW) == QList<unsigned long>{window};
        }, kWaitMs);
    }
};
