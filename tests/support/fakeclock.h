#pragma once

#include "scheduler/clock.h"

// A clock that moves only when told to.
class FakeClock : public Clock
{
public:
    explicit FakeClock(const QDateTime &start = {}, const QTimeZone &zone = QTimeZone::utc())
        : m_zone(zone), m_epochMs(start.isValid() ? start.toMSecsSinceEpoch() : 0)
    {
    }
    qint64 epochMs() const override { return m_epochMs; }
    qint64 monotonicMs() const override { return m_monotonicMs; }
    QTimeZone zone() const override { return m_zone; }

    // Real time passes: both clocks move.
    void advance(qint64 ms)
    {
        m_epochMs += ms;
        m_monotonicMs += ms;
    }
    // The user sets the clock: only the wall clock jumps.
    void setNow(const QDateTime &when) { m_epochMs = when.toMSecsSinceEpoch(); }

private:
    QTimeZone m_zone;
    qint64 m_epochMs = 0;
    qint64 m_monotonicMs = 0;
};
