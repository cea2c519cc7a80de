// The main window and the desktop around it: the notification of a ringing
// alarm, and windows brought forward at another program's request.
#include "mainwindow.h"

#include "windows/alarmwindow.h"

#include <QApplication>

namespace {
// On Wayland a window takes the focus only with a token from whatever the user
// clicked; Qt's Wayland client spends the one in this variable on the next activation.
bool useActivationToken(const QString &token)
{
    if (token.isEmpty() || !QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return false;
    qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
    return true;
}
} // namespace

void MainWindow::connectNotification()
{
    // The notification's buttons are the window's.
    connect(&m_notification, &AlarmNotification::snoozeRequested, this, [this] {
        if (frmAlarm && !frmAlarm->isUnloaded())
            frmAlarm->snooze();
    });
    connect(&m_notification, &AlarmNotification::dismissRequested, this, [this] {
        if (frmAlarm && !frmAlarm->isUnloaded())
            frmAlarm->dismiss();
    });
    connect(&m_notification, &AlarmNotification::activated, this, &MainWindow::raiseAlarm);
}

void MainWindow::raiseAlarm(const QString &activationToken)
{
    if (!frmAlarm || frmAlarm->isUnloaded())
        return;
    const bool token = useActivationToken(activationToken);
    frmAlarm->show();
    frmAlarm->raise();
    frmAlarm->activateWindow();
    // Without a token a Wayland desktop keeps the focus where it is: ask for attention instead.
    if (!token && QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        QApplication::alert(frmAlarm);
}

void MainWindow::raiseFromElsewhere(const QString &activationToken)
{
    useActivationToken(activationToken);
    mnuTrayOpen_Click();
}
