// Reading and atomically replacing the reminder files with POSIX calls, and the mapping of errno
// values to the program's I/O error codes.
#include "platform/posix/PosixFileSystem.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace tw::platform {

int IoCodeFromErrno(int err) {
    switch (err) {
    case ENOENT:
    case ENOTDIR:
        return 2; // File not found
    case ENAMETOOLONG:
    case EINVAL:
        return 3; // Invalid filename
    case EMFILE:
    case ENFILE:
        return 4; // Too many open files
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return 5; // File access denied
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return 101; // Disk full
    case EIO:
    case ESRCH:
    case EINTR:
    case ENETDOWN:
    case ENETUNREACH:
        // These errno values equal codes that have texts of their own (EIO is 5, "File access
        // denied"); they are reported as the Windows code of a device I/O error instead.
        return 1117;
    default:
        return err;
    }
}

namespace {

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    // Closes and reports the result, which matters after writes (NFS reports errors only here).
    int close() {
        const int r = ::close(m_fd);
        m_fd = -1;
        return r;
    }

private:
    int m_fd;
};

unsigned long s_tempSerial = 0;

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

ReadResult PosixFileSystem::readFile(const std::string& path, std::size_t maxBytes) {
    ReadResult r;
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT)
            return r;
        r.exists = true;
        r.error = IoCodeFromErrno(errno);
        return r;
    }
    r.exists = true;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        r.error = IoCodeFromErrno(errno);
        return r;
    }
    if (S_ISDIR(st.st_mode)) {
        r.error = IoCodeFromErrno(EISDIR);
        return r;
    }
    const std::size_t want = st.st_size > 0 && static_cast<std::size_t>(st.st_size) < maxBytes
                                 ? static_cast<std::size_t>(st.st_size)
                                 : maxBytes;
    r.data.resize(want);
    std::size_t got = 0;
    while (got < want) {
        const ssize_t n = ::read(fd.get(), r.data.data() + got, want - got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            r.error = IoCodeFromErrno(errno);
            break;
        }
        if (n == 0)
            break; // the file shrank meanwhile
        got += static_cast<std::size_t>(n);
    }
    r.data.resize(got);
    return r;
}

int PosixFileSystem::replaceFile(const std::string& path, const std::vector<std::uint8_t>& data) {
    // A file the user made read-only stays untouched, as a save that writes into it would fail. The
    // new file keeps the old one's permissions; a new one gets the usual 0666 less the umask.
    mode_t mode = 0666;
    bool keepMode = false;
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) {
        if (S_ISDIR(old.st_mode))
            return IoCodeFromErrno(EISDIR);
        if (::access(path.c_str(), W_OK) != 0)
            return IoCodeFromErrno(errno);
        mode = old.st_mode & 07777;
        keepMode = true;
    }

    // A fresh name beside the target, so that the rename stays on one file system.
    std::string tmp;
    int fdValue = -1;
    for (int attempt = 0; attempt < 100 && fdValue < 0; ++attempt) {
        tmp = path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(s_tempSerial++);
        fdValue = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fdValue < 0 && errno != EEXIST)
            return IoCodeFromErrno(errno);
    }
    if (fdValue < 0)
        return IoCodeFromErrno(EEXIST);
    Fd fd(fdValue);
    auto fail = [&](int err) {
        ::unlink(tmp.c_str());
        return IoCodeFromErrno(err);
    };
    if (keepMode)
        ::fchmod(fd.get(), mode); // the umask must not narrow what the user had
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd.get(), data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd.get()) != 0)
        return fail(errno);
    if (fd.close() != 0)
        return fail(errno);
    if (::rename(tmp.c_str(), path.c_str()) != 0)
        return fail(errno);
    // Make the rename itself durable.
    Fd dir(::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
    return 0;
}

} // namespace tw::platform
