// The global hot key and the desktop's geometry on Windows.
//
// WinHotKey registers Ctrl+F2 (identifier 123) on the main window; the window's WM_HOTKEY reaches
// it through handleMessage, which the program's native event filter (WinNativeEventFilter, Qt
// build only) or a test's window procedure calls. WinDesktopGeometry finds the taskbar
// ("Shell_TrayWnd") and the work area.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "platform/Desktop.h"

namespace tw::platform {

class WinHotKey : public GlobalHotKey {
public:
    static constexpr int HotKeyId = 123;
    static constexpr unsigned HotKeyMessage = 0x0312; // WM_HOTKEY

    // window: the HWND that receives WM_HOTKEY (0 for the calling thread's queue).
    explicit WinHotKey(std::uintptr_t window) : m_window(window) {}
    ~WinHotKey() override { unregisterHotKey(); }
    WinHotKey(const WinHotKey&) = delete;
    WinHotKey& operator=(const WinHotKey&) = delete;

    bool registerHotKey(HotKeyListener& listener) override;
    void unregisterHotKey() override;

    // Moves the hot key to another window (the main window got a new native handle): a registered
    // key is registered again on the new window with the same handler. False when that fails.
    bool setWindow(std::uintptr_t window);
    std::uintptr_t window() const { return m_window; }

    // True when the message is this hot key's press (WM_HOTKEY for its window and identifier).
    bool isHotKeyMessage(std::uintptr_t window, unsigned message, std::uintptr_t wParam) const;
    // Runs the handler for this hot key's press; true when the message was one.
    bool handleMessage(std::uintptr_t window, unsigned message, std::uintptr_t wParam);
    bool registered() const { return m_registered; }

private:
    std::uintptr_t m_window;
    bool m_registered = false;
    HotKeyListener* m_listener = nullptr;
};

class WinDesktopGeometry : public DesktopGeometry {
public:
    std::optional<Rect> trayPanelRect() override;
    Rect workArea() override;
};

// The end of the Windows session. WM_QUERYENDSESSION and WM_ENDSESSION reach handleMessage (from the
// native event filter, once for every top-level window of the program). onEnding saves what the
// program holds, as "E&xit" does without asking, and answers whether that worked:
// - the first query of an ending session saves; a failed save refuses the end of the session (the
//   user has seen the error and can retry or end anyway), and further queries within quietMs of
//   that refusal are refused without another attempt, so that one failure shows one message;
// - a query that arrives while the save is still running (from inside its message box) is refused;
// - WM_ENDSESSION with TRUE saves if no query came first; with FALSE the session goes on, and the
//   next ending session saves again.
class WinSessionEnd {
public:
    static constexpr unsigned QueryEndSession = 0x0011; // WM_QUERYENDSESSION
    static constexpr unsigned EndSession = 0x0016;      // WM_ENDSESSION

    explicit WinSessionEnd(std::function<bool()> onEnding, unsigned quietMs = 3000)
        : m_onEnding(std::move(onEnding)), m_quietMs(quietMs) {}
    // For WM_QUERYENDSESSION whether the session may end; for WM_ENDSESSION and anything else
    // nothing (the message then goes on to the toolkit, which ends the event loop).
    std::optional<bool> handleMessage(unsigned message, std::uintptr_t wParam);
    bool saved() const { return m_saved; }

private:
    bool save();

    std::function<bool()> m_onEnding;
    unsigned m_quietMs;
    bool m_saving = false;
    bool m_saved = false;
    bool m_refused = false;
    unsigned long long m_refusedAt = 0;
};

} // namespace tw::platform
