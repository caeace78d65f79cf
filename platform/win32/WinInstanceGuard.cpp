#include "platform/win32/WinInstanceGuard.h"

#include <windows.h>

#include "platform/win32/WinText.h"

namespace tw::platform::win32 {

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

} // namespace tw::platform::win32

namespace tw::platform {

std::unique_ptr<InstanceGuard> MakeInstanceGuard() {
    return std::make_unique<win32::WinInstanceGuard>();
}

std::string ExecutableIdentifier() {
    std::wstring path(32768, L'\0');
    const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(n);
    return win32::WinInstanceIdentifier(path);
}

} // namespace tw::platform
