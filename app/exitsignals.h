#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the GUI thread, so the
// program closes its windows in order instead of dying mid-way.
class ExitSignals : public QObject
{
    Q_OBJECT
public:
    explicit ExitSignals(QObject *parent = nullptr);

signals:
    void exitRequested();

private:
    QSocketNotifier *m_notifier = nullptr;
};
