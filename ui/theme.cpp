#include "theme.h"

#include <QFontDatabase>
#include <QPalette>
#include <QWidget>

namespace Theme {

QFont font(qreal pointSize, bool bold)
{
    static const QString family = QFontDatabase::families().contains(QStringLiteral("Verdana"))
                                      ? QStringLiteral("Verdana")
                                      : QStringLiteral("DejaVu Sans");
    QFont f(family);
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    return f;
}

void paintBlue(QWidget *widget)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, background);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

void whiteText(QWidget *widget)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, Qt::white);
    p.setColor(QPalette::Text, Qt::white);
    p.setColor(QPalette::ButtonText, Qt::white);
    widget->setPalette(p);
}

} // namespace Theme
