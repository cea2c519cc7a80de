#pragma once

#include <QString>

// Keeps two copies of the program from working on the same files. A lock is
// named after what it guards (the settings file, the profile folder), so a copy
// started with a HOME of its own is a copy of its own, while a copy started
// from a terminal and one from the desktop still see each other. It is the
// kernel's lock on an open file, so it goes with its process however that
// ends, kill -9 included.
class SingleInstance
{
public:
    explicit SingleInstance(const QString &path);
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    // <runtimeRoot>/<uid>/dawnbell-<key>.lock where that folder exists, else
    // /tmp/dawnbell-<uid>-<key>.lock; the key is made from `guarded`'s absolute path.
    static QString lockPath(const QString &guarded, const QString &runtimeRoot = QStringLiteral("/run/user"));
    // False only when another copy holds the lock. Where no lock can be made
    // at all (a read-only /tmp), the program runs: a missed alarm is worse
    // than a second copy.
    bool acquire();

private:
    QString m_path;
    int m_fd = -1;
};
