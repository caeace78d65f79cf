// The single-instance guard: one running copy per executable path, told apart by an identifier made
// from that path, held through two system-wide named locks that the system releases when the
// process dies (named mutexes on Windows, flock'ed files on Linux).
#pragma once

#include <string>
#include <string_view>

namespace tw::platform {

// The executable's full path in upper case, followed by ".OneInstance.", with every "\" made "/".
std::string InstanceIdentifier(std::string_view executablePath);

class InstanceGuard {
public:
    virtual ~InstanceGuard() = default;
    // Takes the locks named after identifier ("CriticalSection" then "Default"). True when no other
    // copy is running; this process then holds the "Default" lock for the rest of its life.
    virtual bool acquire(const std::string& identifier) = 0;
    // Asks the copy that holds the lock to bring its window forward. Shows nothing.
    virtual void activateFirstCopy(const std::string& identifier) = 0;
};

} // namespace tw::platform
