#include "paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace Paths {

QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString sampleFolder()
{
    // Beside the executable, else the data folder of the prefix it was installed
    // into (wherever that was moved), else the one it was built for.
    const QString candidates[] = {programFolder(), programFolder() + QStringLiteral("/../share/dawnbell"),
                                  QStringLiteral(DAWNBELL_DATADIR)};
    for (const QString &folder : candidates) {
        if (QFileInfo::exists(folder + QStringLiteral("/Sample1.mp3")))
            return QDir::cleanPath(folder);
    }
    return programFolder();
}

QString profilesFolder()
{
    const QString beside = programFolder() + QStringLiteral("/Profiles");
    if (QFileInfo(beside).isDir() || QFileInfo(programFolder()).isWritable())
        return beside;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/dawnbell/Profiles");
}

} // namespace Paths
