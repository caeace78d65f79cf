// Creating and activating the test windows with Xlib.
#include "X11TestWindows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace tw::test {

namespace {

Display* D(void* p) {
    return static_cast<Display*>(p);
}

} // namespace

X11TestWindows::X11TestWindows() : m_display(XOpenDisplay(nullptr)) {}

X11TestWindows::~X11TestWindows() {
    if (m_display)
        XCloseDisplay(D(m_display));
}

std::uint64_t X11TestWindows::create(const std::string& title, int x, int y, std::uint64_t owner) {
    Display* d = D(m_display);
    if (!d)
        return 0;
    const int s = DefaultScreen(d);
    const Window w = XCreateSimpleWindow(d, RootWindow(d, s), x, y, 300, 120, 1, BlackPixel(d, s), WhitePixel(d, s));
    XSelectInput(d, w, StructureNotifyMask);
    XChangeProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), XInternAtom(d, "UTF8_STRING", False), 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(title.data()),
                    static_cast<int>(title.size()));
    XStoreName(d, w, title.c_str());
    if (owner)
        XSetTransientForHint(d, w, static_cast<Window>(owner));
    XMapWindow(d, w);
    XEvent e;
    do
        XWindowEvent(d, w, StructureNotifyMask, &e);
    while (e.type != MapNotify);
    XSync(d, False);
    return w;
}

void X11TestWindows::activate(std::uint64_t window) {
    Display* d = D(m_display);
    if (!d)
        return;
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = static_cast<Window>(window);
    e.xclient.message_type = XInternAtom(d, "_NET_ACTIVE_WINDOW", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = 2; // from a pager: the window manager obeys without focus-stealing checks
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XSync(d, False);
}

} // namespace tw::test
