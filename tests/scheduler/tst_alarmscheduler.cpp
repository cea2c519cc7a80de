#include "profiles/profilestore.h"
#include "scheduler/activealarms.h"
#include "scheduler/alarmscheduler.h"
#include "fakeclock.h"

#include <QTemporaryDir>
#include <QtTest>

class TstAlarmScheduler : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    ProfileStore m_store{m_dir.path()};
    FakeClock m_clock;

    // Active alarms "A", "B", … at 07:30:00 and on, each a second after the last.
    ActiveAlarms activate(const QStringList &notes)
    {
        ActiveAlarms alarms;
        for (int i = 0; i < notes.size(); ++i) {
            const QString name(QChar('A' + i)), time = QTime(7, 30, i).toString(QStringLiteral("hh:mm:ss"));
            m_store.write({name, time, QStringLiteral("am"), QString(), QStringLiteral("Everyday"), QStringLiteral("0"), notes[i]});
            alarms.add(name, time + QStringLiteral(" am"));
        }
        return alarms;
    }

private slots:
    void init()
    {
        m_clock.setNow(QDateTime(QDate(2026, 12, 9), QTime(7, 29, 59), QTimeZone::utc()));
        setAppClock(&m_clock);
    }
    void cleanup() { setAppClock(nullptr); }

    // The notes of the alarms ringing, one to a line, gathered while the alarm
    // window stays open; all due in one look go to the window together.
    void notes_data()
    {
        QTest::addColumn<QStringList>("notes");
        QTest::addColumn<int>("secondsApart"); // of the looks
        QTest::addColumn<bool>("windowClosed"); // between the looks
        QTest::addColumn<QStringList>("rung");  // per look: names, then the notes given
        QTest::newRow("one look") << QStringList{"Stretch", "Tea"} << 2 << false << QStringList{"AB|Stretch\r\nTea"};
        QTest::newRow("blank note") << QStringList{"  "} << 2 << false << QStringList{"A|None."};
        QTest::newRow("kept while open") << QStringList{"Stretch", "Tea"} << 1 << false << QStringList{"A|Stretch", "B|Stretch\r\nTea"};
        QTest::newRow("cleared on close") << QStringList{"Stretch", "Tea"} << 1 << true << QStringList{"A|Stretch", "B|Tea"};
    }
    void notes()
    {
        QFETCH(QStringList, notes);
        QFETCH(int, secondsApart);
        QFETCH(bool, windowClosed);
        AlarmScheduler scheduler(m_store, m_clock);
        QStringList rung;
        connect(&scheduler, &AlarmScheduler::alarmsDue, this, [&](const QList<Firing> &firings, const QString &text) {
            QString names;
            for (const Firing &f : firings)
                names += f.name;
            rung << names + '|' + text;
        });
        scheduler.follow(activate(notes).rows());
        for (int looks = 0; m_clock.now().time() < QTime(7, 30, 1); ++looks) {
            if (looks == 1 && windowClosed)
                scheduler.clearNotes();
            m_clock.advance(secondsApart * 1000);
            scheduler.lookNow();
        }
        QTEST(rung, "rung");
    }

    // Passed over for hours: reported, not rung, both alarms in one report.
    void missed()
    {
        AlarmScheduler scheduler(m_store, m_clock);
        QSignalSpy due(&scheduler, &AlarmScheduler::alarmsDue), missed(&scheduler, &AlarmScheduler::alarmsMissed);
        scheduler.follow(activate({"", ""}).rows());
        m_clock.advance(3 * 3600 * 1000);
        scheduler.lookNow();
        QCOMPARE(due.count(), 0);
        QCOMPARE(missed.value(0), (QVariantList{"Missed: A at 07:30:00 am, Wednesday, December 9, 2026; B at 07:30:01 am, Wednesday, December 9, 2026",
                                                "A at 07:30:00 am, Wednesday, December 9, 2026\nB at 07:30:01 am, Wednesday, December 9, 2026"}));
    }

    // Asleep with nothing active or nothing readable; a profile saved anew while
    // active (gone for a moment, then back) wakes it again. The wake timer is found
    // by name from the scheduler's owner.
    void sleeps()
    {
        QObject owner;
        auto *scheduler = new AlarmScheduler(m_store, m_clock, &owner);
        const auto waiting = [&] { return owner.findChild<QObject *>(QStringLiteral("Timer5")) && scheduler->isWaiting(); };
        const ActiveAlarms alarms = activate({""});
        QVERIFY(!waiting());
        scheduler->follow(alarms.rows());
        QVERIFY(waiting());
        QVERIFY(QFile::rename(m_store.pathFor(QStringLiteral("A")), m_dir.filePath(QStringLiteral("aside"))));
        QTRY_VERIFY(!waiting());
        QVERIFY(QFile::rename(m_dir.filePath(QStringLiteral("aside")), m_store.pathFor(QStringLiteral("A"))));
        QTRY_VERIFY(waiting());
        scheduler->follow({});
        QVERIFY(!waiting());
    }
};

QTEST_MAIN(TstAlarmScheduler)
#include "tst_alarmscheduler.moc"
