#include "alarmscheduler.h"

#include "profiles/blanks.h"
#include "profiles/profilestore.h"
#include "scheduler/clock.h"
#include "scheduler/timetext.h"
#include "scheduler/wallclocktimer.h"

#include <QFileSystemWatcher>

namespace {
// Even with nothing due for days the check looks again now and then: a
// change of the zone's rules is seen that way.
constexpr qint64 longestSleepMs = 6 * 3600 * 1000;
} // namespace

AlarmScheduler::AlarmScheduler(const ProfileStore &store, const Clock &clock, QObject *parent)
    : QObject(parent), m_store(store), m_clock(clock), m_check(store, clock)
{
    m_wakeTimer = new WallClockTimer(this); m_wakeTimer->setObjectName(QStringLiteral("Timer5"));
    connect(m_wakeTimer, &WallClockTimer::timeout, this, &AlarmScheduler::look);
}

bool AlarmScheduler::isWaiting() const
{
    return m_wakeTimer->isActive();
}

void AlarmScheduler::follow(const QStringList &rows)
{
    m_rows = rows;
    schedule();
}

void AlarmScheduler::lookNow()
{
    if (!m_rows.isEmpty())
        look();
}

void AlarmScheduler::schedule()
{
    m_check.follow(m_rows);
    const auto next = m_check.nextWakeMs(m_rows);
    if (!next)
        m_wakeTimer->stop();
    if (m_rows.isEmpty())
        return;
    if (!m_profilesWatcher) {
        m_profilesWatcher = new QFileSystemWatcher(this);
        // Also while no active profile can be read: one being saved anew comes back.
        connect(m_profilesWatcher, &QFileSystemWatcher::directoryChanged, this, [this] {
            if (!m_rows.isEmpty())
                schedule();
        });
    }
    if (m_profilesWatcher->directories().isEmpty())
        m_profilesWatcher->addPath(m_store.folder());
    // Just past the start of the due second, so the clock reads that second.
    if (next)
        m_wakeTimer->wakeAt(qMin(*next, m_clock.epochMs() + longestSleepMs) + 1);
}

void AlarmScheduler::look()
{
    const CheckResult result = m_check.tick(m_rows);
    if (!result.firings.isEmpty()) {
        for (const Firing &firing : result.firings) {
            // Each ringing alarm's note starts on a line of its own.
            if (!m_notes.isEmpty())
                m_notes += QStringLiteral("\r\n");
            m_notes += firing.note;
            if (trimBlanks(m_notes).isEmpty())
                m_notes = QStringLiteral("None.");
        }
        emit alarmsDue(result.firings, m_notes);
    }
    if (!result.missed.isEmpty()) {
        QStringList lines;
        for (const MissedAlarm &alarm : result.missed)
            lines << alarm.name + QStringLiteral(" at ") + TimeText::check(alarm.due.time()) + QStringLiteral(", ")
                         + TimeText::date(alarm.due.date());
        emit alarmsMissed(QStringLiteral("Missed: ") + lines.join(QStringLiteral("; ")), lines.join(QLatin1Char('\n')));
    }
    schedule();
}
