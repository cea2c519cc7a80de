#include "profiles/profilestore.h"
#include "scheduler/alarmcheck.h"
#include "scheduler/clock.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
// 2026-12-09 is a Wednesday.
const QDate wednesday(2026, 12, 9);
} // namespace

class TstAlarmCheck : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    std::unique_ptr<ProfileStore> m_store;

    QString row(const QString &name, const QString &time = QStringLiteral("07:30:00"),
                const QString &period = QStringLiteral("am"), const QString &days = QStringLiteral("Everyday"),
                const QString &rising = QStringLiteral("0"), const QString &note = QString())
    {
        m_store->write({name, time, period, QStringLiteral("/s/") + name + ".mp3", days, rising, note});
        return ActiveRow::compose(name, time + ' ' + period);
    }

    // Ticks once a second from `start` for `seconds` seconds; the local times of the firings.
    QStringList run(FakeClock &clock, const QStringList &rows, int seconds)
    {
        AlarmCheck check(*m_store, clock);
        QStringList fired;
        for (int i = 0; i < seconds; ++i) {
            for (const Firing &f : check.tick(rows))
                fired << clock.now().toString(QStringLiteral("ddd HH:mm:ss t ")) + f.name;
            clock.advance(1000);
        }
        return fired;
    }

private slots:
    void init()
    {
        QDir(m_dir.filePath(QStringLiteral("P"))).removeRecursively();
        m_store = std::make_unique<ProfileStore>(m_dir.filePath(QStringLiteral("P")));
    }

    void ringsAtItsSecondOnItsDays_data()
    {
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("period");
        QTest::addColumn<QString>("days");
        QTest::addColumn<QDateTime>("start");
        QTest::addColumn<QString>("fired"); // empty: no firing within the 5 seconds
        auto at = [](QDate d, int h, int m, int s) { return QDateTime(d, QTime(h, m, s), QTimeZone::utc()); };
        QTest::newRow("everyday") << "07:30:00" << "am" << "Everyday" << at(wednesday, 7, 29, 58) << "Wed 07:30:00 UTC A";
        QTest::newRow("pm") << "07:30:00" << "pm" << "Everyday" << at(wednesday, 19, 29, 58) << "Wed 19:30:00 UTC A";
        QTest::newRow("am is not pm") << "07:30:00" << "pm" << "Everyday" << at(wednesday, 7, 29, 58) << "";
        QTest::newRow("listed day") << "07:30:00" << "am" << "Monday, Wednesday, " << at(wednesday, 7, 29, 58) << "Wed 07:30:00 UTC A";
        QTest::newRow("other day") << "07:30:00" << "am" << "Monday, Wednesday, " << at(wednesday.addDays(-1), 7, 29, 58) << "";
        QTest::newRow("12 am after midnight") << "12:15:00" << "am" << "Everyday" << at(wednesday, 0, 14, 58) << "Wed 00:15:00 UTC A";
        QTest::newRow("00 pm after noon") << "00:15:00" << "pm" << "Everyday" << at(wednesday, 12, 14, 58) << "Wed 12:15:00 UTC A";
        QTest::newRow("12 pm noon") << "12:15:00" << "pm" << "Everyday" << at(wednesday, 12, 14, 58) << "Wed 12:15:00 UTC A";
        // The weekday is the examined second's, not the date line's, which lags a minute.
        QTest::newRow("monday midnight") << "00:00:00" << "am" << "Monday, " << at(QDate(2026, 12, 6), 23, 59, 58) << "Mon 00:00:00 UTC A";
        QTest::newRow("sunday before midnight") << "11:59:59" << "pm" << "Sunday, " << at(QDate(2026, 12, 6), 23, 59, 57) << "Sun 23:59:59 UTC A";
        QTest::newRow("damaged days") << "07:30:00" << "am" << "M" << at(wednesday, 7, 29, 58) << "";
    }
    void ringsAtItsSecondOnItsDays()
    {
        QFETCH(QString, time);
        QFETCH(QString, period);
        QFETCH(QString, days);
        QFETCH(QDateTime, start);
        QFETCH(QString, fired);
        FakeClock clock(start);
        QCOMPARE(run(clock, {row("A", time, period, days)}, 5).join('|'), fired);
    }

    // A late tick examines the seconds it missed; a long gap or a clock set by
    // hand examines only its own second, and no second is examined twice.
    void lateTicksLoseNoAlarm_data()
    {
        QTest::addColumn<QTime>("first");
        QTest::addColumn<int>("realMs"); // real time between the two ticks
        QTest::addColumn<QTime>("second");
        QTest::addColumn<int>("rings");
        QTest::newRow("on time") << QTime(7, 29, 59, 100) << 1000 << QTime(7, 30, 0, 100) << 1;
        QTest::newRow("3 s late") << QTime(7, 29, 59, 100) << 3000 << QTime(7, 30, 2, 100) << 1;
        QTest::newRow("59 s late") << QTime(7, 29, 59, 100) << 59000 << QTime(7, 30, 58, 100) << 1;
        QTest::newRow("suspended 2 min") << QTime(7, 29, 59, 100) << 120000 << QTime(7, 31, 59, 100) << 0;
        QTest::newRow("clock set forward") << QTime(7, 29, 59, 100) << 1000 << QTime(7, 30, 30, 100) << 0;
        QTest::newRow("clock set back") << QTime(7, 30, 10, 100) << 1000 << QTime(7, 30, 0, 100) << 1;
        QTest::newRow("twice in one second") << QTime(7, 30, 0, 100) << 300 << QTime(7, 30, 0, 400) << 1;
    }
    void lateTicksLoseNoAlarm()
    {
        QFETCH(QTime, first);
        QFETCH(int, realMs);
        QFETCH(QTime, second);
        QFETCH(int, rings);
        FakeClock clock(QDateTime(wednesday, first, QTimeZone::utc()));
        AlarmCheck check(*m_store, clock);
        const QStringList rows{row("A")};
        qsizetype fired = check.tick(rows).size();
        clock.advance(realMs);
        clock.setNow(QDateTime(wednesday, second, QTimeZone::utc()));
        fired += check.tick(rows).size();
        QCOMPARE(fired, rings);
    }

    void firstTickAfterRestartSeesOnlyItsOwnSecond()
    {
        FakeClock clock(QDateTime(wednesday, QTime(7, 29, 58), QTimeZone::utc()));
        AlarmCheck check(*m_store, clock);
        const QStringList rows{row("A")};
        QVERIFY(check.tick(rows).isEmpty());
        clock.advance(3000); // 07:30:01; the alarm window was open meanwhile
        check.restart();
        QVERIFY(check.tick(rows).isEmpty());
    }

    void damagedRowsAreSkipped()
    {
        FakeClock clock(QDateTime(wednesday, QTime(7, 30, 0), QTimeZone::utc()));
        AlarmCheck check(*m_store, clock);
        const QStringList rows{row("Alpha", "07:30:00", "am", "Everyday", "1", "a"), ActiveRow::compose("Gone", "07:30:00 am"),
                               QStringLiteral("short"), row("Omega", "07:30:00", "am", "Wednesday, ", "0", "b\r\nc")};
        const QList<Firing> fired = check.tick(rows);
        QCOMPARE(fired.size(), 2);
        QCOMPARE(fired[0].name, QStringLiteral("Alpha"));
        QVERIFY(fired[0].risingVolume);
        QCOMPARE(fired[1].name, QStringLiteral("Omega"));
        QCOMPARE(fired[1].timeText, QStringLiteral("07:30:00 am"));
        QCOMPARE(fired[1].sound, QStringLiteral("/s/Omega.mp3"));
        QCOMPARE(fired[1].note, QStringLiteral("b\r\nc"));
        QVERIFY(!check.lastRisingVolume());
    }

    void rowNames_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("name");
        QTest::newRow("gym") << "Gym (06:15:00 am)" << "Gym";
        QTest::newRow("22 characters") << "abcdefghijklmnopqrstuv (06:15:00 am)" << "abcdefghijklmnopqrstuv";
        QTest::newRow("too short") << "(06:15:00 am)" << "";
    }
    void rowNames()
    {
        QFETCH(QString, row);
        QFETCH(QString, name);
        QCOMPARE(ActiveRow::nameOf(row), name);
    }

    // In the hour a spring-forward change skips, the alarm rings at the first
    // second after the jump; in the hour a fall-back repeats, it rings once.
    void daylightSavingTime_data()
    {
        QTest::addColumn<QDateTime>("start");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("fired");
        const QTimeZone berlin("Europe/Berlin");
        QTest::newRow("skipped hour") << QDateTime(QDate(2026, 3, 29), QTime(1, 0), berlin) << "02:30:00"
                                      << "Sun 03:00:00 CEST A";
        QTest::newRow("just before the gap") << QDateTime(QDate(2026, 3, 29), QTime(1, 0), berlin) << "01:59:59"
                                             << "Sun 01:59:59 CET A";
        QTest::newRow("repeated hour") << QDateTime(QDate(2026, 10, 25), QTime(1, 0), berlin) << "02:30:00"
                                       << "Sun 02:30:00 CEST A";
        QTest::newRow("after the repeat") << QDateTime(QDate(2026, 10, 25), QTime(1, 0), berlin) << "03:00:00"
                                          << "Sun 03:00:00 CET A";
    }
    void daylightSavingTime()
    {
        QFETCH(QDateTime, start);
        QFETCH(QString, time);
        QFETCH(QString, fired);
        QVERIFY(start.timeZone().isValid());
        FakeClock clock(start, start.timeZone());
        QCOMPARE(run(clock, {row("A", time)}, 3 * 3600 + 60).join('|'), fired);
    }
};

QTEST_GUILESS_MAIN(TstAlarmCheck)
#include "tst_alarmcheck.moc"
