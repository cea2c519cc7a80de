#include "singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalSocket>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

QString SingleInstance::lockPath(const QString &guarded, const QString &runtimeRoot)
{
    // The user's runtime folder belongs to the user id, not to a session's
    // variables: every start of this user finds the same lock.
    const QString key = QString::fromLatin1(
        QCryptographicHash::hash(QDir::cleanPath(QDir(guarded).absolutePath()).toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(16));
    const QString runtime = runtimeRoot + QStringLiteral("/%1").arg(getuid());
    return QDir(runtime).exists() ? runtime + QStringLiteral("/dawnbell-%1.lock").arg(key)
                                  : QStringLiteral("/tmp/dawnbell-%1-%2.lock").arg(getuid()).arg(key);
}

SingleInstance::SingleInstance(const QString &path) : m_path(path) {}

SingleInstance::~SingleInstance()
{
    // The file stays: removing it would let a copy that opened it just now and
    // one that makes it anew both hold "the" lock.
    if (m_fd >= 0)
        ::close(m_fd);
}

bool SingleInstance::acquire()
{
    // Nothing is written to the file, so nothing is synced to disk at start-up;
    // O_NOFOLLOW keeps a link planted in /tmp from choosing the file.
    m_fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_fd < 0)
        return true;
    return ::flock(m_fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
}

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
