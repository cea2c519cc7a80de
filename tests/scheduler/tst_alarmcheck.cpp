#include "profiles/profilestore.h"
#include "scheduler/alarmcheck.h"
#include "fakeclock.h"
#include "scheduler/timetext.h"

#include <QTemporaryDir>
#include <QtTest>

static const QDate wednesday(2026, 12, 9);

class TstAlarmCheck : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    ProfileStore m_store{m_dir.path()}; // rows name only the files they wrote

    QString row(const QString &name, const QString &time, const QString &period, const QString &days = "Everyday",
                const QString &rising = "0", const QString &note = {})
    {
        m_store.write({name, time, period, QStringLiteral("/s/") + name + ".mp3", days, rising, note});
        return ActiveRow::compose(name, time + ' ' + period);
    }

private slots:
    // Ticked every second across a change of the clocks, an alarm in the hour
    // spring-forward skips rings at the first second after the jump, one in the
    // hour fall-back repeats rings once; one look over the hours (a resume)
    // covers the same wall-clock spans as those ticks.
    void changeOfTheClocks_data()
    {
        QTest::addColumn<QDateTime>("from");
        QTest::addColumn<int>("hours");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("fired");
        const QTimeZone berlin("Europe/Berlin");
        const QDateTime spring(QDate(2026, 3, 28), QTime(22, 17, 3), berlin), autumn(QDate(2026, 10, 24), QTime(23, 59, 59), berlin);
        QTest::newRow("skipped hour") << spring << 7 << "02:30:00 am" << "Sun 03:00:00 CEST A";
        QTest::newRow("just before the gap") << spring << 7 << "01:59:59 am" << "Sun 01:59:59 CET A";
        QTest::newRow("repeated hour") << autumn << 5 << "02:30:00 am" << "Sun 02:30:00 CEST A";
        QTest::newRow("after the repeat") << autumn << 5 << "03:00:00 am" << "Sun 03:00:00 CET A";
        QTest::newRow("ends in the repeated hour") << QDateTime(QDate(2026, 10, 25), QTime(0, 59, 53), berlin) << 2 << "02:30:00 am"
                                                   << "Sun 02:30:00 CEST A";
        QTest::newRow("no change") << QDateTime(QDate(2026, 12, 9), QTime(6, 0), berlin) << 3 << "07:30:00 am" << "Wed 07:30:00 CET A";
    }
    void changeOfTheClocks()
    {
        QFETCH(QDateTime, from);
        QFETCH(int, hours);
        QFETCH(QString, time);
        FakeClock clock(from, from.timeZone());
        AlarmCheck check(m_store, clock);
        const QStringList rows{row("A", time.left(8), time.right(2))};
        const qint64 start = from.toSecsSinceEpoch(), end = start + hours * 3600 + 17;
        auto wall = [&](qint64 s) {
            const QDateTime local = QDateTime::fromSecsSinceEpoch(s, from.timeZone());
            return QDateTime(local.date(), local.time(), QTimeZone::utc());
        };
        QStringList fired;
        QList<AlarmCheck::Span> stepwise; // every wall-clock time reached, once
        QDateTime high = wall(start);
        for (qint64 s = start + 1; s <= end; ++s) {
            clock.advance(1000);
            for (const Firing &f : check.tick(rows).firings)
                fired << clock.now().toString(QStringLiteral("ddd HH:mm:ss t ")) + f.name;
            const QDateTime at = wall(s);
            if (at <= high)
                continue;
            if (!stepwise.isEmpty() && stepwise.last().upTo == high)
                stepwise.last().upTo = at;
            else
                stepwise << AlarmCheck::Span{high, at};
            high = at;
        }
        QTEST(fired.join('|'), "fired");
        const QList<AlarmCheck::Span> once = check.spans(start, end);
        QCOMPARE(once.size(), stepwise.size());
        for (int i = 0; i < once.size(); ++i)
            QVERIFY(once[i].after == stepwise[i].after && once[i].upTo == stepwise[i].upTo);
    }

    // Every second passed over is examined, however the clock got there: a late
    // tick, a resume, a clock set forward. Up to an hour late the alarm rings,
    // saying how late; later it is reported missed. A row met first examines only
    // its own second, and no moment rings twice. The weekday is the examined
    // second's, not the tick's nor the date line's. Damaged rows are skipped.
    // Times in ms from Thursday's midnight; the alarm rings at 11:59:59 pm.
    void twoTicks_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<QString>("days");
        QTest::addColumn<QString>("fired");
        const QString every = "Everyday";
        auto rang = [](int late) { return QStringLiteral("A|11:59:59 pm|/s/A.mp3|b\r\nc|1|Wed 23:59:59|%1").arg(late); };
        QTest::newRow("3 s late across midnight, on its day") << -1900 << 1100 << "Wednesday, " << rang(2);
        QTest::newRow("3 s late across midnight, not on its day") << -1900 << 1100 << "Thursday, " << "";
        QTest::newRow("resumed 50 s later") << -1900 << 49100 << every << rang(50);
        QTest::newRow("resumed 5 min later") << -1900 << 299100 << every << rang(300);
        QTest::newRow("an hour late") << -1900 << 3599100 << every << rang(3600);
        QTest::newRow("an hour and a second late") << -1900 << 3600100 << every << "missed A Wed 23:59:59";
        QTest::newRow("resumed 2 h later") << -1900 << 7199100 << every << "missed A Wed 23:59:59";
        QTest::newRow("off for three days") << -1900 << 3 * 86400000 - 7200000 << every << "missed A Fri 23:59:59";
        QTest::newRow("weekly, off for five days") << -1900 << 5 * 86400000 << "Wednesday, " << "missed A Wed 23:59:59";
        QTest::newRow("clock set back onto the moment") << 9100 << -900 << every << rang(0);
        QTest::newRow("twice in one second") << -900 << -600 << every << rang(0);
    }
    void twoTicks()
    {
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(QString, days);
        const QDateTime midnight(wednesday.addDays(1), QTime(0, 0), QTimeZone::utc());
        FakeClock clock(midnight.addMSecs(first));
        AlarmCheck check(m_store, clock);
        const QStringList rows{ActiveRow::compose("Gone", "11:59:59 pm"), "short", row("A", "11:59:59", "pm", days, "1", "b\r\nc")};
        QStringList fired;
        for (int i = 0; i < 2; ++i) {
            const CheckResult result = check.tick(rows);
            for (const Firing &f : result.firings)
                fired << QStringList{f.name, f.timeText, f.sound, f.note, QString::number(f.risingVolume),
                                     f.due.toString("ddd HH:mm:ss"), QString::number(f.lateSecs)}
                             .join('|');
            for (const MissedAlarm &m : result.missed)
                fired << "missed " + m.name + ' ' + m.due.toString("ddd HH:mm:ss");
            clock.advance(1000); // the steady clock does not care: a suspended machine stops it
            clock.setNow(midnight.addMSecs(second));
        }
        QTEST(fired.join(' '), "fired");
    }

    // The clock set back an hour after an alarm rang: that morning it does not ring
    // again, the next day it does. A row activated anew starts from its own second.
    void clockSetBack()
    {
        FakeClock clock(QDateTime(wednesday, QTime(7, 29, 59), QTimeZone::utc()));
        AlarmCheck check(m_store, clock);
        const QStringList rows{row("A", "07:30:00", "am")};
        QStringList seen;
        auto run = [&](int seconds) {
            for (int i = 0; i < seconds; ++i, clock.advance(1000))
                for (const Firing &f : check.tick(rows).firings)
                    seen << clock.now().toString("ddd HH:mm:ss ") + f.name;
        };
        run(3);
        clock.setNow(clock.now().addSecs(-3600));
        run(3700);
        clock.setNow(QDateTime(wednesday.addDays(1), QTime(7, 29, 58), QTimeZone::utc()));
        run(5);
        QCOMPARE(seen.join('|'), "Wed 07:30:00 A|Thu 07:30:00 A");
        // Gone from the list and back much later: what passed meanwhile is not examined.
        check.follow({});
        clock.setNow(QDateTime(wednesday.addDays(2), QTime(8, 0), QTimeZone::utc()));
        check.follow(rows);
        QVERIFY(check.tick(rows).firings.isEmpty() && check.tick(rows).missed.isEmpty());
    }

    // When the check wakes next: the first due moment of any row on one of its
    // days, or a change of the zone's offset before it; nothing with no row that can ring.
    void nextWake_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QStringList>("times"); // "hh:mm:ss am|days"
        QTest::addColumn<QDateTime>("wake");
        const QTimeZone utc = QTimeZone::utc(), berlin("Europe/Berlin");
        const QDateTime morning(wednesday, QTime(7, 0), utc);
        QTest::newRow("later today") << morning << QStringList{"07:30:00 am|Everyday", "06:00:00 pm|Everyday"}
                                     << QDateTime(wednesday, QTime(7, 30), utc);
        QTest::newRow("passed today, rings tomorrow") << morning << QStringList{"06:59:59 am|Everyday"}
                                                      << QDateTime(wednesday.addDays(1), QTime(6, 59, 59), utc);
        QTest::newRow("next of its days") << morning << QStringList{"07:30:00 am|Monday, "}
                                          << QDateTime(QDate(2026, 12, 14), QTime(7, 30), utc);
        QTest::newRow("passed today, its only day") << morning << QStringList{"06:00:00 am|Wednesday, "}
                                                    << QDateTime(wednesday.addDays(7), QTime(6, 0), utc);
        QTest::newRow("damaged rows only") << morning << QStringList{"13:00:00 pm|Everyday", "07:30:00 am|Someday, "} << QDateTime();
        QTest::newRow("the clocks change first") << QDateTime(QDate(2026, 3, 28), QTime(23, 0), berlin)
                                                 << QStringList{"02:30:00 am|Everyday"}
                                                 << QDateTime(QDate(2026, 3, 29), QTime(3, 0), berlin);
    }
    void nextWake()
    {
        QFETCH(QDateTime, now);
        QFETCH(QStringList, times);
        FakeClock clock(now, now.timeZone());
        AlarmCheck check(m_store, clock);
        QStringList rows;
        for (const QString &t : times)
            rows << row(QString::number(rows.size()), t.left(8), t.mid(9, 2), t.mid(12));
        QFETCH(QDateTime, wake);
        QCOMPARE(check.nextWakeMs(rows).value_or(-1), wake.isValid() ? wake.toMSecsSinceEpoch() : -1);
    }

    // A profile's time text, the moment it stands for (none: refused) and that
    // moment's own texts: the 24-hour clock and the profile form, which the
    // 12-hour face shows too.
    void moments_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QTime>("moment");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("check");
        QTest::newRow("twelve am is after midnight") << "12:30:15 am" << QTime(0, 30, 15) << "00:30:15" << "00:30:15 am";
        QTest::newRow("zero pm is after noon") << "00:30:00 pm" << QTime(12, 30) << "12:30:00" << "12:30:00 pm";
        QTest::newRow("twelve pm is noon") << "12:00:00 pm" << QTime(12, 0) << "12:00:00" << "12:00:00 pm";
        QTest::newRow("afternoon") << "01:05:09 pm" << QTime(13, 5, 9) << "13:05:09" << "01:05:09 pm";
        QTest::newRow("minute 59, last second") << "11:59:59 pm" << QTime(23, 59, 59) << "23:59:59" << "11:59:59 pm";
        for (const char *refused : {"13:00:00 pm", "07:60:00 am", "07:30:00 AM", ":30:00 am", "ab:cd:00 am"})
            QTest::newRow(refused) << refused << QTime() << "" << "";
    }
    void moments()
    {
        QFETCH(QString, text);
        QFETCH(QTime, moment);
        const auto parsed = TimeText::profileMoment(text);
        QCOMPARE(parsed.has_value(), moment.isValid());
        QCOMPARE(parsed.value_or(QTime()), moment);
        if (moment.isValid()) {
            QTEST(TimeText::current(moment), "current");
            QTEST(TimeText::check(moment), "check"); // made from the clock face's pieces
        }
    }

    void dateTextIsEnglishWhateverTheLocale()
    {
        QLocale::setDefault(QLocale(QLocale::German));
        const QStringList texts{TimeText::date(QDate(2026, 3, 1)), TimeText::date(QDate(2006, 7, 31))};
        QLocale::setDefault(QLocale::c());
        QCOMPARE(texts, (QStringList{"Sunday, March 1, 2026", "Monday, July 31, 2006"}));
    }
};

QTEST_GUILESS_MAIN(TstAlarmCheck)
#include "tst_alarmcheck.moc"
