#pragma once

#include <QProxyStyle>

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
