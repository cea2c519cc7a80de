#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

class Clock;
class ProfileStore;
struct ProfileRecord;

// A row of the active-alarm lists: "Gym (06:15:00 am)".
namespace ActiveRow {
inline constexpr int suffixLength = 14; // " (" + "hh:mm:ss am" + ")"
QString compose(const QString &name, const QString &timeText);
// The profile name of a row; empty for a row too short to hold one.
QString nameOf(const QString &row);
} // namespace ActiveRow

// An active alarm that fell due.
struct Firing
{
    QString name;
    QString timeText;
    QString sound;
    QString note;
    bool risingVolume = false;
    QDateTime due;       // the wall-clock moment it was due, as a naive UTC date-time
    qint64 lateSecs = 0; // how long after that moment it was found
};

// An alarm whose moment was passed over too long ago to ring.
struct MissedAlarm
{
    QString name;
    QDateTime due; // as in Firing
};

// What one look at the clock found.
struct CheckResult
{
    QList<Firing> firings; // in row order
    QList<MissedAlarm> missed;
};

// The check of the active alarms. Every look re-reads each active profile's
// file and examines every second that passed since that alarm was last
// examined, however the wall clock got there: a late tick, a suspended
// machine, a clock set forward. An alarm passed over by less than an hour
// rings late; one passed over by more is reported as missed. A clock set back
// never rings the same moment of an alarm twice.
class AlarmCheck
{
public:
    // How late an alarm may still ring; older moments are reported missed.
    static constexpr qint64 ringLateForSecs = 3600;
    // How far back a look goes at the most (a machine off for weeks).
    static constexpr qint64 lookBackSecs = 8 * 24 * 3600;

    AlarmCheck(const ProfileStore &store, const Clock &clock);

    // The active rows changed: new ones are examined from the next second on,
    // rows gone are forgotten.
    void follow(const QStringList &rows);
    // Examines the rows up to the current second.
    CheckResult tick(const QStringList &rows);
    // When the next row falls due, or the clock's zone changes its offset
    // (epoch ms of the start of that second); none for no rows that can ring.
    std::optional<qint64> nextWakeMs(const QStringList &rows) const;

    // Wall-clock spans (as naive UTC date-times) that the seconds (from, to]
    // cover. A second after a spring-forward jump covers the skipped hour; the
    // seconds of a repeated hour cover nothing the second time.
    struct Span
    {
        QDateTime after, upTo;
    };
    QList<Span> spans(qint64 fromSecond, qint64 toSecond) const;

private:
    QDateTime wall(qint64 second) const;
    bool repeatsEarlierWallTime(qint64 second) const;
    void follow(const QStringList &rows, qint64 examinedUpTo);
    void spansPerSecond(qint64 fromSecond, qint64 toSecond, QList<Span> &result) const;
    std::optional<QDateTime> lastDue(const ProfileRecord &profile, const QList<Span> &spans) const;

    const ProfileStore &m_store;
    const Clock &m_clock;
    QHash<QString, qint64> m_examinedUpTo; // per profile name, an epoch second
    QSet<QPair<QString, qint64>> m_rung;    // name and naive due second of moments already handled
};
