#include "xkeys.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

long PidOf(Display* display, Window window)
{
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", True);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (pidAtom == None
        || XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data)
               != Success
        || !data)
        return -1;
    const long pid = count == 1 ? static_cast<long>(*reinterpret_cast<unsigned long*>(data)) : -1;
    XFree(data);
    return pid;
}

QString TitleOf(Display* display, Window window)
{
    char* name = nullptr;
    if (!XFetchName(display, window, &name) || !name)
        return QString();
    const QString title = QString::fromUtf8(name);
    XFree(name);
    return title;
}

bool Shown(Display* display, Window window)
{
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

// Keys a file path needs that have no one-character X name.
const char* KeyNameOf(QChar c)
{
    switch (c.unicode()) {
    case '/': return "slash";
    case '.': return "period";
    case '-': return "minus";
    case '_': return "underscore";
    case ' ': return "space";
    default: return nullptr;
    }
}

} // namespace

XKeys::XKeys() : m_display(XOpenDisplay(nullptr)) {}

XKeys::~XKeys()
{
    if (m_display)
        XCloseDisplay(m_display);
}

unsigned long XKeys::FindWindow(pid_t pid, const QString& title) const
{
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(m_display, DefaultRootWindow(m_display), &root, &parent, &children, &count))
        return 0;
    unsigned long found = 0;
    for (unsigned int i = 0; i < count && !found; ++i)
        if (PidOf(m_display, children[i]) == pid && Shown(m_display, children[i])
            && TitleOf(m_display, children[i]).contains(title))
            found = children[i];
    XFree(children);
    return found;
}

void XKeys::Focus(unsigned long window)
{
    XSetInputFocus(m_display, window, RevertToParent, CurrentTime);
    XSync(m_display, False);
}

void XKeys::Send(unsigned keycode, unsigned state)
{
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(m_display, &focus, &revert);
    XKeyEvent event{};
    event.display = m_display;
    event.window = focus;
    event.root = DefaultRootWindow(m_display);
    event.subwindow = None;
    event.time = CurrentTime;
    event.same_screen = True;
    event.keycode = keycode;
    event.state = state;
    event.type = KeyPress;
    XSendEvent(m_display, focus, True, KeyPressMask, reinterpret_cast<XEvent*>(&event));
    event.type = KeyRelease;
    XSendEvent(m_display, focus, True, KeyReleaseMask, reinterpret_cast<XEvent*>(&event));
    XSync(m_display, False);
}

void XKeys::Press(const char* keyName, bool control)
{
    const KeySym sym = XStringToKeysym(keyName);
    const KeyCode code = XKeysymToKeycode(m_display, sym);
    const bool shifted = XkbKeycodeToKeysym(m_display, code, 0, 0) != sym;
    Send(code, (control ? ControlMask : 0) | (shifted ? ShiftMask : 0));
}

void XKeys::Type(const QString& text)
{
    for (QChar c : text) {
        const char* name = KeyNameOf(c);
        const QByteArray own = QString(c).toLatin1();
        Press(name ? name : own.constData());
    }
}
