#include "trayicon.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QGuiApplication>
#include <QSystemTrayIcon>

TrayIcon::TrayIcon(QObject *parent) : QObject(parent) {}

QString TrayIcon::tooltip(int activeAlarms)
{
    QString count;
    if (activeAlarms == 0)
        count = QStringLiteral("No Active Alarms!");
    else if (activeAlarms == 1)
        count = QStringLiteral("1 Active Alarm!");
    else
        count = QStringLiteral("%1 Active Alarms!").arg(activeAlarms);
    return QStringLiteral("Alarm Clock - ") + count;
}

bool TrayIcon::available()
{
    // Qt settles on the StatusNotifier tray or none at its first look and keeps to
    // that for the whole run. Outside X11, where that is the only kind, it must not
    // look before a host is there, or a panel started after the program would never
    // get the icon. Asked at each close, so closing hides to a panel that came later.
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        const QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected() || !bus.interface()->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher")))
            return false;
    }
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::setMenu(QMenu *menu)
{
    m_menu = menu;
    if (m_icon)
        m_icon->setContextMenu(menu);
}

void TrayIcon::showIcon(const QIcon &icon, const QString &tooltip)
{
    m_toolTip = tooltip;
    if (!m_icon) {
        m_icon = new QSystemTrayIcon(this);
        m_icon->setObjectName(QStringLiteral("trayIcon"));
        // Qt opens the menu itself on the right button; a host draws it from D-Bus.
        m_icon->setContextMenu(m_menu);
        connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                emit openRequested();
        });
    }
    m_icon->setIcon(icon);
    m_icon->setToolTip(tooltip);
    m_icon->show();
}

void TrayIcon::hideIcon()
{
    if (m_icon)
        m_icon->hide();
}

void TrayIcon::setToolTip(const QString &tooltip)
{
    m_toolTip = tooltip;
    if (m_icon)
        m_icon->setToolTip(tooltip);
}

void TrayIcon::showMessage(const QString &title, const QString &text)
{
    if (m_icon && m_icon->isVisible())
        m_icon->showMessage(title, text, QSystemTrayIcon::Warning);
}
