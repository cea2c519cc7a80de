// The picture buttons every window uses, the pictures, and what a screen reader
// is told about the controls of every window.
#include <QtTest>

#include "testsupport.h"

#include "widgets/imagebutton.h"
#include "widgets/appstyle.h"
#include "widgets/pictures.h"

#include <QAccessible>
#include <QStyleFactory>

class TestImageButton : public QObject
{
    Q_OBJECT

private slots:
    // The hover picture; Space acts, Enter does not; a release off the button does
    // nothing, any button released on it acts; play and stop take no keys.
    void picture()
    {
        QPixmap normal(16, 16), hover(16, 16);
        normal.fill(Qt::black);
        hover.fill(Qt::white);
        ImageButton picture(normal, hover);
        picture.show();
        QSignalSpy acted(&picture, &ImageButton::mouseUp);
        QTest::mouseMove(&picture, {8, 8});
        QVERIFY(picture.isShowingHover() && picture.grab().toImage().pixelColor(8, 8) == Qt::white);
        QTest::keyClick(&picture, Qt::Key_Return);
        QTest::keyClick(&picture, Qt::Key_Space);
        picture.setSpaceActivates(false);
        QTest::keyClick(&picture, Qt::Key_Space);
        QTest::mousePress(&picture, Qt::LeftButton, {}, {8, 8});
        QTest::mouseRelease(&picture, Qt::LeftButton, {}, {-5, 8});
        QCOMPARE(acted.count(), 1);
        QTest::mouseClick(&picture, Qt::RightButton, {}, {8, 8});
        QCOMPARE(acted.count(), 2);
    }

    // The menu bar's overflow arrow is Qt's, whichever way it points, read
    // through Pictures::png (a reader that failed would leave it empty).
    void pictures_data()
    {
        QTest::addColumn<QIcon>("ours");
        QTest::addColumn<QIcon>("qts");
        static const AppStyle ours(QStringLiteral("fusion"));
        static const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("fusion")));
        QStyleOption rightToLeft;
        rightToLeft.direction = Qt::RightToLeft;
        for (const QStyle::StandardPixmap arrow : {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton})
            for (const QStyleOption *option : std::initializer_list<const QStyleOption *>{nullptr, &rightToLeft})
                QTest::addRow("arrow %d, %s", int(arrow), option ? "right to left" : "left to right")
                    << ours.standardIcon(arrow, option) << fusion->standardIcon(arrow, option);
    }

    void pictures()
    {
        QFETCH(QIcon, ours);
        QFETCH(QIcon, qts);
        QVERIFY(!qts.availableSizes().isEmpty());
        QCOMPARE(ours.availableSizes(), qts.availableSizes());
        for (const QSize &size : qts.availableSizes())
            QCOMPARE(ours.pixmap(size).toImage(), qts.pixmap(size).toImage());
    }

    // Every window open at once, the main one disabled under the alarm: each control
    // of ours (plain labels are Qt's own) is told with its role and name, and a
    // reader's press on a picture button acts as a click does, but not in a disabled
    // window; About's Close keeps its work, closing About.
    void accessible()
    {
        MainFixture f;
        f.addProfile(QStringLiteral("Gym"));
        MainWindow *main = f.start({QStringLiteral("Gym")});
        f.part<QAction>("mnuProfilesNew")->trigger();
        f.part<QAction>("mnuAbout")->trigger();
        f.tick();
        const int button = int(QAccessible::PushButton), edit = int(QAccessible::EditableText);
        const QList<std::tuple<const char *, int, QString>> rows{
            {"cmdProfile", button, "New Profile"}, {"cmdAlarm", button, "Activate"}, {"cmdExit", button, "Exit"},
            {"lstSaved", int(QAccessible::List), "Profiles"}, {"lstActive", int(QAccessible::List), "Active Alarms"},
            {"cmdBrowse", button, "Browse"}, {"picPlay", button, "Play sound"}, {"picStop", button, "Stop sound"},
            {"cmdSave", button, "Save"}, {"cmdCancel", button, "Cancel"}, {"txtName", edit, "Name"}, {"txtTime", edit, "Hour"},
            {"txtTime2", edit, "Minute"}, {"txtAlarm", edit, "Sound"}, {"txtNote", edit, "Personal Note"},
            {"optTime_1", int(QAccessible::RadioButton), "pm"}, {"chkDays_0", int(QAccessible::CheckBox), "Mon"},
            {"picBackground", int(QAccessible::Graphic), "Alarm"}, {"cmdSnooze", button, "Snooze"},
            {"cmdDismiss", button, "Dismiss"}, {"cmdDeactivate", button, "Disable"}, {"cmdClose", button, "Close"},
            {"up", button, "Up"}, {"down", button, "Down"}};
        for (const auto &[name, role, told] : rows) {
            QWidget *control = nullptr;
            for (QWidget *window : QApplication::topLevelWidgets())
                control = control || !window->isVisible() ? control : window->findChild<QWidget *>(name);
            QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(control);
            QVERIFY2(reader, name);
            QCOMPARE(QString::number(reader->role()) + ' ' + reader->text(QAccessible::Name), QString::number(role) + ' ' + told);
            if (auto *picture = qobject_cast<ImageButton *>(control)) {
                const bool closes = !qstrcmp(name, "cmdClose");
                if (!closes)
                    picture->disconnect();
                QSignalSpy pressed(picture, &ImageButton::mouseUp);
                reader->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
                QVERIFY2(pressed.count() == int(picture->window() != main) && picture->window()->isVisible() != closes, name);
            }
        }
    }
};

QTEST_MAIN(TestImageButton)
#include "tst_imagebutton.moc"
