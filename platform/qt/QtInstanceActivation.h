// How a second copy asks the running one to come forward: a local socket named after the
// single-instance identifier. The running copy listens; a second copy connects, says "activate"
// and ends. Nothing else crosses the socket.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <string>

#include "platform/qt/RecentWindowTracker.h"

namespace tw::platform {

// The socket's path: in directory (the lock files' directory, of this user's own), named by a hash of
// the identifier (socket paths are short).
QString ActivationSocketPath(const std::string& directory, const std::string& identifier);

// Connects to the running copy and asks it to come forward; false when nobody answered in time.
bool RequestActivation(const std::string& directory, const std::string& identifier, int timeoutMs = 1000);

class ActivationServer : public QObject {
    Q_OBJECT
public:
    explicit ActivationServer(QObject* parent = nullptr);
    // Listens for identifier. Call only while holding the single-instance lock: a socket file left
    // behind by a copy that was killed is removed first.
    bool listen(const std::string& directory, const std::string& identifier);
    void close();

signals:
    void activationRequested();

private:
    void onNewConnection();
    QLocalServer m_server;
};

} // namespace tw::platform
