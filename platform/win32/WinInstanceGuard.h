// The single-instance guard on Windows: two named mutexes per identifier, identifier +
// "CriticalSection" while checking and identifier + "Default" held for the life of the first copy.
// The system releases both when a process ends, however it ends.
#pragma once

#include <string>
#include <string_view>

#include "platform/SingleInstance.h"

namespace tw::platform::win32 {

// The identifier of an executable's path (InstanceIdentifier) with every letter in upper case, not
// only the ASCII ones: file names on Windows ignore case, so a folder spelled with "ü" and one
// spelled with "Ü" hold the same executable, which must be one instance.
std::string WinInstanceIdentifier(std::wstring_view executablePath);

class WinInstanceGuard : public InstanceGuard {
public:
    WinInstanceGuard() = default;
    ~WinInstanceGuard() override;
    WinInstanceGuard(const WinInstanceGuard&) = delete;
    WinInstanceGuard& operator=(const WinInstanceGuard&) = delete;

    bool acquire(const std::string& identifier) override;

private:
    void* m_default = nullptr; // HANDLE of the held "Default" mutex
};

} // namespace tw::platform::win32
