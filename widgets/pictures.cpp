#include "pictures.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QPixmapCache>

namespace Pictures {

QPixmap png(const QString &path)
{
    const QString key = QStringLiteral("dawnbell:") + path;
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    pixmap = QPixmap::fromImage(reader.read());
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

QIcon appIcon()
{
    return QIcon(png(QStringLiteral(":/dawnbell.png")));
}

} // namespace Pictures
