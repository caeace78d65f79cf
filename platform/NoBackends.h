// The back ends of desktops that lack a service: NoForeignWindows, NoHotKey and NoDesktopGeometry
// answer "none" to everything, so that the engine and the shell hold a back end in every case and
// never test for a missing one.
#pragma once

#include "platform/Desktop.h"
#include "platform/ForeignWindows.h"

namespace tw::platform {

// No access to other programs' windows (Wayland without X11, the offscreen platform).
class NoForeignWindows final : public ForeignWindows {
public:
    bool reachable() const override { return false; }
    WindowId foregroundWindow() override { return 0; }
    WindowId desktopWindow() override { return 0; }
    bool isVisible(WindowId) override { return false; }
    WindowId owner(WindowId) override { return 0; }
    WindowId parent(WindowId) override { return 0; }
    int getTitle(WindowId, char* buffer, int bufferSize) override {
        if (bufferSize > 0)
            buffer[0] = 0;
        return 0;
    }
    int getTitleLength(WindowId) override { return 0; }
    bool setTitle(WindowId, const char*) override { return false; }
    std::unique_ptr<TitleSnapshot> snapshotTitle(WindowId) override { return nullptr; }
    bool restoreTitle(WindowId, const TitleSnapshot&) override { return false; }
    bool canSetTitles() const override { return false; }
};

// No global hot key: registering always fails, so there is no Ctrl+F2.
class NoHotKey final : public GlobalHotKey {
public:
    bool registerHotKey(HotKeyListener&) override { return false; }
    void unregisterHotKey() override {}
};

// No panel and no work area known: the hot-key menu opens at the corner of a 640x480 screen.
class NoDesktopGeometry final : public DesktopGeometry {
public:
    std::optional<Rect> trayPanelRect() override { return std::nullopt; }
    Rect workArea() override { return Rect{0, 0, 640, 480}; }
};

} // namespace tw::platform
