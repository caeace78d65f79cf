// WinInstanceChannel: the single-instance channel on Windows, a named pipe whose name holds the
// user's SID and whose security descriptor lets that user alone connect. The pipe is made with
// FILE_FLAG_FIRST_PIPE_INSTANCE, so a name taken by another process is never shared; a second copy
// checks that the pipe's owner is its own user before it says anything.
#pragma once

#include <string>

#include "platform/InstanceChannel.h"

namespace tw::platform {

class WinInstanceChannel : public InstanceChannel {
public:
    WinInstanceChannel() = default;
    ~WinInstanceChannel() override;
    WinInstanceChannel(const WinInstanceChannel&) = delete;
    WinInstanceChannel& operator=(const WinInstanceChannel&) = delete;

    bool listen(const std::string& identifier) override;
    std::intptr_t readyHandle() const override;
    void serve(const Handler& handler) override;
    void close() override;
    using InstanceChannel::send;
    SendResult send(const std::string& identifier, const InstanceMessage& message, int timeoutMs,
                    std::string* text) override;

    // The pipe's name for identifier and this user.
    static std::wstring pipeName(const std::string& identifier);
    static constexpr int ReadTimeoutMs = 1000;

private:
    bool arm();
    void serveConnection(const Handler& handler);

    void* m_pipe = nullptr;      // HANDLE
    void* m_connected = nullptr; // event: a client has connected
    void* m_io = nullptr;        // event for reads and writes on the connection
    char m_overlapped[64] = {};  // OVERLAPPED of the pending ConnectNamedPipe
};

} // namespace tw::platform
