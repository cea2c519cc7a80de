#pragma once

#include <QIcon>
#include <QPixmap>
#include <QProxyStyle>

// Every picture the program shows is a PNG. Read as PNG outright: left to
// guess, Qt loads each image-format plugin (and libjpeg) to ask whether it
// knows the file, several libraries on the way to the first window.
namespace Pictures {
QPixmap png(const QString &path);
// The program's icon, for every window and the tray.
QIcon appIcon();
} // namespace Pictures

// The platform's style, except that the menu bar's overflow arrow (shown only
// when the menus do not fit) comes from Qt's own pictures read as above: Qt
// builds that arrow with every menu bar, and it would load the plugins.
class AppStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;
    QIcon standardIcon(StandardPixmap which, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};
