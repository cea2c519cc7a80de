// The About window: modeless, one at a time, and unloaded by every way of closing it.
#include <QtTest>

#include "testsupport.h"

#include "ui/frmabout.h"
#include "ui/imagebutton.h"

using CloseWay = std::function<void(FrmMain *, FrmAbout *)>;

class TestFrmAbout : public QObject
{
    Q_OBJECT

private slots:
    void closing_data()
    {
        QTest::addColumn<CloseWay>("closeIt");
        QTest::newRow("Close") << CloseWay([](FrmMain *, FrmAbout *about) { QTest::mouseClick(about->cmdClose, Qt::LeftButton); });
        QTest::newRow("close box") << CloseWay([](FrmMain *, FrmAbout *about) { QVERIFY(about->close()); });
        QTest::newRow("Exit of the main window") << CloseWay([](FrmMain *main, FrmAbout *) { main->cmdExit_MouseUp(); });
    }

    void closing()
    {
        QFETCH(CloseWay, closeIt);
        MainFixture f;
        FrmMain *main = f.start();
        main->mnuAbout->trigger();
        QPointer<FrmAbout> about = main->frmAbout;
        main->mnuAbout->trigger(); // only brings the same window forward
        QVERIFY(about && main->frmAbout == about && about->isVisible() && !QApplication::activeModalWidget());
        QStringList texts{about->windowTitle(), about->grab().toImage().pixelColor(2, 2).name()};
        for (QLabel *label : about->lblInfo)
            texts << label->text();
        // The title, the blue of RGB 37, 95, 181, and the texts.
        QCOMPARE(texts, (QStringList{"About", "#255fb5", "Dawnbell", "Version: 1.0.6", "Build: 16", "Release Date: 09.02.06"}));
        closeIt(main, about);
        QTRY_VERIFY(!about); // unloaded, not just hidden
    }
};

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
