#pragma once

#include <QString>
#include <QStringList>

class QSettings;

// The ordered names of the saved profiles in the settings store: group
// "Settings", keys "Counter" and "Profile1", "Profile2", … without gaps.
class ProfileIndex
{
public:
    // The store must outlive the index.
    explicit ProfileIndex(QSettings &store);

    // Slot 1, 2, … up to the first slot that does not exist.
    QStringList names() const;
    // Stores the name in the first missing slot.
    void append(const QString &name);
    // Removes the first slot holding exactly `name` and closes the gap; false,
    // with nothing changed, when no slot holds it.
    bool remove(const QString &name);

private:
    QString slotKey(int n) const;
    void writeCounter(int count);
    QSettings &m_store;
};
