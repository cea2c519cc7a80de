// The main window: start-up, clock, profile list and panel, activation, hiding,
// and the alarm check opening the alarm window.
#include <QAbstractButton>
#include <QtTest>

#include "testsupport.h"

#include "alarm/frmalarm.h"
#include "ui/imagebutton.h"
#include "ui/mediaplayer.h"
#include "ui/secondtimer.h"
#include "ui/sortedlist.h"

#include <QMenu>

using namespace Qt::StringLiterals;

namespace {
QPoint rowAt(QListWidget *list, const QString &text)
{
    const auto items = list->findItems(text, Qt::MatchExactly);
    return items.isEmpty() ? QPoint(-1, -1) : list->visualItemRect(items.first()).center();
}

void clickRow(QListWidget *list, const QString &text, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(list->viewport(), button, {}, rowAt(list, text));
}

void activate(FrmMain *main, const QString &name)
{
    main->lstSaved->setCurrentRow(main->lstSaved->rowOf(name));
    main->activate();
}

// Runs `action`, answers the error box it must bring up and gives back its text.
template <typename Action> QString refusal(Action action)
{
    BoxAnswer box;
    box.answerNext(QMessageBox::Ok);
    action();
    if (!QTest::qWaitFor([&box] { return box.seen; }))
        return u"no message"_s;
    return box.title == u"Error"_s && box.icon == QMessageBox::Critical ? box.text : u"another kind of box"_s;
}

const QString activationRefused = u"Please select an item from the profile list to activate."_s;
const QString deactivationRefused = u"Please select an item from the list to deactivate."_s;

QStringList clockFace(FrmMain *main)
{
    return {main->lblTime[0]->text(), main->lblTime[1]->text(), main->lblTime[2]->text(), main->lblTime2->text()};
}
} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT

private slots:
    void startUp_data()
    {
        QTest::addColumn<QStringList>("slotNames"); // an empty text is a missing slot
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("no profile") << QStringList{} << QStringList{};
        QTest::newRow("slot 4 missing") << QStringList{"Gym", "alpha", "Zeta", "", "Late"} << QStringList{"alpha", "Gym", "Zeta"};
        QTest::newRow("NotGotIt is a name") << QStringList{"Work", "NotGotIt"} << QStringList{"NotGotIt", "Work"};
        QTest::newRow("case ignored") << QStringList{"zulu", "Beta", "alpha"} << QStringList{"alpha", "Beta", "zulu"};
    }

    void startUp()
    {
        QFETCH(QStringList, slotNames);
        QFETCH(QStringList, listed);
        MainFixture f;
        for (int i = 0; i < slotNames.size(); ++i)
            if (!slotNames[i].isEmpty())
                f.settings.setValue(u"Settings/Profile%1"_s.arg(i + 1), slotNames[i]);
        FrmMain *main = f.start();
        QCOMPARE(main->lstSaved->rows(), listed);
        const bool any = !listed.isEmpty();
        QCOMPARE(main->cmdAlarm->isEnabled(), any);
        QCOMPARE(main->mnuAlarmActivate->isEnabled(), any);
        QCOMPARE(main->mnuAlarmDeactivate->isEnabled(), any);
        QVERIFY(main->cmdProfile->isEnabled() && main->cmdExit->isEnabled() && main->mnuAbout->isEnabled());
        QVERIFY(main->Timer1->isActive() && !main->Timer5->isActive());
        if (!any) // the double-click still reaches the activation
            QCOMPARE(refusal([main] { QTest::mouseDClick(main->lstSaved->viewport(), Qt::LeftButton, {}, {20, 60}); }),
                     activationRefused);
    }

    void clock_data()
    {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QStringList>("face");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("date");
        auto at = [](QDate day, QTime time) { return QDateTime(day, time, QTimeZone::utc()); };
        QTest::newRow("after midnight") << at({2026, 3, 1}, {0, 30, 15}) << QStringList{"00:", "30:", "15", "am"} << "00:30:15" << "Sunday, March 1, 2026";
        QTest::newRow("before noon") << at({2026, 2, 28}, {11, 59, 59}) << QStringList{"11:", "59:", "59", "am"} << "11:59:59" << "Saturday, February 28, 2026";
        QTest::newRow("noon") << at({2026, 7, 31}, {12, 0, 0}) << QStringList{"12:", "00:", "00", "pm"} << "12:00:00" << "Friday, July 31, 2026";
        QTest::newRow("afternoon") << at({2027, 1, 1}, {13, 5, 9}) << QStringList{"01:", "05:", "09", "pm"} << "13:05:09" << "Friday, January 1, 2027";
        QTest::newRow("last second") << at({2026, 12, 9}, {23, 59, 59}) << QStringList{"11:", "59:", "59", "pm"} << "23:59:59" << "Wednesday, December 9, 2026";
    }

    void clock()
    {
        QFETCH(QDateTime, when);
        QFETCH(QString, date);
        MainFixture f;
        FrmMain *main = f.start();
        f.clock.setNow(when);
        main->Timer1_Timer();
        main->Timer3_Timer();
        QTEST(clockFace(main), "face");
        QTEST(main->lblHidden->text(), "current");
        QCOMPARE(main->lblDate->text(), date);
        QCOMPARE(main->todaysWeekday, date.section(u',', 0, 0));
    }

    // The real timers: the cover goes after a second, then the date refreshes once a minute.
    void timersAfterStart()
    {
        MainFixture f;
        FrmMain *main = f.start();
        QVERIFY(main->lblInit->isVisible());
        QCOMPARE(main->lblInit->text(), u"Initializing..."_s);
        QTRY_VERIFY_WITH_TIMEOUT(!main->lblInit->isVisible() && !main->Timer2->isActive(), 1500);
        QTRY_COMPARE_WITH_TIMEOUT(clockFace(main), (QStringList{"07:", "29:", "59", "am"}), 500);
        QCOMPARE(main->lblDate->text(), u"Wednesday, December 9, 2026"_s);
        QCOMPARE(main->Timer3->interval(), 1000);
        QTRY_COMPARE_WITH_TIMEOUT(main->Timer3->interval(), 60000, 1000);
        QVERIFY(main->Timer3->isActive() && !main->Timer4->isActive());
    }

    void selectionPanel_data()
    {
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("days");
        QTest::addColumn<QByteArray>("damage"); // the file's bytes instead; "-" removes it
        QTest::addColumn<QString>("shownTime");
        QTest::addColumn<QString>("shownDays");
        QTest::newRow("every day") << "07:05:00 pm" << "Everyday" << QByteArray() << "07:05:00 pm" << "Everyday";
        QTest::newRow("two days") << "06:15:00 am" << "Monday, Friday, " << QByteArray() << "06:15:00 am" << "Every: Monday, Friday";
        QTest::newRow("half past midnight") << "12:30:00 am" << "Sunday, " << QByteArray() << "12:30:00 am" << "Every: Sunday";
        QTest::newRow("missing file") << "06:15:00 am" << "Everyday" << QByteArray("-") << "None" << "";
        QTest::newRow("two lines only") << "06:15:00 am" << "Everyday" << QByteArray("Target\r\n06:15:00\r\n") << "None" << "";
        QTest::newRow("days of one character") << "06:15:00 am" << "X" << QByteArray() << "None" << "";
    }

    void selectionPanel()
    {
        QFETCH(QString, time);
        QFETCH(QString, days);
        QFETCH(QByteArray, damage);
        MainFixture f;
        f.addProfile(u"Daily"_s, u"09:00:00"_s);
        f.addProfile(u"Target"_s, time.left(8), time.right(2), days);
        QFile file(f.store.pathFor(u"Target"_s));
        if (damage == "-")
            QVERIFY(file.remove());
        else if (!damage.isEmpty())
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(damage) > 0);
        file.close();
        FrmMain *main = f.start();
        QVERIFY(QTest::qWaitForWindowExposed(main));
        clickRow(main->lstSaved, u"Daily"_s); // a stale panel must not survive the next selection
        QCOMPARE(main->lblTime3->text(), u"09:00:00 am"_s);
        clickRow(main->lstSaved, u"Target"_s);
        QCOMPARE(main->lstSaved->selectedText(), u"Target"_s);
        QTEST(main->lblTime3->text(), "shownTime");
        QTEST(main->lblOccurrence->text(), "shownDays");
    }

    // The right button opens the menu without selecting; the caption follows the
    // list last clicked or focused while it holds a selection.
    void listMouseAndCaption()
    {
        MainFixture f;
        for (const char *name : {"Alpha", "Beta", "Gym"})
            f.addProfile(QString::fromLatin1(name));
        FrmMain *main = f.start();
        QVERIFY(QTest::qWaitForWindowActive(main));
        activate(main, u"Gym"_s);
        auto caption = [main] { return main->cmdAlarm->text(); };
        QTest::mouseClick(main->lstActive->viewport(), Qt::LeftButton, {}, {5, main->lstActive->viewport()->height() - 5});
        QCOMPARE(caption(), u"Activate"_s); // no row selected there
        clickRow(main->lstActive, u"Gym (07:30:00 am)"_s);
        QCOMPARE(caption(), u"Deactivate"_s);
        main->lstSaved->setFocus(Qt::TabFocusReason);
        QCOMPARE(caption(), u"Deactivate"_s);
        clickRow(main->lstSaved, u"Alpha"_s);
        QCOMPARE(caption(), u"Activate"_s);
        main->lstActive->setFocus(Qt::TabFocusReason);
        QCOMPARE(caption(), u"Deactivate"_s);

        clickRow(main->lstSaved, u"Beta"_s, Qt::RightButton);
        QTRY_COMPARE(QApplication::activePopupWidget(), main->mnuHidden);
        QStringList entries;
        for (QAction *action : main->mnuHidden->actions())
            entries << action->text();
        QCOMPARE(entries, (QStringList{"New Profile", "Modify", "Delete"}));
        QCOMPARE(main->lstSaved->selectedText(), u"Alpha"_s);
        main->mnuHidden->hide();
    }

    // Each way in is paired with the same way out.
    void activateAndDeactivate_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("button") << "button";
        QTest::newRow("double-click") << "double-click";
        QTest::newRow("menu, whatever the button reads") << "menu";
        QTest::newRow("Ctrl+A and Ctrl+D in the list") << "keys";
    }

    void activateAndDeactivate()
    {
        QFETCH(QString, way);
        MainFixture f;
        const QString longName = u"Morning run with music"_s, longRow = longName + u" (06:15:00 am)"_s; // 22 and 36
        f.addProfile(u"Alpha"_s, u"06:00:00"_s);
        f.addProfile(u"Gamma"_s, u"07:00:00"_s);
        f.addProfile(longName, u"06:15:00"_s, u"am"_s, u"Monday, "_s);
        f.addProfile(u"Delta"_s, u"05:00:00"_s);
        FrmMain *main = f.start();
        QVERIFY(QTest::qWaitForWindowActive(main));
        activate(main, u"Alpha"_s);
        QVERIFY(main->Timer5->isActive());
        activate(main, u"Gamma"_s);

        clickRow(main->lstSaved, longName);
        if (way == "menu")
            clickRow(main->lstActive, u"Alpha (06:00:00 am)"_s);
        if (way == "button")
            QTest::mouseClick(main->cmdAlarm, Qt::LeftButton);
        else if (way == "double-click")
            QTest::mouseDClick(main->lstSaved->viewport(), Qt::LeftButton, {}, rowAt(main->lstSaved, longName));
        else if (way == "menu")
            main->mnuAlarmActivate->trigger();
        else
            QTest::keyClick(main->lstSaved, Qt::Key_A, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QStringList active{"Alpha (06:00:00 am)", "Gamma (07:00:00 am)", longRow};
        QCOMPARE(main->lstActive->rows(), active);
        QCOMPARE(main->lstHidden->rows(), active);
        QCOMPARE(main->lstSaved->rows(), QStringList{"Delta"});
        QVERIFY(!main->lstSaved->hasSelection());
        QCOMPARE(main->lblTime3->text() + main->lblOccurrence->text(), u"None"_s);
        QCOMPARE(refusal([main] { main->mnuAlarmActivate->trigger(); }), activationRefused); // nothing selected now
        main->activateWindow(); // offscreen hands the focus back to no one after the box
        QVERIFY(QTest::qWaitForWindowActive(main));

        clickRow(main->lstActive, longRow);
        if (way == "menu")
            clickRow(main->lstSaved, u"Delta"_s);
        const QString panel = main->lblTime3->text(), caption = main->cmdAlarm->text();
        if (way == "button")
            QTest::mouseClick(main->cmdAlarm, Qt::RightButton);
        else if (way == "double-click")
            QTest::mouseDClick(main->lstActive->viewport(), Qt::LeftButton, {}, rowAt(main->lstActive, longRow));
        else if (way == "menu")
            main->mnuAlarmDeactivate->trigger();
        else
            QTest::keyClick(main->lstActive, Qt::Key_D, Qt::ControlModifier);
        QCoreApplication::processEvents();
        // Back at its sorted place, unselected; the panel and the caption stay as they were.
        QCOMPARE(main->lstSaved->rows(), (QStringList{"Delta", longName}));
        QVERIFY(main->lstSaved->selectedText() != longName);
        QCOMPARE(main->lblTime3->text(), panel);
        QCOMPARE(main->cmdAlarm->text(), caption);
        active.removeLast();
        QCOMPARE(main->lstActive->rows(), active);
        QCOMPARE(main->lstHidden->rows(), active);
        QVERIFY(main->Timer5->isActive());
        for (const QString &row : active) {
            clickRow(main->lstActive, row);
            main->deactivate();
        }
        QCOMPARE(main->lstActive->count() + main->lstHidden->count(), 0);
        QVERIFY(!main->Timer5->isActive());
        QCOMPARE(refusal([main] { QTest::mouseDClick(main->lstActive->viewport(), Qt::LeftButton, {}, {20, 60}); }),
                 deactivationRefused);
        QCOMPARE(refusal([main] { main->mnuAlarmDeactivate->trigger(); }), deactivationRefused);
        QCOMPARE(main->lstSaved->count(), 4);
    }

    void trayTooltip()
    {
        QCOMPARE(MdlTray::tooltip(0), u"Alarm Clock - No Active Alarms!"_s);
        QCOMPARE(MdlTray::tooltip(1), u"Alarm Clock - 1 Active Alarm!"_s);
        QCOMPARE(MdlTray::tooltip(2), u"Alarm Clock - 2 Active Alarms!"_s);
        QCOMPARE(MdlTray::tooltip(12), u"Alarm Clock - 12 Active Alarms!"_s);
    }

    // Offscreen has no tray: closing minimises, so the window stays reachable.
    void closeWithoutTray_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("close box") << "close box";
        QTest::newRow("Alarm > Close") << "menu";
        QTest::newRow("Ctrl+C in a list") << "Ctrl+C";
    }

    void closeWithoutTray()
    {
        QFETCH(QString, way);
        if (MdlTray::available())
            QSKIP("this platform has a tray; the end-to-end tests cover it");
        MainFixture f;
        f.addProfile(u"Gym"_s);
        FrmMain *main = f.start();
        QVERIFY(QTest::qWaitForWindowActive(main));
        activate(main, u"Gym"_s);
        if (way == "close box")
            QVERIFY(!main->close());
        else if (way == "menu")
            main->mnuAlarmClose->trigger();
        else
            QTest::keyClick(main->lstSaved, Qt::Key_C, Qt::ControlModifier);
        QTRY_VERIFY(main->isMinimized());
        QVERIFY(main->isVisible() && !main->tray.isShown() && !main->isExiting() && main->Timer5->isActive());
        main->mnuTrayOpen->trigger();
        QTRY_VERIFY(!main->isMinimized());
        QVERIFY(main->isVisible());
    }

    void firing_data()
    {
        const QString wav = QStringLiteral(TEST_WAV);
        QTest::addColumn<QString>("note");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("sound");
        QTest::newRow("note") << "Stretch first" << "Stretch first" << wav;
        QTest::newRow("two lines") << "Stretch\r\nthen run" << "Stretch\r\nthen run" << wav;
        QTest::newRow("no note") << "" << "None." << wav;
        QTest::newRow("blanks only") << "   " << "None." << wav;
        QTest::newRow("silent alarm") << "Quiet" << "Quiet" << "";
        QTest::newRow("sound file missing") << "Quiet" << "Quiet" << "/nonexistent/alarm.mp3";
    }

    void firing()
    {
        QFETCH(QString, note);
        QFETCH(QString, shown);
        QFETCH(QString, sound);
        MainFixture f;
        f.addProfile(u"Gym"_s, u"07:30:00"_s, u"am"_s, u"Everyday"_s, note, u"0"_s, sound);
        FrmMain *main = f.start();
        activate(main, u"Gym"_s);
        main->Timer5_Timer(); // 07:29:59
        QVERIFY(!main->frmAlarm && main->isEnabled());
        f.clock.advance(1000);
        main->Timer5_Timer();
        FrmAlarm *alarm = main->frmAlarm;
        QVERIFY(alarm && alarm->isVisible());
        QCOMPARE(alarm->lblAlarm->text(), u"Gym"_s);
        QCOMPARE(alarm->lblTime->text(), u"07:30:00 am"_s);
        QCOMPARE(alarm->lblNote->text(), shown);
        QCOMPARE(main->pendingNote, shown);
        QCOMPARE(alarm->MediaPlayer1->url(), sound);
        QCOMPARE(alarm->MediaPlayer1->isPlaying(), !sound.isEmpty());
        QVERIFY(!main->isEnabled() && !main->Timer5->isActive());
        QTest::qWait(50); // an unplayable file brings up no message
        QVERIFY(!QApplication::activeModalWidget() && alarm->isVisible());
    }

    // Two rows due in one tick both fire; a row whose file has gone is passed over.
    void oneTick_data()
    {
        QTest::addColumn<bool>("firstFileGone");
        QTest::addColumn<QString>("pending");
        QTest::newRow("two due") << false << "Take the keys\r\nWater the plants";
        QTest::newRow("first file gone") << true << "Water the plants";
    }

    void oneTick()
    {
        QFETCH(bool, firstFileGone);
        MainFixture f;
        f.addProfile(u"Alpha"_s, u"07:30:00"_s, u"am"_s, u"Everyday"_s, u"Take the keys"_s);
        f.addProfile(u"Beta"_s, u"07:30:00"_s, u"am"_s, u"Everyday"_s, u"Water the plants"_s);
        FrmMain *main = f.start();
        activate(main, u"Alpha"_s);
        activate(main, u"Beta"_s);
        if (firstFileGone)
            QVERIFY(f.store.remove(u"Alpha"_s, true));
        f.clock.advance(1000);
        main->Timer5_Timer();
        QVERIFY(main->frmAlarm);
        QTEST(main->pendingNote, "pending");
        QCOMPARE(main->frmAlarm->lblAlarm->text(), u"Beta"_s);
        const QWidgetList windows = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(windows.begin(), windows.end(), [](QWidget *w) { return qobject_cast<FrmAlarm *>(w); }), 1);
        QVERIFY(!main->isEnabled() && !main->Timer5->isActive());
    }

    // A tick that comes before the dismissed window is deleted still opens a window.
    void firingRightAfterDismiss()
    {
        MainFixture f;
        f.addProfile(u"Alpha"_s, u"07:30:00"_s);
        f.addProfile(u"Beta"_s, u"07:30:01"_s);
        FrmMain *main = f.start();
        activate(main, u"Alpha"_s);
        activate(main, u"Beta"_s);
        f.clock.advance(1000);
        main->Timer5_Timer();
        QVERIFY(main->frmAlarm);
        main->frmAlarm->cmdDismiss_MouseUp();
        f.clock.advance(1000);
        main->Timer5_Timer();
        QTest::qWait(20);
        QVERIFY(main->frmAlarm && main->frmAlarm->isVisible());
        QCOMPARE(main->frmAlarm->lblAlarm->text(), u"Beta"_s);
        QVERIFY(!main->isEnabled());
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
