#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QTimeZone>

// The time the program runs by. The windows and the alarm check ask this
// clock, never QDateTime directly, so tests can stand at any second.
class Clock
{
public:
    virtual ~Clock() = default;
    // Wall-clock time, milliseconds since the epoch.
    virtual qint64 epochMs() const = 0;
    // A steady count of milliseconds that the user cannot set.
    virtual qint64 monotonicMs() const = 0;
    virtual QTimeZone zone() const = 0;

    QDateTime now() const { return QDateTime::fromMSecsSinceEpoch(epochMs(), zone()); }
};

class SystemClock : public Clock
{
public:
    SystemClock();
    qint64 epochMs() const override;
    qint64 monotonicMs() const override;
    QTimeZone zone() const override;

private:
    QElapsedTimer m_steady;
};

// A clock that moves only when told to.
class FakeClock : public Clock
{
public:
    explicit FakeClock(const QDateTime &start = {}, const QTimeZone &zone = QTimeZone::utc());
    qint64 epochMs() const override { return m_epochMs; }
    qint64 monotonicMs() const override { return m_monotonicMs; }
    QTimeZone zone() const override { return m_zone; }

    // Real time passes: both clocks move.
    void advance(qint64 ms);
    // The user sets the clock: only the wall clock jumps.
    void setNow(const QDateTime &when);

private:
    QTimeZone m_zone;
    qint64 m_epochMs = 0;
    qint64 m_monotonicMs = 0;
};

// The clock of the running program: the system clock unless a test set another.
Clock &appClock();
void setAppClock(Clock *clock);
