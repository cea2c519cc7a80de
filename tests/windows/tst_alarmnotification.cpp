// The desktop notification of a ringing alarm, against a notification server of
// the test's own on a private session bus: what is posted, and that its buttons
// and the window's answer each other.
#include <QtTest>

#include "testsupport.h"

#include "widgets/imagebutton.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

using namespace Qt::StringLiterals;

// org.freedesktop.Notifications as far as Dawnbell uses it.
class FakeServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QList<QVariantList> notified; // the arguments of each Notify
    QList<uint> closed;
    uint lastId = 0;

public slots:
    uint Notify(const QString &app, uint replaces, const QString &icon, const QString &summary, const QString &body,
                const QStringList &actions, const QVariantMap &hints, int timeout)
    {
        notified << QVariantList{app, replaces, icon, summary, body, actions, hints, timeout};
        return lastId = replaces ? replaces : lastId + 1;
    }
    void CloseNotification(uint id) { closed << id; }
    QStringList GetCapabilities() { return {u"actions"_s, u"body"_s, u"body-markup"_s, u"persistence"_s}; }

signals:
    void ActionInvoked(uint id, const QString &action);
    void NotificationClosed(uint id, uint reason);
    void ActivationToken(uint id, const QString &token);
};

using Answer = std::function<void(FakeServer &, uint, AlarmWindow *)>;
Q_DECLARE_METATYPE(Answer)

class TestAlarmNotification : public QObject
{
    Q_OBJECT
    QProcess m_daemon;
    FakeServer m_server;

    // A call to the server on the program's connection, answered in order after
    // every message sent before it; the server lives in this thread, hence the loop.
    static void roundTrip()
    {
        const QString name = u"org.freedesktop.Notifications"_s;
        QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(name, u"/org/freedesktop/Notifications"_s, name, u"GetCapabilities"_s),
                                           QDBus::BlockWithGui);
    }

private slots:
    void initTestCase()
    {
        // Before anything reaches the session bus: it is read once per run.
        m_daemon.start(u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address=1"_s});
        QVERIFY2(m_daemon.waitForReadyRead(10000), "dbus-daemon did not start");
        const QByteArray address = m_daemon.readLine().trimmed();
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
        QDBusConnection server = QDBusConnection::connectToBus(QString::fromLatin1(address), u"server"_s);
        QVERIFY(server.registerObject(u"/org/freedesktop/Notifications"_s, &m_server,
                                      QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
        QVERIFY(server.registerService(u"org.freedesktop.Notifications"_s));
    }

    void cleanupTestCase()
    {
        QDBusConnection::disconnectFromBus(u"server"_s);
        m_daemon.terminate();
        m_daemon.waitForFinished();
    }

    void answers_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QString>("window"); // what the alarm window does afterwards; answered, the notification goes
        const auto action = [](const QString &name) {
            return Answer([name](FakeServer &s, uint id, AlarmWindow *) { emit s.ActionInvoked(id, name); });
        };
        const auto button = [](const char *name) {
            return Answer([name](FakeServer &, uint, AlarmWindow *a) { QTest::mouseClick(a->findChild<ImageButton *>(name), Qt::LeftButton); });
        };
        QTest::newRow("Snooze in the notification") << action(u"snooze"_s) << "snoozed";
        QTest::newRow("Dismiss in the notification") << action(u"dismiss"_s) << "closed";
        QTest::newRow("Snooze in the window") << button("cmdSnooze") << "snoozed";
        QTest::newRow("Dismiss in the window") << button("cmdDismiss") << "closed";
        QTest::newRow("Disable in the window") << button("cmdDeactivate") << "closed";
        QTest::newRow("the close box") << Answer([](FakeServer &, uint, AlarmWindow *a) { a->close(); }) << "closed";
        QTest::newRow("another notification's Dismiss, then a click on this one")
            << Answer([](FakeServer &s, uint id, AlarmWindow *) {
                   emit s.ActionInvoked(id + 1, u"dismiss"_s);
                   emit s.ActivationToken(id, u"token-1"_s);
                   emit s.ActionInvoked(id, u"default"_s);
               })
            << "active";
    }

    void answers()
    {
        QFETCH(Answer, answer);
        QFETCH(QString, window);
        roundTrip(); // the last row's window withdrew its notification as it went
        m_server.notified.clear();
        m_server.closed.clear();
        MainFixture f;
        f.addProfile(u"Alpha"_s, u"07:30:00"_s, u"am"_s, u"Everyday"_s, u"Stretch\r\nthen <run> & drink"_s);
        f.start({u"Alpha"_s});
        QPointer<AlarmWindow> alarm = f.tick();
        QTRY_COMPARE(m_server.notified.size(), 1);
        const QVariantList args = m_server.notified[0];
        const QVariantMap hints = args[6].toMap();
        // Critical (a byte), kept after an action, silent, never expiring.
        QCOMPARE(args.mid(0, 6), (QVariantList{u"Dawnbell"_s, 0u, u"dawnbell"_s, u"Alpha"_s, u"07:30:00 am\nStretch\nthen &lt;run&gt; &amp; drink"_s,
                                               QStringList{"default", "Show", "snooze", "Snooze", "dismiss", "Dismiss"}}));
        QVERIFY(hints[u"urgency"_s].metaType() == QMetaType::fromType<uchar>() && hints[u"urgency"_s].toInt() == 2);
        QVERIFY(hints[u"resident"_s].toBool() && hints[u"suppress-sound"_s].toBool() && args[7].toInt() == 0);
        const uint id = m_server.lastId;

        f.main->activateWindow(); // elsewhere, for the click that brings the alarm forward
        QTRY_VERIFY(!alarm->isActiveWindow());
        answer(m_server, id, alarm);
        if (window == u"closed"_s)
            QTRY_VERIFY(!alarm || alarm->isUnloaded());
        else if (window == u"snoozed"_s)
            QTRY_VERIFY(alarm && alarm->findChild<QLabel *>(u"lblSnooze"_s)->isVisible());
        else if (window == u"active"_s)
            QTRY_VERIFY(alarm && alarm->isActiveWindow());
        // An answer before Notify's reply is sent on once the reply is in.
        const bool withdrawn = window != u"active"_s;
        if (withdrawn)
            QTRY_VERIFY(!m_server.closed.isEmpty());
        roundTrip(); // whatever the program sent the server before is there now
        QCOMPARE(m_server.closed, withdrawn ? QList<uint>{id} : QList<uint>{});
        QVERIFY(!alarm || alarm->isUnloaded() || alarm->isVisible());
    }
};

QTEST_MAIN(TestAlarmNotification)
#include "tst_alarmnotification.moc"
