// The main window: start-up, clock, the lists and panel, activation, hiding,
// and the check opening the alarm window.
#include <QtTest>

#include "testsupport.h"

#include "app/raiserequests.h"
#include "app/singleinstance.h"
#include "widgets/imagebutton.h"
#include "scheduler/secondtimer.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
void clickRow(QListWidget *list, const QString &text, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(list->viewport(), button, {}, list->visualItemRect(list->findItems(text, Qt::MatchExactly).value(0)).center());
}

// The box `act` brings up, answered with OK: "title|text|icon".
QString boxOf(const std::function<void()> &act)
{
    Boxes boxes;
    act();
    (void)QTest::qWaitFor([&] { return !boxes.seen.isEmpty(); }, 1000);
    return boxes.seen.value(0);
}
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void startUp_data()
    {
        QTest::addColumn<QStringList>("slotNames"); // an empty text is a missing slot
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("no profile") << QStringList{} << QStringList{};
        QTest::newRow("a gap hides nothing; case and accents ignored") << QStringList{"Gym", "alpha", "Zeta", "Éclair", "", "Late"} << QStringList{"alpha", "Éclair", "Gym", "Late", "Zeta"};
    }

    void startUp()
    {
        QFETCH(QStringList, slotNames);
        QFETCH(QStringList, listed);
        MainFixture f;
        for (int i = 0; i < slotNames.size(); ++i)
            if (!slotNames[i].isEmpty())
                f.settings.setValue(u"Settings/Profile%1"_s.arg(i + 1), slotNames[i]);
        MainWindow *main = f.start();
        QCOMPARE(main->lstSaved->rows(), listed);
        const bool any = !listed.isEmpty();
        QVERIFY(main->cmdAlarm->isEnabled() == any && main->mnuAlarmActivate->isEnabled() == any
                && main->mnuAlarmDeactivate->isEnabled() == any && !main->Timer5->isActive());
        // With nothing selected, the double-clicks reach the commands and are refused.
        QStringList refusals;
        for (SortedList *list : {main->lstSaved, main->lstActive})
            refusals << boxOf([list] { QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, {20, 100}); });
        QCOMPARE(refusals, (QStringList{"Error|Please select an item from the profile list to activate.|3",
                                        "Error|Please select an item from the list to deactivate.|3"}));
    }

    // The lock is found by every start of this user, whatever TMPDIR says, in the
    // runtime folder where there is one. A second holder is refused until the first
    // is gone; where no lock can be made at all, the program runs rather than miss its alarms.
    void oneCopy()
    {
        qputenv("TMPDIR", QDir::currentPath().toLocal8Bit()); // no variable moves it
        QTemporaryDir root;
        const QString settings = root.filePath(u"home/.config/dawnbell/dawnbell.conf"_s);
        const QString other = root.filePath(u"other/.config/dawnbell/dawnbell.conf"_s);
        QVERIFY(SingleInstance::lockPath(settings, root.path()).startsWith(u"/tmp/dawnbell-%1-"_s.arg(getuid())));
        QVERIFY(QDir(root.path()).mkdir(QString::number(getuid())));
        const QString path = SingleInstance::lockPath(settings, root.path());
        QVERIFY(path.startsWith(u"%1/%2/dawnbell-"_s.arg(root.path()).arg(getuid())));
        // The same file however it is named; another HOME's settings are another copy's.
        QCOMPARE(SingleInstance::lockPath(root.filePath(u"home/.config/../.config/dawnbell/dawnbell.conf"_s), root.path()), path);
        QVERIFY(SingleInstance::lockPath(other, root.path()) != path);
        auto first = std::make_unique<SingleInstance>(path);
        QVERIFY(first->acquire() && !SingleInstance(path).acquire());
        QVERIFY(SingleInstance(SingleInstance::lockPath(other, root.path())).acquire());
        first.reset();
        QVERIFY(SingleInstance(path).acquire() && SingleInstance(root.filePath(u"missing/dawnbell.lock"_s)).acquire());
    }

    // Hidden, the clock sleeps; shown again, it reads the time at once and ticks on.
    void clockSleepsWhileHidden()
    {
        MainFixture f;
        MainWindow *main = f.start();
        QVERIFY(main->Timer1->isActive());
        main->hide();
        QVERIFY(!main->Timer1->isActive() && !main->Timer3->isActive());
        f.clock.setNow(QDateTime(QDate(2026, 12, 10), QTime(18, 5, 7), QTimeZone::utc()));
        main->show();
        QCOMPARE(main->lblTime[0]->text() + main->lblTime[1]->text() + main->lblTime[2]->text() + main->lblTime2->text()
                     + u' ' + main->lblDate->text(),
                 u"06:05:07pm Thursday, December 10, 2026"_s);
        QVERIFY(main->Timer1->isActive() && main->Timer3->isActive());
    }

    // The check sleeps until the next alarm is due; an active profile saved anew (gone for a
    // moment, back with another time) moves that moment, and none readable puts it to sleep.
    void checkFollowsProfileFiles()
    {
        MainFixture f;
        f.addProfile(u"Gym"_s, u"08:00:00"_s);
        MainWindow *main = f.start({u"Gym"_s});
        QVERIFY(main->Timer5->isActive());
        QVERIFY(QFile::rename(f.store.pathFor(u"Gym"_s), f.dir.filePath(u"aside"_s)));
        QTRY_VERIFY(!main->Timer5->isActive());
        QVERIFY(f.store.write({u"Gym"_s, u"07:30:00"_s, u"am"_s, QString(), u"Everyday"_s, u"0"_s, QString()}));
        QTRY_VERIFY(main->Timer5->isActive());
        QVERIFY(f.tick() && main->frmAlarm->findChild<QLabel *>(u"lblTime"_s)->text() == u"07:30:00 am"_s);
        main->frmAlarm->close();

        // A clock set forward without a word from the system shows on the visible
        // clock, and the check looks at once at what it passed over.
        f.clock.setNow(f.clock.now().addDays(1).addSecs(120));
        QTRY_VERIFY_WITH_TIMEOUT(main->frmAlarm && main->frmAlarm->isVisible(), 2500);
        QCOMPARE(main->frmAlarm->findChild<QLabel *>(u"lblNotice"_s)->text().left(21), u"Late: due 07:30:00 am"_s);
    }

    // Both choices start off. Kept, the active alarms come back at the next start;
    // one whose profile is gone is skipped and said. Start with Desktop writes the
    // autostart entry that starts hidden, and takes it away again. The profile
    // index keeps exactly its own keys.
    void keepAndAutostart()
    {
        MainFixture f;
        qputenv("XDG_CONFIG_HOME", f.dir.filePath(u"config"_s).toLocal8Bit());
        for (const QString &name : {u"Gym"_s, u"Run"_s, u"Tea"_s})
            f.addProfile(name);
        MainWindow *main = f.start({u"Gym"_s, u"Run"_s});
        QVERIFY(!main->mnuAlarmKeep->isChecked() && !main->mnuAlarmAutostart->isChecked());
        main->mnuAlarmKeep->trigger();
        main->mnuAlarmAutostart->trigger();
        main->lstSaved->setCurrentRow(main->lstSaved->rowOf(u"Tea"_s)); // activated after the tick: kept too
        main->mnuAlarmActivate->trigger();
        QFile entry(f.dir.filePath(u"config/autostart/dawnbell.desktop"_s));
        QVERIFY(entry.open(QIODevice::ReadOnly));
        QVERIFY(entry.readAll().contains("\nExec=\"" + QApplication::applicationFilePath().toUtf8() + "\" --hidden\n"));
        QCOMPARE(f.settings.allKeys(), (QStringList{"Settings/Counter", "Settings/Profile1", "Settings/Profile2", "Settings/Profile3"}));

        f.main.reset();
        QVERIFY(QFile::remove(f.store.pathFor(u"Run"_s)));
        Boxes boxes;
        main = f.start();
        QCOMPARE(main->lstActive->rows() + main->lstSaved->rows(), (QStringList{"Gym (07:30:00 am)", "Tea (07:30:00 am)", "Run"}));
        QTRY_COMPARE(boxes.seen, (QStringList{u"Dawnbell|These alarms were active when Dawnbell last ran, but their profiles "
                                              u"no longer exist or cannot be read: Run|1"_s}));
        QVERIFY(main->mnuAlarmKeep->isChecked() && main->mnuAlarmAutostart->isChecked() && main->Timer5->isActive());
        main->mnuAlarmAutostart->trigger();
        main->mnuAlarmKeep->trigger();
        QVERIFY(!entry.exists());
        f.main.reset();
        QCOMPARE(f.start()->lstActive->count(), 0);
        qunsetenv("XDG_CONFIG_HOME");
    }

    // The window comes back from the tray on a click (all a StatusNotifier host
    // sends) or a double click, and from minimised or the tray when another start
    // asks through the socket beside the lock; a right click only opens the menu.
    void bringBack_data()
    {
        QTest::addColumn<int>("reason"); // of the icon's activation; -1: a second start
        QTest::addColumn<bool>("minimised"); // else hidden to the tray
        QTest::addColumn<bool>("back");
        QTest::newRow("click") << int(QSystemTrayIcon::Trigger) << false << true;
        QTest::newRow("double click") << int(QSystemTrayIcon::DoubleClick) << false << true;
        QTest::newRow("right click") << int(QSystemTrayIcon::Context) << false << false;
        QTest::newRow("middle click") << int(QSystemTrayIcon::MiddleClick) << false << false;
        QTest::newRow("second start, from the tray") << -1 << false << true;
        QTest::newRow("second start, minimised") << -1 << true << true;
    }

    void bringBack()
    {
        QFETCH(int, reason);
        QFETCH(bool, minimised);
        MainFixture f;
        MainWindow *main = f.start();
        QTemporaryDir dir;
        const QString socket = RaiseRequests::socketPath(dir.filePath(u"dawnbell-1.lock"_s));
        RaiseRequests requests;
        QVERIFY(!RaiseRequests::send(socket, {})); // nobody listens yet
        QFile stale(socket); // as a copy that was killed leaves it
        QVERIFY(stale.open(QIODevice::WriteOnly) && requests.listen(socket));
        connect(&requests, &RaiseRequests::raiseRequested, main, &MainWindow::raiseFromElsewhere);
        QSignalSpy asked(&requests, &RaiseRequests::raiseRequested);
        QVERIFY(QTest::qWaitForWindowExposed(main));
        if (minimised) {
            main->showMinimized();
        } else {
            main->tray.AddTrayIcon(main->windowIcon(), TrayIcon::tooltip(0));
            main->hide();
        }
        if (reason < 0) {
            QVERIFY(RaiseRequests::send(socket, u"token-7"_s));
            QTRY_COMPARE(asked.value(0).value(0).toString(), u"token-7"_s);
        } else {
            emit main->tray.findChild<QSystemTrayIcon *>()->activated(QSystemTrayIcon::ActivationReason(reason));
        }
        QFETCH(bool, back);
        QCOMPARE(main->isVisible() && !main->isMinimized(), back);
        QCOMPARE(main->tray.isShown(), !back && !minimised);
    }

    // One window's life: the cover, the clock, the captions, the panel, damaged
    // profiles refused, the right button, and the twin active lists kept aligned.
    void browsing_data()
    {
        QTest::addColumn<bool>("byKeys");
        QTest::newRow("the button") << false;
        QTest::newRow("Ctrl+A and Ctrl+D, whatever the button reads") << true;
    }

    void browsing()
    {
        QFETCH(bool, byKeys);
        MainFixture f;
        f.addProfile(u"Every"_s, u"12:30:00"_s, u"am"_s);
        f.addProfile(u"Two"_s, u"07:05:00"_s, u"pm"_s, u"Monday, Friday, "_s);
        f.addProfile(u"Missing"_s);
        f.addProfile(u"Short"_s, u"07:30:00"_s, u"am"_s, u"X"_s);
        f.addProfile(u"gym"_s);
        QVERIFY(QFile::remove(f.store.pathFor(u"Missing"_s)));
        MainWindow *main = f.start({u"gym"_s});
        QVERIFY(main->lblInit->isVisible() && main->lblInit->text() == u"Initializing..."_s);
        QTRY_VERIFY_WITH_TIMEOUT(!main->lblInit->isVisible(), 1500);
        QTRY_COMPARE_WITH_TIMEOUT(main->lblTime[0]->text() + main->lblTime[1]->text() + main->lblTime[2]->text() + main->lblTime2->text()
                                      + main->lblDate->text(), u"07:29:59amWednesday, December 9, 2026"_s, 500);
        QVERIFY(QTest::qWaitForWindowActive(main));

        // The caption follows the list last clicked or focused while it holds a selection.
        clickRow(main->lstActive, u"gym (07:30:00 am)"_s);
        QStringList captions{main->cmdAlarm->text()};
        main->lstSaved->setFocus(Qt::TabFocusReason);
        captions << main->cmdAlarm->text();
        clickRow(main->lstSaved, u"Two"_s);
        captions << main->cmdAlarm->text();
        main->lstActive->setFocus(Qt::TabFocusReason);
        QCOMPARE(captions << main->cmdAlarm->text(), (QStringList{"Deactivate", "Deactivate", "Activate", "Deactivate"}));

        // Each selection after a readable one, so a stale panel would show.
        QStringList shown;
        for (const char *name : {"Every", "Missing", "Two", "Short"}) {
            clickRow(main->lstSaved, QString::fromLatin1(name));
            shown << main->lstSaved->selectedText() + u": "_s + main->lblTime3->text() + u"|"_s + main->lblOccurrence->text();
            if (shown.last().endsWith(u"None|"_s))
                shown << boxOf([main] { main->activate(); });
        }
        const QString refused = u"Error|Please select an item from the profile list to activate.|3"_s;
        QCOMPARE(shown, (QStringList{"Every: 12:30:00 am|Everyday", "Missing: None|", refused, "Two: 07:05:00 pm|Every: Monday, Friday", "Short: None|", refused}));

        QCOMPARE(TrayIcon::tooltip(1) + TrayIcon::tooltip(12), u"Alarm Clock - 1 Active Alarm!Alarm Clock - 12 Active Alarms!"_s);

        main->activateWindow(); // for the shortcuts, after the boxes
        QVERIFY(QTest::qWaitForWindowActive(main));
        clickRow(main->lstSaved, u"Two"_s);
        if (byKeys)
            clickRow(main->lstActive, u"gym (07:30:00 am)"_s);
        byKeys ? QTest::keyClick(main->lstSaved, Qt::Key_A, Qt::ControlModifier) : QTest::mouseClick(main->cmdAlarm, Qt::LeftButton);
        const QStringList both{"gym (07:30:00 am)", "Two (07:05:00 pm)"}, gym{both[0]};
        QCOMPARE(main->lstActive->rows() + main->lstHidden->rows(), both + both);
        QVERIFY(!main->lstSaved->hasSelection());
        QCOMPARE(main->lstSaved->rows() << main->lblTime3->text() + main->lblOccurrence->text(), (QStringList{"Every", "Missing", "Short", "None"}));

        clickRow(main->lstActive, both[1]);
        if (byKeys)
            clickRow(main->lstSaved, u"Every"_s);
        const QString panelAndCaption = main->lblTime3->text() + main->cmdAlarm->text();
        byKeys ? QTest::keyClick(main->lstActive, Qt::Key_D, Qt::ControlModifier) : QTest::mouseClick(main->cmdAlarm, Qt::RightButton);
        // Back at its sorted place, unselected; the panel and the caption stay as they were.
        QCOMPARE(main->lstSaved->rows() << main->lblTime3->text() + main->cmdAlarm->text(), (QStringList{"Every", "Missing", "Short", "Two", panelAndCaption}));
        QVERIFY(main->lstActive->rows() == gym && main->lstHidden->rows() == gym && main->lstSaved->selectedText() != u"Two"_s);
        QVERIFY(main->Timer5->isActive());
        clickRow(main->lstSaved, u"Short"_s, Qt::RightButton);
        QTRY_COMPARE(QApplication::activePopupWidget(), main->mnuHidden);
        QVERIFY(main->lstSaved->selectedText() != u"Short"_s); // the right button only opens the menu
        main->mnuHidden->hide();
        clickRow(main->lstActive, gym[0]);
        main->deactivate();
        QVERIFY(main->lstHidden->count() == 0 && !main->Timer5->isActive());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
