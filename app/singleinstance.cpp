#include "singleinstance.h"

#include <QDir>
#include <unistd.h>

QString SingleInstance::lockPath(const QString &runtimeRoot)
{
    // The user's runtime folder belongs to the user id, not to a session's
    // variables: every start of this user finds the same lock.
    const QString runtime = runtimeRoot + QStringLiteral("/%1").arg(getuid());
    return QDir(runtime).exists() ? runtime + QStringLiteral("/dawnbell.lock")
                                  : QStringLiteral("/tmp/dawnbell-%1.lock").arg(getuid());
}

SingleInstance::SingleInstance() : m_lock(std::make_unique<QLockFile>(lockPath()))
{
    m_lock->setStaleLockTime(0);
}

bool SingleInstance::acquire()
{
    return m_lock->tryLock(100);
}
