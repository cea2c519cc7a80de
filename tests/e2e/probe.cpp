// Loaded into the program under test with LD_PRELOAD. Four times a second it writes
// what a user could read on the screen to $DAWNBELL_E2E_PROBE.<pid>, since X carries
// none of these texts (a message box's text, the tray icon's tooltip, a menu):
//   window <class> <objectName> "title" [active] [disabled] [modal]
//     <class> <objectName> "text" [checked] [disabled]     (labels, buttons, boxes)
//     <class> <objectName> ["item", "item"*]               (lists; * = selected)
//   tab <objectName> <objectName>*                         (a window's Tab order)
//   menu <objectName> ["Open", "---", "Exit"]
//   tooltip "text"
//   focus <objectName>                                     (the widget keys go to)
//   at <objectName> <x> <y> <width> <height>               (named widgets and menu bar entries on screen)
// Texts are quoted with \r, \n, \" and \\ escaped; a mnemonic's & is dropped.
#include <algorithm>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
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

bool named(const QWidget *w)
{
    return !w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_"));
}

// The named widgets Tab reaches from the window, in order, disabled ones too.
// The chain is a ring through the window; the bound only guards against a broken one.
QString tabOrder(QWidget *top)
{
    QString line = QStringLiteral("tab ") + name(top);
    qsizetype left = top->findChildren<QWidget *>().size();
    for (QWidget *w = top->nextInFocusChain(); w && w != top && left-- > 0; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(top) && named(w))
            line += u' ' + w->objectName();
    }
    return line;
}

QString position(const QString &name, const QWidget *w, const QRect &r)
{
    const QPoint p = w->mapToGlobal(r.topLeft());
    return QStringLiteral("at %1 %2 %3 %4 %5").arg(name).arg(p.x()).arg(p.y()).arg(r.width()).arg(r.height());
}

QString position(const QWidget *w)
{
    return position(w->objectName(), w, w->rect());
}

QString snapshot()
{
    QStringList out, positions;
    // By name: Qt lists the windows in no set order, and equal screens must give equal reports.
    QWidgetList tops = QApplication::topLevelWidgets();
    std::stable_sort(tops.begin(), tops.end(), [](const QWidget *a, const QWidget *b) { return a->objectName() < b->objectName(); });
    for (QWidget *top : tops) {
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
            if (named(w))
                positions << position(w);
            // An entry that is no menu (About) has no widget of its own to click.
            if (auto *bar = qobject_cast<QMenuBar *>(w)) {
                for (QAction *a : bar->actions())
                    if (a->isVisible() && !a->objectName().isEmpty())
                        positions << position(a->objectName(), bar, bar->actionGeometry(a));
            }
        }
        out << tabOrder(top);
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
