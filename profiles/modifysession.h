#pragma once

#include <QString>

class ProfileIndex;
struct ProfileRecord;
class ProfileStore;

// Saving a profile, and the life of one taken out of storage for modification:
// its file waits in the pending folder, byte for byte, until the profile is
// saved anew or put back. Each change is ordered so that a crash between two of
// its writes leaves the old or the new profile for the next start to list.
class ModifySession
{
public:
    ModifySession(ProfileStore &store, ProfileIndex &index);

    // The Modify flag: a profile is out of storage.
    bool active() const { return !m_taken.isEmpty(); }
    QString takenName() const { return m_taken; }

    // Moves the file aside and drops the name from the index; on failure
    // nothing has changed.
    bool takeOut(const QString &name, QString *error = nullptr);
    // Writes a new profile, or the modified one in place of the one taken out.
    // On failure the old file and the pending copy stay as they were.
    bool save(const ProfileRecord &record, QString *error = nullptr);
    // Puts back exactly the bytes that were taken out.
    bool putBack(QString *error = nullptr);

private:
    ProfileStore &m_store;
    ProfileIndex &m_index;
    QString m_taken;
};
