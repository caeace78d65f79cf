// The named pipe behind WinInstanceChannel: overlapped, one client at a time, a bounded wait for each
// message and for the client to read its answer.
#include "platform/win32/WinInstanceChannel.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include "platform/SingleInstance.h"
#include "platform/win32/WinText.h"

namespace tw::platform {

namespace {

static_assert(sizeof(OVERLAPPED) <= 64);

// The current user's SID, as a string and as a SID (LocalFree both); false when unknown.
struct UserSid {
    std::wstring text;
    std::string bytes;
    bool ok = false;
    UserSid() {
        HANDLE token = nullptr;
        if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
            return;
        DWORD size = 0;
        ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        std::string buffer(size, '\0');
        if (size > 0 && ::GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
            PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
            wchar_t* s = nullptr;
            if (::ConvertSidToStringSidW(sid, &s)) {
                text = s;
                ::LocalFree(s);
                bytes.assign(static_cast<const char*>(sid), ::GetLengthSid(sid));
                ok = true;
            }
        }
        ::CloseHandle(token);
    }
    PSID sid() { return bytes.data(); }
};

UserSid& currentUser() {
    static UserSid user;
    return user;
}

ULONGLONG msLeft(ULONGLONG deadline) {
    const ULONGLONG now = ::GetTickCount64();
    return deadline > now ? deadline - now : 0;
}

// Runs an overlapped read or write to its end, or cancels it at the deadline. Bytes moved, or -1.
long finish(HANDLE h, OVERLAPPED& ov, BOOL started, ULONGLONG deadline) {
    if (!started && ::GetLastError() != ERROR_IO_PENDING)
        return -1;
    if (::WaitForSingleObject(ov.hEvent, static_cast<DWORD>(msLeft(deadline))) != WAIT_OBJECT_0)
        ::CancelIo(h);
    DWORD n = 0;
    if (!::GetOverlappedResult(h, &ov, &n, TRUE))
        return -1;
    return static_cast<long>(n);
}

long readSome(HANDLE h, HANDLE event, char* buffer, DWORD size, ULONGLONG deadline) {
    OVERLAPPED ov{};
    ov.hEvent = event;
    ::ResetEvent(event);
    return finish(h, ov, ::ReadFile(h, buffer, size, nullptr, &ov), deadline);
}

bool writeAll(HANDLE h, HANDLE event, const std::string& bytes, ULONGLONG deadline) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        OVERLAPPED ov{};
        ov.hEvent = event;
        ::ResetEvent(event);
        const long n =
            finish(h, ov, ::WriteFile(h, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), nullptr, &ov),
                   deadline);
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

std::wstring WinInstanceChannel::pipeName(const std::string& identifier) {
    return L"\\\\.\\pipe\\tellwick-" + currentUser().text + L"-" + WidenUtf8(NameHash(identifier));
}

WinInstanceChannel::~WinInstanceChannel() {
    close();
}

std::intptr_t WinInstanceChannel::readyHandle() const {
    return m_connected != nullptr ? reinterpret_cast<std::intptr_t>(m_connected) : -1;
}

bool WinInstanceChannel::listen(const std::string& identifier) {
    close();
    UserSid& user = currentUser();
    if (!user.ok)
        return false;
    // Owned by this user (not by the Administrators group, the default owner of an elevated
    // administrator's objects), full access for this user alone.
    const std::wstring sddl = L"O:" + user.text + L"D:P(A;;GA;;;" + user.text + L")";
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &sd, nullptr))
        return false;
    SECURITY_ATTRIBUTES sa{sizeof sa, sd, FALSE};
    HANDLE pipe = ::CreateNamedPipeW(pipeName(identifier).c_str(),
                                     PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                     PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1,
                                     4096, static_cast<DWORD>(MaxMessageSize), 0, &sa);
    ::LocalFree(sd);
    if (pipe == INVALID_HANDLE_VALUE)
        return false;
    m_pipe = pipe;
    m_connected = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_io = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (m_connected == nullptr || m_io == nullptr || !arm()) {
        close();
        return false;
    }
    return true;
}

bool WinInstanceChannel::arm() {
    auto* ov = reinterpret_cast<OVERLAPPED*>(m_overlapped);
    *ov = OVERLAPPED{};
    ov->hEvent = m_connected;
    ::ResetEvent(m_connected);
    if (::ConnectNamedPipe(m_pipe, ov))
        return true; // connected at once; the event is set
    switch (::GetLastError()) {
    case ERROR_IO_PENDING:
        return true;
    case ERROR_PIPE_CONNECTED:
        ::SetEvent(m_connected);
        return true;
    default:
        return false;
    }
}

void WinInstanceChannel::close() {
    if (m_pipe != nullptr) {
        ::CancelIo(m_pipe);
        ::CloseHandle(m_pipe);
        m_pipe = nullptr;
    }
    for (void** e : {&m_connected, &m_io}) {
        if (*e != nullptr)
            ::CloseHandle(*e);
        *e = nullptr;
    }
}

void WinInstanceChannel::serve(const Handler& handler) {
    while (m_pipe != nullptr && ::WaitForSingleObject(m_connected, 0) == WAIT_OBJECT_0) {
        DWORD ignored = 0;
        if (!::GetOverlappedResult(m_pipe, reinterpret_cast<OVERLAPPED*>(m_overlapped), &ignored, FALSE) &&
            ::GetLastError() == ERROR_IO_INCOMPLETE)
            return;
        serveConnection(handler);
        ::DisconnectNamedPipe(m_pipe);
        if (!arm()) {
            close();
            return;
        }
    }
}

void WinInstanceChannel::serveConnection(const Handler& handler) {
    const ULONGLONG deadline = ::GetTickCount64() + ReadTimeoutMs;
    std::string bytes;
    InstanceMessage message;
    FrameStatus status = FrameStatus::Incomplete;
    char buffer[1024];
    while (status == FrameStatus::Incomplete) {
        const long n = readSome(m_pipe, m_io, buffer, sizeof buffer, deadline);
        if (n <= 0) {
            status = FrameStatus::Invalid;
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
        status = DecodeInstanceMessage(bytes, message);
    }
    const InstanceAnswer answer = status == FrameStatus::Complete ? handler(message) : InstanceAnswer{};
    if (!writeAll(m_pipe, m_io, EncodeInstanceAnswer(answer), ::GetTickCount64() + ReadTimeoutMs))
        return;
    // The answer is read before the connection goes: wait (bounded) for the client to close its end,
    // reading whatever it still sends, so that a client still writing gets to its read.
    const ULONGLONG drained = ::GetTickCount64() + ReadTimeoutMs;
    while (readSome(m_pipe, m_io, buffer, sizeof buffer, drained) > 0) {
    }
}

SendResult WinInstanceChannel::send(const std::string& identifier, const InstanceMessage& message, int timeoutMs,
                                    std::string* text) {
    const std::string frame = EncodeInstanceMessage(message);
    if (frame.empty())
        return SendResult::Ignored;
    UserSid& user = currentUser();
    if (!user.ok)
        return SendResult::NotRunning;
    const std::wstring name = pipeName(identifier);
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    HANDLE h = INVALID_HANDLE_VALUE;
    for (;;) {
        h = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                          FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
        if (h != INVALID_HANDLE_VALUE)
            break;
        if (::GetLastError() != ERROR_PIPE_BUSY)
            return SendResult::NotRunning;
        // Another second copy is being served: wait for the pipe, at most until the deadline.
        if (msLeft(deadline) == 0)
            return SendResult::NoAnswer;
        ::WaitNamedPipeW(name.c_str(), static_cast<DWORD>(msLeft(deadline) > 0 ? msLeft(deadline) : 1));
    }
    // Only a pipe of this user's own is told anything.
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR sd = nullptr;
    const bool ours = ::GetSecurityInfo(h, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                                        nullptr, &sd) != ERROR_SUCCESS ||
                      owner == nullptr || ::EqualSid(owner, user.sid());
    if (sd != nullptr)
        ::LocalFree(sd);
    if (!ours) {
        ::CloseHandle(h);
        return SendResult::NotRunning;
    }
    // The running copy may bring its windows to the front: this copy was just started by the user.
    ULONG server = 0;
    if (::GetNamedPipeServerProcessId(h, &server))
        ::AllowSetForegroundWindow(server);
    HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SendResult result = SendResult::NoAnswer;
    if (event != nullptr && writeAll(h, event, frame, deadline)) {
        // The answer ends with its text; an earlier version sends its byte alone and disconnects
        // once its wait for this end to close has passed.
        std::string bytes;
        InstanceAnswer answer;
        char buffer[512];
        while (DecodeInstanceAnswer(bytes, answer) == FrameStatus::Incomplete) {
            const long n = readSome(h, event, buffer, sizeof buffer, deadline);
            if (n <= 0)
                break;
            bytes.append(buffer, static_cast<std::size_t>(n));
        }
        result = ReadAnswer(bytes, text);
    }
    if (event != nullptr)
        ::CloseHandle(event);
    ::CloseHandle(h);
    return result;
}

std::unique_ptr<InstanceChannel> MakeInstanceChannel() {
    return std::make_unique<WinInstanceChannel>();
}

} // namespace tw::platform
