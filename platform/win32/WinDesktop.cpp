// The Ctrl+F2 hot key, the session's end and the taskbar's and work area's geometry on Windows.
#include "platform/win32/WinDesktop.h"

#include <windows.h>

namespace tw::platform {

static_assert(WinHotKey::HotKeyMessage == WM_HOTKEY);
static_assert(WinSessionEnd::QueryEndSession == WM_QUERYENDSESSION);
static_assert(WinSessionEnd::EndSession == WM_ENDSESSION);

bool WinHotKey::registerHotKey(HotKeyListener& listener) {
    unregisterHotKey();
    // MOD_NOREPEAT: a held Ctrl+F2 opens the menu once, not at the keyboard's repeat rate.
    if (!::RegisterHotKey(reinterpret_cast<HWND>(m_window), HotKeyId, MOD_CONTROL | MOD_NOREPEAT, VK_F2))
        return false; // another program holds Ctrl+F2: the program runs without it, silently
    m_registered = true;
    m_listener = &listener;
    return true;
}

void WinHotKey::unregisterHotKey() {
    if (!m_registered)
        return;
    ::UnregisterHotKey(reinterpret_cast<HWND>(m_window), HotKeyId);
    m_registered = false;
    m_listener = nullptr;
}

bool WinHotKey::setWindow(std::uintptr_t window) {
    if (window == m_window)
        return m_registered;
    if (!m_registered) {
        m_window = window;
        return true;
    }
    // The old window may be gone already, and its key with it; asking again is harmless.
    ::UnregisterHotKey(reinterpret_cast<HWND>(m_window), HotKeyId);
    m_registered = false;
    m_window = window;
    return registerHotKey(*m_listener); // registered, so a listener is set
}

bool WinHotKey::isHotKeyMessage(std::uintptr_t window, unsigned message, std::uintptr_t wParam) const {
    return message == WM_HOTKEY && m_registered && window == m_window && wParam == HotKeyId;
}

bool WinHotKey::handleMessage(std::uintptr_t window, unsigned message, std::uintptr_t wParam) {
    if (!isHotKeyMessage(window, message, wParam))
        return false;
    if (m_listener != nullptr)
        m_listener->hotKeyPressed();
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

bool WinSessionEnd::save() {
    m_saving = true;
    const bool ok = !m_onEnding || m_onEnding();
    m_saving = false;
    return ok;
}

std::optional<bool> WinSessionEnd::handleMessage(unsigned message, std::uintptr_t wParam) {
    if (message == WM_QUERYENDSESSION) {
        if (m_saving)
            return false; // asked again from inside the save's own message box: not safe yet
        if (m_saved)
            return true;
        if (m_refused && ::GetTickCount64() - m_refusedAt < m_quietMs)
            return false; // the same ending session, asking through another window
        m_saved = save();
        m_refused = !m_saved;
        if (m_refused)
            m_refusedAt = ::GetTickCount64(); // after the error box has been closed
        return m_saved;
    }
    if (message == WM_ENDSESSION) {
        if (wParam) {
            // The session ends now, whatever the queries were answered: a last save if none ran.
            if (!m_saved && !m_saving)
                m_saved = save();
        } else {
            m_saved = false; // the session goes on; what changes from now on is saved next time
            m_refused = false;
        }
    }
    return std::nullopt;
}

} // namespace tw::platform
