#pragma once

#include <QIcon>
#include <QPixmap>

// Every picture the program shows is a PNG. Read as PNG outright: left to
// guess, Qt loads each image-format plugin (and libjpeg) to ask whether it
// knows the file, several libraries on the way to the first window.
namespace Pictures {
QPixmap png(const QString &path);
// The program's icon, for every window and the tray.
QIcon appIcon();
} // namespace Pictures
