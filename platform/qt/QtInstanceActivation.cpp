// The local-socket hand-over from a second copy to the running one: the socket's path, the
// second copy's request and the running copy's server.
#include "platform/qt/QtInstanceActivation.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QLocalSocket>

namespace tw::platform {

namespace {
constexpr char Request[] = "activate\n";
}

QString ActivationSocketPath(const std::string& directory, const std::string& identifier) {
    const QByteArray hash =
        QCryptographicHash::hash(QByteArray::fromStdString(identifier), QCryptographicHash::Sha1).toHex().left(16);
    const QString name = QStringLiteral("tellwick-") + QString::fromLatin1(hash) + QStringLiteral(".sock");
    return QString::fromStdString(directory) + QLatin1Char('/') + name;
}

bool RequestActivation(const std::string& directory, const std::string& identifier, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(ActivationSocketPath(directory, identifier));
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(Request);
    const bool sent = socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(timeoutMs);
    return sent;
}

ActivationServer::ActivationServer(QObject* parent) : QObject(parent) {
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &ActivationServer::onNewConnection);
}

bool ActivationServer::listen(const std::string& directory, const std::string& identifier) {
    const QString path = ActivationSocketPath(directory, identifier);
    if (m_server.listen(path))
        return true;
    QLocalServer::removeServer(path);
    return m_server.listen(path);
}

void ActivationServer::close() {
    m_server.close();
}

void ActivationServer::onNewConnection() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            // Only the one request is understood; a client that says anything else is dropped.
            if (socket->bytesAvailable() < qint64(sizeof Request - 1))
                return;
            const QByteArray line = socket->read(sizeof Request - 1);
            if (line == QByteArray(Request))
                emit activationRequested();
            socket->disconnectFromServer();
        });
    }
}

} // namespace tw::platform
