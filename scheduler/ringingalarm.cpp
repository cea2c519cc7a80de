#include "ringingalarm.h"

#include "scheduler/timetext.h"

#include <QStringList>
#include <utility>

namespace {
// A tick a little late under load is not worth a word; a resume is.
constexpr qint64 lateNoticeSecs = 10;
constexpr int rampStep = 10;
} // namespace

RingingAlarm::Rung RingingAlarm::ring(const QList<Firing> &firings, const QString &notes, const QDateTime &now)
{
    Rung rung;
    if (firings.isEmpty())
        return rung;
    // A snoozed alarm gives way to the one that falls due now.
    if (m_snoozing) {
        m_snoozing = false;
        m_snoozeLeft = 0;
        rung.snoozeEnded = true;
    }
    const Firing &shown = firings.last();
    for (const Firing &firing : firings) {
        m_risingShown = firing.risingVolume;
        if (!m_rung && m_risingShown) { // a second alarm due at once keeps the ramp going
            startRamp();
            rung.rampStarted = true;
        }
        m_rung = true;
    }
    m_name = shown.name;
    m_timeText = shown.timeText;
    m_notes = notes;
    m_lateNotice = shown.lateSecs >= lateNoticeSecs
                       ? QStringLiteral("Late: due %1, rang at %2.").arg(TimeText::check(shown.due.time()), TimeText::check(now.time()))
                       : QString();
    m_soundNotice.clear();
    m_sound = shown.sound; // one load, however many fell due
    return rung;
}

bool RingingAlarm::snooze()
{
    m_snoozing = true;
    m_snoozeLeft = snoozeSecs;
    m_namesShown = true;
    if (m_risingShown)
        startRamp();
    // A second snooze during the countdown keeps the sound it saved the first time.
    if (!m_sound.isEmpty())
        m_snoozedSound = m_sound;
    m_sound.clear();
    return m_risingShown;
}

bool RingingAlarm::countDown()
{
    m_snoozeLeft = qMax(0, m_snoozeLeft - 1);
    if (m_snoozeLeft > 0)
        return false;
    m_snoozing = false;
    m_sound = m_snoozedSound;
    return true;
}

QString RingingAlarm::countdownText() const
{
    const auto two = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    return two(m_snoozeLeft / 3600) + u':' + two(m_snoozeLeft / 60 % 60) + u':' + two(m_snoozeLeft % 60);
}

void RingingAlarm::startRamp()
{
    m_volume = quietVolume;
    m_ramping = true;
}

bool RingingAlarm::rampUp()
{
    m_volume = qMin(fullVolume, m_volume + rampStep);
    m_ramping = m_volume < fullVolume;
    return m_ramping;
}

bool RingingAlarm::blinkOff()
{
    return std::exchange(m_namesShown, false);
}

bool RingingAlarm::blinkOn()
{
    return !std::exchange(m_namesShown, true);
}

void RingingAlarm::soundFailed()
{
    m_soundNotice = QStringLiteral("Sound file unplayable: the sample sound rings instead.");
}

QString RingingAlarm::notice() const
{
    return QStringList{m_lateNotice, m_soundNotice}.join(QLatin1Char('\n')).trimmed();
}
