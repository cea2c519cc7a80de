#include "scheduler/snoozecountdown.h"
#include "scheduler/timetext.h"

#include <QtTest>

class TstTimeText : public QObject
{
    Q_OBJECT
private slots:
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
            const TimeText::Face face = TimeText::face(moment);
            QTEST(TimeText::current(moment), "current");
            QTEST(TimeText::check(moment), "check");
            QTEST(face.hours + ':' + face.minutes + ':' + face.seconds + ' ' + face.period, "check");
        }
    }

    void dateTextIsEnglishWhateverTheLocale()
    {
        QLocale::setDefault(QLocale(QLocale::German));
        const QStringList texts{TimeText::date(QDate(2026, 3, 1)), TimeText::date(QDate(2006, 7, 31))};
        QLocale::setDefault(QLocale::c());
        QCOMPARE(texts, (QStringList{"Sunday, March 1, 2026", "Monday, July 31, 2006"}));
    }

    void countdownRunsFiveMinutes()
    {
        QStringList seen{SnoozeCountdown::start};
        while (seen.last() != SnoozeCountdown::end && seen.size() < 400)
            seen.append(SnoozeCountdown::next(seen.last()));
        QCOMPARE(seen.size(), 301);
        QCOMPARE((QStringList{seen[1], seen[60], seen[291]}), (QStringList{"00:04:59", "00:04:00", "00:00:09"}));
        QCOMPARE(SnoozeCountdown::next(SnoozeCountdown::end), SnoozeCountdown::end);
    }
};

QTEST_APPLESS_MAIN(TstTimeText)
#include "tst_timetext.moc"
