// The end-to-end test's X client. "--out FILE words...": writes its arguments to FILE, one
// a line. "--keys FILE": shows a window and keeps in FILE a line per key press (unshifted
// keysym, " shift", " control") and "closed" when asked to close, then exits. FILE is
// replaced whole (written aside, then renamed), so a reader never sees half of it.

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstring>
#include <string>

static bool replaceFile(const std::string& path, const std::string& text)
{
    const std::string aside = path + ".part";
    FILE* file = std::fopen(aside.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written && std::rename(aside.c_str(), path.c_str()) == 0;
}

static int recordKeys(const std::string& path)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 2;
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 50, 50, 320, 200, 1, 0, 0);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &deleteWindow, 1);
    XSelectInput(display, window, KeyPressMask);
    XMapWindow(display, window);
    std::string log;
    for (XEvent event; replaceFile(path, log);) {
        XNextEvent(display, &event);
        if (event.type == ClientMessage && static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow)
            return replaceFile(path, log + "closed\n") ? 0 : 1;
        if (event.type == KeyPress) {
            const char* name = XKeysymToString(XLookupKeysym(&event.xkey, 0));
            log += std::string(name ? name : "unknown") + (event.xkey.state & ShiftMask ? " shift" : "")
                + (event.xkey.state & ControlMask ? " control" : "") + "\n";
        }
    }
    return 1;
}

int main(int argc, char** argv)
{
    std::string arguments;
    for (int i = 1; i < argc; ++i)
        arguments += std::string(argv[i]) + "\n";
    if (argc == 3 && std::strcmp(argv[1], "--keys") == 0)
        return recordKeys(argv[2]);
    return argc > 2 && std::strcmp(argv[1], "--out") == 0 && replaceFile(argv[2], arguments) ? 0 : 1;
}
