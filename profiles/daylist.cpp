#include "daylist.h"

namespace DayList {

const QStringList &weekdayNames()
{
    static const QStringList names{
        QStringLiteral("Monday"),   QStringLiteral("Tuesday"), QStringLiteral("Wednesday"),
        QStringLiteral("Thursday"), QStringLiteral("Friday"),  QStringLiteral("Saturday"),
        QStringLiteral("Sunday")};
    return names;
}

QString weekdayName(int qtDayOfWeek)
{
    return weekdayNames().value(qtDayOfWeek - 1);
}

std::optional<QList<int>> parse(const QString &line)
{
    if (line == everyday)
        return QList<int>{0, 1, 2, 3, 4, 5, 6};
    if (line.size() < 2)
        return std::nullopt;
    QStringView rest = QStringView(line).chopped(2);
    QList<int> days;
    while (!rest.isEmpty()) {
        int found = -1;
        for (int d = 0; d < 7 && found < 0; ++d) {
            if (rest.startsWith(weekdayNames()[d]))
                found = d;
        }
        if (found < 0)
            break;
        days.append(found);
        rest = rest.mid(qMin<qsizetype>(rest.size(), weekdayNames()[found].size() + 2));
    }
    return days;
}

bool ringsOn(const QString &line, const QString &weekday)
{
    const int d = weekdayNames().indexOf(weekday);
    const auto days = parse(line);
    return d >= 0 && days && days->contains(d);
}

QString format(bool all, const QList<bool> &ticked)
{
    QString line;
    int count = 0;
    for (int d = 0; d < 7 && d < ticked.size(); ++d) {
        if (ticked[d]) {
            line += weekdayNames()[d] + QStringLiteral(", ");
            ++count;
        }
    }
    return all || count == 0 || count == 7 ? everyday : line;
}

} // namespace DayList
