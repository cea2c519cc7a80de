// Loaded into the program under test with LD_PRELOAD. Four times a second it writes
// what the user could read on the screen to $DAWNBELL_E2E_PROBE.<pid>: every visible
// top-level window with its title and state, the texts of its labels, buttons,
// boxes and lists, open menus with their entries, and a shown tooltip. X11 carries
// none of these texts, and the tests must read them (a message box's text, the tray
// icon's tooltip, the tray menu's entries).
//
// Format, one item a line; text is quoted, with \r, \n and \\ escaped:
//   window <class> <objectName> "title" [active] [disabled] [minimized] [modal]
//     <class> <objectName> "text" [checked] [disabled]
//     <class> <objectName> ["item", "item"]          (list widgets)
//   menu <objectName> ["Open", "---", "Exit"]
//   tooltip "text"
//   at <objectName> <x> <y> <width> <height>     (screen position of named widgets)
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTimer>
#include <QToolTip>
#include <QWidget>

#include <memory>

namespace {

QString quoted(QString s)
{
    s.replace(u'\\', QLatin1String("\\\\")).replace(u'\r', QLatin1String("\\r"))
        .replace(u'\n', QLatin1String("\\n")).replace(u'"', QLatin1String("\\\""));
    return u'"' + s + u'"';
}

// The text as shown: a single & marks a mnemonic, && is a literal &.
QString shown(QString s)
{
    s.replace(QLatin1String("&&"), QString(QChar(0xfffe)));
    s.remove(u'&');
    return s.replace(QChar(0xfffe), u'&');
}

QString head(const QWidget *w)
{
    return QString::fromLatin1(w->metaObject()->className()) + u' '
        + (w->objectName().isEmpty() ? QStringLiteral("-") : w->objectName());
}

QString describe(const QWidget *w)
{
    QString line;
    if (auto *l = qobject_cast<const QLabel *>(w))
        line = quoted(l->text());
    else if (auto *b = qobject_cast<const QAbstractButton *>(w))
        line = quoted(shown(b->text())) + (b->isCheckable() && b->isChecked() ? " checked" : "");
    else if (auto *e = qobject_cast<const QLineEdit *>(w))
        line = quoted(e->text());
    else if (auto *t = qobject_cast<const QPlainTextEdit *>(w))
        line = quoted(t->toPlainText());
    else if (auto *list = qobject_cast<const QListWidget *>(w)) {
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items << quoted(list->item(i)->text()) + (list->item(i)->isSelected() ? "*" : "");
        line = u'[' + items.join(QLatin1String(", ")) + u']';
    } else
        return {};
    return head(w) + u' ' + line + (w->isEnabled() ? "" : " disabled");
}

QString position(const QWidget *w)
{
    const QPoint p = w->mapToGlobal(QPoint(0, 0));
    return QStringLiteral("at %1 %2 %3 %4 %5").arg(w->objectName()).arg(p.x()).arg(p.y())
        .arg(w->width()).arg(w->height());
}

QString snapshot()
{
    QStringList out, positions;
    const auto tops = QApplication::topLevelWidgets();
    for (QWidget *top : tops) {
        if (!top->isVisible())
            continue;
        if (auto *menu = qobject_cast<QMenu *>(top)) {
            QStringList entries;
            for (QAction *a : menu->actions())
                if (a->isVisible())
                    entries << (a->isSeparator() ? QStringLiteral("\"---\"") : quoted(shown(a->text())));
            out << "menu " + (menu->objectName().isEmpty() ? QStringLiteral("-") : menu->objectName())
                    + " [" + entries.join(QLatin1String(", ")) + u']';
            positions << position(menu);
            continue;
        }
        if (top->inherits("QTipLabel") || top->objectName() == QLatin1String("QSystemTrayIconSys"))
            continue;
        out << "window " + head(top) + u' ' + quoted(top->windowTitle())
                + (top->isActiveWindow() ? " active" : "") + (top->isEnabled() ? "" : " disabled")
                + (top->isMinimized() ? " minimized" : "") + (top->isModal() ? " modal" : "");
        if (!top->objectName().isEmpty())
            positions << position(top);
        const auto children = top->findChildren<QWidget *>();
        for (QWidget *w : children) {
            if (!w->isVisibleTo(top))
                continue;
            const QString d = describe(w);
            if (!d.isEmpty())
                out << "  " + d;
            if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
                positions << position(w);
        }
    }
    if (QToolTip::isVisible())
        out << "tooltip " + quoted(QToolTip::text());
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
        auto last = std::make_shared<QString>();
        QObject::connect(timer, &QTimer::timeout, qApp, [path, last] {
            const QString now = snapshot();
            if (now == *last)
                return;
            QSaveFile file(path);   // readers see the old or the new snapshot, never half
            if (file.open(QIODevice::WriteOnly) && file.write(now.toUtf8()) >= 0 && file.commit())
                *last = now;
        });
        timer->start(250);
    }, Qt::QueuedConnection);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(start)
