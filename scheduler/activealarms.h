#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The alarms the user activated, each with the time its profile had then, in
// the order the active-alarm list shows them: alphabetical by row text, case
// ignored ("alpha (…)" above "Zeta (…)").
class ActiveAlarms
{
public:
    struct Alarm
    {
        QString name;
        QString timeText; // "07:30:00 am"
        // The row as listed and as the check reads it: "Gym (06:15:00 am)".
        QString row() const;
    };

    // Returns the position the alarm took.
    int add(const QString &name, const QString &timeText);
    // Returns the position it had, or -1 when none of that name is active.
    int remove(const QString &name);
    int indexOf(const QString &name) const;
    const Alarm &at(int index) const { return m_alarms.at(index); }
    int count() const { return int(m_alarms.size()); }
    bool isEmpty() const { return m_alarms.isEmpty(); }
    QStringList names() const;
    QStringList rows() const;

private:
    QList<Alarm> m_alarms;
};
