#include "singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

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
