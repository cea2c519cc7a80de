#include "alarmnotification.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <utility>

namespace {
const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = service;
} // namespace

AlarmNotification::AlarmNotification(QObject *parent) : QObject(parent), m_bus(QString()) {}

AlarmNotification::~AlarmNotification()
{
    withdraw();
}

bool AlarmNotification::usable()
{
    if (!m_busChecked) {
        // Not before the first alarm: most runs never need the bus for this.
        m_busChecked = true;
        m_bus = QDBusConnection::sessionBus();
        m_usable = listen();
    }
    return m_usable;
}

bool AlarmNotification::listen()
{
    if (!m_bus.isConnected())
        return false;
    m_bus.connect(service, path, interface, QStringLiteral("ActionInvoked"), this, SLOT(takeAction(uint, QString)));
    m_bus.connect(service, path, interface, QStringLiteral("NotificationClosed"), this, SLOT(takeClosed(uint, uint)));
    m_bus.connect(service, path, interface, QStringLiteral("ActivationToken"), this, SLOT(takeToken(uint, QString)));
    return true;
}

void AlarmNotification::post(const QString &name, const QString &time, const QString &note)
{
    if (!usable())
        return;
    // The body may be read as markup; the note is plain text.
    QString body = time;
    if (!note.isEmpty())
        body += QLatin1Char('\n') + QString(note).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    body.replace(QLatin1Char('&'), QStringLiteral("&amp;"))
        .replace(QLatin1Char('<'), QStringLiteral("&lt;"))
        .replace(QLatin1Char('>'), QStringLiteral("&gt;"));
    m_wanted = {name, body};
    if (!m_pending)
        send();
}

void AlarmNotification::send()
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("Notify"));
    const QStringList actions{QStringLiteral("default"), QStringLiteral("Show"), QStringLiteral("snooze"),
                              QStringLiteral("Snooze"), QStringLiteral("dismiss"), QStringLiteral("Dismiss")};
    const QVariantMap hints{
        {QStringLiteral("urgency"), QVariant::fromValue(uchar(2))}, // critical: stays until answered
        {QStringLiteral("resident"), true},                         // an action does not take it away
        {QStringLiteral("suppress-sound"), true},                   // the alarm window plays the sound
        {QStringLiteral("category"), QStringLiteral("x-dawnbell.alarm")},
        {QStringLiteral("desktop-entry"), QStringLiteral("dawnbell")},
    };
    call << QStringLiteral("Dawnbell") << m_id << QStringLiteral("dawnbell") << m_wanted.value(0) << m_wanted.value(1)
         << actions << hints << 0;
    m_shown = m_wanted;
    m_pending = true;
    // Never a blocking call: a server that hangs must not stop the alarm window.
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &AlarmNotification::sent);
}

void AlarmNotification::sent(QDBusPendingCallWatcher *call)
{
    call->deleteLater();
    m_pending = false;
    const QDBusPendingReply<uint> reply = *call;
    if (!reply.isError())
        m_id = reply.value();
    // What changed while the call was under way.
    if (m_wanted.isEmpty())
        withdraw();
    else if (m_wanted != m_shown)
        send();
}

void AlarmNotification::withdraw()
{
    m_wanted.clear();
    m_token.clear();
    if (m_pending || m_id == 0)
        return;
    close(std::exchange(m_id, 0));
}

void AlarmNotification::close(uint id)
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("CloseNotification"));
    call << id;
    m_bus.send(call);
}

void AlarmNotification::takeAction(uint id, const QString &action)
{
    if (id == 0 || id != m_id)
        return;
    if (action == QLatin1String("snooze"))
        emit snoozeRequested();
    else if (action == QLatin1String("dismiss"))
        emit dismissRequested();
    else if (action == QLatin1String("default"))
        emit activated(std::exchange(m_token, QString()));
}

void AlarmNotification::takeClosed(uint id, uint reason)
{
    Q_UNUSED(reason); // closed by the user or by the server: the alarm window still rings
    if (id != 0 && id == m_id) {
        m_id = 0;
        m_shown.clear();
    }
}

void AlarmNotification::takeToken(uint id, const QString &token)
{
    // Sent just before the action it belongs to.
    if (id != 0 && id == m_id)
        m_token = token;
}
