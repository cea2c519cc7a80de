#include "raiserequests.h"

#include <QFile>
#include <QLocalSocket>

QString RaiseRequests::socketPath(const QString &lockPath)
{
    QString path = lockPath;
    if (path.endsWith(QLatin1String(".lock")))
        path.chop(5);
    return path + QStringLiteral(".socket");
}

bool RaiseRequests::send(const QString &socketPath, const QString &activationToken)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(1000))
        return false;
    socket.write(activationToken.toUtf8() + '\n');
    const bool written = socket.waitForBytesWritten(1000);
    socket.disconnectFromServer();
    return written;
}

RaiseRequests::RaiseRequests(QObject *parent) : QObject(parent)
{
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &RaiseRequests::takeConnections);
}

bool RaiseRequests::listen(const QString &socketPath)
{
    QLocalServer::removeServer(socketPath);
    return m_server.listen(socketPath);
}

void RaiseRequests::takeConnections()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        // One line, the token (often empty), then the caller hangs up.
        const auto take = [this, socket] {
            socket->disconnect(this);
            emit raiseRequested(QString::fromUtf8(socket->readLine(4096)).trimmed());
            socket->deleteLater();
        };
        connect(socket, &QLocalSocket::readyRead, this, [socket, take] {
            if (socket->canReadLine())
                take();
        });
        connect(socket, &QLocalSocket::disconnected, this, take);
        if (socket->canReadLine() || socket->state() != QLocalSocket::ConnectedState)
            take();
    }
}
