#include "profilestore.h"
#include "profileindex.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

namespace {
const QString extension = QStringLiteral(".wkp");
const QString journalExtension = QStringLiteral(".next");

// QSaveFile::write() only fills a buffer: "no space" shows at the flush, and
// commit() would then put a short file in place of the old one.
bool saveBytes(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()) {
        ProfileStore::step();
        if (file.commit())
            return true;
    }
    if (error)
        *error = file.errorString();
    return false;
}

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
    return saveBytes(pathFor(record.name), record.toFileBytes(), error);
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

bool ProfileStore::erase(const QString &name, ProfileIndex &index, QString *error) const
{
    const QString path = pathFor(name);
    if (!QFileInfo::exists(path)) // removed outside: only the slot is left to go
        return index.remove(name, error);
    if (!(QFile::permissions(path) & QFileDevice::WriteOwner)) {
        if (error)
            *error = QStringLiteral("The file %1 is read-only.").arg(path);
        return false;
    }
    if (!index.remove(name, error))
        return false;
    step();
    if (!remove(name, false, error)) {
        index.append(name);
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

bool ProfileStore::restorePending(const QString &name, QString *error) const
{
    const QString from = findFile(pendingFolder(), name);
    if (from.isEmpty() || exists(name) || !QFile::rename(from, m_folder + QLatin1Char('/') + QFileInfo(from).fileName())) {
        if (error)
            *error = QStringLiteral("The file %1 cannot be put back.").arg(from);
        return false;
    }
    QDir().rmdir(pendingFolder()); // only when nothing is left in it
    return true;
}

void ProfileStore::dropPending(const QString &name) const
{
    const QString path = findFile(pendingFolder(), name);
    if (!path.isEmpty())
        QFile::remove(path);
}

bool ProfileStore::writeJournal(const QString &from, const QString &to, QString *error) const
{
    return saveBytes(pendingFolder() + QLatin1Char('/') + from + journalExtension, to.toUtf8(), error);
}

void ProfileStore::dropJournal(const QString &from) const
{
    QFile::remove(pendingFolder() + QLatin1Char('/') + from + journalExtension);
    QDir().rmdir(pendingFolder());
}

QStringList ProfileStore::recoverPending(ProfileIndex &index) const
{
    QDir pending(pendingFolder());
    if (pending.exists()) {
        // A journal whose new file exists: that save went through, the old copy goes.
        const auto journals = pending.entryList({QStringLiteral("*") + journalExtension}, QDir::Files | QDir::Hidden);
        for (const QString &entry : journals) {
            QFile journal(pending.filePath(entry));
            const QString to = journal.open(QIODevice::ReadOnly) ? QString::fromUtf8(journal.read(4096)) : QString();
            journal.close();
            if (exists(to))
                dropPending(entry.chopped(journalExtension.size()));
            journal.remove();
        }
        const auto entries = pending.entryList({QStringLiteral("*") + extension}, QDir::Files | QDir::Hidden);
        for (const QString &entry : entries) {
            // A file already back in place was saved after the copy was made: it wins.
            if (exists(entry.chopped(extension.size())))
                QFile::remove(pending.filePath(entry));
            else
                QFile::rename(pending.filePath(entry), m_folder + QLatin1Char('/') + entry); // else it waits for the next start
        }
        pending.rmdir(pending.path()); // only when nothing is left in it
    }

    // Every profile file is listed: one that the index lacks was written just
    // before a crash, or put back above.
    QSet<QString> listed;
    for (const QString &name : index.names())
        listed.insert(name.toCaseFolded());
    QStringList unlisted;
    const auto files = QDir(m_folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &entry : files) {
        const QString name = entry.left(entry.size() - extension.size());
        if (entry.endsWith(extension, Qt::CaseInsensitive) && isSafeName(name) && !listed.contains(name.toCaseFolded())) {
            listed.insert(name.toCaseFolded());
            unlisted.append(name);
        }
    }
    if (!unlisted.isEmpty() && !index.append(unlisted))
        return {};
    return unlisted;
}
