#include "profilestore.h"
#include "profileindex.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
const QString extension = QStringLiteral(".wkp");

bool unsafe(const QString &name, QString *error)
{
    if (ProfileStore::isSafeName(name))
        return false;
    if (error)
        *error = QStringLiteral("The name '%1' cannot be used for a file.").arg(name);
    return true;
}
} // namespace

ProfileStore::ProfileStore(const QString &folder) : m_folder(QDir::cleanPath(folder)) {}

QString ProfileStore::pendingFolder() const
{
    return m_folder + QStringLiteral("/.pending");
}

bool ProfileStore::isSafeName(const QString &name)
{
    static const QString reserved = QStringLiteral("\\/:*?\"<>|");
    if (name.isEmpty() || name.count(QLatin1Char('.')) == name.size())
        return false;
    for (QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || reserved.contains(c))
            return false;
    }
    return true;
}

QString ProfileStore::findFile(const QString &folder, const QString &name)
{
    if (!isSafeName(name))
        return {};
    const QString exact = folder + QLatin1Char('/') + name + extension;
    if (QFileInfo::exists(exact))
        return exact;
    const QString wanted = name + extension;
    const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &entry : entries) {
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0)
            return folder + QLatin1Char('/') + entry;
    }
    return exact;
}

QString ProfileStore::pathFor(const QString &name) const
{
    return findFile(m_folder, name);
}

bool ProfileStore::exists(const QString &name) const
{
    const QString path = pathFor(name);
    return !path.isEmpty() && QFileInfo(path).isFile();
}

std::optional<ProfileRecord> ProfileStore::read(const QString &name, QString *error) const
{
    if (unsafe(name, error))
        return std::nullopt;
    QFile file(pathFor(name));
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    return ProfileRecord::fromFileBytes(file.readAll(), error);
}

bool ProfileStore::write(const ProfileRecord &record, QString *error) const
{
    if (unsafe(record.name, error))
        return false;
    if (!QDir().mkpath(m_folder)) {
        if (error)
            *error = QStringLiteral("The folder %1 cannot be created.").arg(m_folder);
        return false;
    }
    QSaveFile file(pathFor(record.name));
    const QByteArray bytes = record.toFileBytes();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool ProfileStore::remove(const QString &name, bool force, QString *error) const
{
    if (unsafe(name, error))
        return false;
    const QString path = pathFor(name);
    if (!QFileInfo::exists(path))
        return true;
    // Judged by the file's mode, not by access(): root may write anything.
    if (!force && !(QFile::permissions(path) & QFileDevice::WriteOwner)) {
        if (error)
            *error = QStringLiteral("The file %1 is read-only.").arg(path);
        return false;
    }
    QFile file(path);
    if (!file.remove()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool ProfileStore::moveToPending(const QString &name, QString *error) const
{
    if (unsafe(name, error))
        return false;
    const QString from = pathFor(name);
    const QString to = findFile(pendingFolder(), name);
    if (!QDir().mkpath(pendingFolder())) {
        if (error)
            *error = QStringLiteral("The folder %1 cannot be created.").arg(pendingFolder());
        return false;
    }
    QFile::remove(to);
    if (!QFile::rename(from, to)) {
        if (error)
            *error = QStringLiteral("The file %1 cannot be moved.").arg(from);
        return false;
    }
    return true;
}

void ProfileStore::dropPending(const QString &name) const
{
    const QString path = findFile(pendingFolder(), name);
    if (!path.isEmpty())
        QFile::remove(path);
}

QStringList ProfileStore::recoverPending(ProfileIndex &index) const
{
    QStringList recovered;
    QDir pending(pendingFolder());
    if (!pending.exists())
        return recovered;
    const QStringList names = index.names();
    const auto entries = pending.entryList({QStringLiteral("*") + extension}, QDir::Files | QDir::Hidden);
    for (const QString &entry : entries) {
        const QString name = entry.chopped(extension.size());
        // A file already back in place was saved after the copy was made: it wins.
        if (exists(name))
            QFile::remove(pending.filePath(entry));
        else if (!QFile::rename(pending.filePath(entry), m_folder + QLatin1Char('/') + entry))
            continue; // stays pending for the next start rather than being lost
        recovered.append(name);
        if (!names.contains(name))
            index.append(name);
    }
    pending.rmdir(pending.path()); // only when nothing is left in it
    return recovered;
}
