#include "scheduler/snoozecountdown.h"
#include "scheduler/timetext.h"

#include <QtTest>

class TstTimeText : public QObject
{
    Q_OBJECT
private slots:
    void twelveHourTexts_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("check");
        QTest::newRow("after midnight") << QTime(0, 30, 15) << "00:30:15" << "00:30:15 am";
        QTest::newRow("before noon") << QTime(11, 59, 59) << "11:59:59" << "11:59:59 am";
        QTest::newRow("noon") << QTime(12, 0, 0) << "12:00:00" << "12:00:00 pm";
        QTest::newRow("afternoon") << QTime(13, 5, 9) << "13:05:09" << "01:05:09 pm";
        QTest::newRow("last second") << QTime(23, 59, 59) << "23:59:59" << "11:59:59 pm";
    }
    void twelveHourTexts()
    {
        QFETCH(QTime, time);
        QFETCH(QString, current);
        QFETCH(QString, check);
        QCOMPARE(TimeText::current(time), current);
        QCOMPARE(TimeText::check(time), check);
        const TimeText::Face face = TimeText::face(time);
        QCOMPARE(face.hours + ':' + face.minutes + ':' + face.seconds + ' ' + face.period, check);
    }

    void dateText_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("text");
        QTest::newRow("sunday") << QDate(2026, 3, 1) << "Sunday, March 1, 2026";
        QTest::newRow("monday") << QDate(2006, 7, 31) << "Monday, July 31, 2006";
        QTest::newRow("saturday") << QDate(2026, 12, 12) << "Saturday, December 12, 2026";
    }
    void dateText()
    {
        QFETCH(QDate, date);
        QFETCH(QString, text);
        QLocale::setDefault(QLocale(QLocale::German)); // names stay English whatever the locale
        QCOMPARE(TimeText::date(date), text);
        QLocale::setDefault(QLocale::c());
    }

    void profileMoments_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QTime>("moment");
        QTest::newRow("morning") << "07:30:00 am" << QTime(7, 30);
        QTest::newRow("evening") << "07:05:00 pm" << QTime(19, 5);
        QTest::newRow("twelve am is after midnight") << "12:30:00 am" << QTime(0, 30);
        QTest::newRow("zero pm is after noon") << "00:30:00 pm" << QTime(12, 30);
        QTest::newRow("twelve pm is noon") << "12:00:00 pm" << QTime(12, 0);
        QTest::newRow("hour 13") << "13:00:00 pm" << QTime();
        QTest::newRow("minute 60") << "07:60:00 am" << QTime();
        QTest::newRow("capital AM") << "07:30:00 AM" << QTime();
        QTest::newRow("empty hour") << ":30:00 am" << QTime();
        QTest::newRow("letters") << "ab:cd:00 am" << QTime();
    }
    void profileMoments()
    {
        QFETCH(QString, text);
        QFETCH(QTime, moment);
        QCOMPARE(TimeText::profileMoment(text).value_or(QTime()), moment);
    }

    void countdownRunsFiveMinutes()
    {
        QStringList seen{SnoozeCountdown::start};
        while (seen.last() != SnoozeCountdown::end && seen.size() < 400)
            seen.append(SnoozeCountdown::next(seen.last()));
        QCOMPARE(seen.size(), 301);
        QCOMPARE(seen[1], QStringLiteral("00:04:59"));
        QCOMPARE(seen[60], QStringLiteral("00:04:00"));
        QCOMPARE(seen[291], QStringLiteral("00:00:09"));
        QCOMPARE(SnoozeCountdown::next(SnoozeCountdown::end), SnoozeCountdown::end);
    }
};

QTEST_APPLESS_MAIN(TstTimeText)
#include "tst_timetext.moc"
