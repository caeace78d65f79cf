// The hidden application window that a second copy finds, its window class and its messages.
#include "platform/win32/WinApplicationWindow.h"

#include <windows.h>

namespace tw::platform {

namespace {

// Posted to itself when the window is activated: the hand-over runs once the activation is over,
// so that bringing another window forward does not fight the activation still in progress.
constexpr UINT HandOverMessage = WM_APP + 0x54;

LRESULT CALLBACK Procedure(HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<WinApplicationWindow*>(::GetWindowLongPtrW(h, GWLP_USERDATA));
    switch (message) {
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE)
            ::PostMessageW(h, HandOverMessage, 0, 0);
        break;
    case WM_WINDOWPOSCHANGED:
        // Someone showed it (a restore of another kind): it stays out of sight and hands over.
        if (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW) {
            ::ShowWindowAsync(h, SW_HIDE);
            ::PostMessageW(h, HandOverMessage, 0, 0);
        }
        break;
    case HandOverMessage:
        if (self)
            self->activated();
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(h, message, wParam, lParam);
}

} // namespace

WinApplicationWindow::WinApplicationWindow(std::function<void()> onActivated, const std::wstring& title)
    : m_onActivated(std::move(onActivated)) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Procedure;
    wc.hInstance = instance;
    wc.lpszClassName = ClassName;
    ::RegisterClassExW(&wc); // a second window of the class in the same process finds it registered
    // WS_EX_TOOLWINDOW: never a taskbar button, even if something shows it.
    const HWND h = ::CreateWindowExW(WS_EX_TOOLWINDOW, ClassName, title.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                     instance, nullptr);
    if (!h)
        return;
    ::SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_window = reinterpret_cast<std::uintptr_t>(h);
}

WinApplicationWindow::~WinApplicationWindow() {
    if (const HWND h = reinterpret_cast<HWND>(m_window)) {
        ::SetWindowLongPtrW(h, GWLP_USERDATA, 0);
        ::DestroyWindow(h);
    }
}

void WinApplicationWindow::activated() {
    if (m_onActivated)
        m_onActivated();
}

} // namespace tw::platform
