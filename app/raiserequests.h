#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

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
