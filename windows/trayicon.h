#pragma once

#include <QIcon>
#include <QObject>

class QMenu;
class QSystemTrayIcon;

// The program's icon in the notification area while the main window is hidden:
// an XEmbed icon on X11 trays, a StatusNotifierItem where a watcher runs on the
// session bus (Qt chooses).
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    explicit TrayIcon(QObject *parent = nullptr);

    // "Alarm Clock - No Active Alarms!", "… 1 Active Alarm!", "… 3 Active Alarms!"
    static QString tooltip(int activeAlarms);
    static bool available();

    // The menu of the right button (XEmbed) or of the host (StatusNotifier, drawn by it).
    void setMenu(QMenu *menu);
    void showIcon(const QIcon &icon, const QString &tooltip);
    void hideIcon();
    void setToolTip(const QString &tooltip);
    // The text the icon shows, or will show once it is up.
    QString toolTip() const { return m_toolTip; }
    // Only while the icon is up: there is nothing to show it beside otherwise.
    void showMessage(const QString &title, const QString &text);

signals:
    // A click (StatusNotifier hosts send only that) or a double click on the icon.
    void openRequested();

private:
    QSystemTrayIcon *m_icon = nullptr;
    QMenu *m_menu = nullptr;
    QString m_toolTip;
};
