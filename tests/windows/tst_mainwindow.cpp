// The main window: start-up, clock, the lists and panel, activation, hiding,
// and the check opening the alarm window.
#include <QtTest>

#include "testsupport.h"

#include "app/raiserequests.h"
#include "app/singleinstance.h"
#include "widgets/imagebutton.h"
#include "scheduler/secondtimer.h"
#include "windows/trayicon.h"

#include <QLabel>
#include <QMenu>
#include <QSystemTrayIcon>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
// A socket file with nobody behind it, as a killed copy leaves its own.
bool leaveStaleSocket(const QString &path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    qstrncpy(address.sun_path, name.constData(), sizeof address.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    if (fd >= 0)
        ::close(fd);
    return bound && QFile::exists(path);
}

void clickRow(QListWidget *list, const QString &text, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(list->viewport(), button, {}, list->visualItemRect(list->findItems(text, Qt::MatchExactly).value(0)).center());
}

// The clock and the date line as the window shows them.
QString clockText(const MainFixture &f)
{
    QString text;
    for (const char *name : {"lblTime_0", "lblTime_1", "lblTime_2", "lblTime2"})
        text += f.part<QLabel>(name)->text();
    return text + u' ' + f.part<QLabel>("lblDate")->text();
}

QWidget *topLevel(const char *objectName)
{
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->objectName() == QLatin1String(objectName))
            return top;
    return nullptr;
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
        f.start();
        QCOMPARE(f.part<SortedList>("lstSaved")->rows(), listed);
        const bool any = !listed.isEmpty();
        QVERIFY(f.part("cmdAlarm")->isEnabled() == any && f.part<QAction>("mnuAlarmActivate")->isEnabled() == any
                && f.part<QAction>("mnuAlarmDeactivate")->isEnabled() == any && !f.part<WallClockTimer>("Timer5")->isActive());
        // With nothing selected, the double-clicks reach the commands and are refused.
        QStringList refusals;
        for (const char *name : {"lstSaved", "lstActive"}) {
            auto *list = f.part<SortedList>(name);
            refusals << boxOf([list] { QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, {20, 100}); });
        }
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

    // A clock set forward without a word from the system shows on the visible
    // clock, and the check looks at once at what it passed over; the alarm
    // window, closed in between, shows the note once, not the last ring's too.
    void clockStepLooksAtOnce()
    {
        MainFixture f;
        f.addProfile(u"Gym"_s, u"07:30:00"_s, u"am"_s, u"Everyday"_s, u"Tea"_s);
        f.start({u"Gym"_s});
        AlarmWindow *alarm = f.tick();
        QVERIFY(alarm && alarm->findChild<QLabel *>(u"lblTime"_s)->text() == u"07:30:00 am"_s);
        alarm->close();
        f.clock.setNow(f.clock.now().addDays(1).addSecs(120));
        QTRY_VERIFY_WITH_TIMEOUT(f.alarmWindow(), 2500);
        QCOMPARE(f.alarmWindow()->findChild<QLabel *>(u"lblNotice"_s)->text().left(21) + f.alarmWindow()->findChild<QLabel *>(u"lblNote"_s)->text(),
                 u"Late: due 07:30:00 amTea"_s);
    }

    // Alarms passed over too long ago are told in the tray's tooltip, which
    // counts the active alarms, not the saved ones.
    void missedReport()
    {
        MainFixture f;
        for (const QString &name : {u"Gym"_s, u"Run"_s, u"Tea"_s})
            f.addProfile(name);
        f.start({u"Gym"_s, u"Run"_s});
        f.clock.setNow(f.clock.now().addSecs(3 * 3600));
        QVERIFY(!f.wake());
        const QString missed = u"Missed: Gym at 07:30:00 am, Wednesday, December 9, 2026; Run at 07:30:00 am, Wednesday, December 9, 2026"_s;
        QCOMPARE(f.main->findChild<TrayIcon *>()->toolTip(), u"Alarm Clock - 2 Active Alarms!\n"_s + missed);
        auto *label = f.part<QLabel>("lblMissed");
        QVERIFY(label->isVisible() && label->text() == missed);
    }

    // The window takes no input while the editor or an alarm window is up,
    // also when the editor closes first.
    void disabledUnderEditorAndAlarm()
    {
        MainFixture f;
        f.addProfile(u"Gym"_s);
        MainWindow *main = f.start({u"Gym"_s});
        QTest::mouseClick(f.part("cmdProfile"), Qt::LeftButton);
        QPointer<QWidget> editor = topLevel("frmProfile");
        QVERIFY(editor && !main->isEnabled());
        QPointer<AlarmWindow> alarm = f.tick();
        QVERIFY(alarm);
        QTest::mouseClick(editor->findChild<QWidget *>(u"cmdCancel"_s), Qt::LeftButton);
        QTRY_VERIFY(!editor || !editor->isVisible());
        QVERIFY(!main->isEnabled());
        alarm->close();
        QVERIFY(main->isEnabled());
    }

    // Both choices start off. Kept, the active alarms come back at the next start;
    // one whose profile is gone is skipped and said. Start with Desktop writes the
    // autostart entry that starts hidden, and takes it away again. The profile
    // index keeps exactly its own keys.
    void keepAndAutostart()
    {
        MainFixture f;
        qputenv("XDG_CONFIG_HOME", f.dir.filePath(u"config"_s).toLocal8Bit());
        const auto restart = [&f] {
            f.main.reset();
            f.start();
            return std::pair{f.part<QAction>("mnuAlarmKeep"), f.part<QAction>("mnuAlarmAutostart")};
        };
        for (const QString &name : {u"Gym"_s, u"Run"_s, u"Tea"_s})
            f.addProfile(name);
        auto [keep, autostart] = restart();
        QVERIFY(!keep->isChecked() && !autostart->isChecked());
        for (const QString &name : {u"Gym"_s, u"Run"_s, u"Tea"_s})
            f.activate(name);
        keep->trigger();
        autostart->trigger();
        QFile entry(f.dir.filePath(u"config/autostart/dawnbell.desktop"_s));
        QVERIFY(entry.open(QIODevice::ReadOnly));
        QVERIFY(entry.readAll().contains("\nExec=\"" + QApplication::applicationFilePath().toUtf8() + "\" --hidden\n"));
        QCOMPARE(f.settings.allKeys(), (QStringList{"Settings/Counter", "Settings/Profile1", "Settings/Profile2", "Settings/Profile3"}));

        QVERIFY(QFile::remove(f.store.pathFor(u"Run"_s)));
        Boxes boxes;
        restart();
        QCOMPARE(f.part<SortedList>("lstActive")->rows() + f.part<SortedList>("lstSaved")->rows(),
                 (QStringList{"Gym (07:30:00 am)", "Tea (07:30:00 am)", "Run"}));
        QTRY_COMPARE(boxes.seen, (QStringList{u"Dawnbell|These alarms were active when Dawnbell last ran, but their profiles "
                                              u"no longer exist or cannot be read: Run|1"_s}));
        clickRow(f.part<SortedList>("lstActive"), u"Tea (07:30:00 am)"_s); // deactivated later: not kept
        f.part<QAction>("mnuAlarmDeactivate")->trigger();
        std::tie(keep, autostart) = restart();
        QCOMPARE(f.part<SortedList>("lstActive")->rows(), QStringList{"Gym (07:30:00 am)"});
        QVERIFY(keep->isChecked() && autostart->isChecked() && f.part<WallClockTimer>("Timer5")->isActive());
        autostart->trigger();
        keep->trigger();
        QVERIFY(!entry.exists());
        restart();
        QCOMPARE(f.part<SortedList>("lstActive")->count(), 0);
        // An entry that cannot be written is said, and the item stays unticked.
        QVERIFY(QDir(f.dir.filePath(u"config/autostart"_s)).removeRecursively());
        QFile blocker(f.dir.filePath(u"config/autostart"_s)); // a file where the folder goes
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        f.part<QAction>("mnuAlarmAutostart")->trigger();
        QTRY_COMPARE(boxes.seen.size(), 2);
        QVERIFY(boxes.seen.last().startsWith(u"Error|The desktop's autostart entry could not be changed: "_s));
        QVERIFY(!f.part<QAction>("mnuAlarmAutostart")->isChecked());
        qunsetenv("XDG_CONFIG_HOME");
    }

    // Close (Ctrl+C) and the close box put the window away, to the tray or
    // minimised where there is none; the alarms go on ringing.
    void putAway_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("Close") << false;
        QTest::newRow("close box") << true;
    }
    void putAway()
    {
        QFETCH(bool, closeBox);
        MainFixture f;
        f.addProfile(u"Gym"_s);
        MainWindow *main = f.start({u"Gym"_s});
        QVERIFY(QTest::qWaitForWindowExposed(main));
        closeBox ? void(main->close()) : f.part<QAction>("mnuAlarmClose")->trigger();
        QVERIFY(TrayIcon::available() ? main->isHidden() : main->isVisible() && main->isMinimized());
        QVERIFY(f.tick());
    }

    // The tray icon opens the window on a click (all a StatusNotifier host sends)
    // or a double click; a right click only opens its menu.
    void trayIcon_data()
    {
        QTest::addColumn<int>("reason");
        QTest::addColumn<bool>("opens");
        QTest::newRow("click") << int(QSystemTrayIcon::Trigger) << true;
        QTest::newRow("double click") << int(QSystemTrayIcon::DoubleClick) << true;
        QTest::newRow("right click") << int(QSystemTrayIcon::Context) << false;
        QTest::newRow("middle click") << int(QSystemTrayIcon::MiddleClick) << false;
    }
    void trayIcon()
    {
        QFETCH(int, reason);
        TrayIcon tray;
        QMenu menu;
        tray.setMenu(&menu);
        tray.showIcon(QIcon(), TrayIcon::tooltip(0));
        auto *icon = tray.findChild<QSystemTrayIcon *>(u"trayIcon"_s);
        QVERIFY(icon && icon->contextMenu() == &menu);
        QCOMPARE(icon->toolTip() + tray.toolTip(), u"Alarm Clock - No Active Alarms!"_s.repeated(2));
        QCOMPARE(TrayIcon::tooltip(1) + TrayIcon::tooltip(12), u"Alarm Clock - 1 Active Alarm!Alarm Clock - 12 Active Alarms!"_s);
        QSignalSpy open(&tray, &TrayIcon::openRequested);
        emit icon->activated(QSystemTrayIcon::ActivationReason(reason));
        QTEST(open.count() == 1, "opens");
    }

    // The window comes back from the tray by its menu, and from minimised or the
    // tray when another start asks through the socket beside the lock. Hidden,
    // the clock sleeps; shown again, it reads the time and date at once and
    // ticks on, the date turning over at midnight. Exit from the tray closes
    // the editor with the window.
    void bringBack_data()
    {
        QTest::addColumn<bool>("secondStart"); // else the tray menu's Open
        QTest::addColumn<bool>("minimised");   // else hidden to the tray
        QTest::newRow("tray menu") << false << false;
        QTest::newRow("second start, from the tray") << true << false;
        QTest::newRow("second start, minimised") << true << true;
    }
    void bringBack()
    {
        QFETCH(bool, secondStart);
        QFETCH(bool, minimised);
        MainFixture f;
        MainWindow *main = f.start();
        QTemporaryDir dir;
        const QString socket = RaiseRequests::socketPath(dir.filePath(u"dawnbell-1.lock"_s));
        RaiseRequests requests;
        QVERIFY(!RaiseRequests::send(socket, {})); // nobody listens yet
        QVERIFY(leaveStaleSocket(socket) && requests.listen(socket)); // as a copy that was killed
        connect(&requests, &RaiseRequests::raiseRequested, main, &MainWindow::raiseFromElsewhere);
        QSignalSpy asked(&requests, &RaiseRequests::raiseRequested);
        QVERIFY(QTest::qWaitForWindowExposed(main));
        minimised ? main->showMinimized() : main->hide();
        QVERIFY(minimised || (!f.part<SecondTimer>("Timer1")->isActive() && !f.part<QTimer>("Timer3")->isActive()));
        f.clock.setNow(QDateTime(QDate(2026, 12, 10), QTime(23, 59, 59), QTimeZone::utc()));
        if (secondStart) {
            QVERIFY(RaiseRequests::send(socket, u"token-7"_s));
            QTRY_COMPARE(asked.value(0).value(0).toString(), u"token-7"_s);
        } else {
            topLevel("mnuTray")->findChild<QAction *>(u"mnuTrayOpen"_s)->trigger();
        }
        QVERIFY(main->isVisible() && !main->isMinimized());
        if (minimised)
            return;
        QCOMPARE(clockText(f), u"11:59:59pm Thursday, December 10, 2026"_s);
        QVERIFY(f.part<SecondTimer>("Timer1")->isActive() && f.part<QTimer>("Timer3")->isActive());
        f.clock.advance(2000);
        QTRY_COMPARE_WITH_TIMEOUT(f.part<QLabel>("lblDate")->text(), u"Friday, December 11, 2026"_s, 1400);
        QTest::mouseClick(f.part("cmdProfile"), Qt::LeftButton);
        QPointer<QWidget> editor = topLevel("frmProfile");
        QVERIFY(editor);
        topLevel("mnuTray")->findChild<QAction *>(u"mnuTrayExit"_s)->trigger();
        QTRY_VERIFY((!editor || !editor->isVisible()) && !main->isVisible());
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
        auto *saved = f.part<SortedList>("lstSaved"), *active = f.part<SortedList>("lstActive"), *hidden = f.part<SortedList>("lstHidden");
        auto *alarmButton = f.part<ImageButton>("cmdAlarm");
        auto *time = f.part<QLabel>("lblTime3"), *occurrence = f.part<QLabel>("lblOccurrence"), *cover = f.part<QLabel>("lblInit");
        QVERIFY(cover->isVisible() && cover->text() == u"Initializing..."_s);
        QTRY_VERIFY_WITH_TIMEOUT(!cover->isVisible(), 1500);
        QTRY_COMPARE_WITH_TIMEOUT(clockText(f), u"07:29:59am Wednesday, December 9, 2026"_s, 500);
        QVERIFY(QTest::qWaitForWindowActive(main));

        // The caption follows the list last clicked or focused while it holds a selection.
        clickRow(active, u"gym (07:30:00 am)"_s);
        QStringList captions{alarmButton->text()};
        saved->setFocus(Qt::TabFocusReason);
        captions << alarmButton->text();
        clickRow(saved, u"Two"_s);
        captions << alarmButton->text();
        active->setFocus(Qt::TabFocusReason);
        QCOMPARE(captions << alarmButton->text(), (QStringList{"Deactivate", "Deactivate", "Activate", "Deactivate"}));

        // Each selection after a readable one, so a stale panel would show.
        QStringList shown;
        for (const char *name : {"Every", "Missing", "Two", "Short"}) {
            clickRow(saved, QString::fromLatin1(name));
            shown << saved->selectedText() + u": "_s + time->text() + u"|"_s + occurrence->text();
            if (shown.last().endsWith(u"None|"_s))
                shown << boxOf([alarmButton] { QTest::mouseClick(alarmButton, Qt::LeftButton); });
        }
        const QString refused = u"Error|Please select an item from the profile list to activate.|3"_s;
        QCOMPARE(shown, (QStringList{"Every: 12:30:00 am|Everyday", "Missing: None|", refused, "Two: 07:05:00 pm|Every: Monday, Friday", "Short: None|", refused}));

        main->activateWindow(); // for the shortcuts, after the boxes
        QVERIFY(QTest::qWaitForWindowActive(main));
        clickRow(saved, u"Two"_s);
        if (byKeys)
            clickRow(active, u"gym (07:30:00 am)"_s);
        byKeys ? QTest::keyClick(saved, Qt::Key_A, Qt::ControlModifier) : QTest::mouseClick(alarmButton, Qt::LeftButton);
        const QStringList both{"gym (07:30:00 am)", "Two (07:05:00 pm)"}, gym{both[0]};
        QCOMPARE(active->rows() + hidden->rows(), both + both);
        QVERIFY(!saved->hasSelection());
        QCOMPARE(saved->rows() << time->text() + occurrence->text(), (QStringList{"Every", "Missing", "Short", "None"}));

        clickRow(active, both[1]);
        if (byKeys)
            clickRow(saved, u"Every"_s);
        const QString panelAndCaption = time->text() + alarmButton->text();
        byKeys ? QTest::keyClick(active, Qt::Key_D, Qt::ControlModifier) : QTest::mouseClick(alarmButton, Qt::RightButton);
        // Back at its sorted place, unselected; the panel and the caption stay as they were.
        QCOMPARE(saved->rows() << time->text() + alarmButton->text(), (QStringList{"Every", "Missing", "Short", "Two", panelAndCaption}));
        QVERIFY(active->rows() == gym && hidden->rows() == gym && saved->selectedText() != u"Two"_s);
        QVERIFY(f.part<WallClockTimer>("Timer5")->isActive());
        clickRow(saved, u"Short"_s, Qt::RightButton);
        QTRY_COMPARE(QApplication::activePopupWidget(), f.part<QMenu>("mnuHidden"));
        QVERIFY(saved->selectedText() != u"Short"_s); // the right button only opens the menu
        QApplication::activePopupWidget()->hide();
        QTest::mouseDClick(active->viewport(), Qt::LeftButton, {}, active->visualItemRect(active->item(0)).center());
        QTRY_VERIFY(hidden->count() == 0 && !f.part<WallClockTimer>("Timer5")->isActive());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
