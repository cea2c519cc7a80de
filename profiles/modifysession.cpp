#include "modifysession.h"
#include "profileindex.h"
#include "profilestore.h"

ModifySession::ModifySession(ProfileStore &store, ProfileIndex &index) : m_store(store), m_index(index) {}

bool ModifySession::takeOut(const QString &name, QString *error)
{
    if (!m_store.moveToPending(name, error))
        return false;
    ProfileStore::step();
    if (!m_index.remove(name, error)) {
        m_store.restorePending(name);
        return false;
    }
    m_taken = name;
    return true;
}

bool ModifySession::save(const ProfileRecord &record, QString *error)
{
    if (active()) {
        if (!m_store.writeJournal(m_taken, record.name, error))
            return false;
        ProfileStore::step();
    }
    const bool written = m_store.write(record, error);
    if (written)
        ProfileStore::step();
    if (!written || !m_index.append(record.name, error)) {
        if (written)
            m_store.remove(record.name, true);
        if (active())
            m_store.dropJournal(m_taken);
        return false;
    }
    ProfileStore::step();
    if (active()) {
        m_store.dropPending(m_taken);
        ProfileStore::step();
        m_store.dropJournal(m_taken);
        m_taken.clear();
    }
    return true;
}

bool ModifySession::putBack(QString *error)
{
    if (!m_store.restorePending(m_taken, error))
        return false;
    ProfileStore::step();
    if (!m_index.append(m_taken, error)) {
        m_store.moveToPending(m_taken);
        return false;
    }
    m_taken.clear();
    return true;
}
