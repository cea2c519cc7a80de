// Loaded into the program under test with LD_PRELOAD. Four times a second it writes
// what a user could read on the screen to $DAWNBELL_E2E_PROBE.<pid>, since X carries
// none of these texts (a message box's text, the tray icon's tooltip, a menu):
//   window <class> <objectName> "title" [active] [disabled] [modal]
//     <class> <objectName> "text" [checked] [disabled]     (labels, buttons, boxes)
//     <class> <objectName> ["item", "item"*]               (lists; * = selected)
//   menu <objectName> ["Open", "---", "Exit"]
//   tooltip "text"
//   focus <objectName>                                     (the widget keys go to)
//   at <objectName> <x> <y> <width> <height>               (named widgets on screen)
// Texts are quoted with \r, \n, \" and \\ escaped; a mnemonic's & is dropped.
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTimer>
#include <QToolTip>

namespace {

QString quoted(QString s)
{
    s.replace(u'\\', QLatin1String("\\\\")).replace(u'\r', QLatin1String("\\r"))
        .replace(u'\n', QLatin1String("\\n")).replace(u'"', QLatin1String("\\\""));
    return u'"' + s.remove(QRegularExpression(QStringLiteral("&(?!&)"))) + u'"';
}

QString name(const QObject *o)
{
    return o->objectName().isEmpty() ? QStringLiteral("-") : o->objectName();
}

QString describe(const QWidget *w)
{
    QString text;
    if (auto *l = qobject_cast<const QLabel *>(w))
        text = quoted(l->text());
    else if (auto *b = qobject_cast<const QAbstractButton *>(w))
        text = quoted(b->text()) + (b->isChecked() ? " checked" : "");
    else if (auto *e = qobject_cast<const QLineEdit *>(w))
        text = quoted(e->text());
    else if (auto *list = qobject_cast<const QListWidget *>(w)) {
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items << quoted(list->item(i)->text()) + (list->item(i)->isSelected() ? "*" : "");
        text = u'[' + items.join(QLatin1String(", ")) + u']';
    } else
        return {};
    return QStringLiteral("  %1 %2 %3%4").arg(QString::fromLatin1(w->metaObject()->className()), name(w), text,
                                              w->isEnabled() ? "" : " disabled");
}

QString position(const QWidget *w)
{
    const QPoint p = w->mapToGlobal(QPoint(0, 0));
    return QStringLiteral("at %1 %2 %3 %4 %5").arg(w->objectName()).arg(p.x()).arg(p.y()).arg(w->width()).arg(w->height());
}

QString snapshot()
{
    QStringList out, positions;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (!top->isVisible() || top->inherits("QTipLabel") || top->objectName() == QLatin1String("QSystemTrayIconSys"))
            continue;
        positions << position(top);
        if (auto *menu = qobject_cast<QMenu *>(top)) {
            QStringList entries;
            for (QAction *a : menu->actions())
                entries << (a->isSeparator() ? QStringLiteral("\"---\"") : quoted(a->text()));
            out << "menu " + name(menu) + " [" + entries.join(QLatin1String(", ")) + u']';
            continue;
        }
        out << QStringLiteral("window %1 %2 %3%4%5%6").arg(QString::fromLatin1(top->metaObject()->className()), name(top),
                   quoted(top->windowTitle()), top->isActiveWindow() ? " active" : "",
                   top->isEnabled() ? "" : " disabled", top->isModal() ? " modal" : "");
        for (QWidget *w : top->findChildren<QWidget *>()) {
            if (!w->isVisibleTo(top))
                continue;
            if (const QString d = describe(w); !d.isEmpty())
                out << d;
            if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
                positions << position(w);
        }
    }
    if (QToolTip::isVisible())
        out << "tooltip " + quoted(QToolTip::text());
    if (const QWidget *focus = QApplication::focusWidget())
        out << "focus " + name(focus);
    return (out + positions).join(u'\n') + u'\n';
}

void start()
{
    const QString base = qEnvironmentVariable("DAWNBELL_E2E_PROBE");
    if (base.isEmpty())
        return;
    const QString path = base + u'.' + QString::number(QCoreApplication::applicationPid());
    // Queued: the application object is still being built when this runs.
    QMetaObject::invokeMethod(QCoreApplication::instance(), [path] {
        if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
            return;
        auto *timer = new QTimer(qApp);
        QObject::connect(timer, &QTimer::timeout, qApp, [path, last = QString()]() mutable {
            const QString now = snapshot();
            QSaveFile file(path); // readers see the old or the new snapshot, never half
            if (now != last && file.open(QIODevice::WriteOnly) && file.write(now.toUtf8()) >= 0 && file.commit())
                last = now;
        });
        timer->start(250);
    }, Qt::QueuedConnection);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(start)
