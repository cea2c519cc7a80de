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
    // Not Text: the style draws the marks of check boxes and option buttons in
    // it, on their white boxes; a locked mark stays dark enough to read.
    p.setColor(QPalette::WindowText, Qt::white);
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(64, 64, 64));
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
