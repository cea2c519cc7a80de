#include "singleinstance.h"

#include <QDir>
#include <unistd.h>

SingleInstance::SingleInstance()
    : m_lock(std::make_unique<QLockFile>(QDir::tempPath() + QStringLiteral("/dawnbell-%1.lock").arg(getuid())))
{
    m_lock->setStaleLockTime(0);
}

bool SingleInstance::acquire()
{
    return m_lock->tryLock(100);
}
