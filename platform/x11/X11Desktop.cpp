// The panel that holds the notification area and the work area, on X11. Xlib stays in this file:
// its macros (None, Bool, Status) clash with Qt's headers.
#include "platform/x11/X11Desktop.h"

#include "platform/x11/X11Connection.h"

#include <QGuiApplication>
#include <QScreen>
#include <string>
#include <vector>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <xcb/xcb.h>

namespace tw::platform {

namespace {

// The items of a 32-bit window or atom list property; empty when it is absent.
std::vector<unsigned long> listProperty(Display* d, Window w, Atom property, Atom type) {
    std::vector<unsigned long> items;
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, w, property, 0, 1024, False, type, &actualType, &format, &count, &after, &data) ==
            Success &&
        data != nullptr) {
        if (actualType == type && format == 32) {
            const auto* values = reinterpret_cast<const unsigned long*>(data);
            items.assign(values, values + count);
        }
        XFree(data);
    }
    return items;
}

bool isDock(Display* d, Window w) {
    const Atom typeAtom = XInternAtom(d, "_NET_WM_WINDOW_TYPE", False);
    const Atom dock = XInternAtom(d, "_NET_WM_WINDOW_TYPE_DOCK", False);
    for (const unsigned long t : listProperty(d, w, typeAtom, XA_ATOM))
        if (t == dock)
            return true;
    return false;
}

// The window's rectangle on the root window; nothing when it is gone or not on screen.
std::optional<Rect> rootRect(Display* d, Window w) {
    XWindowAttributes attrs{};
    if (XGetWindowAttributes(d, w, &attrs) == 0 || attrs.map_state != IsViewable)
        return std::nullopt;
    int x = 0, y = 0;
    Window child = 0;
    if (!XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &x, &y, &child))
        return std::nullopt;
    return Rect{x, y, x + attrs.width, y + attrs.height};
}

bool contains(const Rect& outer, const Rect& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

} // namespace

std::optional<Rect> X11Desktop::trayPanelRect() {
    const X11Connection connection = QtX11Connection();
    if (!connection)
        return std::nullopt;
    Display* d = connection.display;
    X11ErrorTrap trap(d);
    const std::string selection = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(d));
    const Window tray = XGetSelectionOwner(d, XInternAtom(d, selection.c_str(), False));
    if (tray == 0)
        return std::nullopt;
    const Window root = DefaultRootWindow(d);
    // The tray window or one of its ancestors may be the dock itself.
    for (Window w = tray; w != 0 && w != root;) {
        if (isDock(d, w))
            return rootRect(d, w);
        Window parentWindow = 0, rootReturn = 0;
        Window* children = nullptr;
        unsigned int n = 0;
        if (XQueryTree(d, w, &rootReturn, &parentWindow, &children, &n) == 0)
            break;
        if (children != nullptr)
            XFree(children);
        w = parentWindow;
    }
    // Otherwise a dock on screen that holds the tray window, or that belongs to the program that
    // owns the tray (its selection window is often an unmapped window of its own).
    const std::optional<Rect> trayRect = rootRect(d, tray);
    const unsigned long clientMask = ~static_cast<unsigned long>(xcb_get_setup(connection.xcb)->resource_id_mask);
    const Atom clients = XInternAtom(d, "_NET_CLIENT_LIST", False);
    for (const unsigned long w : listProperty(d, root, clients, XA_WINDOW)) {
        if (!isDock(d, w))
            continue;
        const std::optional<Rect> r = rootRect(d, w);
        if (!r)
            continue;
        if (trayRect ? contains(*r, *trayRect) : (w & clientMask) == (tray & clientMask))
            return r;
    }
    return trayRect;
}

Rect X11Desktop::workArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return Rect{0, 0, 640, 480};
    const QRect a = screen->availableGeometry();
    return Rect{a.left(), a.top(), a.left() + a.width(), a.top() + a.height()};
}

} // namespace tw::platform
