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
constexpr qint64 hourSecs = 3600;
constexpr qint64 daySecs = 24 * hourSecs;
// Moments handled are kept this long, for a clock set back.
constexpr qint64 keepRungSecs = 2 * daySecs;

qint64 floorDiv(qint64 a, qint64 b)
{
    return a / b - (a % b < 0 ? 1 : 0);
}

qint64 naiveSecs(const QDateTime &wall)
{
    return wall.toSecsSinceEpoch();
}
} // namespace

AlarmCheck::AlarmCheck(const ProfileStore &store, const Clock &clock) : m_store(store), m_clock(clock) {}

void AlarmCheck::follow(const QStringList &rows)
{
    follow(rows, floorDiv(m_clock.epochMs(), 1000));
}

void AlarmCheck::follow(const QStringList &rows, qint64 examinedUpTo)
{
    QHash<QString, qint64> kept;
    for (const QString &row : rows) {
        const QString name = ActiveRow::nameOf(row);
        kept.insert(name, m_examinedUpTo.value(name, examinedUpTo));
    }
    m_examinedUpTo.swap(kept);
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

void AlarmCheck::spansPerSecond(qint64 fromSecond, qint64 toSecond, QList<Span> &result) const
{
    for (qint64 s = fromSecond + 1; s <= toSecond; ++s) {
        const QDateTime before = wall(s - 1), at = wall(s);
        if (at <= before || repeatsEarlierWallTime(s))
            continue;
        if (!result.isEmpty() && result.last().upTo == before)
            result.last().upTo = at;
        else
            result.append({before, at});
    }
}

QList<AlarmCheck::Span> AlarmCheck::spans(qint64 fromSecond, qint64 toSecond) const
{
    // Hour by hour: second by second only near a change of the zone's offset,
    // so that a look back over days stays cheap.
    QList<Span> result;
    const QTimeZone zone = m_clock.zone();
    for (qint64 from = fromSecond; from < toSecond;) {
        const qint64 to = qMin(toSecond, from + hourSecs);
        const auto at = [](qint64 s) { return QDateTime::fromSecsSinceEpoch(s, QTimeZone::utc()); };
        if (zone.hasTransitions() && !zone.transitions(at(from - 2 * hourSecs), at(to)).isEmpty()) {
            spansPerSecond(from, to, result);
        } else if (!result.isEmpty() && result.last().upTo == wall(from)) {
            result.last().upTo = wall(to);
        } else {
            result.append({wall(from), wall(to)});
        }
        from = to;
    }
    return result;
}

std::optional<QDateTime> AlarmCheck::lastDue(const ProfileRecord &profile, const QList<Span> &spans) const
{
    const auto moment = TimeText::profileMoment(profile.timeText());
    if (!moment)
        return std::nullopt;
    std::optional<QDateTime> last;
    for (const Span &span : spans) {
        for (QDate day = span.after.date(); day <= span.upTo.date(); day = day.addDays(1)) {
            const QDateTime due(day, *moment, QTimeZone::utc());
            if (due > span.after && due <= span.upTo && DayList::ringsOn(profile.days, DayList::weekdayName(day.dayOfWeek())))
                last = due;
        }
    }
    return last;
}

CheckResult AlarmCheck::tick(const QStringList &rows)
{
    const qint64 nowSecond = floorDiv(m_clock.epochMs(), 1000);
    follow(rows, nowSecond - 1); // a row met first here has its own second examined
    const qint64 nowWall = naiveSecs(wall(nowSecond));
    m_rung.removeIf([nowWall](const QPair<QString, qint64> &moment) { return qAbs(nowWall - moment.second) > keepRungSecs; });

    CheckResult result;
    for (const QString &row : rows) {
        const QString name = ActiveRow::nameOf(row);
        qint64 from = qMax(m_examinedUpTo.value(name), nowSecond - lookBackSecs);
        // A clock set back starts again from its new second; what rang stays rung.
        if (from > nowSecond)
            from = nowSecond - 1;
        m_examinedUpTo[name] = nowSecond;
        if (name.isEmpty() || from == nowSecond)
            continue;
        const auto profile = m_store.read(name);
        if (!profile)
            continue;
        const auto due = lastDue(*profile, spans(from, nowSecond));
        if (!due || m_rung.contains({name, naiveSecs(*due)}))
            continue;
        m_rung.insert({name, naiveSecs(*due)});
        const qint64 late = qMax<qint64>(0, nowWall - naiveSecs(*due));
        if (late > ringLateForSecs)
            result.missed.append({name, *due});
        else
            result.firings.append({name, profile->timeText(), profile->sound, profile->note, profile->risingVolume(), *due, late});
    }
    return result;
}

std::optional<qint64> AlarmCheck::nextWakeMs(const QStringList &rows) const
{
    const qint64 nowMs = m_clock.epochMs();
    const QTimeZone zone = m_clock.zone();
    const QDateTime now = QDateTime::fromMSecsSinceEpoch(nowMs, zone);
    std::optional<qint64> next;
    auto consider = [&next](qint64 ms) { next = next ? qMin(*next, ms) : ms; };
    for (const QString &row : rows) {
        const QString name = ActiveRow::nameOf(row);
        const auto profile = name.isEmpty() ? std::nullopt : m_store.read(name);
        const auto moment = profile ? TimeText::profileMoment(profile->timeText()) : std::nullopt;
        if (!moment)
            continue;
        for (int d = 0; d <= 7; ++d) {
            const QDate day = now.date().addDays(d);
            const QDateTime due(day, *moment, zone);
            if (due.toMSecsSinceEpoch() > nowMs && DayList::ringsOn(profile->days, DayList::weekdayName(day.dayOfWeek()))) {
                consider(due.toMSecsSinceEpoch());
                break;
            }
        }
    }
    // Where the offset changes, moments are skipped or repeated: look again there.
    if (next && zone.hasTransitions()) {
        const QTimeZone::OffsetData change = zone.nextTransition(now);
        if (change.atUtc.isValid())
            consider(change.atUtc.toMSecsSinceEpoch());
    }
    return next;
}
