#pragma once

#include <QRect>
#include <QString>
#include <QTimer>

// Every control, timer and menu entry carries its design name as its
// objectName: tests, screen readers and outside tools find it by that name.
namespace Controls {

template<typename O>
O *named(O *object, const QString &name)
{
    object->setObjectName(name);
    return object;
}

template<typename W>
W *place(W *widget, const QString &name, const QRect &at)
{
    named(widget, name);
    widget->setGeometry(at);
    return widget;
}

inline QTimer *timer(QObject *parent, const QString &name, int intervalMs)
{
    QTimer *t = named(new QTimer(parent), name);
    t->setInterval(intervalMs);
    return t;
}

} // namespace Controls
