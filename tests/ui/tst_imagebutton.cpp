// The picture buttons every window uses: hover picture, Space, mouse release.
#include <QtTest>

#include "testsupport.h"

#include "alarm/frmalarm.h"
#include "editor/frmprofile.h"
#include "ui/frmabout.h"
#include "ui/imagebutton.h"
#include "ui/sortedlist.h"

#include <QAccessible>

class TestImageButton : public QObject
{
    Q_OBJECT

private slots:
    // The main window's buttons, focused and with the mouse moved onto them (the hover
    // picture): a key or a click. Activate and New Profile show their normal picture
    // again after acting, with the cursor still on them.
    void acts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("key"); // 0: the mouse
        QTest::addColumn<bool>("acts");
        QTest::newRow("Activate, mouse") << "cmdAlarm" << 0 << true;
        QTest::newRow("New Profile, mouse") << "cmdProfile" << 0 << true;
        QTest::newRow("New Profile, Space") << "cmdProfile" << int(Qt::Key_Space) << true;
        QTest::newRow("Exit, Space") << "cmdExit" << int(Qt::Key_Space) << true;
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
        const bool acted = main->lstActive->count() + bool(main->frmProfile) + main->isExiting() == 1;
        QTEST(acted, "acts");
        QVERIFY(name == u"cmdExit" || target->isShowingHover() == !acted);
    }

    // What a screen reader is told about each control of every window; "=" stands
    // for the control's own text, which must not be empty.
    void accessible_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("told");
        const int button = int(QAccessible::PushButton), text = int(QAccessible::StaticText), edit = int(QAccessible::EditableText);
        const QList<std::tuple<const char *, int, const char *>> rows{
            {"cmdProfile", button, "New Profile"}, {"cmdAlarm", button, "Activate"}, {"cmdExit", button, "Exit"},
            {"lstSaved", int(QAccessible::List), "Profiles"}, {"lstActive", int(QAccessible::List), "Active Alarms"},
            {"lblTime_0", text, "="}, {"lblTime2", text, "="}, {"lblDate", text, "="}, {"lblTime3", text, "="},
            {"cmdBrowse", button, "Browse"}, {"picPlay", button, "Play sound"}, {"picStop", button, "Stop sound"},
            {"cmdSave", button, "Save"}, {"cmdCancel", button, "Cancel"}, {"txtName", edit, "Name"}, {"txtTime", edit, "Hour"},
            {"txtTime2", edit, "Minute"}, {"txtAlarm", edit, "Sound"}, {"txtNote", edit, "Personal Note"}, {"lblLimit", text, "="},
            {"optTime_1", int(QAccessible::RadioButton), "pm"}, {"chkDays_0", int(QAccessible::CheckBox), "Mon"},
            {"picBackground", int(QAccessible::Graphic), "Alarm"}, {"lblNote", text, "="}, {"cmdSnooze", button, "Snooze"},
            {"cmdDismiss", button, "Dismiss"}, {"cmdDeactivate", button, "Disable"}, {"cmdClose", button, "Close"}};
        for (const auto &[name, role, told] : rows)
            QTest::newRow(name) << QString(name) << role << QString(told);
    }

    void accessible()
    {
        QFETCH(QString, name);
        MainFixture f;
        f.addProfile(QStringLiteral("Gym"), QStringLiteral("07:30:00"));
        FrmMain *main = f.start();
        main->lstSaved->setCurrentRow(0);
        main->activate();
        f.clock.advance(1000);
        main->Timer5_Timer();
        main->cmdProfile_MouseUp();
        main->mnuAbout_Click();
        QWidget *control = nullptr;
        for (QWidget *window : QWidgetList{main, main->frmProfile, main->frmAlarm, main->frmAbout})
            control = control ? control : window->findChild<QWidget *>(name);
        QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(control);
        QVERIFY(reader);
        QTEST(int(reader->role()), "role");
        const QString text = control->property("text").toString();
        QFETCH(QString, told);
        QCOMPARE(reader->text(QAccessible::Name), told == u"=" && !text.isEmpty() ? text : told);
        if (auto *button = qobject_cast<ImageButton *>(control)) { // a reader's press acts, as a click does
            button->disconnect();
            QSignalSpy pressed(button, &ImageButton::mouseUp);
            reader->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            QCOMPARE(pressed.count(), int(button->isEnabled())); // not in a disabled window
        }
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
};

QTEST_MAIN(TestImageButton)
#include "tst_imagebutton.moc"
