#pragma once

#include <QDateTime>
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

// The clock of the running program: the system clock unless a test set another.
Clock &appClock();
void setAppClock(Clock *clock);
