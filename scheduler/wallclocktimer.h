#pragma once

#include <QObject>
#include <QTimer>

class QSocketNotifier;

// Wakes at a moment of the wall clock, not after an interval: a machine that
// sleeps over the moment wakes the program as soon as it resumes, and any step
// of the clock (set by hand, by NTP, or a resume) wakes it at once too, so
// the caller can look at what it passed over. Between those it costs nothing.
//
// On Linux a timerfd on CLOCK_REALTIME; elsewhere a plain timer (steps and
// sleep then show only at the moment it was set for).
class WallClockTimer : public QObject
{
    Q_OBJECT
public:
    explicit WallClockTimer(QObject *parent = nullptr);
    ~WallClockTimer() override;

    // Wakes at `epochMs` of the program's clock (at once when that has passed).
    void wakeAt(qint64 epochMs);
    void stop();
    bool isActive() const { return m_active; }

signals:
    // The moment came, or the wall clock was set.
    void timeout();

private:
    void fire();

    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    QTimer m_fallback;
    bool m_active = false;
};
