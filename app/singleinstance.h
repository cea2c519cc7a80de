#pragma once

#include <QLockFile>
#include <memory>

// Keeps a second copy of the program from running. The lock lives in a place
// fixed by the user's id alone (no environment variable moves it), so a copy
// started from a terminal and one from the desktop see each other; a lock
// left by a killed process is taken over.
class SingleInstance
{
public:
    SingleInstance();
    // <runtimeRoot>/<uid>/dawnbell.lock where that folder exists, else
    // /tmp/dawnbell-<uid>.lock.
    static QString lockPath(const QString &runtimeRoot = QStringLiteral("/run/user"));
    // False when another copy holds the lock.
    bool acquire();

private:
    std::unique_ptr<QLockFile> m_lock;
};
