// Two flock'ed files: "CriticalSection" is held only while a copy decides, "Default" for the life
// of the running copy. Opened with O_CLOEXEC, so that a program this copy starts holds neither.
#include "platform/posix/PosixInstanceGuard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace tw::platform {

namespace {

constexpr std::size_t MaxComponent = 200;

int openLockFile(const std::string& path) {
    return ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
}

// LOCK_EX|LOCK_NB, retried when a signal interrupts it. True when this process now holds it.
bool tryLock(int fd) {
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno != EINTR)
            return false;
    }
}

} // namespace

std::string LockFileName(const std::string& name) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
                           c == '-' || c == '_';
        if (plain) {
            out += ch;
        } else {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 0xf];
        }
    }
    if (out.size() > MaxComponent) {
        // Keep the end (executable name and suffix) readable; the hash keeps the names apart.
        std::size_t start = out.size() - (MaxComponent - 17);
        // Never begin inside an escape ('%' itself is always escaped, so it always starts one).
        while (out[start - 1] == '%' || out[start - 2] == '%')
            ++start;
        out = NameHash(name) + "-" + out.substr(start);
    }
    return out;
}

std::string LockDirectory() {
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    if (dir != nullptr && *dir != '\0')
        return dir;
    // /tmp is shared by every user: each gets a private directory there, or one user's lock file
    // (mode 0600) would keep every other user's copy of the same executable from starting.
    const uid_t uid = ::getuid();
    const std::string own = "/tmp/tellwick-" + std::to_string(uid);
    ::mkdir(own.c_str(), 0700);
    struct stat st {};
    if (::lstat(own.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != uid || (st.st_mode & 077) != 0) {
        // Someone else's directory or a symbolic link: not ours to use. A fresh directory of our
        // own lets this copy run, if unguarded, rather than never start.
        std::string fresh = own + "-XXXXXX";
        if (::mkdtemp(fresh.data()) != nullptr)
            return fresh;
        return "/tmp";
    }
    return own;
}

std::unique_ptr<InstanceGuard> MakeInstanceGuard() {
    return std::make_unique<PosixInstanceGuard>();
}

std::string ExecutableIdentifier() {
    // The kernel's name for the running executable, with every symbolic link resolved.
    std::string path(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    path.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return InstanceIdentifier(path);
}

PosixInstanceGuard::PosixInstanceGuard(std::string directory) : m_directory(std::move(directory)) {}

PosixInstanceGuard::~PosixInstanceGuard() {
    release();
}

std::string PosixInstanceGuard::lockPath(const std::string& identifier, const char* suffix) const {
    return m_directory + "/" + LockFileName(identifier + suffix);
}

bool PosixInstanceGuard::acquire(const std::string& identifier) {
    if (m_defaultFd >= 0)
        return true;
    // Whoever holds the first lock is deciding right now: it will be the running copy.
    const int critical = openLockFile(lockPath(identifier, "CriticalSection"));
    if (critical < 0)
        return false;
    if (!tryLock(critical)) {
        ::close(critical);
        return false;
    }
    bool alone = false;
    const int fd = openLockFile(lockPath(identifier, "Default"));
    if (fd >= 0) {
        if (tryLock(fd)) {
            m_defaultFd = fd;
            alone = true;
        } else {
            ::close(fd);
        }
    }
    ::flock(critical, LOCK_UN);
    ::close(critical);
    return alone;
}

void PosixInstanceGuard::release() {
    if (m_defaultFd >= 0) {
        ::flock(m_defaultFd, LOCK_UN);
        ::close(m_defaultFd);
        m_defaultFd = -1;
    }
}

} // namespace tw::platform
