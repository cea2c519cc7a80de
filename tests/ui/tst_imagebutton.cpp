// The picture buttons every window uses: hover picture, Space, mouse release.
#include <QtTest>

#include "testsupport.h"

#include "editor/frmprofile.h"
#include "ui/imagebutton.h"
#include "ui/sortedlist.h"

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
