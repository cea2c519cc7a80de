#include "systemclock.h"

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
