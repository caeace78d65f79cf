// The AF_UNIX socket behind PosixInstanceChannel: non-blocking accept, a bounded wait for each
// message, the peer's user checked with SO_PEERCRED, the answer (its byte and its line).
#include "platform/posix/PosixInstanceChannel.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/SingleInstance.h"
#include "platform/posix/PosixInstanceGuard.h"

namespace tw::platform {

namespace {

using Clock = std::chrono::steady_clock;

bool fillAddress(const std::string& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

int msLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits until fd is readable or the deadline passes; false on timeout or error.
bool waitReadable(int fd, Clock::time_point deadline) {
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const int n = ::poll(&p, 1, msLeft(deadline));
        if (n > 0)
            return true;
        if (n == 0 || errno != EINTR)
            return false;
    }
}

bool writeAll(int fd, const char* data, std::size_t size, Clock::time_point deadline) {
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n > 0) {
            data += n;
            size -= static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{fd, POLLOUT, 0};
            if (::poll(&p, 1, msLeft(deadline)) <= 0)
                return false;
            continue;
        }
        return false;
    }
    return true;
}

bool samePeerUser(int fd) {
#ifdef SO_PEERCRED
    ucred cred{};
    socklen_t size = sizeof cred;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &size) == 0 && cred.uid == ::geteuid();
#else
    uid_t uid = 0;
    gid_t gid = 0;
    return ::getpeereid(fd, &uid, &gid) == 0 && uid == ::geteuid();
#endif
}

} // namespace

std::unique_ptr<InstanceChannel> MakeInstanceChannel() {
    return std::make_unique<PosixInstanceChannel>(LockDirectory());
}

PosixInstanceChannel::PosixInstanceChannel(std::string directory) : m_directory(std::move(directory)) {}

PosixInstanceChannel::~PosixInstanceChannel() {
    close();
}

std::string PosixInstanceChannel::socketPath(const std::string& identifier) const {
    return m_directory + "/tellwick-" + NameHash(identifier) + ".sock";
}

bool PosixInstanceChannel::listen(const std::string& identifier) {
    close();
    const std::string path = socketPath(identifier);
    sockaddr_un address{};
    if (!fillAddress(path, address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    // The caller holds the lock: a socket file here is what a killed copy left behind.
    ::unlink(path.c_str());
    // Only this user may connect, whatever the directory's mode.
    const mode_t saved = ::umask(0177);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::umask(saved);
    if (!bound || ::listen(fd, 16) != 0) {
        ::close(fd);
        return false;
    }
    m_listener = fd;
    m_path = path;
    return true;
}

void PosixInstanceChannel::close() {
    if (m_listener < 0)
        return;
    ::close(m_listener);
    m_listener = -1;
    ::unlink(m_path.c_str());
    m_path.clear();
}

void PosixInstanceChannel::serve(const Handler& handler) {
    while (m_listener >= 0) {
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR)
                continue;
            return; // EAGAIN: nothing more waits
        }
        serveConnection(fd, handler);
        ::close(fd);
    }
}

void PosixInstanceChannel::serveConnection(int fd, const Handler& handler) {
    if (!samePeerUser(fd))
        return;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(ReadTimeoutMs);
    std::string bytes;
    InstanceMessage message;
    FrameStatus status = FrameStatus::Incomplete;
    char buffer[1024];
    while (status == FrameStatus::Incomplete) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n > 0) {
            bytes.append(buffer, static_cast<std::size_t>(n));
            status = DecodeInstanceMessage(bytes, message);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && waitReadable(fd, deadline))
            continue;
        // The peer went away or stalled before its message was whole.
        status = FrameStatus::Invalid;
    }
    const InstanceAnswer answer = status == FrameStatus::Complete ? handler(message) : InstanceAnswer{};
    const std::string reply = EncodeInstanceAnswer(answer);
    writeAll(fd, reply.data(), reply.size(), Clock::now() + std::chrono::milliseconds(ReadTimeoutMs));
}

SendResult PosixInstanceChannel::send(const std::string& identifier, const InstanceMessage& message, int timeoutMs,
                                      std::string* text) {
    const std::string frame = EncodeInstanceMessage(message);
    if (frame.empty())
        return SendResult::Ignored;
    sockaddr_un address{};
    if (!fillAddress(socketPath(identifier), address))
        return SendResult::NotRunning;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return SendResult::NotRunning;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    SendResult result = SendResult::NoAnswer;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        // EAGAIN: the running copy's queue is full, as good as not there for now.
        ::close(fd);
        return SendResult::NotRunning;
    }
    if (writeAll(fd, frame.data(), frame.size(), deadline)) {
        // The answer ends with its text, or with the connection (an earlier version's one byte).
        std::string bytes;
        InstanceAnswer answer;
        char buffer[512];
        while (DecodeInstanceAnswer(bytes, answer) == FrameStatus::Incomplete) {
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n > 0) {
                bytes.append(buffer, static_cast<std::size_t>(n));
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && waitReadable(fd, deadline))
                continue;
            break; // closed, or no more in time
        }
        result = ReadAnswer(bytes, text);
    }
    ::close(fd);
    return result;
}

} // namespace tw::platform
