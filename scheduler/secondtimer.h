#pragma once

#include <QObject>
#include <QTimer>

// A one-second timer that ticks just after each second of the program's clock
// begins, so a display never skips or repeats a second and every such timer in
// the program wakes at the same moment.
class SecondTimer : public QObject
{
    Q_OBJECT
public:
    explicit SecondTimer(QObject *parent = nullptr);

    void start();
    void stop();
    bool isActive() const { return m_active; }
    int interval() const { return 1000; }

signals:
    void timeout();

private:
    void arm();
    QTimer m_timer;
    bool m_active = false;
};
