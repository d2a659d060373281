// A small X client for the end-to-end tests of the desktop actions.
//   vorlix_probe_window [--out FILE] [--keys FILE] [--title TITLE] [words...]
// --out FILE: writes every argument it got, one a line, to FILE.
// --keys FILE: shows a window titled TITLE and keeps in FILE one line per key press
//   (the key's unshifted keysym, then "shift", "control" or "alt" when held) and the
//   line "closed" when the window manager asks it to close, after which it exits.
// Files are replaced whole (written aside, then renamed), so a reader never sees half.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

bool replaceFile(const std::string& path, const std::string& text)
{
    const std::string aside = path + ".part";
    FILE* file = std::fopen(aside.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written && std::rename(aside.c_str(), path.c_str()) == 0;
}

std::string describeKey(XKeyEvent& event)
{
    const KeySym sym = XLookupKeysym(&event, 0);
    const char* name = XKeysymToString(sym);
    std::string line = name ? name : "unknown";
    if (event.state & ShiftMask)
        line += " shift";
    if (event.state & ControlMask)
        line += " control";
    if (event.state & Mod1Mask)
        line += " alt";
    return line;
}

int recordKeys(const std::string& path, const std::string& title)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "vorlix_probe_window: no X display\n");
        return 2;
    }
    const int screen = DefaultScreen(display);
    const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 50, 50, 320, 200,
                                              1, BlackPixel(display, screen), WhitePixel(display, screen));
    XStoreName(display, window, title.c_str());
    const long pid = getpid();
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &deleteWindow, 1);
    XSelectInput(display, window, KeyPressMask);
    XMapWindow(display, window);
    XFlush(display);

    std::string log;
    replaceFile(path, log);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == KeyPress) {
            log += describeKey(event.xkey) + "\n";
            replaceFile(path, log);
        } else if (event.type == ClientMessage
                   && static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow) {
            log += "closed\n";
            replaceFile(path, log);
            XCloseDisplay(display);
            return 0;
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    std::string out, keys, title = "probe";
    std::string arguments;
    for (int i = 1; i < argc; ++i) {
        arguments += argv[i];
        arguments += "\n";
        const bool hasValue = i + 1 < argc;
        if (hasValue && std::strcmp(argv[i], "--out") == 0)
            out = argv[i + 1];
        else if (hasValue && std::strcmp(argv[i], "--keys") == 0)
            keys = argv[i + 1];
        else if (hasValue && std::strcmp(argv[i], "--title") == 0)
            title = argv[i + 1];
    }
    if (!out.empty() && !replaceFile(out, arguments)) {
        std::fprintf(stderr, "vorlix_probe_window: cannot write %s\n", out.c_str());
        return 1;
    }
    return keys.empty() ? 0 : recordKeys(keys, title);
}
