// The picture buttons every window uses, what a screen reader is told about the
// controls of every window, and the About window.
#include <QtTest>

#include "testsupport.h"

#include "editor/frmprofile.h"
#include "ui/frmabout.h"
#include "ui/imagebutton.h"

#include <QAccessible>

class TestImageButton : public QObject
{
    Q_OBJECT

private slots:
    // A focused main window button with the mouse on it (the hover picture): a key
    // or a click. New Profile shows its normal picture again after acting.
    void acts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("key"); // 0: the mouse
        QTest::addColumn<bool>("acts");
        QTest::newRow("Activate, mouse") << "cmdAlarm" << 0 << true;
        QTest::newRow("New Profile, Space") << "cmdProfile" << int(Qt::Key_Space) << true;
        QTest::newRow("Activate, Enter") << "cmdAlarm" << int(Qt::Key_Return) << false;
    }

    void acts()
    {
        QFETCH(QString, name);
        QFETCH(int, key);
        QCursor::setPos(0, 0); // off the buttons, wherever the last row left it
        MainFixture f;
        f.addProfile(QStringLiteral("Gym"));
        FrmMain *main = f.start();
        QVERIFY(QTest::qWaitForWindowActive(main));
        main->lstSaved->setCurrentRow(0);
        auto *target = main->findChild<ImageButton *>(name);
        target->setFocus(Qt::TabFocusReason);
        const QImage normal = target->grab().toImage();
        QTest::mouseMove(target, {40, 12});
        QVERIFY(target->isShowingHover() && target->grab().toImage() != normal);
        key ? QTest::keyClick(main->windowHandle(), Qt::Key(key)) : QTest::mouseClick(target, Qt::LeftButton, {}, {40, 12});
        const bool acted = main->lstActive->count() + bool(main->frmProfile) == 1;
        QTEST(acted, "acts");
        QCOMPARE(target->isShowingHover(), !acted);
    }

    // A release off the button does nothing, any button released on it acts; the
    // editor's play and stop pictures take no keys.
    void releaseAndNoKeys()
    {
        ImageButton picture(QPixmap(16, 16), QPixmap(16, 16));
        picture.setSpaceActivates(false);
        QSignalSpy acted(&picture, &ImageButton::mouseUp);
        QTest::mousePress(&picture, Qt::LeftButton, {}, {8, 8});
        QTest::mouseRelease(&picture, Qt::LeftButton, {}, {-5, 8});
        QTest::keyClick(&picture, Qt::Key_Space);
        QCOMPARE(acted.count(), 0);
        QTest::mouseClick(&picture, Qt::RightButton, {}, {8, 8});
        QCOMPARE(acted.count(), 1);
    }

    // Every window open at once, the main one disabled under the alarm: each control's
    // role and name ("=" stands for its own text, which must not be empty), and a
    // reader's press on a picture button acts as a click does, but not in a disabled window.
    void accessible()
    {
        MainFixture f;
        f.addProfile(QStringLiteral("Gym"));
        FrmMain *main = f.start({QStringLiteral("Gym")});
        f.tick();
        main->cmdProfile_MouseUp();
        main->mnuAbout_Click();
        const int button = int(QAccessible::PushButton), text = int(QAccessible::StaticText), edit = int(QAccessible::EditableText);
        const QList<std::tuple<const char *, int, QString>> rows{
            {"cmdProfile", button, "New Profile"}, {"cmdAlarm", button, "Activate"}, {"cmdExit", button, "Exit"},
            {"lstSaved", int(QAccessible::List), "Profiles"}, {"lstActive", int(QAccessible::List), "Active Alarms"},
            {"lblTime_0", text, "="}, {"lblTime2", text, "="}, {"lblDate", text, "="}, {"lblTime3", text, "="},
            {"cmdBrowse", button, "Browse"}, {"picPlay", button, "Play sound"}, {"picStop", button, "Stop sound"},
            {"cmdSave", button, "Save"}, {"cmdCancel", button, "Cancel"}, {"txtName", edit, "Name"}, {"txtTime", edit, "Hour"},
            {"txtTime2", edit, "Minute"}, {"txtAlarm", edit, "Sound"}, {"txtNote", edit, "Personal Note"}, {"lblLimit", text, "="},
            {"optTime_1", int(QAccessible::RadioButton), "pm"}, {"chkDays_0", int(QAccessible::CheckBox), "Mon"},
            {"picBackground", int(QAccessible::Graphic), "Alarm"}, {"lblNote", text, "="}, {"cmdSnooze", button, "Snooze"},
            {"cmdDismiss", button, "Dismiss"}, {"cmdDeactivate", button, "Disable"}, {"cmdClose", button, "Close"},
            {"lblInfo_0", text, "Dawnbell"}, {"lblInfo_1", text, "Version: " DAWNBELL_VERSION}, {"lblInfo_2", text, "Build: 16"},
            {"lblInfo_3", text, "Release Date: 09.02.06"}};
        for (const auto &[name, role, told] : rows) {
            QWidget *control = nullptr;
            for (QWidget *window : QWidgetList{main, main->frmProfile, main->frmAlarm, main->frmAbout})
                control = control ? control : window->findChild<QWidget *>(name);
            QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(control);
            QVERIFY2(reader, name);
            const QString own = control->property("text").toString();
            QCOMPARE(QString::number(reader->role()) + ' ' + reader->text(QAccessible::Name), QString::number(role) + ' ' + (told == "=" && !own.isEmpty() ? own : told));
            if (auto *picture = qobject_cast<ImageButton *>(control)) {
                picture->disconnect();
                QSignalSpy pressed(picture, &ImageButton::mouseUp);
                reader->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
                QVERIFY2(pressed.count() == int(picture->window() != main), name);
            }
        }
    }

    // The About window: modeless, one at a time, and unloaded by every way of closing it.
    void aboutClosing_data()
    {
        QTest::addColumn<QString>("way");
        for (const char *way : {"Close", "close box", "Exit"})
            QTest::newRow(way) << QString(way);
    }

    void aboutClosing()
    {
        QFETCH(QString, way);
        MainFixture f;
        FrmMain *main = f.start();
        main->mnuAbout->trigger();
        QPointer<FrmAbout> about = main->frmAbout;
        main->mnuAbout->trigger(); // only brings the same window forward
        QVERIFY(about && main->frmAbout == about && about->isVisible() && !QApplication::activeModalWidget());
        // The title and the blue of RGB 37, 95, 181.
        QCOMPARE(about->windowTitle() + about->grab().toImage().pixelColor(2, 2).name(), "About#255fb5");
        way == "Exit" ? main->cmdExit_MouseUp() : way == "Close" ? QTest::mouseClick(about->cmdClose, Qt::LeftButton) : (void)about->close();
        QTRY_VERIFY(!about); // unloaded, not just hidden
    }
};

QTEST_MAIN(TestImageButton)
#include "tst_imagebutton.moc"
