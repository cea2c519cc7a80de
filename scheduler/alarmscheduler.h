#pragma once

#include "scheduler/alarmcheck.h"

#include <QObject>
#include <QStringList>

class Clock;
class ProfileStore;
class QFileSystemWatcher;
class WallClockTimer;

// Runs the alarm check over the active alarms: asleep until the next one is
// due, woken early by a step of the clock or a profile saved anew, and not
// at all while nothing is active. It keeps the notes of the alarms ringing
// until the alarm window that shows them closes.
class AlarmScheduler : public QObject
{
    Q_OBJECT
public:
    AlarmScheduler(const ProfileStore &store, const Clock &clock, QObject *parent = nullptr);

    // The active alarms changed (rows as ActiveAlarms::rows gives them).
    void follow(const QStringList &rows);
    // Looks at once: the clock was set.
    void lookNow();
    // The alarm window closed: the next alarm starts its notes afresh.
    void clearNotes() { m_notes.clear(); }
    bool isWaiting() const;

signals:
    // All the alarms one look found due, and the notes of every alarm ringing
    // since the window opened, one to a line ("None." when all are blank).
    void alarmsDue(const QList<Firing> &firings, const QString &notes);
    // Alarms passed over too long ago to ring: `report` for the window ("Missed:
    // Gym at 07:30:00 am, Wednesday, December 9, 2026; …"), `lines` (one alarm
    // each) for a desktop message.
    void alarmsMissed(const QString &report, const QString &lines);

private:
    void schedule();
    void look();

    const ProfileStore &m_store;
    const Clock &m_clock;
    AlarmCheck m_check;
    QStringList m_rows;
    QString m_notes;
    WallClockTimer *m_wakeTimer;
    QFileSystemWatcher *m_profilesWatcher = nullptr; // a profile edited outside moves the next wake
};
