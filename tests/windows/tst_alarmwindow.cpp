// The alarm window, opened by a real firing of the check: keys, note, blink,
// volume ramp, snooze countdown and the ways out.
#include <QLineEdit>
#include <QtTest>

#include "testsupport.h"

#include "widgets/digitbox.h"
#include "windows/profileeditor.h"
#include "windows/aboutwindow.h"
#include "widgets/imagebutton.h"
#include "sound/mediaplayer.h"
#include "scheduler/secondtimer.h"

#include <QClipboard>
#include <QMenu>

using namespace Qt::StringLiterals;
using Opener = std::function<void(MainWindow *)>;

namespace {
const QString sound = QStringLiteral(TEST_WAV);
}

class TestAlarmWindow : public QObject
{
    Q_OBJECT

private slots:
    // Alpha and Beta are active; the check runs at 07:30:00. The note's copy; a key on
    // the background does nothing; an unplayable file brings up no message; Exit stops the sound at once.
    void noteKeysAndExit_data()
    {
        QTest::addColumn<QString>("alphaNote");
        QTest::addColumn<QString>("alphaSound");
        QTest::addColumn<QString>("betaTime");
        QTest::addColumn<QString>("ringing"); // name (time): note
        QTest::newRow("blanks only") << "   " << sound << "08:00:00" << "Alpha (07:30:00 am): None.";
        QTest::newRow("sound file missing") << "Quiet" << "/nonexistent/alarm.mp3" << "08:00:00" << "Alpha (07:30:00 am): Quiet";
        QTest::newRow("two due") << "Stretch\r\nthen run" << sound << "07:30:00" << "Beta (07:30:00 am): Stretch\r\nthen run\r\nWater";
    }

    void noteKeysAndExit()
    {
        QFETCH(QString, alphaNote);
        QFETCH(QString, alphaSound);
        QFETCH(QString, betaTime);
        MainFixture f;
        f.addProfile(u"Alpha"_s, u"07:30:00"_s, u"am"_s, u"Everyday"_s, alphaNote, u"0"_s, alphaSound);
        f.addProfile(u"Beta"_s, betaTime, u"am"_s, u"Everyday"_s, u"Water"_s, u"0"_s, sound);
        f.start({u"Alpha"_s, u"Beta"_s});
        QPointer<AlarmWindow> alarm = f.tick();
        QVERIFY(alarm && QTest::qWaitForWindowActive(alarm) && !f.main->isEnabled() && f.main->Timer5->isActive());
        QTEST(alarm->lblAlarm->text() + u" ("_s + alarm->lblTime->text() + u"): "_s + alarm->lblNote->text(), "ringing");
        QCOMPARE(f.main->pendingNote, alarm->lblNote->text());
        // A lost file rings the sample and says so in one line; no box.
        const QString notice = alphaSound == sound ? QString() : u"Sound file unplayable: the sample sound rings instead."_s;
        QTRY_COMPARE(alarm->lblNotice->text(), notice);
        QVERIFY(alarm->MediaPlayer1->playingFallback() == !notice.isEmpty());
        alarm->Timer1_Timer();
        QCOMPARE(alarm->windowTitle(), u"Alarm - 07:30:00 am"_s);
        QPointer<MediaPlayer> player = alarm->MediaPlayer1;
        QCOMPARE(alarm->lblNote->toolTip(), u"Double click here to copy to clipboard."_s);
        QTest::mouseDClick(alarm->lblNote, Qt::LeftButton);
        QTest::keyClick(alarm->picBackground, Qt::Key_Return);
        QCOMPARE(QGuiApplication::clipboard()->text(), alarm->lblNote->text());
        QVERIFY((alphaSound != sound || player->isPlaying()) && player->playCount() == 100 && alarm->lblSnooze->isHidden());
        QVERIFY(!QApplication::activeModalWidget() && alarm->isVisible());
        f.main->cmdExit_MouseUp();
        QVERIFY(!player || !player->isPlaying());
        QTRY_VERIFY(!alarm);
    }

    // An alarm falls due while something else is open; it is answered through its
    // window, as a user would, and afterwards what was open is usable again
    // (a menu closes) and the main window is enabled unless the editor is open.
    // Every opener with one answer, and every answer over a box.
    void overAnythingOpen_data()
    {
        QTest::addColumn<Opener>("open");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("mainEnabled");
        const auto editorBox = [](MainWindow *m) { m->cmdProfile_MouseUp(); m->frmProfile->findChild<QLineEdit *>("txtTime")->clear(); QTest::mouseClick(m->frmProfile->findChild<QWidget *>("cmdSave"), Qt::LeftButton); };
        const auto browse = [](MainWindow *m) { m->cmdProfile_MouseUp(); QTest::mouseClick(m->frmProfile->findChild<QWidget *>("cmdBrowse"), Qt::LeftButton); };
        const QList<std::tuple<const char *, Opener, bool, const char *>> rows{
            {"Delete confirmation", &MainWindow::mnuHiddenDelete_Click, true, "Space Escape cmdSnooze cmdDismiss cmdDeactivate"},
            {"error box", &MainWindow::deactivate, true, "Escape"}, {"About", &MainWindow::mnuAbout_Click, true, "close"},
            {"editor", &MainWindow::cmdProfile_MouseUp, false, "cmdDeactivate"}, {"editor, modify", &MainWindow::mnuHiddenModify_Click, false, "Space"},
            {"editor's box", editorBox, false, "cmdSnooze"}, {"file dialog", browse, false, "Escape"},
            {"tray menu", [](MainWindow *m) { m->mnuTray->popup({0, 0}); }, true, "Space"}};
        for (const auto &[name, open, enabled, answers] : rows)
            for (const QString &answer : QString::fromLatin1(answers).split(u' '))
                QTest::addRow("%s, %s", name, qPrintable(answer)) << open << answer << enabled;
    }

    void overAnythingOpen()
    {
        QFETCH(Opener, open);
        QFETCH(QString, answer);
        MainFixture f;
        f.addProfile(u"Gym"_s, u"07:30:00"_s, u"am"_s, u"Everyday"_s, QString(), u"0"_s, sound);
        f.addProfile(u"Spare"_s, u"09:00:00"_s);
        MainWindow *main = f.start({u"Gym"_s});
        main->lstSaved->setCurrentRow(0);
        bool done = false;
        // Runs inside the loop of a box or dialog that open() leaves waiting.
        QTimer::singleShot(0, [&] {
            auto finish = qScopeGuard([&] { // also after a failure, so that open() returns
                done = true;
                if (main->frmAlarm)
                    main->frmAlarm->close();
                while (auto *left = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                    left->reject();
            });
            QWidget *before = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : QApplication::activePopupWidget();
            before = before ? before : main->frmProfile ? static_cast<QWidget *>(main->frmProfile) : main->frmAbout;
            QPointer<AlarmWindow> alarm = f.tick();
            QVERIFY(alarm && QTest::qWaitForWindowExposed(alarm) && alarm->MediaPlayer1->isPlaying() && !QApplication::activePopupWidget());
            for (const QString &step : {answer, u"cmdDismiss"_s}) { // a snoozed alarm is then dismissed
                if (!alarm)
                    break;
                if (step == u"close"_s)
                    alarm->close();
                else if (step.startsWith(u"cmd"_s))
                    QTest::mouseClick(alarm->windowHandle(), Qt::LeftButton, {}, alarm->findChild<QWidget *>(step)->mapTo(alarm, QPoint(10, 10)));
                else
                    QTest::keyClick(alarm->windowHandle(), step == u"Space"_s ? Qt::Key_Space : Qt::Key_Escape);
                if (step.contains(u"Snooze"_s) || step == u"Space"_s)
                    QVERIFY(alarm && alarm->Timer4->isActive() && !alarm->MediaPlayer1->isPlaying());
            }
            QVERIFY(!alarm || alarm->isHidden());
            QCOMPARE(main->lstSaved->rowOf(u"Gym"_s) >= 0, answer == u"cmdDeactivate"_s);
            // The check goes on while the alarm rings; it sleeps once none is active.
            QVERIFY(main->pendingNote.isEmpty() && main->Timer5->isActive() == (answer != u"cmdDeactivate"_s));
            QTEST(main->isEnabled(), "mainEnabled");
            QVERIFY(before && before->isVisible() != bool(qobject_cast<QMenu *>(before)));
            if (!qobject_cast<QMenu *>(before))
                QVERIFY(before->isEnabled() && QApplication::activeModalWidget() == (before->isModal() ? before : nullptr));
            if (before && before->isModal()) // Escape answers it: it takes keys again
                QTest::keyClick(before->windowHandle(), Qt::Key_Escape);
            QVERIFY(!QApplication::activeModalWidget());
        });
        open(main);
        QTRY_VERIFY(done);
    }

    // Alpha rings at 07:30:00 and is left ringing, snoozed or dismissed; the machine
    // is next awake some time later, past Beta's 07:31:00. The open window takes Beta
    // over: the countdown ends, the blink resumes, Beta's sound plays, the notes
    // join. Found late, the window says so; over an hour late it does not ring
    // and the main window and tray say it was missed.
    void laterAlarms_data()
    {
        QTest::addColumn<int>("alphaAnswer"); // none, Space (snooze), Escape (dismiss)
        QTest::addColumn<int>("awakeAt");     // seconds after 07:30:00
        QTest::addColumn<QString>("shown");   // name|note|notice, or the missed line
        QTest::newRow("while ringing") << 0 << 60 << "Beta|A\r\nB|";
        QTest::newRow("while snoozed") << int(Qt::Key_Space) << 61 << "Beta|A\r\nB|";
        QTest::newRow("resumed 5 min later, snoozed") << int(Qt::Key_Space) << 300
                                                      << "Beta|A\r\nB|Late: due 07:31:00 am, rang at 07:35:00 am.";
        QTest::newRow("resumed 2 h later") << int(Qt::Key_Escape) << 7200
                                           << "Missed: Beta at 07:31:00 am, Wednesday, December 9, 2026";
    }

    void laterAlarms()
    {
        QFETCH(int, alphaAnswer);
        QFETCH(int, awakeAt);
        MainFixture f;
        const QString betaSound = f.dir.filePath(u"beta.wav"_s);
        QVERIFY(QFile::copy(sound, betaSound));
        f.addProfile(u"Alpha"_s, u"07:30:00"_s, u"am"_s, u"Everyday"_s, u"A"_s, u"0"_s, sound);
        f.addProfile(u"Beta"_s, u"07:31:00"_s, u"am"_s, u"Everyday"_s, u"B"_s, u"0"_s, betaSound);
        f.start({u"Alpha"_s, u"Beta"_s});
        QPointer<AlarmWindow> alarm = f.tick();
        QVERIFY(alarm && QTest::qWaitForWindowActive(alarm));
        if (alphaAnswer)
            QTest::keyClick(alarm->windowHandle(), Qt::Key(alphaAnswer));
        QCOMPARE(alarm && alarm->Timer4->isActive(), alphaAnswer == Qt::Key_Space);
        QVERIFY(f.main->Timer5->isActive());
        f.clock.setNow(f.clock.now().addSecs(awakeAt));
        f.wake();
        QFETCH(QString, shown);
        if (shown.startsWith(u"Missed"_s)) {
            QVERIFY(!f.main->frmAlarm && f.main->lblMissed->isVisible());
            QCOMPARE(f.main->lblMissed->text(), shown);
            QCOMPARE(f.main->trayTooltip(), u"Alarm Clock - 2 Active Alarms!\n"_s + shown);
            return;
        }
        QVERIFY(alarm && alarm->isVisible() && alarm == f.main->frmAlarm && !f.main->lblMissed->isVisible());
        QCOMPARE(alarm->lblAlarm->text() + u'|' + alarm->lblNote->text() + u'|' + alarm->lblNotice->text(), shown);
        QVERIFY(!alarm->Timer4->isActive() && (alarm->Timer2->isActive() || alarm->Timer3->isActive()));
        QVERIFY(alarm->lblSnooze->isHidden() || alarm->lblSnooze->text() == u"00:00:00"_s);
        QVERIFY(alarm->MediaPlayer1->url() == betaSound && alarm->MediaPlayer1->isPlaying());
        QTest::keyClick(alarm->windowHandle(), Qt::Key_Escape); // both stay active
        QCOMPARE(f.main->lstActive->count(), 2);
    }

    // Alpha rings while the editor is open; Zulu is read after it. The ramp, also after
    // Snooze, follows Alpha's own setting; the countdown ends in the same sound; Disable
    // takes Alpha by its name, even if its time changed since activation. The main
    // window waits for both the alarm and the editor to go, in either order.
    void ringingOverTheEditor_data()
    {
        QTest::addColumn<bool>("alphaRises"); // else only Zulu rises, Alpha's time changed, and the editor closes first
        QTest::newRow("ringing alarm rises") << true;
        QTest::newRow("only the other rises, time changed, editor closed first") << false;
    }

    void ringingOverTheEditor()
    {
        QFETCH(bool, alphaRises);
        const bool editorFirst = !alphaRises;
        MainFixture f;
        f.addProfile(u"Alpha"_s, alphaRises ? u"07:30:00"_s : u"06:45:00"_s);
        f.addProfile(u"Zulu"_s, u"08:00:00"_s, u"am"_s, u"Everyday"_s, QString(), alphaRises ? u"0"_s : u"1"_s, sound);
        f.addProfile(u"Aaron"_s, u"09:00:00"_s); // first in the lists: Disable must not take it
        f.start({u"Aaron"_s, u"Alpha"_s, u"Zulu"_s});
        QVERIFY(f.store.write({u"Alpha"_s, u"07:30:00"_s, u"am"_s, sound, u"Everyday"_s, alphaRises ? u"1"_s : u"0"_s, QString()}));
        f.main->cmdProfile_MouseUp();
        AlarmWindow *alarm = f.tick();
        QVERIFY(alarm && alarm->lblAlarm->text() == u"Alpha"_s && f.main->frmProfile);
        alarm->Timer2_Timer(); // the blink
        QVERIFY(alarm->lblAlarm->isHidden() && alarm->lblTime->isHidden());
        alarm->Timer3_Timer();
        QVERIFY(alarm->lblAlarm->isVisible() && alarm->lblTime->isVisible());
        for (int pass = 0; pass < 2; ++pass) { // ringing, then snoozed and ten seconds into the countdown
            for (int tick = 0; tick < 10 * pass; ++tick)
                alarm->Timer4_Timer();
            QList<int> volumes{alarm->MediaPlayer1->volume()};
            for (; alarm->Timer5->isActive() && volumes.size() < 20; volumes << alarm->MediaPlayer1->volume())
                alarm->Timer5_Timer();
            QCOMPARE(volumes, (alphaRises ? QList<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100} : QList<int>{100}));
            alarm->cmdSnooze_MouseUp(); // the second time, the countdown starts over
        }
        QStringList seen{alarm->lblSnooze->text()};
        for (int tick = 1; tick <= 300; ++tick) {
            alarm->Timer4_Timer();
            if (tick == 1 || tick >= 299) // silent until the end
                seen << alarm->lblSnooze->text() + (alarm->MediaPlayer1->url().isEmpty() ? u""_s : u" ringing"_s);
        }
        QCOMPARE(seen, (QStringList{"00:05:00", "00:04:59", "00:00:01", "00:00:00 ringing"}));
        QVERIFY(alarm->lblSnooze->isVisible() && !alarm->Timer4->isActive() && alarm->Timer2->isActive() && alarm->Timer3->isActive());
        QVERIFY(alarm->MediaPlayer1->url() == sound && alarm->MediaPlayer1->isPlaying());

        if (editorFirst)
            QTest::mouseClick(f.main->frmProfile->findChild<QWidget *>("cmdCancel"), Qt::LeftButton);
        QVERIFY(!f.main->isEnabled());
        QTest::mouseClick(alarm->cmdDeactivate, Qt::LeftButton);
        QCOMPARE(f.main->lstSaved->rows() + f.main->lstActive->rows() + f.main->lstHidden->rows(),
                 (QStringList{"Alpha", "Aaron (09:00:00 am)", "Zulu (08:00:00 am)", "Aaron (09:00:00 am)", "Zulu (08:00:00 am)"}));
        QCOMPARE(f.main->isEnabled(), editorFirst);
        if (!editorFirst)
            QTest::mouseClick(f.main->frmProfile->findChild<QWidget *>("cmdCancel"), Qt::LeftButton);
        QVERIFY(f.main->isEnabled());
    }
};

QTEST_MAIN(TestAlarmWindow)
#include "tst_alarmwindow.moc"
