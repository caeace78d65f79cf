// How a second copy asks the running one to come forward: a local socket named after the
// single-instance identifier. The running copy listens; a second copy connects, says "activate"
// and ends. Nothing else crosses the socket.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <string>

namespace tw::platform {

// The socket's path: in the lock directory, named by a hash of the identifier (socket paths are short).
QString ActivationSocketPath(const std::string& identifier);

// Connects to the running copy and asks it to come forward; false when nobody answered in time.
bool RequestActivation(const std::string& identifier, int timeoutMs = 1000);

class ActivationServer : public QObject {
    Q_OBJECT
public:
    explicit ActivationServer(QObject* parent = nullptr);
    // Listens for identifier. Call only while holding the single-instance lock: a socket file left
    // behind by a copy that was killed is removed first.
    bool listen(const std::string& identifier);
    void close();

signals:
    void activationRequested();

private:
    void onNewConnection();
    QLocalServer m_server;
};

// Remembers the program's most recently active visible top-level window, so that a request from a
// second copy can bring it forward.
class RecentWindowTracker : public QObject {
    Q_OBJECT
public:
    explicit RecentWindowTracker(QObject* parent = nullptr);
    QWidget* recentWindow() const;
    // Restores the recent window when minimised and raises and activates it; false when there is none.
    bool bringForward();

private:
    void remember(QWidget* w);
    QPointer<QWidget> m_recent;
};

} // namespace tw::platform
