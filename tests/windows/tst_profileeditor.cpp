// The editor that New Profile opens over an empty store.
#include "profiles/paths.h"
#include "windows/profileeditor.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

class TstFrmProfile : public QObject
{
    Q_OBJECT
    std::unique_ptr<MainFixture> f;
    QPointer<QWidget> ed;

    template <typename T = QWidget> T *part(const QString &name) const { return ed->findChild<T *>(name); }
    QString text(const char *box) const { return part<QLineEdit>(box)->text(); }
    void click(const QString &name) const { QTest::mouseClick(part(name), Qt::LeftButton); }
    // Selects all the box holds and types `keys` over it.
    void type(const char *box, const QString &keys) const
    {
        QTest::keySequence(part(box), QKeySequence::SelectAll);
        QTest::keyClick(part(box), Qt::Key_Delete);
        QTest::keyClicks(part(box), keys);
    }
    // am or pm, "All" and the day boxes (1 ticked, 0 not, X ticked and locked).
    QString choices() const
    {
        QString shown = part<QRadioButton>("optTime_1")->isChecked() ? "pm " : "am ";
        shown += part<QCheckBox>("chkAll")->isChecked() ? "All " : "";
        for (int d = 0; d < 7; ++d) {
            auto *day = part<QCheckBox>(QStringLiteral("chkDays_%1").arg(d));
            shown += QLatin1Char(!day->isChecked() ? '0' : day->isEnabled() ? '1' : 'X');
        }
        return shown;
    }
    QString nameAndColour() const { return text("txtName") + part("txtName")->palette().color(QPalette::Text).name(); }

private slots:
    void init()
    {
        f = std::make_unique<MainFixture>();
        f->start();
        f->part<QAction>("mnuProfilesNew")->trigger();
        for (QWidget *top : QApplication::topLevelWidgets())
            ed = top->objectName() == "frmProfile" && top->isVisible() ? top : ed.data();
        QVERIFY(ed && QTest::qWaitForWindowActive(ed));
    }

    void defaultsNoteAndAll()
    {
        // The placeholder is cleared as the name box takes the focus at opening.
        QCOMPARE(QApplication::focusWidget(), part("txtName"));
        QCOMPARE(QStringList({ed->windowTitle(), nameAndColour(), text("txtTime"), text("txtTime2"), text("txtAlarm"), part<QLabel>("lblLimit")->text(), choices()}),
                 QStringList({"Create a New Profile", "#000000", "01", "00", Paths::sampleFolder() + "/Sample1.mp3", "200/200", "am 0000000"}));
        QTest::keyClick(part("txtName"), Qt::Key_Tab);
        QCOMPARE(nameAndColour(), "Name or Description#808080");
        // A line break counts two; the 201st character typed is undone.
        auto *note = part<QPlainTextEdit>("txtNote");
        QTest::keyClicks(note, QString(197, QLatin1Char('x')));
        QTest::keyClick(note, Qt::Key_Return);
        QTest::keyClicks(note, "yz");
        QCOMPARE(part<QLabel>("lblLimit")->text() + note->toPlainText().right(3), "0/200x\ny");
        click("chkDays_2");
        click("chkAll");
        QCOMPARE(choices(), "am All XXXXXXX");
        click("chkAll");
        QCOMPARE(choices(), "am 0000000");
    }

    // The marks of the choices show against their boxes, ticked or not, also
    // where "All" has locked the days.
    void marksVisible_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"optTime_0", "optTime_1", "chkAll", "chkDays_3", "chkVolume", "chkDays_6 locked"})
            QTest::newRow(name) << QString(name);
    }
    void marksVisible()
    {
        QFETCH(QString, name);
        auto *choice = part<QAbstractButton>(name.section(' ', 0, 0));
        QStyleOptionButton option;
        option.initFrom(choice);
        const bool radio = qobject_cast<QRadioButton *>(choice);
        const QRect box = choice->style()->subElementRect(radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &option, choice);
        if (name == "optTime_0") // a radio button is unticked by its partner
            click("optTime_1");
        const QImage off = choice->grab(box).toImage();
        click(name.endsWith("locked") ? "chkAll" : name.section(' ', 0, 0));
        const QImage on = choice->grab(box).toImage();
        int contrast = 0;
        for (int y = 0; y < on.height(); ++y)
            for (int x = 0; x < on.width(); ++x)
                contrast = qMax(contrast, qAbs(qGray(on.pixel(x, y)) - qGray(off.pixel(x, y))));
        QVERIFY2(choice->isChecked() && contrast >= 128, qPrintable(QString::number(contrast)));
        QCOMPARE(choice->palette().color(QPalette::WindowText), QColor(Qt::white)); // the caption
    }

    // Keys typed into a time box, one key sequence after another; the clipboard holds "4a".
    void timeBoxes_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("afterLeaving");
        QTest::newRow("letters, punctuation, blank refused; padded") << "txtTime2" << "3" << "A : - Space" << "3" << "03";
        QTest::newRow("pasted letters refused") << "txtTime" << "" << "Shift+Ins" << "" << "";
        QTest::newRow("Ctrl+A, Ctrl+X") << "txtTime" << "12" << "Ctrl+A Ctrl+X" << "" << "";
        QTest::newRow("Ctrl+V pastes digits, twice") << "txtTime2" << "5" << "Ctrl+A Ctrl+X Ctrl+V Ctrl+V" << "55" << "55";
        QTest::newRow("Ctrl+Z undoes") << "txtTime" << "12" << "Ctrl+A Ctrl+X Ctrl+V Ctrl+Z" << "" << "";
        QTest::newRow("backspace edits; two characters at most") << "txtTime2" << "5" << "Backspace 5 9 3" << "59" << "59";
        QTest::newRow("hour stops at 12") << "txtTime" << "12" << "Up" << "12" << "12";
        QTest::newRow("minute stops at 0") << "txtTime2" << "00" << "Down" << "0" << "00";
    }
    void timeBoxes()
    {
        QFETCH(QString, box);
        QFETCH(QString, keys);
        QFETCH(QString, start);
        type(qPrintable(box), start);
        QApplication::clipboard()->setText("4a");
        part(box)->setFocus();
        for (const QString &key : keys.split(' '))
            QTest::keySequence(part(box), QKeySequence(key));
        QTEST(text(qPrintable(box)), "shown");
        QTest::keyClick(part(box), Qt::Key_Tab);
        QTEST(text(qPrintable(box)), "afterLeaving");
    }

    // A click on an arrow steps its box and focuses it; a held-down arrow repeats.
    void arrows()
    {
        QTest::mouseClick(part("UpDown2")->findChild<QToolButton *>("up"), Qt::LeftButton);
        QCOMPARE(text("txtTime2") + ' ' + QApplication::focusWidget()->objectName(), "1 txtTime2");
        auto *up = part("UpDown1")->findChild<QToolButton *>("up");
        QTest::mousePress(up, Qt::LeftButton);
        QTRY_COMPARE(text("txtTime"), "4");
        QTest::mouseRelease(up, Qt::LeftButton);
    }

    // Browse sets the chosen file; a cancelled dialog keeps it. A file that does not
    // play is told, and the play picture stays.
    void browseAndPlay()
    {
        QTemporaryFile noise(f->dir.filePath("noise-XXXXXX.mp3"));
        QVERIFY(noise.open() && noise.write("not a sound") && noise.flush());
        QStringList folders;
        QString answer = noise.fileName();
        ProfileEditor::openFileDialog = [&](QWidget *, const QString &, const QString &folder, const QString &, const QString &) {
            folders << folder;
            return answer;
        };
        click("cmdBrowse");
        answer.clear();
        click("cmdBrowse");
        QCOMPARE(text("txtAlarm") + ' ' + folders.join(' '), noise.fileName() + ' ' + Paths::sampleFolder() + ' ' + Paths::sampleFolder());
        Boxes boxes;
        click("picPlay");
        QCOMPARE(boxes.seen, QStringList{"Error|An error occured while trying to play the requested song.\nPlease enter a valid path and try again.|3"});
        QVERIFY(part("picPlay")->isVisible() && !part("picStop")->isVisible());
    }

    // Each refusal shows its box and focuses its field; a save writes the file.
    void saving_data()
    {
        QTest::addColumn<QString>("entries"); // name|hour|minute|sound|days ticked
        QTest::addColumn<QString>("box");     // title|text|icon
        QTest::addColumn<QString>("focus");   // after a refusal; empty when saved
        QTest::addColumn<QByteArray>("bytes");
        const QString time = "Invalid Time|Please enter a valid time.|3",
                      silent = "Dawnbell|You have not entered a valid path to a music file.\nIf you would like to receive a 'silent' alarm, press OK.|2",
                      exists = "Error|A profile with the name of '%1' already exists.\nPlease choose a different name.|3";
        QTest::newRow("hour 13") << "Walk|13|00|/s/a.mp3|" << time << "txtTime" << QByteArray();
        QTest::newRow("minute 60") << "Walk|12|60|/s/a.mp3|" << time << "txtTime2" << QByteArray();
        QTest::newRow("blank sound, Cancel") << "Walk|07|00|  |" << silent << "txtAlarm" << QByteArray();
        QTest::newRow("same name in other case") << "mORNING|07|00|/s/a.mp3|" << exists.arg("mORNING") << "txtName" << QByteArray();
        QTest::newRow("blanks kept, padded, two days, silent OK") << "  Run  |7|5||16" << silent << ""
                                                                  << QByteArray("  Run  \r\n07:05:00\r\nam\r\n\r\nTuesday, Sunday, \r\n0\r\n\r\n");
    }
    void saving()
    {
        f->addProfile("Morning");
        f->addProfile("Default");
        QFETCH(QString, entries);
        QFETCH(QString, focus);
        const QStringList in = entries.split('|');
        for (int i = 0; const char *box : {"txtName", "txtTime", "txtTime2", "txtAlarm"})
            type(box, in[i++]);
        for (QChar day : in[4])
            click(QStringLiteral("chkDays_%1").arg(day));
        Boxes boxes(focus == "txtAlarm" ? QMessageBox::Cancel : QMessageBox::Ok);
        click("cmdSave");
        QTEST(boxes.seen.join(' '), "box");
        if (focus.isEmpty()) { // saved, listed, and the alarm commands enabled
            QTRY_VERIFY(!ed);
            QFile file(f->store.folder() + '/' + in[0] + ".wkp");
            QVERIFY(file.open(QIODevice::ReadOnly));
            QTEST(file.readAll(), "bytes");
            QVERIFY(f->index.names() == QStringList({"Morning", "Default", in[0]}) && f->part<SortedList>("lstSaved")->rows() == QStringList{in[0]});
            QVERIFY(f->main->isEnabled() && f->part("cmdAlarm")->isEnabled() && f->part<QAction>("mnuAlarmDeactivate")->isEnabled());
            return;
        }
        QVERIFY(ed->isVisible() && ed->focusWidget()->objectName() == focus);
        // No day chosen: "All" gets ticked once the days are looked at, before the name's turn.
        QCOMPARE(part<QCheckBox>("chkAll")->isChecked(), boxes.seen.join(' ').contains("already exists"));
        QCOMPARE(QDir(f->store.folder()).entryList(QDir::Files), QStringList({"Default.wkp", "Morning.wkp"}));
    }
};

QTEST_MAIN(TstFrmProfile)
#include "tst_profileeditor.moc"
