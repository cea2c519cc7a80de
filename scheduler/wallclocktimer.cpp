#include "wallclocktimer.h"
#include "clock.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <sys/timerfd.h>
#include <unistd.h>

WallClockTimer::WallClockTimer(QObject *parent) : QObject(parent)
{
    m_fallback.setSingleShot(true);
    m_fallback.setTimerType(Qt::PreciseTimer);
    connect(&m_fallback, &QTimer::timeout, this, &WallClockTimer::fire);
    m_fd = ::timerfd_create(CLOCK_REALTIME, TFD_CLOEXEC | TFD_NONBLOCK);
    if (m_fd < 0)
        return;
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    m_notifier->setEnabled(false);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        // Either the count of expiries or ECANCELED for a step of the clock:
        // both are a reason to look at the time again.
        std::uint64_t expiries = 0;
        if (::read(m_fd, &expiries, sizeof expiries) < 0 && errno == EAGAIN)
            return;
        fire();
    });
}

WallClockTimer::~WallClockTimer()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void WallClockTimer::wakeAt(qint64 epochMs)
{
    m_active = true;
    // The program's clock may be a test's; the kernel's is the real one. Only
    // the distance between them matters.
    const qint64 inMs = qMax<qint64>(0, epochMs - appClock().epochMs());
    if (m_fd < 0) {
        m_fallback.start(int(qMin<qint64>(inMs, 24 * 3600 * 1000)));
        return;
    }
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const qint64 atNs = qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec + inMs * 1'000'000 + 1;
    itimerspec when{};
    when.it_value.tv_sec = atNs / 1'000'000'000;
    when.it_value.tv_nsec = atNs % 1'000'000'000;
    if (::timerfd_settime(m_fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &when, nullptr) != 0) {
        m_fallback.start(int(qMin<qint64>(inMs, 24 * 3600 * 1000)));
        return;
    }
    m_notifier->setEnabled(true);
}

void WallClockTimer::stop()
{
    m_active = false;
    m_fallback.stop();
    if (m_fd < 0)
        return;
    const itimerspec disarm{};
    ::timerfd_settime(m_fd, 0, &disarm, nullptr);
    m_notifier->setEnabled(false);
}

void WallClockTimer::fire()
{
    m_active = false;
    if (m_notifier)
        m_notifier->setEnabled(false);
    emit timeout();
}
