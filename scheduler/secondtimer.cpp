#include "secondtimer.h"
#include "scheduler/clock.h"

namespace {
// Wake a little after the boundary so the clock reads the new second.
constexpr int lateByMs = 2;
} // namespace

SecondTimer::SecondTimer(QObject *parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        arm();
        emit timeout();
    });
}

void SecondTimer::start()
{
    m_active = true;
    arm();
}

void SecondTimer::stop()
{
    m_active = false;
    m_timer.stop();
}

void SecondTimer::arm()
{
    if (!m_active)
        return;
    const qint64 intoSecond = ((appClock().epochMs() % 1000) + 1000) % 1000;
    m_timer.start(int(1000 - intoSecond) + lateByMs);
}
