// WinForeignWindows: other programs' windows, their owners, parents and titles through user32.
#include "platform/win32/WinForeignWindows.h"

#include <windows.h>

namespace tw::platform {

namespace {

HWND ToHwnd(WindowId w) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(w));
}
WindowId ToId(HWND h) {
    return static_cast<WindowId>(reinterpret_cast<std::uintptr_t>(h));
}

// WM_SETTEXT with a time limit: SetWindowText would wait forever on a program that hangs.
template <class Char> bool SendTitle(HWND h, const Char* text, unsigned timeoutMs) {
    DWORD_PTR result = 0;
    LRESULT sent;
    if constexpr (sizeof(Char) == 1)
        sent = ::SendMessageTimeoutA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, timeoutMs,
                                     &result);
    else
        sent = ::SendMessageTimeoutW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, timeoutMs,
                                     &result);
    return sent != 0 && result != 0;
}

} // namespace

WindowId WinForeignWindows::foregroundWindow() {
    return ToId(::GetForegroundWindow());
}

WindowId WinForeignWindows::desktopWindow() {
    return ToId(::GetDesktopWindow());
}

bool WinForeignWindows::isVisible(WindowId w) {
    return w != 0 && ::IsWindowVisible(ToHwnd(w)) != 0;
}

WindowId WinForeignWindows::owner(WindowId w) {
    return w ? ToId(::GetWindow(ToHwnd(w), GW_OWNER)) : 0;
}

WindowId WinForeignWindows::parent(WindowId w) {
    return w ? ToId(::GetParent(ToHwnd(w))) : 0;
}

int WinForeignWindows::getTitle(WindowId w, char* buffer, int bufferSize) {
    if (bufferSize <= 0 || !buffer)
        return 0;
    buffer[0] = '\0';
    if (!w)
        return 0;
    const int n = ::GetWindowTextA(ToHwnd(w), buffer, bufferSize);
    return n > 0 ? n : 0;
}

int WinForeignWindows::getTitleLength(WindowId w) {
    if (!w)
        return 0;
    const int n = ::GetWindowTextLengthA(ToHwnd(w));
    return n > 0 ? n : 0;
}

bool WinForeignWindows::setTitle(WindowId w, const char* ansiTitle) {
    if (!w || !ansiTitle || !::IsWindow(ToHwnd(w)))
        return false;
    return SendTitle(ToHwnd(w), ansiTitle, SetTitleTimeoutMs);
}

std::unique_ptr<TitleSnapshot> WinForeignWindows::snapshotTitle(WindowId w) {
    const HWND h = ToHwnd(w);
    if (!w || !::IsWindow(h))
        return nullptr;
    const int length = ::GetWindowTextLengthW(h);
    std::wstring title(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int n = ::GetWindowTextW(h, title.data(), static_cast<int>(title.size()));
    title.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    if (n == 0 && !::IsWindow(h)) // closed while we read
        return nullptr;
    return std::make_unique<WinTitleSnapshot>(std::move(title));
}

bool WinForeignWindows::restoreTitle(WindowId w, const TitleSnapshot& snapshot) {
    const auto* own = dynamic_cast<const WinTitleSnapshot*>(&snapshot);
    if (!own || !w || !::IsWindow(ToHwnd(w)))
        return false;
    return SendTitle(ToHwnd(w), own->title().c_str(), SetTitleTimeoutMs);
}

} // namespace tw::platform
