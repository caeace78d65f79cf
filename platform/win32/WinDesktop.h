// The global hot key and the desktop's geometry on Windows.
//
// WinHotKey registers Ctrl+F2 (identifier 123) on the main window; the window's WM_HOTKEY reaches
// it through handleMessage, which the program's native event filter (WinNativeEventFilter, Qt
// build only) or a test's window procedure calls. WinDesktopGeometry finds the taskbar
// ("Shell_TrayWnd") and the work area.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/Desktop.h"

namespace tw::platform::win32 {

class WinHotKey : public GlobalHotKey {
public:
    static constexpr int HotKeyId = 123;
    static constexpr unsigned HotKeyMessage = 0x0312; // WM_HOTKEY

    // window: the HWND that receives WM_HOTKEY (0 for the calling thread's queue).
    explicit WinHotKey(std::uintptr_t window) : m_window(window) {}
    ~WinHotKey() override { unregisterHotKey(); }
    WinHotKey(const WinHotKey&) = delete;
    WinHotKey& operator=(const WinHotKey&) = delete;

    bool registerHotKey(std::function<void()> onPressed) override;
    void unregisterHotKey() override;

    // True when the message was this hot key's (the press has been handled then).
    bool handleMessage(std::uintptr_t window, unsigned message, std::uintptr_t wParam);
    bool registered() const { return m_registered; }

private:
    std::uintptr_t m_window;
    bool m_registered = false;
    std::function<void()> m_onPressed;
};

class WinDesktopGeometry : public DesktopGeometry {
public:
    std::optional<Rect> trayPanelRect() override;
    Rect workArea() override;
};

// The end of the Windows session. WM_QUERYENDSESSION and WM_ENDSESSION reach handleMessage (from the
// native event filter); onEnding runs once per ending session, at the query, so that it has done
// its work before the system may end the process. A cancelled end (WM_ENDSESSION with FALSE)
// arms it again. The messages are never consumed: Qt answers the query itself.
class WinSessionEnd {
public:
    static constexpr unsigned QueryEndSession = 0x0011; // WM_QUERYENDSESSION
    static constexpr unsigned EndSession = 0x0016;      // WM_ENDSESSION

    explicit WinSessionEnd(std::function<void()> onEnding) : m_onEnding(std::move(onEnding)) {}
    void handleMessage(unsigned message, std::uintptr_t wParam);
    bool ending() const { return m_done; }

private:
    std::function<void()> m_onEnding;
    bool m_done = false;
};

} // namespace tw::platform::win32
