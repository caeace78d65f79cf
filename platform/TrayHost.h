// TrayHost: whether the desktop has a notification area (a tray host) that shows the program's
// tray icon, and word when one appears or goes away. The Qt back end is platform/qt/QtTrayHost;
// tests use fake::FakeTrayHost.
#pragma once

namespace tw::platform {

// Told on the user-interface thread when a notification area may have appeared or gone away; the
// listener asks present() again.
class TrayHostListener {
public:
    virtual ~TrayHostListener() = default;
    virtual void trayHostChanged() = 0;
};

class TrayHost {
public:
    virtual ~TrayHost() = default;
    // A notification area is there now.
    virtual bool present() = 0;
    // The one listener; null detaches it.
    virtual void setListener(TrayHostListener* listener) = 0;
};

} // namespace tw::platform
