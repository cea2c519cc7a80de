#pragma once

#include <QString>
#include <QStringList>

class QSettings;

// The ordered names of the saved profiles in the settings store: group
// "Settings", keys "Counter" and "Profile1", "Profile2", … Every change is
// written at once; one that does not reach the disk is undone in memory too.
class ProfileIndex
{
public:
    // The store must outlive the index.
    explicit ProfileIndex(QSettings &store);

    // Every slot in the order of its number; a gap left by a hand edit hides nothing.
    QStringList names() const;
    // Adds names after the last slot; false, with the reason, when the store cannot be written.
    bool append(const QStringList &added, QString *error = nullptr);
    bool append(const QString &name, QString *error = nullptr) { return append(QStringList{name}, error); }
    // Removes the first slot holding exactly `name` and closes the gap; a name
    // not listed changes nothing. False only when the store cannot be written.
    bool remove(const QString &name, QString *error = nullptr);
    // The settings file the index is kept in.
    QString fileName() const;

private:
    bool commit(const QStringList &after, QString *error);
    void put(const QStringList &names);
    QSettings &m_store;
};
