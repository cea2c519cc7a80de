#include "paths.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

namespace Paths {

QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString sampleFolder()
{
    const QString beside = programFolder();
    const QString installed = QStringLiteral(DAWNBELL_DATADIR);
    if (!QFileInfo::exists(beside + QStringLiteral("/Sample1.mp3"))
        && QFileInfo::exists(installed + QStringLiteral("/Sample1.mp3")))
        return installed;
    return beside;
}

QString profilesFolder()
{
    const QString beside = programFolder() + QStringLiteral("/Profiles");
    if (QFileInfo(beside).isDir() || QFileInfo(programFolder()).isWritable())
        return beside;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/Profiles");
}

} // namespace Paths
