#pragma once

#include "clock.h"

#include <QElapsedTimer>

// The machine's own clocks and zone.
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
