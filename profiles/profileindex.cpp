#include "profileindex.h"

#include <QFile>
#include <QSettings>
#include <map>
#include <sys/stat.h>

namespace {
const QString group = QStringLiteral("Settings/");
const QString slotPrefix = group + QStringLiteral("Profile");
const QString counterKey = group + QStringLiteral("Counter");

// The slot number of a key, 0 when it is not a slot ("Profile01" is not one).
int slotOf(const QString &key)
{
    if (!key.startsWith(slotPrefix) || key.size() == slotPrefix.size() || key[slotPrefix.size()] == QLatin1Char('0'))
        return 0;
    bool ok = false;
    const int n = QStringView(key).mid(slotPrefix.size()).toInt(&ok);
    return ok && n > 0 ? n : 0;
}

// The identity of the settings file: a sync that wrote it replaced it by a new file.
std::pair<dev_t, ino_t> identity(const QString &path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {0, 0};
    return {st.st_dev, st.st_ino};
}
} // namespace

ProfileIndex::ProfileIndex(QSettings &store) : m_store(store) {}

QStringList ProfileIndex::names() const
{
    std::map<int, QString> bySlot;
    const QStringList keys = m_store.allKeys();
    for (const QString &key : keys) {
        if (const int n = slotOf(key)) {
            // An unquoted value with commas, written by hand, reads back as a list.
            const QVariant v = m_store.value(key);
            bySlot[n] = v.typeId() == QMetaType::QStringList ? v.toStringList().join(QStringLiteral(", ")) : v.toString();
        }
    }
    QStringList names;
    for (const auto &slot : bySlot)
        names.append(slot.second);
    return names;
}

void ProfileIndex::put(const QStringList &names)
{
    const QStringList keys = m_store.allKeys();
    for (const QString &key : keys) {
        if (slotOf(key) > names.size())
            m_store.remove(key);
    }
    for (qsizetype n = 0; n < names.size(); ++n)
        m_store.setValue(slotPrefix + QString::number(n + 1), names[n]);
}

bool ProfileIndex::commit(const QStringList &after, QString *error)
{
    const QStringList before = names();
    const QVariant counter = m_store.value(counterKey);
    const auto file = identity(m_store.fileName());
    put(after);
    m_store.setValue(counterKey, QString::number(after.size()));
    m_store.sync();
    // status() keeps the first error for good, so after one failure only a
    // replaced file tells that a later sync went through.
    if (m_store.status() == QSettings::NoError || identity(m_store.fileName()) != file)
        return true;
    put(before);
    counter.isValid() ? m_store.setValue(counterKey, counter) : m_store.remove(counterKey);
    if (error)
        *error = QStringLiteral("The settings file %1 cannot be written.").arg(m_store.fileName());
    return false;
}

bool ProfileIndex::append(const QStringList &added, QString *error)
{
    return commit(names() + added, error);
}

bool ProfileIndex::remove(const QString &name, QString *error)
{
    QStringList current = names();
    if (!current.removeOne(name))
        return true;
    return commit(current, error);
}

QString ProfileIndex::fileName() const
{
    return m_store.fileName();
}
