#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

class QDBusPendingCallWatcher;

// The desktop's notification of a ringing alarm (org.freedesktop.Notifications):
// it shows above full-screen windows, where the alarm window may not, and
// answers the alarm from there. It makes no sound: the alarm window plays it.
// Without a session bus or a notification server it does nothing.
class AlarmNotification : public QObject
{
    Q_OBJECT
public:
    // On the session bus, which is reached only when the first alarm rings.
    explicit AlarmNotification(QObject *parent = nullptr);
    ~AlarmNotification() override;

    // Posts the notification, or replaces the one up now.
    void post(const QString &name, const QString &time, const QString &note);
    // Takes it off the screen; nothing when none is up.
    void withdraw();

signals:
    void snoozeRequested();
    void dismissRequested();
    // Its body was clicked; `token` lets a Wayland window take the focus (may be empty).
    void activated(const QString &token);

private slots:
    void takeAction(uint id, const QString &action);
    void takeClosed(uint id, uint reason);
    void takeToken(uint id, const QString &token);

private:
    bool usable();
    bool listen();
    void send();
    void sent(QDBusPendingCallWatcher *call);
    void close(uint id);

    QDBusConnection m_bus;
    bool m_busChecked = false;
    bool m_usable = false;
    uint m_id = 0; // the server's, of the notification up now
    bool m_pending = false;      // a Notify call has no reply yet
    QStringList m_wanted, m_shown; // summary and body; empty when withdrawn
    QString m_token;
};
