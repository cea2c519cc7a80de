#pragma once

#include <QString>

// Keeps a second copy of the program from running. The lock lives in a place
// fixed by the user's id alone (no environment variable moves it), so a copy
// started from a terminal and one from the desktop see each other. It is the
// kernel's lock on an open file, so it goes with its process however that
// ends, kill -9 included.
class SingleInstance
{
public:
    SingleInstance();
    explicit SingleInstance(const QString &path);
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    // <runtimeRoot>/<uid>/dawnbell.lock where that folder exists, else
    // /tmp/dawnbell-<uid>.lock.
    static QString lockPath(const QString &runtimeRoot = QStringLiteral("/run/user"));
    // False only when another copy holds the lock. Where no lock can be made
    // at all (a read-only /tmp), the program runs: a missed alarm is worse
    // than a second copy.
    bool acquire();

private:
    QString m_path;
    int m_fd = -1;
};
