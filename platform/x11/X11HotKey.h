// Ctrl+F2 for the whole X11 desktop: a key grab on the root window, taken with and without the
// NumLock and CapsLock modifiers so that their state does not matter, read from Qt's xcb events.
#pragma once

#include <QAbstractNativeEventFilter>
#include <cstdint>
#include <vector>

#include "platform/Desktop.h"

namespace tw::platform {

class X11HotKey : public GlobalHotKey, public QAbstractNativeEventFilter {
public:
    // Needs Qt's xcb platform with a display (see X11Available in X11Connection.h); without one nothing is grabbed.
    X11HotKey();
    ~X11HotKey() override;
    X11HotKey(const X11HotKey&) = delete;
    X11HotKey& operator=(const X11HotKey&) = delete;

    bool registerHotKey(HotKeyListener& listener) override;
    void unregisterHotKey() override;
    bool isRegistered() const { return !m_grabbedStates.empty(); }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    HotKeyListener* m_listener = nullptr;
    std::uint8_t m_keycode = 0;
    std::vector<std::uint16_t> m_grabbedStates;
    bool m_filterInstalled = false;
};

} // namespace tw::platform
