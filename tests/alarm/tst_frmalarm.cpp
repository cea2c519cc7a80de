// The alarm window, opened by a real firing of the check: load step, volume ramp,
// blinking, title clock, keys, note, snooze countdown and the ways out.
#include <QAbstractButton>
#include <QtTest>

#include "testsupport.h"

#include "alarm/frmalarm.h"
#include "editor/frmprofile.h"
#include "ui/imagebutton.h"
#include "ui/mediaplayer.h"
#include "ui/secondtimer.h"
#include "ui/sortedlist.h"

#include <QClipboard>

using namespace Qt::StringLiterals;

namespace {
const QString sound = QStringLiteral(TEST_WAV);

// Starts the main window, activates the given saved profiles and runs the check at 07:30:00.
FrmAlarm *ringAtHalfPast(MainFixture &f, const QStringList &names = {u"Gym"_s})
{
    FrmMain *main = f.start();
    for (const QString &name : names) {
        main->lstSaved->setCurrentRow(main->lstSaved->rowOf(name));
        main->activate();
    }
    f.clock.advance(1000);
    main->Timer5_Timer();
    return main->frmAlarm;
}

void addGym(MainFixture &f, const QString &rising = u"0"_s, const QString &note = u"Stretch"_s)
{
    f.addProfile(u"Gym"_s, u"07:30:00"_s, u"am"_s, u"Everyday"_s, note, rising, sound);
}
} // namespace

class TestFrmAlarm : public QObject
{
    Q_OBJECT

private slots:
    void loadStepAndRamp_data()
    {
        QTest::addColumn<QString>("rising");
        QTest::newRow("rising volume") << "1";
        QTest::newRow("full volume") << "0";
    }

    void loadStepAndRamp()
    {
        QFETCH(QString, rising);
        MainFixture f;
        addGym(f, rising);
        FrmAlarm *alarm = ringAtHalfPast(f);
        QVERIFY(alarm);
        QCOMPARE(alarm->windowTitle(), u"Alarm"_s);
        QVERIFY(alarm->Timer1->isActive() && alarm->Timer2->isActive() && alarm->Timer3->isActive());
        QVERIFY(!alarm->Timer4->isActive() && alarm->lblSnooze->isHidden());
        QCOMPARE(alarm->MediaPlayer1->playCount(), 100);
        QCOMPARE(alarm->Timer5->interval(), 2000);
        QCOMPARE(alarm->Timer5->isActive(), rising == "1");
        const int start = rising == "1" ? 10 : 100;
        for (int volume = start; volume < 100; volume += 10) {
            QCOMPARE(alarm->MediaPlayer1->volume(), volume);
            QVERIFY(alarm->Timer5->isActive());
            alarm->Timer5_Timer();
        }
        QCOMPARE(alarm->MediaPlayer1->volume(), 100);
        QVERIFY(!alarm->Timer5->isActive());

        // The background holds the focus; Tab goes on to Disable, Dismiss, Snooze.
        QVERIFY(QTest::qWaitForWindowActive(alarm));
        for (QWidget *next : {alarm->picBackground, (QWidget *)alarm->cmdDeactivate, (QWidget *)alarm->cmdDismiss,
                              (QWidget *)alarm->cmdSnooze}) {
            QCOMPARE(QApplication::focusWidget(), next);
            QTest::keyClick(alarm->windowHandle(), Qt::Key_Tab);
        }
    }

    void blinkAndTitle()
    {
        MainFixture f;
        addGym(f);
        FrmAlarm *alarm = ringAtHalfPast(f);
        QVERIFY(alarm);
        QCOMPARE(alarm->Timer2->interval(), 500);
        QCOMPARE(alarm->Timer3->interval(), 500);
        for (int cycle = 0; cycle < 2; ++cycle) {
            alarm->Timer2_Timer();
            QVERIFY(alarm->lblAlarm->isHidden() && alarm->lblTime->isHidden());
            QVERIFY(!alarm->Timer2->isActive() && alarm->Timer3->isActive());
            alarm->Timer3_Timer();
            QVERIFY(alarm->lblAlarm->isVisible() && alarm->lblTime->isVisible());
            QVERIFY(alarm->Timer2->isActive() && !alarm->Timer3->isActive());
        }
        for (auto [time, title] : {std::pair{QTime(7, 30, 5), "Alarm - 07:30:05 am"}, {QTime(13, 5, 9), "Alarm - 01:05:09 pm"},
                                   {QTime(0, 0, 1), "Alarm - 00:00:01 am"}}) {
            f.clock.setNow(QDateTime(QDate(2026, 12, 9), time, QTimeZone::utc()));
            f.main->Timer1_Timer();
            alarm->Timer1_Timer();
            QCOMPARE(alarm->windowTitle(), QString::fromLatin1(title));
        }
    }

    void keys_data()
    {
        QTest::addColumn<QString>("focus"); // object name of the focused control
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("Space on the background") << "picBackground" << int(Qt::Key_Space) << "snoozed";
        QTest::newRow("Escape on the background") << "picBackground" << int(Qt::Key_Escape) << "dismissed";
        QTest::newRow("Enter on the background") << "picBackground" << int(Qt::Key_Return) << "nothing";
        QTest::newRow("Space on Snooze") << "cmdSnooze" << int(Qt::Key_Space) << "snoozed";
        QTest::newRow("Space on Dismiss") << "cmdDismiss" << int(Qt::Key_Space) << "dismissed";
        QTest::newRow("Space on Disable") << "cmdDeactivate" << int(Qt::Key_Space) << "disabled";
        QTest::newRow("Escape on Snooze") << "cmdSnooze" << int(Qt::Key_Escape) << "nothing";
        QTest::newRow("Escape on Disable") << "cmdDeactivate" << int(Qt::Key_Escape) << "nothing";
    }

    void keys()
    {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(QString, outcome);
        MainFixture f;
        addGym(f);
        QPointer<FrmAlarm> alarm = ringAtHalfPast(f);
        QVERIFY(alarm && QTest::qWaitForWindowActive(alarm));
        auto *target = alarm->findChild<QWidget *>(focus);
        target->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), target);
        QTest::keyClick(alarm->windowHandle(), Qt::Key(key));
        QTest::qWait(20);
        QCOMPARE(bool(alarm), outcome == "snoozed" || outcome == "nothing");
        if (alarm)
            QCOMPARE(alarm->Timer4->isActive() && alarm->lblSnooze->isVisible(), outcome == "snoozed");
        QCOMPARE(f.main->lstActive->count(), outcome == "disabled" ? 0 : 1);
    }

    void noteToClipboard()
    {
        for (auto [note, copied] : {std::pair{"Take the keys", "Take the keys"}, {"", "None."}}) {
            MainFixture f;
            addGym(f, u"0"_s, QString::fromLatin1(note));
            FrmAlarm *alarm = ringAtHalfPast(f);
            QVERIFY(alarm);
            QCOMPARE(alarm->lblNote->toolTip(), u"Double click here to copy to clipboard."_s);
            QGuiApplication::clipboard()->setText(u"before"_s);
            QTest::mouseDClick(alarm->lblNote, Qt::LeftButton);
            QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromLatin1(copied));
        }
    }

    void snoozeCountdown()
    {
        MainFixture f;
        addGym(f);
        FrmAlarm *alarm = ringAtHalfPast(f);
        QVERIFY(alarm && alarm->MediaPlayer1->isPlaying());
        alarm->Timer2_Timer(); // snoozed in the dark half of a blink
        QTest::mouseClick(alarm->cmdSnooze, Qt::LeftButton);
        QCOMPARE(alarm->lblSnooze->text(), u"00:05:00"_s);
        QVERIFY(alarm->lblSnooze->isVisible() && alarm->lblAlarm->isVisible() && alarm->lblTime->isVisible());
        QVERIFY(!alarm->Timer2->isActive() && !alarm->Timer3->isActive());
        QVERIFY(alarm->Timer4->isActive() && alarm->Timer4->interval() == 1000);
        QVERIFY(!alarm->MediaPlayer1->isPlaying());
        for (int tick = 0; tick < 10; ++tick)
            alarm->Timer4_Timer();
        QTest::keyClick(alarm->cmdSnooze, Qt::Key_Space); // again: the countdown starts over
        QCOMPARE(alarm->lblSnooze->text(), u"00:05:00"_s);

        const QMap<int, QString> expected{{1, "00:04:59"}, {2, "00:04:58"}, {60, "00:04:00"}, {61, "00:03:59"}, {299, "00:00:01"}};
        for (int tick = 1; tick < 300; ++tick) {
            alarm->Timer4_Timer();
            if (expected.contains(tick))
                QCOMPARE(alarm->lblSnooze->text(), expected[tick]);
        }
        QVERIFY(alarm->Timer4->isActive() && alarm->MediaPlayer1->url().isEmpty());
        alarm->Timer4_Timer();
        QCOMPARE(alarm->lblSnooze->text(), u"00:00:00"_s);
        QVERIFY(alarm->lblSnooze->isVisible() && !alarm->Timer4->isActive());
        QVERIFY(alarm->Timer2->isActive() && alarm->Timer3->isActive());
        QCOMPARE(alarm->MediaPlayer1->url(), sound);
        QVERIFY(alarm->MediaPlayer1->isPlaying());
    }

    void waysOut_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("Snooze") << "snooze";
        QTest::newRow("Dismiss") << "dismiss";
        QTest::newRow("Escape") << "escape";
        QTest::newRow("close box") << "close";
        QTest::newRow("Disable") << "disable";
        QTest::newRow("Exit") << "exit";
    }

    void waysOut()
    {
        QFETCH(QString, way);
        MainFixture f;
        addGym(f);
        QPointer<FrmAlarm> alarm = ringAtHalfPast(f);
        QVERIFY(alarm && QTest::qWaitForWindowActive(alarm));
        QPointer<MediaPlayer> player = alarm->MediaPlayer1;
        FrmMain *main = f.main.get();
        QVERIFY(player->isPlaying() && !main->isEnabled());
        if (way == "snooze")
            QTest::mouseClick(alarm->cmdSnooze, Qt::RightButton);
        else if (way == "dismiss")
            QTest::mouseClick(alarm->cmdDismiss, Qt::LeftButton);
        else if (way == "escape")
            QTest::keyClick(alarm->windowHandle(), Qt::Key_Escape);
        else if (way == "close")
            QVERIFY(alarm->close());
        else if (way == "disable")
            QTest::mouseClick(alarm->cmdDeactivate, Qt::LeftButton);
        else
            main->cmdExit_MouseUp();
        // The sound stops at once, not only when the window is deleted later.
        QVERIFY(!player || (!player->isPlaying() && player->url().isEmpty()));
        if (way == "snooze") {
            QVERIFY(alarm->isVisible() && !main->isEnabled());
            return;
        }
        // The unload step: note emptied, check running, main window enabled.
        QTRY_VERIFY(!alarm);
        QVERIFY(main->pendingNote.isEmpty() && main->isEnabled() && main->Timer5->isActive());
        QCOMPARE(main->lstSaved->rows(), way == "disable" ? QStringList{"Gym"} : QStringList());
        QCOMPARE(main->lstActive->count(), way == "disable" ? 0 : 1);
        f.clock.advance(1000);
        main->Timer5_Timer();
        QCOMPARE(main->Timer5->isActive(), way != "disable"); // nothing left to check
    }

    // Dismissing an alarm that rang while the editor was open leaves the main window to the editor.
    void ringingOverTheEditor()
    {
        MainFixture f;
        addGym(f);
        FrmMain *main = f.start();
        main->lstSaved->setCurrentRow(0);
        main->activate();
        main->cmdProfile_MouseUp();
        f.clock.advance(1000);
        main->Timer5_Timer();
        QVERIFY(main->frmAlarm && main->frmProfile);
        main->frmAlarm->cmdDismiss_MouseUp();
        QVERIFY(!main->isEnabled());
        main->frmProfile->cmdCancel_MouseUp();
        QVERIFY(main->isEnabled());
    }

    // Alpha rings; Zulu is read after it. Disable takes Alpha by its name, even if its
    // time changed since activation; Snooze's ramp follows Alpha's own setting.
    void twoActiveAlarms_data()
    {
        QTest::addColumn<QString>("timeAtActivation");
        QTest::addColumn<QString>("alphaRises");
        QTest::addColumn<QString>("zuluRises");
        QTest::newRow("ringing alarm rises") << "07:30:00" << "1" << "0";
        QTest::newRow("only the other rises, time changed") << "06:45:00" << "0" << "1";
    }

    void twoActiveAlarms()
    {
        QFETCH(QString, timeAtActivation);
        QFETCH(QString, alphaRises);
        QFETCH(QString, zuluRises);
        MainFixture f;
        f.addProfile(u"Alpha"_s, timeAtActivation);
        f.addProfile(u"Zulu"_s, u"08:00:00"_s, u"am"_s, u"Everyday"_s, QString(), zuluRises, sound);
        FrmMain *main = f.start();
        for (const QString &name : {u"Alpha"_s, u"Zulu"_s}) {
            main->lstSaved->setCurrentRow(main->lstSaved->rowOf(name));
            main->activate();
        }
        QVERIFY(f.store.write({u"Alpha"_s, u"07:30:00"_s, u"am"_s, sound, u"Everyday"_s, alphaRises, QString()}));
        f.clock.advance(1000);
        main->Timer5_Timer();
        FrmAlarm *alarm = main->frmAlarm;
        QVERIFY(alarm);
        QCOMPARE(alarm->lblAlarm->text(), u"Alpha"_s);
        for (int step = 0; step < 20 && alarm->Timer5->isActive(); ++step)
            alarm->Timer5_Timer();
        alarm->cmdSnooze_MouseUp();
        QCOMPARE(alarm->MediaPlayer1->volume(), alphaRises == "1" ? 10 : 100);
        QCOMPARE(alarm->Timer5->isActive(), alphaRises == "1");

        QTest::mouseClick(alarm->cmdDeactivate, Qt::LeftButton);
        QCOMPARE(main->lstSaved->rows(), QStringList{"Alpha"});
        QCOMPARE(main->lstActive->rows(), QStringList{"Zulu (08:00:00 am)"});
        QCOMPARE(main->lstHidden->rows(), QStringList{"Zulu (08:00:00 am)"});
    }
};

QTEST_MAIN(TestFrmAlarm)
#include "tst_frmalarm.moc"
