#pragma once

#include "profilerecord.h"

#include <QString>
#include <QStringList>
#include <optional>

class ProfileIndex;

// The folder of profile files, "<name>.wkp" each. Names compare without regard
// to letter case, as they did on the file system the format comes from.
class ProfileStore
{
public:
    explicit ProfileStore(const QString &folder);

    QString folder() const { return m_folder; }
    // Where a profile being modified waits until it is saved or put back.
    QString pendingFolder() const;

    // Whether a name can be a file name here: no path separators, reserved
    // characters or control characters, and not only dots.
    static bool isSafeName(const QString &name);

    // The file of `name`: an existing file whose name matches without regard to
    // case, else the path it would get. Empty for an unsafe name.
    QString pathFor(const QString &name) const;
    bool exists(const QString &name) const;

    std::optional<ProfileRecord> read(const QString &name, QString *error = nullptr) const;
    // Writes atomically: the old file or the new one, never half of one.
    bool write(const ProfileRecord &record, QString *error = nullptr) const;
    // Without `force` a read-only file is refused. A missing file counts as removed.
    bool remove(const QString &name, bool force, QString *error = nullptr) const;

    // Moves the file into the pending folder while the profile is being modified.
    bool moveToPending(const QString &name, QString *error = nullptr) const;
    // Drops the pending copy once the profile is safely written again.
    void dropPending(const QString &name) const;
    // Puts back every profile left pending by an interrupted modification and
    // appends its name to the index when absent. Returns the names put back.
    QStringList recoverPending(ProfileIndex &index) const;

private:
    static QString findFile(const QString &folder, const QString &name);
    QString m_folder;
};
