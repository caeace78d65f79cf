// TrayHost: whether the desktop has a notification area (a tray host) that shows the program's
// tray icon, and word when one appears or goes away. The Qt back end is platform/qt/QtTrayHost;
// tests use fake::FakeTrayHost.
#pragma once

#include <functional>

namespace tw::platform {

class TrayHost {
public:
    virtual ~TrayHost() = default;
    // A notification area is there now.
    virtual bool present() = 0;
    // onChange runs on the user-interface thread when a notification area may have appeared or gone
    // away; the receiver asks present() again.
    virtual void setChangeHandler(std::function<void()> onChange) = 0;
};

} // namespace tw::platform
