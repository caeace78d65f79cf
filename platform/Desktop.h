// The global hot key and the places on the screen where the tray menu opens for it.
#pragma once

#include <functional>
#include <optional>

namespace tw::platform {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// Told of each press of the global hot key, on the user-interface thread.
class HotKeyListener {
public:
    virtual void hotKeyPressed() = 0;

protected:
    ~HotKeyListener() = default;
};

class GlobalHotKey {
public:
    virtual ~GlobalHotKey() = default;
    // Registers Ctrl+F2 for the whole desktop; listener hears of each press until the key is
    // unregistered. False when another program holds the key (the program then runs without it).
    virtual bool registerHotKey(HotKeyListener& listener) = 0;
    virtual void unregisterHotKey() = 0;
};

class DesktopGeometry {
public:
    virtual ~DesktopGeometry() = default;
    // The panel that holds the notification area (the taskbar); nothing when there is none.
    virtual std::optional<Rect> trayPanelRect() = 0;
    // The screen's work area (the screen without panels).
    virtual Rect workArea() = 0;
};

// Where the tray menu opens for the hot key: 64 pixels left of the panel's right edge, at its top;
// without a panel at the work area's bottom right less (64, 2).
inline Point HotKeyMenuPosition(const std::optional<Rect>& panel, const Rect& workArea) {
    if (panel)
        return Point{panel->right - 64, panel->top};
    return Point{(workArea.right - workArea.left) - 64, (workArea.bottom - workArea.top) - 2};
}

} // namespace tw::platform
