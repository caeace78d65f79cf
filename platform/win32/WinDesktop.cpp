#include "platform/win32/WinDesktop.h"

#include <windows.h>

namespace tw::platform::win32 {

static_assert(WinHotKey::HotKeyMessage == WM_HOTKEY);
static_assert(WinSessionEnd::QueryEndSession == WM_QUERYENDSESSION);
static_assert(WinSessionEnd::EndSession == WM_ENDSESSION);

bool WinHotKey::registerHotKey(std::function<void()> onPressed) {
    unregisterHotKey();
    // MOD_NOREPEAT: a held Ctrl+F2 opens the menu once, not at the keyboard's repeat rate.
    if (!::RegisterHotKey(reinterpret_cast<HWND>(m_window), HotKeyId, MOD_CONTROL | MOD_NOREPEAT, VK_F2))
        return false; // another program holds Ctrl+F2: the program runs without it, silently
    m_registered = true;
    m_onPressed = std::move(onPressed);
    return true;
}

void WinHotKey::unregisterHotKey() {
    if (!m_registered)
        return;
    ::UnregisterHotKey(reinterpret_cast<HWND>(m_window), HotKeyId);
    m_registered = false;
    m_onPressed = nullptr;
}

bool WinHotKey::handleMessage(std::uintptr_t window, unsigned message, std::uintptr_t wParam) {
    if (message != WM_HOTKEY || !m_registered || window != m_window || wParam != HotKeyId)
        return false;
    if (m_onPressed)
        m_onPressed();
    return true;
}

std::optional<Rect> WinDesktopGeometry::trayPanelRect() {
    const HWND panel = ::FindWindowA("Shell_TrayWnd", nullptr);
    RECT rc{};
    if (!panel || !::GetWindowRect(panel, &rc))
        return std::nullopt;
    return Rect{rc.left, rc.top, rc.right, rc.bottom};
}

Rect WinDesktopGeometry::workArea() {
    RECT rc{};
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rc, 0))
        return Rect{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    return Rect{rc.left, rc.top, rc.right, rc.bottom};
}

void WinSessionEnd::handleMessage(unsigned message, std::uintptr_t wParam) {
    if (message == WM_QUERYENDSESSION || (message == WM_ENDSESSION && wParam)) {
        if (!m_done) {
            m_done = true;
            if (m_onEnding)
                m_onEnding();
        }
    } else if (message == WM_ENDSESSION) {
        m_done = false; // the session goes on after all
    }
}

} // namespace tw::platform::win32
