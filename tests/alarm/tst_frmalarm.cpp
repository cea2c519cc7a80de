// The alarm window, opened by a real firing of the check: load step, keys, note,
// volume ramp, snooze countdown and the ways out.
#include <QtTest>

#include "testsupport.h"

#include "alarm/frmalarm.h"
#include "editor/digitbox.h"
#include "editor/frmprofile.h"
#include "ui/frmabout.h"
#include "ui/imagebutton.h"
#include "ui/mediaplayer.h"
#include "ui/secondtimer.h"
#include "ui/sortedlist.h"

#include <QClipboard>
#include <QMenu>

using namespace Qt::StringLiterals;
using Opener = std::function<void(FrmMain *)>;

namespace {
const QString sound = QStringLiteral(TEST_WAV);

// Activates every saved profile and runs the check at 07:30:00; `before` runs just before it.
FrmAlarm *ringAtHalfPast(MainFixture &f, const std::function<void()> &before = [] {})
{
    FrmMain *main = f.start();
    for (int left = main->lstSaved->count(); left > 0; --left) {
        main->lstSaved->setCurrentRow(0);
        main->activate();
    }
    before();
    f.clock.advance(1000);
    main->Timer5_Timer();
    return main->frmAlarm;
}
} // namespace

class TestFrmAlarm : public QObject
{
    Q_OBJECT

private slots:
    // After the load step, a key on a control or a click; every way out stops the sound at once.
    void waysOut_data()
    {
        QTest::addColumn<QString>("target"); // a control's name, "close box" or "Exit"
        QTest::addColumn<int>("key");        // 0: the mouse
        QTest::addColumn<QString>("outcome");
        QTest::newRow("Enter on the background") << "picBackground" << int(Qt::Key_Return) << "nothing";
        QTest::newRow("close box") << "close box" << 0 << "dismissed";
        QTest::newRow("Exit") << "Exit" << 0 << "dismissed";
    }

    void waysOut()
    {
        QFETCH(QString, target);
        QFETCH(int, key);
        QFETCH(QString, outcome);
        MainFixture f;
        f.addProfile(u"Gym"_s, u"07:30:00"_s, u"am"_s, u"Everyday"_s, u"Take the keys"_s, u"0"_s, sound);
        QPointer<FrmAlarm> alarm = ringAtHalfPast(f);
        QVERIFY(alarm && QTest::qWaitForWindowActive(alarm));
        QPointer<MediaPlayer> player = alarm->MediaPlayer1;
        QVERIFY(player->isPlaying() && player->playCount() == 100 && alarm->lblSnooze->isHidden());
        // The background holds the focus; Tab goes on to Disable, Dismiss, Snooze.
        QWidgetList order;
        for (int i = 0; i < 4; ++i, QTest::keyClick(alarm->windowHandle(), Qt::Key_Tab))
            order << QApplication::focusWidget();
        QCOMPARE(order, (QWidgetList{alarm->picBackground, alarm->cmdDeactivate, alarm->cmdDismiss, alarm->cmdSnooze}));
        QCOMPARE(alarm->lblNote->toolTip(), u"Double click here to copy to clipboard."_s);
        QGuiApplication::clipboard()->setText(u"before"_s);
        QTest::mouseDClick(alarm->lblNote, Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"Take the keys"_s);

        auto *control = alarm->findChild<QWidget *>(target);
        if (target == u"close box"_s)
            QVERIFY(alarm->close());
        else if (target == u"Exit"_s)
            f.main->cmdExit_MouseUp();
        else
            key ? QTest::keyClick(control, Qt::Key(key)) : QTest::mouseClick(control, Qt::LeftButton);
        QCOMPARE(player && player->isPlaying(), outcome == u"nothing"_s);
        QVERIFY(outcome != u"nothing"_s || (alarm && !f.main->isEnabled() && alarm->lblSnooze->isHidden()));
        if (outcome == u"nothing"_s)
            return;
        // The unload step: note emptied, check running, main window enabled, the alarm still active.
        QTRY_VERIFY(!alarm);
        QVERIFY(f.main->pendingNote.isEmpty() && f.main->isEnabled() && f.main->Timer5->isActive());
        QCOMPARE(f.main->lstActive->rows(), QStringList{u"Gym (07:30:00 am)"_s});
    }

    // An alarm falls due while something else is open; it is answered through its
    // window, as a user would, and afterwards what was open is usable again
    // (a menu closes) and the main window is enabled unless the editor is open.
    void overAnythingOpen_data()
    {
        QTest::addColumn<Opener>("open");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("mainEnabled");
        const auto editorBox = [](FrmMain *m) { m->cmdProfile_MouseUp(); m->frmProfile->txtTime->clear(); m->frmProfile->cmdSave_MouseUp(); };
        const auto browse = [](FrmMain *m) { m->cmdProfile_MouseUp(); m->frmProfile->cmdBrowse_MouseUp(); };
        const QList<std::tuple<const char *, Opener, bool>> openers{
            {"Delete confirmation", &FrmMain::mnuHiddenDelete_Click, true},
            {"error box", &FrmMain::deactivate, true},
            {"About", &FrmMain::mnuAbout_Click, true},
            {"editor", &FrmMain::cmdProfile_MouseUp, false},
            {"editor, modify", &FrmMain::mnuHiddenModify_Click, false},
            {"editor's box", editorBox, false},
            {"file dialog", browse, false},
            {"tray menu", [](FrmMain *m) { m->mnuTray->popup({0, 0}); }, true}};
        for (const auto &[name, open, enabled] : openers)
            for (const char *answer : {"Space", "Escape", "cmdSnooze", "cmdDismiss", "cmdDeactivate"})
                QTest::addRow("%s, %s", name, answer) << open << QString::fromLatin1(answer) << enabled;
    }

    void overAnythingOpen()
    {
        QFETCH(Opener, open);
        QFETCH(QString, answer);
        MainFixture f;
        f.addProfile(u"Gym"_s, u"07:30:00"_s, u"am"_s, u"Everyday"_s, QString(), u"0"_s, sound);
        f.addProfile(u"Spare"_s, u"09:00:00"_s);
        FrmMain *main = f.start();
        main->lstSaved->setCurrentRow(main->lstSaved->rowOf(u"Gym"_s));
        main->activate();
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
            f.clock.advance(1000);
            main->Timer5_Timer();
            QPointer<FrmAlarm> alarm = main->frmAlarm;
            QVERIFY(alarm && QTest::qWaitForWindowExposed(alarm) && alarm->MediaPlayer1->isPlaying());
            for (const QString &step : {answer, u"cmdDismiss"_s}) { // a snoozed alarm is then dismissed
                if (!alarm)
                    break;
                if (step.startsWith(u"cmd"_s)) {
                    auto *button = alarm->findChild<QWidget *>(step);
                    QTest::mouseClick(alarm->windowHandle(), Qt::LeftButton, {}, button->mapTo(alarm, QPoint(10, 10)));
                } else {
                    QTest::keyClick(alarm->windowHandle(), step == u"Space"_s ? Qt::Key_Space : Qt::Key_Escape);
                }
                if (step.contains(u"Snooze"_s) || step == u"Space"_s)
                    QVERIFY(alarm && alarm->Timer4->isActive() && !alarm->MediaPlayer1->isPlaying());
            }
            QVERIFY(!alarm || alarm->isHidden());
            QCOMPARE(main->lstSaved->rowOf(u"Gym"_s) >= 0, answer == u"cmdDeactivate"_s);
            QVERIFY(main->pendingNote.isEmpty() && main->Timer5->isActive()); // the unload step
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

    // Alpha rings while the editor is open; Zulu is read after it. The ramp, also after
    // Snooze, follows Alpha's own setting; the countdown ends in the same sound; Disable
    // takes Alpha by its name, even if its time changed since activation, and leaves the
    // main window to the editor.
    void ringingOverTheEditor_data()
    {
        QTest::addColumn<QString>("timeAtActivation");
        QTest::addColumn<QString>("alphaRises");
        QTest::newRow("ringing alarm rises") << "07:30:00" << "1";
        QTest::newRow("only the other rises, time changed") << "06:45:00" << "0";
    }

    void ringingOverTheEditor()
    {
        QFETCH(QString, timeAtActivation);
        QFETCH(QString, alphaRises);
        const QString zuluRises = alphaRises == u"1"_s ? u"0"_s : u"1"_s;
        MainFixture f;
        f.addProfile(u"Alpha"_s, timeAtActivation);
        f.addProfile(u"Zulu"_s, u"08:00:00"_s, u"am"_s, u"Everyday"_s, QString(), zuluRises, sound);
        FrmAlarm *alarm = ringAtHalfPast(f, [&] {
            QVERIFY(f.store.write({u"Alpha"_s, u"07:30:00"_s, u"am"_s, sound, u"Everyday"_s, alphaRises, QString()}));
            f.main->cmdProfile_MouseUp();
        });
        QVERIFY(alarm && alarm->lblAlarm->text() == u"Alpha"_s && f.main->frmProfile);
        for (int pass = 0; pass < 2; ++pass) { // ringing, then snoozed and ten seconds into the countdown
            for (int tick = 0; tick < 10 * pass; ++tick)
                alarm->Timer4_Timer();
            QList<int> volumes{alarm->MediaPlayer1->volume()};
            for (; alarm->Timer5->isActive() && volumes.size() < 20; volumes << alarm->MediaPlayer1->volume())
                alarm->Timer5_Timer();
            QCOMPARE(volumes, (alphaRises == u"1"_s ? QList<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100} : QList<int>{100}));
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

        QTest::mouseClick(alarm->cmdDeactivate, Qt::LeftButton);
        QCOMPARE(f.main->lstSaved->rows() + f.main->lstActive->rows() + f.main->lstHidden->rows(),
                 (QStringList{"Alpha", "Zulu (08:00:00 am)", "Zulu (08:00:00 am)"}));
        QVERIFY(!f.main->isEnabled());
        f.main->frmProfile->cmdCancel_MouseUp();
        QVERIFY(f.main->isEnabled());
    }
};

QTEST_MAIN(TestFrmAlarm)
#include "tst_frmalarm.moc"
