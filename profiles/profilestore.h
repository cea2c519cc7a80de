#pragma once

#include "profilerecord.h"

#include <QString>
#include <QStringList>
#include <functional>
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
    // Writes atomically: the old file or the new one, never half of one. A
    // write that does not reach the disk whole (a full disk) fails.
    bool write(const ProfileRecord &record, QString *error = nullptr) const;
    // Without `force` a read-only file is refused. A missing file counts as removed.
    bool remove(const QString &name, bool force, QString *error = nullptr) const;

    // Deletes a profile's file and its slot: the slot first, so that a crash
    // between the two leaves a file that the next start lists again.
    bool erase(const QString &name, ProfileIndex &index, QString *error = nullptr) const;

    // Moves the file into the pending folder while the profile is being modified.
    bool moveToPending(const QString &name, QString *error = nullptr) const;
    // Moves the pending copy back, byte for byte; fails when a file is in its way.
    bool restorePending(const QString &name, QString *error = nullptr) const;
    // Drops the pending copy once the profile is safely written again.
    void dropPending(const QString &name) const;
    // Notes in the pending folder that the profile taken out as `from` is being
    // saved as `to`, so that a crash meanwhile keeps one of the two, never both.
    bool writeJournal(const QString &from, const QString &to, QString *error = nullptr) const;
    void dropJournal(const QString &from) const;
    // At start-up: settles every journal, puts back every pending copy not
    // replaced by its saved version, and appends to the index every profile file
    // it lacks. Returns the names it listed anew.
    QStringList recoverPending(ProfileIndex &index) const;

    // Called between two writes of a change of the profiles; tests stop the
    // process there to see what the next start makes of it.
    static inline std::function<void()> afterStep;
    static void step()
    {
        if (afterStep)
            afterStep();
    }

private:
    static QString findFile(const QString &folder, const QString &name);
    QString m_folder;
};
