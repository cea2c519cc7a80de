#include "appstyle.h"
#include "pictures.h"

#include <QGuiApplication>
#include <QStyleOption>

QIcon AppStyle::standardIcon(StandardPixmap which, const QStyleOption *option, const QWidget *widget) const
{
    const bool rightToLeft = (option ? option->direction : QGuiApplication::layoutDirection()) == Qt::RightToLeft;
    QStringList names;
    if (which == SP_ToolBarHorizontalExtensionButton && !rightToLeft)
        names = {QStringLiteral("h-8"), QStringLiteral("h-16"), QStringLiteral("h-32")};
    else if (which == SP_ToolBarVerticalExtensionButton)
        names = {QStringLiteral("v-5"), QStringLiteral("v-10"), QStringLiteral("v-20")};
    // Other styles may draw their own arrow; Fusion takes Qt's.
    if (names.isEmpty() || baseStyle()->name() != QLatin1String("fusion"))
        return QProxyStyle::standardIcon(which, option, widget);
    QIcon icon;
    for (const QString &name : std::as_const(names)) {
        const QPixmap picture = Pictures::png(QStringLiteral(":/qt-project.org/styles/commonstyle/images/toolbar-ext-") + name
                                              + QStringLiteral(".png"));
        if (picture.isNull())
            return QProxyStyle::standardIcon(which, option, widget);
        icon.addPixmap(picture);
    }
    return icon;
}
