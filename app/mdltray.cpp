#include "mdltray.h"

#include <QSystemTrayIcon>

MdlTray::MdlTray(QObject *parent) : QObject(parent) {}

QString MdlTray::tooltip(int activeAlarms)
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

bool MdlTray::available()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void MdlTray::AddTrayIcon(const QIcon &icon, const QString &tooltip)
{
    if (!m_icon) {
        m_icon = new QSystemTrayIcon(this);
        m_icon->setObjectName(QStringLiteral("trayIcon"));
        connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::DoubleClick)
                emit doubleClicked();
            else if (reason == QSystemTrayIcon::Context)
                emit contextRequested();
        });
    }
    m_icon->setIcon(icon);
    m_icon->setToolTip(tooltip);
    m_icon->show();
}

void MdlTray::RemoveTrayIcon()
{
    if (m_icon)
        m_icon->hide();
}

bool MdlTray::isShown() const
{
    return m_icon && m_icon->isVisible();
}

void MdlTray::setToolTip(const QString &tooltip)
{
    if (m_icon)
        m_icon->setToolTip(tooltip);
}

void MdlTray::showMessage(const QString &title, const QString &text)
{
    if (isShown())
        m_icon->showMessage(title, text, QSystemTrayIcon::Warning);
}
