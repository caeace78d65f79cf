// PosixInstanceChannel: the single-instance channel on POSIX, an AF_UNIX stream socket beside the
// lock files in the user's private lock directory. Only a peer of the same user is served.
#pragma once

#include <string>

#include "platform/InstanceChannel.h"

namespace tw::platform {

class PosixInstanceChannel : public InstanceChannel {
public:
    explicit PosixInstanceChannel(std::string directory);
    ~PosixInstanceChannel() override;
    PosixInstanceChannel(const PosixInstanceChannel&) = delete;
    PosixInstanceChannel& operator=(const PosixInstanceChannel&) = delete;

    bool listen(const std::string& identifier) override;
    std::intptr_t readyHandle() const override { return m_listener; }
    void serve(const Handler& handler) override;
    void close() override;
    using InstanceChannel::send;
    SendResult send(const std::string& identifier, const InstanceMessage& message, int timeoutMs,
                    std::string* text) override;

    // The socket's path for identifier: a hash of it, since socket paths are short.
    std::string socketPath(const std::string& identifier) const;
    // How long serve waits for the rest of a message that has begun to arrive.
    static constexpr int ReadTimeoutMs = 1000;

private:
    void serveConnection(int fd, const Handler& handler);

    std::string m_directory;
    std::string m_path;
    int m_listener = -1;
};

} // namespace tw::platform
