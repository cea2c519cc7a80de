#include "activealarms.h"

#include "scheduler/alarmcheck.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>

namespace {
// The language's alphabetical order, ignoring case, as the lists sort their
// rows; English order where the locale names no language.
bool listedBefore(const QString &a, const QString &b)
{
    static const QCollator collator = [] {
        QCollator made(QLocale().language() == QLocale::C ? QLocale(QLocale::English) : QLocale());
        made.setCaseSensitivity(Qt::CaseInsensitive);
        return made;
    }();
    const int c = collator.compare(a, b);
    return c != 0 ? c < 0 : a < b;
}
} // namespace

QString ActiveAlarms::Alarm::row() const
{
    return ActiveRow::compose(name, timeText);
}

int ActiveAlarms::add(const QString &name, const QString &timeText)
{
    Alarm alarm{name, timeText};
    const QString row = alarm.row();
    const auto at = std::upper_bound(m_alarms.begin(), m_alarms.end(), row,
                                     [](const QString &r, const Alarm &a) { return listedBefore(r, a.row()); });
    const int index = int(at - m_alarms.begin());
    m_alarms.insert(index, std::move(alarm));
    return index;
}

int ActiveAlarms::remove(const QString &name)
{
    const int index = indexOf(name);
    if (index >= 0)
        m_alarms.removeAt(index);
    return index;
}

int ActiveAlarms::indexOf(const QString &name) const
{
    for (int i = 0; i < m_alarms.size(); ++i)
        if (m_alarms[i].name == name)
            return i;
    return -1;
}

QStringList ActiveAlarms::names() const
{
    QStringList result;
    for (const Alarm &alarm : m_alarms)
        result << alarm.name;
    return result;
}

QStringList ActiveAlarms::rows() const
{
    QStringList result;
    for (const Alarm &alarm : m_alarms)
        result << alarm.row();
    return result;
}
