// Reading and atomically replacing the reminder files with POSIX calls, and the mapping of errno
// values to the program's I/O error codes.
#include "platform/posix/PosixFileSystem.h"

#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/AtomicSave.h"

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
    Fd() = default;
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
    void reset(int fd) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd = -1;
};

unsigned long s_tempSerial = 0;

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Join(const std::string& directory, const std::string& name) {
    return directory.back() == '/' ? directory + name : directory + "/" + name;
}

// The file a save must replace: path itself, or the end of the chain of symbolic links that starts
// at path (a link that points nowhere names the file to create). 0 or an errno value.
int ResolveLinks(const std::string& path, std::string& target) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            target = current; // missing or not a link: the save itself reports any problem
            return 0;
        }
        std::string next(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 0) + 256, '\0');
        const ssize_t n = ::readlink(current.c_str(), next.data(), next.size());
        if (n < 0)
            return errno;
        if (n == 0)
            return ENOENT;
        next.resize(static_cast<std::size_t>(n));
        current = next.front() == '/' ? next : Join(DirectoryOf(current), next);
    }
    return ELOOP;
}

// The temporary file of a save to target: "<name>.tmp<pid>-<serial>" beside it.
std::string TempName(const std::string& target) {
    return target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(s_tempSerial++);
}

// The process id in a name made by TempName for a file called name; 0 for any other name.
pid_t TempOwner(const std::string& entry, const std::string& name) {
    const std::string lead = name + ".tmp";
    if (entry.size() <= lead.size() || entry.compare(0, lead.size(), lead) != 0)
        return 0;
    const std::string rest = entry.substr(lead.size());
    const auto dash = rest.find('-');
    const auto digits = [](const std::string& s) {
        return !s.empty() && s.size() <= 18 && s.find_first_not_of("0123456789") == std::string::npos;
    };
    if (dash == std::string::npos || !digits(rest.substr(0, dash)) || !digits(rest.substr(dash + 1)))
        return 0;
    return static_cast<pid_t>(std::stoll(rest.substr(0, dash)));
}

// Removes the temporary files that saves to target left when they were killed half-way. A file
// whose process still runs may be another copy's save in progress and stays.
void RemoveLeftovers(const std::string& target) {
    const std::string directory = DirectoryOf(target);
    const std::string name = NameOf(target);
    DIR* dir = ::opendir(directory.c_str());
    if (dir == nullptr)
        return;
    while (const dirent* e = ::readdir(dir)) {
        const pid_t owner = TempOwner(e->d_name, name);
        if (owner <= 0)
            continue;
        const bool running = owner != ::getpid() && (::kill(owner, 0) == 0 || errno == EPERM);
        if (!running)
            ::unlink(Join(directory, e->d_name).c_str());
    }
    ::closedir(dir);
}

// Writes all of data to fd, then flushes it to disk. 0 or an errno value.
int WriteAll(int fd, const std::vector<std::uint8_t>& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        done += static_cast<std::size_t>(n);
    }
    return ::fsync(fd) != 0 ? errno : 0;
}

// The save without a temporary file, for a folder that allows none: the file is truncated and
// written where it is. A failure part-way leaves what was written so far.
int WriteInPlace(const std::string& target, const std::vector<std::uint8_t>& data) {
    Fd fd(::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    if (fd.get() < 0)
        return IoCodeFromErrno(errno);
    if (const int err = WriteAll(fd.get(), data))
        return IoCodeFromErrno(err);
    return fd.close() != 0 ? IoCodeFromErrno(errno) : 0;
}

// The POSIX primitives of AtomicReplace; system errors are errno values.
class PosixSaveSteps {
public:
    using Path = std::string;
    using File = Fd;

    int resolveLinks(const std::string& path, std::string& target) { return ResolveLinks(path, target); }
    void removeLeftovers(const std::string& target) { RemoveLeftovers(target); }

    // A file the user made read-only stays untouched, as a save that writes into it would fail. The
    // new file keeps the old one's permissions; a new one gets the usual 0666 less the umask.
    int checkTarget(const std::string& target, bool& exists) {
        struct stat old {};
        if (::stat(target.c_str(), &old) != 0)
            return 0;
        if (S_ISDIR(old.st_mode))
            return EISDIR;
        if (::access(target.c_str(), W_OK) != 0)
            return errno;
        m_mode = old.st_mode & 07777;
        m_exists = exists = true;
        return 0;
    }

    std::string tempName(const std::string& target) { return TempName(target); }

    TempCreate createTemp(const std::string& tmp, Fd& file, int& error) {
        const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, m_mode);
        if (fd >= 0) {
            file.reset(fd);
            return TempCreate::Created;
        }
        error = errno;
        if (error == EEXIST)
            return TempCreate::NameTaken;
        return error == EACCES || error == EPERM ? TempCreate::Refused : TempCreate::Failed;
    }

    int nameTakenError() const { return EEXIST; }

    int writeAndClose(Fd& file, const std::vector<std::uint8_t>& data) {
        if (m_exists)
            ::fchmod(file.get(), m_mode); // the umask must not narrow what the user had
        if (const int err = WriteAll(file.get(), data))
            return err;
        return file.close() != 0 ? errno : 0;
    }

    int writeInPlace(const std::string& target, const std::vector<std::uint8_t>& data) {
        return WriteInPlace(target, data);
    }
    int moveOver(const std::string& tmp, const std::string& target) {
        return ::rename(tmp.c_str(), target.c_str()) != 0 ? errno : 0;
    }
    void removeTemp(const std::string& tmp) { ::unlink(tmp.c_str()); }

    // Makes the rename itself durable.
    void moveDone(const std::string& target) {
        Fd dir(::open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (dir.get() >= 0)
            ::fsync(dir.get());
    }

    int ioCode(int err) const { return IoCodeFromErrno(err); }

private:
    mode_t m_mode = 0666;
    bool m_exists = false;
};

} // namespace

ReadResult PosixFileSystem::readFile(const std::string& path, std::size_t maxBytes) {
    ReadResult r;
    if (std::string target; ResolveLinks(path, target) == 0)
        RemoveLeftovers(target);
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
    PosixSaveSteps steps;
    return AtomicReplace(steps, path, data);
}

} // namespace tw::platform
