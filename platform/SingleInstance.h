// The single-instance guard: one running copy per executable path, told apart by an identifier made
// from that path, held through two system-wide named locks that the system releases when the
// process dies (named mutexes on Windows, flock'ed files on Linux).
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tw::platform {

// The executable's full path in upper case, followed by ".OneInstance.", with every "\" made "/".
std::string InstanceIdentifier(std::string_view executablePath);
// A stable 64-bit FNV-1a hash, written as 16 hex digits: short names for lock files, sockets, pipes.
std::string NameHash(const std::string& name);

class InstanceGuard {
public:
    virtual ~InstanceGuard() = default;
    // Takes the locks named after identifier ("CriticalSection" then "Default"). True when no other
    // copy is running; this process then holds the "Default" lock for the rest of its life.
    virtual bool acquire(const std::string& identifier) = 0;
};

// This platform's guard.
std::unique_ptr<InstanceGuard> MakeInstanceGuard();
// The identifier of the running executable (this platform's full path of it).
std::string ExecutableIdentifier();

} // namespace tw::platform
