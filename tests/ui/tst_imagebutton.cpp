// The picture buttons every window uses: hover picture, Space, mouse release.
#include <QAbstractButton>
#include <QtTest>

#include "testsupport.h"

#include "editor/frmprofile.h"
#include "ui/imagebutton.h"
#include "ui/sortedlist.h"

namespace {
// Two buttons side by side on a shown, active window.
struct Pair
{
    QWidget window;
    ImageButton *first = new ImageButton(QStringLiteral("First"), &window);
    ImageButton *second = new ImageButton(QStringLiteral("Second"), &window);

    bool show()
    {
        window.resize(200, 60);
        first->setGeometry(10, 10, 81, 25);
        second->setGeometry(91, 10, 81, 25);
        window.show();
        return QTest::qWaitForWindowActive(&window);
    }
};
} // namespace

class TestImageButton : public QObject
{
    Q_OBJECT

private slots:
    void hoverPicture()
    {
        Pair p;
        QVERIFY(p.show());
        const QImage normal = p.first->grab().toImage();
        QTest::mouseMove(p.first, {40, 12});
        QVERIFY(p.first->isShowingHover());
        QVERIFY(p.first->grab().toImage() != normal);
        QTest::mouseMove(p.second, {40, 12}); // straight onto the neighbour
        QVERIFY(!p.first->isShowingHover() && p.second->isShowingHover());
        QCOMPARE(p.first->grab().toImage(), normal);
        QTest::mouseMove(&p.window, {195, 55});
        QVERIFY(!p.second->isShowingHover());
    }

    // Keys on the focused button, or a press at its middle and a release.
    void acts_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("button");
        QTest::addColumn<QPoint>("releaseAt");
        QTest::addColumn<int>("actions");
        QTest::newRow("Space") << int(Qt::Key_Space) << 0 << QPoint() << 1;
        QTest::newRow("Return") << int(Qt::Key_Return) << 0 << QPoint() << 0;
        QTest::newRow("Enter") << int(Qt::Key_Enter) << 0 << QPoint() << 0;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << 0 << QPoint() << 0;
        QTest::newRow("letter") << int(Qt::Key_A) << 0 << QPoint() << 0;
        QTest::newRow("left button") << 0 << int(Qt::LeftButton) << QPoint(40, 12) << 1;
        QTest::newRow("right button") << 0 << int(Qt::RightButton) << QPoint(40, 12) << 1;
        QTest::newRow("middle button") << 0 << int(Qt::MiddleButton) << QPoint(40, 12) << 1;
        QTest::newRow("released beside it") << 0 << int(Qt::LeftButton) << QPoint(-5, 12) << 0;
    }

    void acts()
    {
        QFETCH(int, key);
        QFETCH(int, button);
        QFETCH(QPoint, releaseAt);
        Pair p;
        QVERIFY(p.show());
        p.first->setFocus(Qt::TabFocusReason);
        QSignalSpy acted(p.first, &ImageButton::mouseUp);
        if (key) {
            QTest::keyClick(p.window.windowHandle(), Qt::Key(key));
        } else {
            QTest::mousePress(p.first, Qt::MouseButton(button), {}, {40, 12});
            QCOMPARE(acted.count(), 0);
            QTest::mouseRelease(p.first, Qt::MouseButton(button), {}, releaseAt);
        }
        QTEST(int(acted.count()), "actions");
        // The editor's play and stop pictures take no keys.
        p.first->setSpaceActivates(false);
        QTest::keyClick(p.window.windowHandle(), Qt::Key_Space);
        QTEST(int(acted.count()), "actions");
    }

    // The main window's buttons: the mouse and Space act, Enter does not. Activate and
    // New Profile show their normal picture after acting, with the cursor still on them.
    void mainWindowButtons_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("key"); // 0: the mouse
        QTest::addColumn<bool>("acts");
        QTest::newRow("Activate, mouse") << "cmdAlarm" << 0 << true;
        QTest::newRow("New Profile, mouse") << "cmdProfile" << 0 << true;
        QTest::newRow("Activate, Space") << "cmdAlarm" << int(Qt::Key_Space) << true;
        QTest::newRow("New Profile, Space") << "cmdProfile" << int(Qt::Key_Space) << true;
        QTest::newRow("Exit, Space") << "cmdExit" << int(Qt::Key_Space) << true;
        QTest::newRow("Activate, Enter") << "cmdAlarm" << int(Qt::Key_Return) << false;
        QTest::newRow("New Profile, Enter") << "cmdProfile" << int(Qt::Key_Return) << false;
        QTest::newRow("Exit, Enter") << "cmdExit" << int(Qt::Key_Return) << false;
    }

    void mainWindowButtons()
    {
        QFETCH(QString, button);
        QFETCH(int, key);
        MainFixture f;
        f.addProfile(QStringLiteral("Gym"));
        FrmMain *main = f.start();
        QVERIFY(QTest::qWaitForWindowActive(main));
        main->lstSaved->setCurrentRow(0);
        auto *target = main->findChild<ImageButton *>(button);
        if (key == 0) {
            QTest::mouseMove(target, {40, 12});
            QVERIFY(target->isShowingHover());
            QTest::mouseClick(target, Qt::LeftButton, {}, {40, 12});
            QVERIFY(!target->isShowingHover());
        } else {
            target->setFocus(Qt::TabFocusReason);
            QTest::keyClick(main->windowHandle(), Qt::Key(key));
        }
        const bool acted = button == "cmdAlarm"     ? main->lstActive->count() == 1
                           : button == "cmdProfile" ? main->frmProfile && main->frmProfile->isVisible()
                                                    : main->isExiting();
        QTEST(acted, "acts");
    }
};

QTEST_MAIN(TestImageButton)
#include "tst_imagebutton.moc"
