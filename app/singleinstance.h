#pragma once

#include <QLocalServer>
#include <QObject>
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

// How a later start reaches the running copy, so that a window lost behind others
// or minimised with no tray to hide in comes back: a local socket beside the lock,
// opened by the lock's holder only.
class RaiseRequests : public QObject
{
    Q_OBJECT
public:
    // The socket that belongs to the lock at `lockPath`.
    static QString socketPath(const QString &lockPath);
    // From a start that found the lock held: asks the holder to bring its window
    // forward, handing it `activationToken`. False when no copy answered.
    static bool send(const QString &socketPath, const QString &activationToken);

    explicit RaiseRequests(QObject *parent = nullptr);
    // Call only while holding the lock: a socket left by a copy that was killed is replaced.
    bool listen(const QString &socketPath);

signals:
    void raiseRequested(const QString &activationToken);

private:
    void takeConnections();
    QLocalServer m_server;
};
