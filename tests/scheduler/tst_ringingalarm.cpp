// The ringing alarm's rules: the snooze countdown, the rising volume, a second
// alarm over the first, the late notice and the blink.
#include "scheduler/ringingalarm.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using Rings = QList<QList<bool>>; // each ring(): the rising flags of the alarms due together

namespace {
const QDateTime due(QDate(2026, 12, 9), QTime(7, 31), QTimeZone::utc());

Firing firing(const QString &name, bool rising = false, qint64 lateSecs = 0)
{
    return {name, u"07:31:00 am"_s, u"/s/"_s + name + u".wav"_s, QString(), rising, due, lateSecs};
}

QList<Firing> firings(const QList<bool> &rising)
{
    QList<Firing> list;
    for (bool rises : rising)
        list << firing(QString(QChar(char16_t(u'A' + list.size()))), rises);
    return list;
}

// The volume now, then after each step until the ramp stops.
QList<int> ramp(RingingAlarm &alarm)
{
    QList<int> volumes{alarm.volume()};
    while (alarm.isRamping() && volumes.size() < 20) {
        alarm.rampUp();
        volumes << alarm.volume();
    }
    return volumes;
}
} // namespace

class TstRingingAlarm : public QObject
{
    Q_OBJECT

private slots:
    // Snoozed once, or again some seconds into the countdown: five silent minutes
    // from the last snooze, then the first alarm's sound again.
    void countdown_data()
    {
        QTest::addColumn<int>("snoozedAgainAfter"); // seconds; 0: never
        QTest::newRow("once") << 0;
        QTest::newRow("again after 10 s") << 10;
    }

    void countdown()
    {
        QFETCH(int, snoozedAgainAfter);
        RingingAlarm alarm;
        QCOMPARE(alarm.countdownText(), u"00:05:00"_s);
        alarm.ring({firing(u"A"_s)}, u"Note"_s, due);
        QVERIFY(alarm.blinkOff() && !alarm.namesShown());
        QVERIFY(!alarm.snooze() && alarm.isSnoozing() && alarm.namesShown() && alarm.sound().isEmpty());
        for (int s = 0; s < snoozedAgainAfter; ++s)
            QVERIFY(!alarm.countDown());
        if (snoozedAgainAfter)
            alarm.snooze();
        QStringList seen{alarm.countdownText()};
        for (int s = 1; s <= RingingAlarm::snoozeSecs; ++s) {
            const bool ended = alarm.countDown();
            QCOMPARE(ended, s == RingingAlarm::snoozeSecs);
            QVERIFY(alarm.sound().isEmpty() == !ended);
            if (s == 1 || s == 61 || s >= 299)
                seen << alarm.countdownText();
        }
        QCOMPARE(seen, (QStringList{"00:05:00", "00:04:59", "00:03:59", "00:00:01", "00:00:00"}));
        QVERIFY(!alarm.isSnoozing() && alarm.sound() == u"/s/A.wav"_s);
        QCOMPARE(alarm.name() + u'|' + alarm.timeText() + u'|' + alarm.notes(), u"A|07:31:00 am|Note"_s);
    }

    // The volume starts quiet and rises by ten to full, by the shown alarm's own
    // setting; a second alarm at once or while ringing keeps the ramp going; a
    // snooze starts it over when the alarm shown rises.
    void ramp_data()
    {
        QTest::addColumn<Rings>("rings");
        QTest::addColumn<QList<int>>("ringing");
        QTest::addColumn<QList<int>>("snoozed");
        const QList<int> rising{10, 20, 30, 40, 50, 60, 70, 80, 90, 100};
        QTest::newRow("rises") << Rings{{true}} << rising << rising;
        QTest::newRow("steady") << Rings{{false}} << QList<int>{100} << QList<int>{100};
        QTest::newRow("two at once, the first rises") << Rings{{true, false}} << rising << QList<int>{100};
        QTest::newRow("two at once, the shown rises") << Rings{{false, true}} << QList<int>{100} << rising;
        QTest::newRow("second, rising, three steps in") << Rings{{true}, {true}} << rising.mid(3) << rising;
        QTest::newRow("second, steady, three steps in") << Rings{{true}, {false}} << rising.mid(3) << QList<int>{100};
    }

    void ramp()
    {
        QFETCH(Rings, rings);
        RingingAlarm alarm;
        for (const QList<bool> &rising : rings) {
            if (&rising != &rings.first())
                for (int step = 0; step < 3; ++step)
                    alarm.rampUp();
            alarm.ring(firings(rising), QString(), due);
        }
        QTEST(::ramp(alarm), "ringing");
        QVERIFY(!alarm.rampUp() && alarm.volume() == RingingAlarm::fullVolume);
        alarm.snooze();
        QTEST(::ramp(alarm), "snoozed");
    }

    // Alarms due at once show the last; one due during a snooze ends the
    // countdown and rings; Disable and the next snooze then take the new one.
    void secondAlarm_data()
    {
        QTest::addColumn<bool>("snoozed");
        QTest::newRow("while ringing") << false;
        QTest::newRow("while snoozed") << true;
    }

    void secondAlarm()
    {
        QFETCH(bool, snoozed);
        RingingAlarm alarm;
        QVERIFY(!alarm.ring(firings({false, false}), u"a"_s, due).snoozeEnded);
        QCOMPARE(alarm.name() + u'|' + alarm.sound(), u"B|/s/B.wav"_s);
        if (snoozed) {
            alarm.snooze();
            for (int s = 0; s < 10; ++s)
                alarm.countDown();
        }
        const QString before = alarm.countdownText();
        QCOMPARE(alarm.ring({firing(u"C"_s)}, u"a\r\nc"_s, due).snoozeEnded, snoozed);
        QVERIFY(!alarm.isSnoozing() && alarm.name() == u"C"_s && alarm.notes() == u"a\r\nc"_s && alarm.sound() == u"/s/C.wav"_s);
        QCOMPARE(alarm.countdownText(), snoozed ? u"00:00:00"_s : before);
        alarm.snooze();
        for (int s = 0; s < RingingAlarm::snoozeSecs; ++s)
            alarm.countDown();
        QCOMPARE(alarm.sound(), u"/s/C.wav"_s);
    }

    // Found ten seconds or more after its moment, the alarm says when it was due
    // and when it rang; a file that did not play says so below. The next alarm
    // starts with neither.
    void notice_data()
    {
        QTest::addColumn<int>("lateSecs");
        QTest::addColumn<bool>("soundFailed");
        QTest::addColumn<QString>("notice");
        const QString sample = u"Sound file unplayable: the sample sound rings instead."_s;
        QTest::newRow("on time") << 0 << false << QString();
        QTest::newRow("9 s late") << 9 << false << QString();
        QTest::newRow("10 s late") << 10 << false << u"Late: due 07:31:00 am, rang at 07:31:10 am."_s;
        QTest::newRow("an hour late, file unplayable") << 3599 << true << u"Late: due 07:31:00 am, rang at 08:30:59 am.\n"_s + sample;
        QTest::newRow("on time, file unplayable") << 0 << true << sample;
    }

    void notice()
    {
        QFETCH(int, lateSecs);
        QFETCH(bool, soundFailed);
        RingingAlarm alarm;
        alarm.ring({firing(u"A"_s, false, lateSecs)}, QString(), due.addSecs(lateSecs));
        if (soundFailed)
            alarm.soundFailed();
        QTEST(alarm.notice(), "notice");
        alarm.ring({firing(u"B"_s)}, QString(), due);
        QCOMPARE(alarm.notice(), QString());
    }
};

QTEST_MAIN(TstRingingAlarm)
#include "tst_ringingalarm.moc"
