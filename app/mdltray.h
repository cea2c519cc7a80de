#pragma once

#include <QIcon>
#include <QObject>

class QSystemTrayIcon;

// The program's icon in the notification area while the main window is hidden.
class MdlTray : public QObject
{
    Q_OBJECT
public:
    explicit MdlTray(QObject *parent = nullptr);

    // "Alarm Clock - No Active Alarms!", "… 1 Active Alarm!", "… 3 Active Alarms!"
    static QString tooltip(int activeAlarms);
    static bool available();

    void AddTrayIcon(const QIcon &icon, const QString &tooltip);
    void RemoveTrayIcon();
    void setToolTip(const QString &tooltip);
    void showMessage(const QString &title, const QString &text);
    bool isShown() const;

signals:
    void doubleClicked();
    void contextRequested();

private:
    QSystemTrayIcon *m_icon = nullptr;
};
