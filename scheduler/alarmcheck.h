#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class Clock;
class ProfileStore;

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
};

// The once-a-second check of the active alarms. Every tick re-reads each active
// profile's file and fires those whose moment has come on one of their days.
//
// A tick examines every second since the previous tick, so a late tick loses no
// alarm; after a long gap (suspend, the clock set by hand) only its own second.
class AlarmCheck
{
public:
    AlarmCheck(const ProfileStore &store, const Clock &clock);

    // The next tick examines only its own second.
    void restart();
    // Checks the rows in order and returns those that are due, in row order.
    QList<Firing> tick(const QStringList &rows);

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
    std::optional<Firing> examine(const QString &row, const QList<Span> &spans);

    const ProfileStore &m_store;
    const Clock &m_clock;
    std::optional<qint64> m_lastSecond;
    qint64 m_lastMonotonicMs = 0;
};
