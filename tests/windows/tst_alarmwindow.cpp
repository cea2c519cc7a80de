// The alarm window, opened by a real firing of the check: its buttons and keys,
// the note, the notices, the sound, and what it leaves behind.
#include <QtTest>

#include "testsupport.h"

#include "widgets/imagebutton.h"
#include "sound/mediaplayer.h"

#include <QClipboard>
#include <QLineEdit>
#include <QMenu>

using namespace Qt::StringLiterals;
using Opener = std::function<void(MainFixture &)>;

namespace {
const QString sound = QStringLiteral(TEST_WAV);

template<typename T = QWidget>
T *in(QObject *window, const char *objectName)
{
    return window->findChild<T *>(QString::fromLatin1(objectName));
}

// A window of the program other than the main one, by its name.
QWidget *topLevel(const char *objectName, bool visible = true)
{
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->objectName() == QLatin1String(objectName) && (top->isVisible() || !visible))
            return top;
    return nullptr;
}

QString text(QObject *window, const char *label)
{
    return in<QLabel>(window, label)->text();
}
} // namespace

class TestAlarmWindow : public QObject
{
    Q_OBJECT

private slots:
    // Alpha and Beta are active; the check runs at 07:30:00. The title clock, the
    // note's copy, a key on the background that does nothing, the notice of an
    // unplayable file (no box), and Exit from the tray, which stops the sound at once.
    void noteKeysAndExit_data()
    {
        QTest::addColumn<bool>("lost"); // Alpha's sound file; otherwise Beta is due too
        QTest::newRow("sound file missing") << true;
        QTest::newRow("two due") << false;
    }

    void noteKeysAndExit()
    {
        QFETCH(bool, lost);
        MainFixture f;
        f.addProfile(u"Alpha"_s, u"07:30:00"_s, u"am"_s, u"Everyday"_s, u"Stretch\r\nthen run"_s, u"0"_s, lost ? u"/nonexistent/alarm.mp3"_s : sound);
        f.addProfile(u"Beta"_s, lost ? u"08:00:00"_s : u"07:30:00"_s, u"am"_s, u"Everyday"_s, u"Water"_s, u"0"_s, sound);
        f.start({u"Alpha"_s, u"Beta"_s});
        QPointer<AlarmWindow> alarm = f.tick();
        QVERIFY(alarm && QTest::qWaitForWindowActive(alarm) && !f.main->isEnabled());
        QCOMPARE(text(alarm, "lblAlarm") + u" ("_s + text(alarm, "lblTime") + u"): "_s + text(alarm, "lblNote"),
                 (lost ? u"Alpha"_s : u"Beta"_s) + u" (07:30:00 am): Stretch\r\nthen run"_s + (lost ? u""_s : u"\r\nWater"_s));
        // A lost file rings the sample and says so in one line.
        QTRY_COMPARE(text(alarm, "lblNotice"), lost ? u"Sound file unplayable: the sample sound rings instead."_s : QString());
        QPointer<MediaPlayer> player = in<MediaPlayer>(alarm, "MediaPlayer1");
        QVERIFY(player->playingFallback() == lost && player->playCount() == 100);
        QTRY_COMPARE(alarm->windowTitle(), u"Alarm - 07:30:00 am"_s);
        auto *note = in<QLabel>(alarm, "lblNote");
        QCOMPARE(note->toolTip(), u"Double click here to copy to clipboard."_s);
        QGuiApplication::clipboard()->clear();
        QTest::mouseDClick(note, Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), note->text());
        QTest::keyClick(in(alarm, "picBackground"), Qt::Key_Return);
        QVERIFY((lost || player->isPlaying()) && in(alarm, "lblSnooze")->isHidden());
        QVERIFY(!QApplication::activeModalWidget() && alarm->isVisible());
        in<QAction>(topLevel("mnuTray", false), "mnuTrayExit")->trigger(); // the main window is disabled
        QVERIFY(!player || !player->isPlaying());
        QTRY_VERIFY(!alarm);
    }

    // An alarm falls due while something else is open; it is answered through its
    // window, as a user would (a click, Space on a button, the keys on the
    // background, the close box), and afterwards what was open is usable again
    // (a menu closes) and the main window is enabled unless the editor is open.
    // Every opener with one answer, and every answer over a box. Disable takes
    // Gym by its name, though its time changed since activation, between Aaron,
    // first in the lists, and Zulu, read after it.
    void overAnythingOpen_data()
    {
        QTest::addColumn<Opener>("open");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("mainEnabled");
        const auto trigger = [](const char *action) {
            return [action](MainFixture &f) { f.part<QAction>(action)->trigger(); };
        };
        const auto editor = [](MainFixture &f) { QTest::mouseClick(f.part("cmdProfile"), Qt::LeftButton); };
        const auto editorBox = [editor](MainFixture &f) {
            editor(f);
            in<QLineEdit>(topLevel("frmProfile"), "txtTime")->clear();
            QTest::mouseClick(in(topLevel("frmProfile"), "cmdSave"), Qt::LeftButton);
        };
        const auto browse = [editor](MainFixture &f) { editor(f); QTest::mouseClick(in(topLevel("frmProfile"), "cmdBrowse"), Qt::LeftButton); };
        const QList<std::tuple<const char *, Opener, bool, const char *>> rows{
            {"Delete confirmation", trigger("mnuHiddenDelete"), true, "Space Escape cmdSnooze cmdDismiss cmdDeactivate Space@cmdSnooze Space@cmdDeactivate"},
            {"error box", trigger("mnuAlarmDeactivate"), true, "Escape"}, {"About", trigger("mnuAbout"), true, "close"},
            {"editor", editor, false, "cmdDeactivate"}, {"editor, modify", trigger("mnuHiddenModify"), false, "Space"},
            {"editor's box", editorBox, false, "cmdSnooze"}, {"file dialog", browse, false, "Escape"},
            {"tray menu", [](MainFixture &) { qobject_cast<QMenu *>(topLevel("mnuTray", false))->popup({0, 0}); }, true, "Space"}};
        for (const auto &[name, open, enabled, answers] : rows)
            for (const QString &answer : QString::fromLatin1(answers).split(u' '))
                QTest::addRow("%s, %s", name, qPrintable(answer)) << open << answer << enabled;
    }

    void overAnythingOpen()
    {
        QFETCH(Opener, open);
        QFETCH(QString, answer);
        MainFixture f;
        f.addProfile(u"Gym"_s, u"06:45:00"_s);
        f.addProfile(u"Zulu"_s, u"08:00:00"_s, u"am"_s, u"Everyday"_s, QString(), u"0"_s, sound);
        f.addProfile(u"Aaron"_s, u"09:00:00"_s);
        f.addProfile(u"Spare"_s, u"09:00:00"_s);
        MainWindow *main = f.start({u"Aaron"_s, u"Gym"_s, u"Zulu"_s});
        QVERIFY(f.store.write({u"Gym"_s, u"07:30:00"_s, u"am"_s, sound, u"Everyday"_s, u"0"_s, QString()}));
        auto *saved = f.part<SortedList>("lstSaved");
        QTest::mouseClick(saved->viewport(), Qt::LeftButton, {}, saved->visualItemRect(saved->item(saved->rowOf(u"Spare"_s))).center());
        bool done = false;
        // Runs inside the loop of a box or dialog that open() leaves waiting.
        QTimer::singleShot(0, [&] {
            auto finish = qScopeGuard([&] { // also after a failure, so that open() returns
                done = true;
                if (QWidget *left = MainFixture::alarmWindow())
                    left->close();
                while (auto *left = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                    left->reject();
            });
            QWidget *before = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : QApplication::activePopupWidget();
            before = before ? before : topLevel("frmProfile") ? topLevel("frmProfile") : topLevel("frmAbout");
            QPointer<AlarmWindow> alarm = f.tick();
            QVERIFY(alarm && QTest::qWaitForWindowExposed(alarm) && !QApplication::activePopupWidget());
            QPointer<MediaPlayer> player = in<MediaPlayer>(alarm, "MediaPlayer1");
            QVERIFY(player->isPlaying());
            for (const QString &step : {answer, u"cmdDismiss"_s}) { // a snoozed alarm is then dismissed
                if (!alarm)
                    break;
                if (step == u"close"_s)
                    alarm->close();
                else if (step.startsWith(u"Space@"_s))
                    QTest::keyClick(in(alarm, qPrintable(step.mid(6))), Qt::Key_Space);
                else if (step.startsWith(u"cmd"_s))
                    QTest::mouseClick(alarm->windowHandle(), Qt::LeftButton, {}, in(alarm, qPrintable(step))->mapTo(alarm, QPoint(10, 10)));
                else
                    QTest::keyClick(alarm->windowHandle(), step == u"Space"_s ? Qt::Key_Space : Qt::Key_Escape);
                if (step.contains(u"Snooze"_s) || step == u"Space"_s)
                    QVERIFY(alarm && in(alarm, "lblSnooze")->isVisible() && !player->isPlaying());
                else
                    QVERIFY(!alarm || alarm->isHidden()); // answered for good: the window is gone
            }
            QVERIFY(!alarm || alarm->isHidden());
            const bool disabled = answer.endsWith(u"cmdDeactivate"_s);
            QStringList active{"Aaron (09:00:00 am)", "Gym (06:45:00 am)", "Zulu (08:00:00 am)"};
            if (disabled)
                active.removeAt(1);
            QCOMPARE(saved->rowOf(u"Gym"_s) >= 0, disabled);
            QCOMPARE(f.part<SortedList>("lstActive")->rows() + f.part<SortedList>("lstHidden")->rows(), active + active);
            QVERIFY(f.part<WallClockTimer>("Timer5")->isActive()); // the check goes on while the alarm rings
            QTEST(main->isEnabled(), "mainEnabled");
            QVERIFY(before && before->isVisible() != bool(qobject_cast<QMenu *>(before)));
            if (!qobject_cast<QMenu *>(before))
                QVERIFY(before->isEnabled() && QApplication::activeModalWidget() == (before->isModal() ? before : nullptr));
            if (before && before->isModal()) // Escape answers it: it takes keys again
                QTest::keyClick(before->windowHandle(), Qt::Key_Escape);
            QVERIFY(!QApplication::activeModalWidget());
        });
        open(f);
        QTRY_VERIFY(done);
    }

    // The countdown runs out (its timer sped up): the same sound rings again.
    void snoozeRunsOut()
    {
        MainFixture f;
        f.addProfile(u"Alpha"_s, u"07:30:00"_s, u"am"_s, u"Everyday"_s, u"A"_s, u"0"_s, sound);
        f.start({u"Alpha"_s});
        QPointer<AlarmWindow> alarm = f.tick();
        QVERIFY(alarm && QTest::qWaitForWindowActive(alarm));
        auto *player = in<MediaPlayer>(alarm, "MediaPlayer1");
        QTest::keyClick(alarm->windowHandle(), Qt::Key_Space);
        QVERIFY(!player->isPlaying());
        in<QTimer>(alarm, "Timer4")->setInterval(1);
        QTRY_COMPARE(text(alarm, "lblSnooze"), u"00:00:00"_s);
        QVERIFY(player->isPlaying() && player->url() == sound);
    }

    // Alpha rings at 07:30:00 and is snoozed; the machine is next awake at 07:35:00,
    // past Beta's 07:31:00. The open window takes Beta over: the countdown ends,
    // the blink resumes, Beta's sound plays, the notes join, and it says how late.
    void laterAlarm()
    {
        MainFixture f;
        const QString betaSound = f.dir.filePath(u"beta.wav"_s);
        QVERIFY(QFile::copy(sound, betaSound));
        f.addProfile(u"Alpha"_s, u"07:30:00"_s, u"am"_s, u"Everyday"_s, u"A"_s, u"0"_s, sound);
        f.addProfile(u"Beta"_s, u"07:31:00"_s, u"am"_s, u"Everyday"_s, u"B"_s, u"0"_s, betaSound);
        f.start({u"Alpha"_s, u"Beta"_s});
        QPointer<AlarmWindow> alarm = f.tick();
        QVERIFY(alarm && QTest::qWaitForWindowActive(alarm));
        QTest::keyClick(alarm->windowHandle(), Qt::Key_Space);
        QTRY_COMPARE(text(alarm, "lblSnooze"), u"00:04:59"_s); // the countdown moves on screen
        f.clock.setNow(f.clock.now().addSecs(300));
        QVERIFY(alarm && f.wake() == alarm);
        QCOMPARE(text(alarm, "lblAlarm") + u'|' + text(alarm, "lblNote") + u'|' + text(alarm, "lblNotice"),
                 u"Beta|A\r\nB|Late: due 07:31:00 am, rang at 07:35:00 am."_s);
        QVERIFY(in(alarm, "lblSnooze")->isHidden() || text(alarm, "lblSnooze") == u"00:00:00"_s);
        auto *player = in<MediaPlayer>(alarm, "MediaPlayer1");
        QVERIFY(player->url() == betaSound && player->isPlaying());
        QTRY_VERIFY(in(alarm, "lblAlarm")->isHidden() && in(alarm, "lblTime")->isHidden()); // blinking again
        QTRY_VERIFY(in(alarm, "lblAlarm")->isVisible());
        QTest::keyClick(alarm->windowHandle(), Qt::Key_Escape); // both stay active
        QCOMPARE(f.part<SortedList>("lstActive")->count(), 2);
    }
};
QTEST_MAIN(TestAlarmWindow)
#include "tst_alarmwindow.moc"
