#include "profiles/profilestore.h"
#include "scheduler/alarmcheck.h"
#include "scheduler/clock.h"
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
    // In the hour a spring-forward change skips, the alarm rings at the first
    // second after the jump; in the hour a fall-back repeats, once.
    void daylightSavingTime_data()
    {
        QTest::addColumn<QDateTime>("start");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("fired");
        const QTimeZone berlin("Europe/Berlin");
        const QDateTime spring(QDate(2026, 3, 29), QTime(1, 0), berlin), autumn(QDate(2026, 10, 25), QTime(1, 0), berlin);
        QTest::newRow("skipped hour") << spring << "02:30:00 am" << "Sun 03:00:00 CEST A";
        QTest::newRow("just before the gap") << spring << "01:59:59 am" << "Sun 01:59:59 CET A";
        QTest::newRow("repeated hour") << autumn << "02:30:00 am" << "Sun 02:30:00 CEST A";
        QTest::newRow("after the repeat") << autumn << "03:00:00 am" << "Sun 03:00:00 CET A";
    }
    void daylightSavingTime()
    {
        QFETCH(QDateTime, start);
        QFETCH(QString, time);
        FakeClock clock(start, start.timeZone());
        AlarmCheck check(m_store, clock);
        const QStringList rows{row("A", time.left(8), time.right(2))};
        QStringList seen;
        for (int i = 0; i < 3 * 3600 + 60; ++i, clock.advance(1000))
            for (const Firing &f : check.tick(rows))
                seen << clock.now().toString(QStringLiteral("ddd HH:mm:ss t ")) + f.name;
        QTEST(seen.join('|'), "fired");
    }

    // A late tick examines the seconds it missed; a long gap, a clock set by hand
    // or a restart examines only its own second, and no second is examined twice.
    // The weekday is the examined second's, not the tick's nor the date line's.
    // Damaged rows before the alarm's are skipped, not a stop.
    // Times in ms from Thursday's midnight; the alarm rings at 11:59:59 pm.
    void twoTicks_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("realMs"); // real time between the two ticks
        QTest::addColumn<int>("second");
        QTest::addColumn<QString>("days");
        QTest::addColumn<bool>("restart"); // between the ticks
        QTest::addColumn<QString>("fired");
        const QString every = "Everyday", rang = "A|11:59:59 pm|/s/A.mp3|b\r\nc|1";
        QTest::newRow("3 s late across midnight, on its day") << -1900 << 3000 << 1100 << "Wednesday, " << false << rang;
        QTest::newRow("3 s late across midnight, not on its day") << -1900 << 3000 << 1100 << "Thursday, " << false << "";
        QTest::newRow("59 s late") << -1900 << 59000 << 57100 << every << false << rang;
        QTest::newRow("suspended 2 min") << -1900 << 120000 << 118100 << every << false << "";
        QTest::newRow("clock set forward") << -1900 << 1000 << 30100 << every << false << "";
        QTest::newRow("clock set back") << 9100 << 1000 << -900 << every << false << rang;
        QTest::newRow("twice in one second") << -900 << 300 << -600 << every << false << rang;
        QTest::newRow("restarted late") << -2900 << 3000 << 100 << every << true << "";
    }
    void twoTicks()
    {
        QFETCH(int, first);
        QFETCH(int, realMs);
        QFETCH(int, second);
        QFETCH(QString, days);
        QFETCH(bool, restart);
        const QDateTime midnight(wednesday.addDays(1), QTime(0, 0), QTimeZone::utc());
        FakeClock clock(midnight.addMSecs(first));
        AlarmCheck check(m_store, clock);
        const QStringList rows{ActiveRow::compose("Gone", "11:59:59 pm"), "short", row("A", "11:59:59", "pm", days, "1", "b\r\nc")};
        QStringList fired;
        for (int i = 0; i < 2; ++i) {
            for (const Firing &f : check.tick(rows))
                fired << QStringList{f.name, f.timeText, f.sound, f.note, QString::number(f.risingVolume)}.join('|');
            clock.advance(realMs);
            clock.setNow(midnight.addMSecs(second));
            restart ? check.restart() : void();
        }
        QTEST(fired.join(' '), "fired");
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
