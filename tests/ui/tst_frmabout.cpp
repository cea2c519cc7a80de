// The About window: modeless, and unloaded by every way of closing it.
#include <QAbstractButton>
#include <QtTest>

#include "testsupport.h"

#include "ui/frmabout.h"
#include "ui/imagebutton.h"
#include "ui/sortedlist.h"

class TestFrmAbout : public QObject
{
    Q_OBJECT

private slots:
    void modeless()
    {
        MainFixture f;
        f.addProfile(QStringLiteral("Gym"));
        FrmMain *main = f.start();
        main->mnuAbout->trigger();
        QPointer<FrmAbout> about = main->frmAbout;
        QVERIFY(about && about->isVisible() && !about->isModal());
        QCOMPARE(about->windowTitle(), QStringLiteral("About"));
        QStringList texts;
        for (QLabel *label : about->lblInfo)
            texts << label->text();
        QCOMPARE(texts, (QStringList{"Dawnbell", "Version: 1.0.6", "Build: 16", "Release Date: 09.02.06"}));

        // The main window still answers while About is open.
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main));
        QTest::mouseClick(main->lstSaved->viewport(), Qt::LeftButton, {}, main->lstSaved->visualItemRect(main->lstSaved->item(0)).center());
        QCOMPARE(main->lblTime3->text(), QStringLiteral("07:30:00 am"));

        main->mnuAbout->trigger(); // only brings the same window forward
        QCOMPARE(main->frmAbout, about);
        const QWidgetList windows = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(windows.begin(), windows.end(), [](QWidget *w) { return qobject_cast<FrmAbout *>(w); }), 1);
    }

    void closing_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("Close") << "click";
        QTest::newRow("Space on Close") << "space";
        QTest::newRow("close box") << "close box";
        QTest::newRow("Exit of the main window") << "exit";
    }

    void closing()
    {
        QFETCH(QString, way);
        MainFixture f;
        FrmMain *main = f.start();
        main->mnuAbout->trigger();
        QPointer<FrmAbout> about = main->frmAbout;
        QVERIFY(QTest::qWaitForWindowActive(about));
        if (way == "click") {
            QTest::mouseClick(about->cmdClose, Qt::LeftButton);
        } else if (way == "space") {
            about->cmdClose->setFocus(Qt::TabFocusReason);
            QTest::keyClick(about->windowHandle(), Qt::Key_Space);
        } else if (way == "close box") {
            QVERIFY(about->close());
        } else {
            main->cmdExit_MouseUp();
        }
        QTRY_VERIFY(!about); // unloaded, not just hidden
        main->mnuAbout->trigger();
        QVERIFY(main->frmAbout && main->frmAbout->isVisible());
        QCOMPARE(main->frmAbout->grab().toImage().pixelColor(2, 2), QColor(37, 95, 181));
    }
};

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
