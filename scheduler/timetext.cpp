#include "timetext.h"
#include "profiles/daylist.h"

#include <QStringList>

namespace TimeText {

namespace {
QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// The number in `text` at [from, from + 2) when both are digits.
int digitsAt(const QString &text, int from)
{
    const QChar a = text.at(from), b = text.at(from + 1);
    if (!a.isDigit() || !b.isDigit() || a.unicode() > '9' || b.unicode() > '9')
        return -1;
    return (a.unicode() - '0') * 10 + (b.unicode() - '0');
}
} // namespace

Face face(const QTime &time)
{
    const int h = time.hour();
    return {twoDigits(h > 12 ? h - 12 : h), twoDigits(time.minute()), twoDigits(time.second()),
            QString::fromLatin1(h < 12 ? "am" : "pm")};
}

QString current(const QTime &time)
{
    return time.toString(QStringLiteral("HH:mm:ss"));
}

QString check(const QTime &time)
{
    const Face f = face(time);
    return f.hours + QLatin1Char(':') + f.minutes + QLatin1Char(':') + f.seconds + QLatin1Char(' ') + f.period;
}

QString date(const QDate &date)
{
    static const QStringList months{
        QStringLiteral("January"), QStringLiteral("February"), QStringLiteral("March"),
        QStringLiteral("April"),   QStringLiteral("May"),      QStringLiteral("June"),
        QStringLiteral("July"),    QStringLiteral("August"),   QStringLiteral("September"),
        QStringLiteral("October"), QStringLiteral("November"), QStringLiteral("December")};
    return QStringLiteral("%1, %2 %3, %4")
        .arg(DayList::weekdayName(date.dayOfWeek()), months.value(date.month() - 1))
        .arg(date.day())
        .arg(date.year());
}

std::optional<QTime> profileMoment(const QString &timeText)
{
    if (timeText.size() != 11 || timeText[2] != QLatin1Char(':') || timeText[5] != QLatin1Char(':')
        || timeText[8] != QLatin1Char(' '))
        return std::nullopt;
    const QString period = timeText.right(2);
    const int h = digitsAt(timeText, 0), m = digitsAt(timeText, 3), s = digitsAt(timeText, 6);
    if (h < 0 || h > 12 || m < 0 || m > 59 || s < 0 || s > 59)
        return std::nullopt;
    if (period != QLatin1String("am") && period != QLatin1String("pm"))
        return std::nullopt;
    return QTime(h % 12 + (period == QLatin1String("pm") ? 12 : 0), m, s);
}

} // namespace TimeText
