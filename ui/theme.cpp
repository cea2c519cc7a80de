#include "theme.h"

#include <QFontDatabase>
#include <QPalette>
#include <QScreen>
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

void centre(QWidget *window)
{
    if (const QScreen *screen = window->screen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
}

void fitWidth(QWidget *label)
{
    label->resize(qMax(label->width(), label->sizeHint().width()), label->height());
}

} // namespace Theme
