// Qt's own connection to the X server, shared by the X11 back ends (the hot key, the desktop's
// geometry, other programs' windows), and a scoped trap for the Xlib errors that a window closing
// under a request causes. Xlib and xcb headers stay out of this header: their macros clash with Qt.
#pragma once

struct _XDisplay;
struct xcb_connection_t;

namespace tw::platform {

struct X11Connection {
    _XDisplay* display = nullptr;
    xcb_connection_t* xcb = nullptr;
    explicit operator bool() const { return display != nullptr && xcb != nullptr; }
};

// Qt's display and xcb connection; both null unless Qt runs on its xcb platform with a display.
// Under offscreen Qt still offers its X11 interface, but without a display; on Wayland it has none.
X11Connection QtX11Connection();

// True when the program runs on an X11 display (also under XWayland).
inline bool X11Available() {
    return static_cast<bool>(QtX11Connection());
}

// While one lives, Xlib errors on display are swallowed instead of ending the program (Xlib's
// default handler exits): it syncs, installs a silent handler, and syncs again before restoring.
class X11ErrorTrap {
public:
    explicit X11ErrorTrap(_XDisplay* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

private:
    _XDisplay* m_display;
    void (*m_previous)() = nullptr; // the handler before, as Xlib's XErrorHandler
};

} // namespace tw::platform
