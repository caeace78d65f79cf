// The single-instance locks on POSIX: two flock'ed files named after the identifier, in
// $XDG_RUNTIME_DIR (or the user's own directory in /tmp when it is unset). The kernel drops a flock when its holder
// dies, so a crashed copy never blocks the next start.
#pragma once

#include <string>

#include "platform/SingleInstance.h"

namespace tw::platform {

// The file name for a lock or socket named name: letters, digits and ".-_" stay, every other byte
// becomes %XX; a name too long for one path component keeps its tail and gains a hash of the whole.
std::string LockFileName(const std::string& name);
// The directory for the lock files: $XDG_RUNTIME_DIR when set and not empty, else the user's own
// /tmp/tellwick-UID (made 0700 when missing).
std::string LockDirectory();

class PosixInstanceGuard : public InstanceGuard {
public:
    explicit PosixInstanceGuard(std::string directory = LockDirectory());
    ~PosixInstanceGuard() override;
    PosixInstanceGuard(const PosixInstanceGuard&) = delete;
    PosixInstanceGuard& operator=(const PosixInstanceGuard&) = delete;

    bool acquire(const std::string& identifier) override;

    // The path of the lock file for identifier + suffix.
    std::string lockPath(const std::string& identifier, const char* suffix) const;
    bool holdsLock() const { return m_defaultFd >= 0; }
    // Gives the held lock up (for tests; the program keeps it until it ends).
    void release();

private:
    std::string m_directory;
    int m_defaultFd = -1;
};

} // namespace tw::platform
