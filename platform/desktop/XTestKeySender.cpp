#include "platform/desktop/XTestKeySender.h"

#include "platform/desktop/DesktopLog.h"
#include "platform/desktop/VirtualKeyTable.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

XTestKeySender::XTestKeySender(QByteArray displayName) : m_display(std::move(displayName)) {}

Display* XTestKeySender::display()
{
    Display* dpy = m_display.get();
    if (!dpy || m_checkedExtension)
        return m_hasExtension ? dpy : nullptr;
    m_checkedExtension = true;
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    m_hasExtension = XTestQueryExtension(dpy, &eventBase, &errorBase, &major, &minor);
    if (!m_hasExtension)
        qCWarning(lcDesktop, "The X server has no XTest extension: key presses are ignored");
    return m_hasExtension ? dpy : nullptr;
}

void XTestKeySender::keybdEvent(uint8_t virtualKey, uint8_t /*scanCode*/, uint32_t flags)
{
    const KeySym sym = VirtualKeyTable::keysym(virtualKey);
    if (sym == NoSymbol)
        return;
    Display* dpy = display();
    if (!dpy)
        return;
    const KeyCode code = XKeysymToKeycode(dpy, sym);
    if (code == 0) {
        if (!m_loggedMissingKey[virtualKey]) {
            m_loggedMissingKey[virtualKey] = true;
            qCInfo(lcDesktop, "No key of this keyboard gives %s (virtual key %d): ignored",
                   XKeysymToString(sym), virtualKey);
        }
        return;
    }
    XTestFakeKeyEvent(dpy, code, (flags & kKeyUp) ? False : True, CurrentTime);
    XFlush(dpy);
}

int16_t XTestKeySender::vkKeyScan(char ch)
{
    return VirtualKeyTable::keyForCharacter(ch);
}
