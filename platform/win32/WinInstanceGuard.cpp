// WinInstanceGuard: the two named mutexes of the single-instance check and the hand-over to the
// first copy's application window.
#include "platform/win32/WinInstanceGuard.h"

#include <windows.h>

#include "platform/win32/WinText.h"

namespace tw::platform {

std::string WinInstanceIdentifier(std::wstring_view executablePath) {
    std::wstring upper(executablePath);
    if (!upper.empty()) {
        const int n = ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, upper.data(),
                                      static_cast<int>(upper.size()), nullptr, 0, nullptr, nullptr, 0);
        std::wstring mapped(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
        if (n > 0 && ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, upper.data(),
                                     static_cast<int>(upper.size()), mapped.data(), n, nullptr, nullptr, 0) == n)
            upper = std::move(mapped);
    }
    return InstanceIdentifier(NarrowUtf8(upper));
}

WinInstanceGuard::WinInstanceGuard(std::wstring windowClass, std::wstring windowTitle)
    : m_windowClass(std::move(windowClass)), m_windowTitle(std::move(windowTitle)) {}

WinInstanceGuard::~WinInstanceGuard() {
    if (m_default) {
        ::ReleaseMutex(m_default);
        ::CloseHandle(m_default);
    }
}

bool WinInstanceGuard::acquire(const std::string& identifier) {
    if (m_default)
        return true; // this guard already holds the lock
    // Mutex names may not hold "\"; the identifier rule has made every one of them "/".
    const std::wstring critical = WidenUtf8(identifier + "CriticalSection");
    HANDLE check = ::CreateMutexW(nullptr, TRUE, critical.c_str());
    if (!check)
        return false;
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(check);
        return false;
    }
    bool first = false;
    const std::wstring name = WidenUtf8(identifier + "Default");
    if (HANDLE held = ::CreateMutexW(nullptr, FALSE, name.c_str())) {
        // WAIT_ABANDONED: the previous first copy died holding it; the lock is ours now.
        const DWORD w = ::WaitForSingleObject(held, 0);
        if (w == WAIT_OBJECT_0 || w == WAIT_ABANDONED) {
            m_default = held;
            first = true;
        } else {
            ::CloseHandle(held);
        }
    }
    ::ReleaseMutex(check);
    ::CloseHandle(check);
    return first;
}

namespace {

struct Search {
    const std::wstring* windowClass;
    const std::wstring* title;
    DWORD ownProcess;
    HWND found;
};

BOOL CALLBACK Visit(HWND h, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(h, &pid);
    if (pid == s->ownProcess)
        return TRUE;
    wchar_t text[64] = {};
    const int n = ::GetWindowTextW(h, text, 64);
    if (std::wstring_view(text, static_cast<std::size_t>(n > 0 ? n : 0)) != *s->title)
        return TRUE;
    if (!s->windowClass->empty()) {
        wchar_t cls[256] = {};
        const int c = ::GetClassNameW(h, cls, 256);
        if (std::wstring_view(cls, static_cast<std::size_t>(c > 0 ? c : 0)) != *s->windowClass)
            return TRUE;
    }
    s->found = h;
    return FALSE;
}

} // namespace

void WinInstanceGuard::activateFirstCopy(const std::string&) {
    Search s{&m_windowClass, &m_windowTitle, ::GetCurrentProcessId(), nullptr};
    ::EnumWindows(Visit, reinterpret_cast<LPARAM>(&s));
    m_found = reinterpret_cast<std::uintptr_t>(s.found);
    if (!s.found)
        return;
    // This copy was just started by the user and may pass the foreground on: the first copy may
    // then bring its own window forward when its application window is activated.
    DWORD firstCopy = 0;
    ::GetWindowThreadProcessId(s.found, &firstCopy);
    ::AllowSetForegroundWindow(firstCopy);
    if (::IsIconic(s.found))
        ::ShowWindowAsync(s.found, SW_RESTORE);
    else
        ::SetForegroundWindow(s.found);
}

} // namespace tw::platform
