#include "alarmcheck.h"
#include "clock.h"
#include "timetext.h"
#include "profiles/daylist.h"
#include "profiles/profilestore.h"

namespace ActiveRow {
QString compose(const QString &name, const QString &timeText)
{
    return name + QStringLiteral(" (") + timeText + QLatin1Char(')');
}

QString nameOf(const QString &row)
{
    return row.size() > suffixLength ? row.chopped(suffixLength) : QString();
}
} // namespace ActiveRow

namespace {
// Catching up stops making sense past this: the machine slept or the clock was set.
constexpr qint64 maxCatchUpMs = 60'000;

qint64 floorDiv(qint64 a, qint64 b)
{
    return a / b - (a % b < 0 ? 1 : 0);
}
} // namespace

AlarmCheck::AlarmCheck(const ProfileStore &store, const Clock &clock) : m_store(store), m_clock(clock) {}

void AlarmCheck::restart()
{
    m_lastSecond.reset();
}

QDateTime AlarmCheck::wall(qint64 second) const
{
    const QDateTime utc = QDateTime::fromSecsSinceEpoch(second, QTimeZone::utc());
    return utc.addSecs(m_clock.zone().offsetFromUtc(utc));
}

bool AlarmCheck::repeatsEarlierWallTime(qint64 second) const
{
    const QTimeZone zone = m_clock.zone();
    auto offset = [&](qint64 s) { return zone.offsetFromUtc(QDateTime::fromSecsSinceEpoch(s, QTimeZone::utc())); };
    const int fallBack = offset(second - 7200) - offset(second);
    return fallBack > 0 && offset(second - fallBack) == offset(second) + fallBack;
}

QList<AlarmCheck::Span> AlarmCheck::spans(qint64 fromSecond, qint64 toSecond) const
{
    QList<Span> result;
    for (qint64 s = fromSecond + 1; s <= toSecond; ++s) {
        const QDateTime before = wall(s - 1), at = wall(s);
        if (at <= before || repeatsEarlierWallTime(s))
            continue;
        if (!result.isEmpty() && result.last().upTo == before)
            result.last().upTo = at;
        else
            result.append({before, at});
    }
    return result;
}

QList<Firing> AlarmCheck::tick(const QStringList &rows)
{
    const qint64 nowSecond = floorDiv(m_clock.epochMs(), 1000);
    const qint64 monotonic = m_clock.monotonicMs();
    qint64 from = nowSecond - 1;
    if (m_lastSecond) {
        const qint64 gap = nowSecond - *m_lastSecond;
        const qint64 elapsed = monotonic - m_lastMonotonicMs;
        if (gap == 0)
            from = nowSecond; // this second was examined already
        else if (gap > 0 && elapsed <= maxCatchUpMs && gap <= elapsed / 1000 + 2)
            from = *m_lastSecond;
    }
    m_lastSecond = nowSecond;
    m_lastMonotonicMs = monotonic;

    const QList<Span> covered = spans(from, nowSecond);
    QList<Firing> firings;
    for (const QString &row : rows) {
        if (auto firing = examine(row, covered))
            firings.append(*firing);
    }
    return firings;
}

std::optional<Firing> AlarmCheck::examine(const QString &row, const QList<Span> &spans)
{
    const QString name = ActiveRow::nameOf(row);
    const auto profile = name.isEmpty() ? std::nullopt : m_store.read(name);
    if (!profile)
        return std::nullopt;
    const auto moment = TimeText::profileMoment(profile->timeText());
    if (!moment)
        return std::nullopt;
    for (const Span &span : spans) {
        for (const QDate &day : {span.after.date(), span.upTo.date()}) {
            const QDateTime due(day, *moment, QTimeZone::utc());
            if (due > span.after && due <= span.upTo
                && DayList::ringsOn(profile->days, DayList::weekdayName(day.dayOfWeek())))
                return Firing{name, profile->timeText(), profile->sound, profile->note, profile->risingVolume()};
        }
    }
    return std::nullopt;
}
