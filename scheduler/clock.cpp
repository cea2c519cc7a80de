#include "clock.h"

SystemClock::SystemClock()
{
    m_steady.start();
}

qint64 SystemClock::epochMs() const
{
    return QDateTime::currentMSecsSinceEpoch();
}

qint64 SystemClock::monotonicMs() const
{
    return m_steady.elapsed();
}

QTimeZone SystemClock::zone() const
{
    return QTimeZone::systemTimeZone();
}

FakeClock::FakeClock(const QDateTime &start, const QTimeZone &zone)
    : m_zone(zone), m_epochMs(start.isValid() ? start.toMSecsSinceEpoch() : 0)
{
}

void FakeClock::advance(qint64 ms)
{
    m_epochMs += ms;
    m_monotonicMs += ms;
}

void FakeClock::setNow(const QDateTime &when)
{
    m_epochMs = when.toMSecsSinceEpoch();
}

namespace {
Clock *g_clock = nullptr;
}

Clock &appClock()
{
    static SystemClock system;
    return g_clock ? *g_clock : system;
}

void setAppClock(Clock *clock)
{
    g_clock = clock;
}
