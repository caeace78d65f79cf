// Ctrl+F2 on X11: the checked key grabs on the root window and the filter that sees the key press.
#include "platform/x11/X11HotKey.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

#include "platform/x11/X11Connection.h"

namespace tw::platform {

namespace {

// The modifier bit that NumLock sets here (usually Mod2); 0 when NumLock is on no modifier.
std::uint16_t numLockMask(Display* display) {
    std::uint16_t mask = 0;
    XModifierKeymap* map = XGetModifierMapping(display);
    if (map == nullptr)
        return 0;
    const KeyCode numLock = XKeysymToKeycode(display, XK_Num_Lock);
    for (int mod = 0; mod < 8 && numLock != 0; ++mod)
        for (int k = 0; k < map->max_keypermod; ++k)
            if (map->modifiermap[mod * map->max_keypermod + k] == numLock)
                mask = static_cast<std::uint16_t>(1u << mod);
    XFreeModifiermap(map);
    return mask;
}

xcb_window_t rootWindow(xcb_connection_t* c) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    return screen != nullptr ? screen->root : 0;
}

} // namespace

X11HotKey::X11HotKey() = default;

X11HotKey::~X11HotKey() {
    unregisterHotKey();
    if (m_filterInstalled && QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool X11HotKey::registerHotKey(HotKeyListener& listener) {
    unregisterHotKey();
    const X11Connection connection = QtX11Connection();
    if (!connection)
        return false;
    Display* display = connection.display;
    xcb_connection_t* c = connection.xcb;
    m_keycode = static_cast<std::uint8_t>(XKeysymToKeycode(display, XK_F2));
    if (m_keycode == 0)
        return false;
    const std::uint16_t numLock = numLockMask(display);
    const xcb_window_t root = rootWindow(c);
    std::vector<std::uint16_t> states = {XCB_MOD_MASK_CONTROL, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_LOCK};
    if (numLock != 0) {
        states.push_back(static_cast<std::uint16_t>(XCB_MOD_MASK_CONTROL | numLock));
        states.push_back(static_cast<std::uint16_t>(XCB_MOD_MASK_CONTROL | numLock | XCB_MOD_MASK_LOCK));
    }
    // A checked grab: the unchecked one reports success even when another client holds the key.
    bool refused = false;
    for (const std::uint16_t state : states) {
        const xcb_void_cookie_t cookie =
            xcb_grab_key_checked(c, 1, root, state, m_keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        if (xcb_generic_error_t* error = xcb_request_check(c, cookie)) {
            free(error);
            refused = true;
            break;
        }
        m_grabbedStates.push_back(state);
    }
    if (refused) {
        unregisterHotKey();
        return false;
    }
    m_listener = &listener;
    if (!m_filterInstalled) {
        QCoreApplication::instance()->installNativeEventFilter(this);
        m_filterInstalled = true;
    }
    return true;
}

void X11HotKey::unregisterHotKey() {
    xcb_connection_t* c = QtX11Connection().xcb;
    if (c != nullptr && !m_grabbedStates.empty()) {
        const xcb_window_t root = rootWindow(c);
        for (const std::uint16_t state : m_grabbedStates)
            xcb_ungrab_key(c, m_keycode, root, state);
        xcb_flush(c);
    }
    m_grabbedStates.clear();
    m_listener = nullptr;
}

bool X11HotKey::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (m_grabbedStates.empty() || eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & ~0x80) != XCB_KEY_PRESS)
        return false;
    const auto* key = static_cast<const xcb_key_press_event_t*>(message);
    const std::uint16_t relevant =
        key->state & (XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_1 | XCB_MOD_MASK_4);
    if (key->detail != m_keycode || relevant != XCB_MOD_MASK_CONTROL)
        return false;
    // Tell the listener outside the event dispatch: it opens a menu.
    if (HotKeyListener* listener = m_listener)
        QTimer::singleShot(0, QCoreApplication::instance(), [listener] { listener->hotKeyPressed(); });
    return true;
}

} // namespace tw::platform
