// Any bytes as a profile file: what the reader gives, the writer and the store
// keep exactly, through a save, a modification put back and a delete.
#include "profiles/modifysession.h"
#include "profiles/profileindex.h"
#include "profiles/profilestore.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto record = ProfileRecord::fromFileBytes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!record)
        return 0;
    static QTemporaryDir dir;
    QSettings settings(dir.filePath("index.conf"), QSettings::IniFormat);
    ProfileIndex index(settings);
    ProfileStore store(dir.filePath("Profiles"));
    ModifySession session(store, index);
    // A name the file system refuses (too long, say) may fail to save, but cleanly.
    if (ProfileRecord::fromFileBytes(record->toFileBytes()) != record // one round trip is a fixed point
        || (session.save(*record)
        && (index.names() != QStringList{record->name} || store.read(record->name) != record
            || !session.takeOut(record->name) || !session.putBack() || !store.erase(record->name, index))))
        abort();
    // Nothing is left behind, nor written beside the folder ("../x" as a name).
    if (!index.names().isEmpty() || !QDir(store.folder()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
        || !QDir(dir.path()).entryList({"*.wkp"}).isEmpty())
        abort();
    return 0;
}
