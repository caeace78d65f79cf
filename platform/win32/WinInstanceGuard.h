// The single-instance guard on Windows: two named mutexes per identifier, identifier +
// "CriticalSection" while checking and identifier + "Default" held for the life of the first copy.
// The system releases both when a process ends, however it ends. A second copy hands over to the
// first by finding its application window (title "Tellwick", not of this process) and bringing it
// forward.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/SingleInstance.h"
#include "platform/win32/WinApplicationWindow.h"

namespace tw::platform {

// The identifier of an executable's path (InstanceIdentifier) with every letter in upper case, not
// only the ASCII ones: file names on Windows ignore case, so a folder spelled with "ü" and one
// spelled with "Ü" hold the same executable, which must be one instance.
std::string WinInstanceIdentifier(std::wstring_view executablePath);

class WinInstanceGuard : public InstanceGuard {
public:
    // windowClass: the class of the first copy's application window; empty matches any class.
    explicit WinInstanceGuard(std::wstring windowClass = WinApplicationWindow::ClassName,
                              std::wstring windowTitle = L"Tellwick");
    ~WinInstanceGuard() override;
    WinInstanceGuard(const WinInstanceGuard&) = delete;
    WinInstanceGuard& operator=(const WinInstanceGuard&) = delete;

    bool acquire(const std::string& identifier) override;
    void activateFirstCopy(const std::string& identifier) override;

    // The other copy's application window found by activateFirstCopy, 0 when there was none.
    std::uintptr_t foundWindow() const { return m_found; }

private:
    std::wstring m_windowClass;
    std::wstring m_windowTitle;
    void* m_default = nullptr; // HANDLE of the held "Default" mutex
    std::uintptr_t m_found = 0;
};

} // namespace tw::platform
