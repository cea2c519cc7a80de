#include "profileindex.h"

#include <QSettings>

namespace {
const QString group = QStringLiteral("Settings/");
}

ProfileIndex::ProfileIndex(QSettings &store) : m_store(store) {}

QString ProfileIndex::slotKey(int n) const
{
    return group + QStringLiteral("Profile") + QString::number(n);
}

void ProfileIndex::writeCounter(int count)
{
    m_store.setValue(group + QStringLiteral("Counter"), QString::number(count));
    m_store.sync();
}

QStringList ProfileIndex::names() const
{
    QStringList names;
    for (int n = 1; m_store.contains(slotKey(n)); ++n) {
        // An unquoted value with commas, written by hand, reads back as a list.
        const QVariant v = m_store.value(slotKey(n));
        names.append(v.typeId() == QMetaType::QStringList ? v.toStringList().join(QStringLiteral(", "))
                                                          : v.toString());
    }
    return names;
}

void ProfileIndex::append(const QString &name)
{
    const int slot = int(names().size()) + 1;
    m_store.setValue(slotKey(slot), name);
    writeCounter(slot);
}

bool ProfileIndex::remove(const QString &name)
{
    const QStringList current = names();
    const qsizetype at = current.indexOf(name);
    if (at < 0)
        return false;
    for (qsizetype n = at + 1; n < current.size(); ++n)
        m_store.setValue(slotKey(int(n)), current[n]);
    m_store.remove(slotKey(int(current.size())));
    writeCounter(int(current.size()) - 1);
    return true;
}
