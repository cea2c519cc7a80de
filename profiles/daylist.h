#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The days line of a profile: "Everyday", or weekday names each followed by ", ".
namespace DayList {

inline const QString everyday = QStringLiteral("Everyday");

// "Monday" … "Sunday"; index 0 is Monday.
const QStringList &weekdayNames();
// The English name of a date's weekday.
QString weekdayName(int qtDayOfWeek);

// The weekdays a days line names (0 = Monday), all seven for "Everyday". Names
// are taken from the front until one is not a weekday. A line of fewer than two
// characters is damaged: nullopt.
std::optional<QList<int>> parse(const QString &line);

// Whether the days line makes the alarm ring on `weekday` ("Monday" …).
bool ringsOn(const QString &line, const QString &weekday);

// The days line for the ticked boxes: "Everyday" for none or all seven.
QString format(bool all, const QList<bool> &ticked);

} // namespace DayList
