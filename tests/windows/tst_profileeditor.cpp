// The editor that New Profile opens over an empty store.
#include "profiles/paths.h"
#include "widgets/digitbox.h"
#include "windows/profileeditor.h"
#include "testsupport.h"
#include "widgets/imagebutton.h"

#include <QClipboard>
#include <QDir>
#include <QtTest>

class TstFrmProfile : public QObject
{
    Q_OBJECT
    std::unique_ptr<MainFixture> f;
    QPointer<ProfileEditor> ed;

    // am or pm, "All" and the day boxes (1 ticked, 0 not, X ticked and locked), rising volume.
    QString choices() const
    {
        QString text = ed->optTime[1]->isChecked() ? "pm " : "am ";
        text += ed->chkAll->isChecked() ? "All " : "";
        for (QCheckBox *day : ed->chkDays)
            text += QLatin1Char(!day->isChecked() ? '0' : day->isEnabled() ? '1' : 'X');
        return text + (ed->chkVolume->isChecked() ? " rising" : "");
    }
    QString nameAndColour() const { return ed->txtName->text() + ed->txtName->palette().color(QPalette::Text).name(); }

private slots:
    void init()
    {
        f = std::make_unique<MainFixture>();
        f->start()->cmdProfile_MouseUp();
        ed = f->main->frmProfile;
        QVERIFY(ed && QTest::qWaitForWindowActive(ed));
    }

    void defaultsNoteAllAndReading()
    {
        // The placeholder is cleared as the name box takes the focus at opening.
        QCOMPARE(QApplication::focusWidget(), ed->txtName);
        QCOMPARE(QStringList({ed->windowTitle(), nameAndColour(), ed->txtTime->text(), ed->txtTime2->text(), ed->txtAlarm->text(), ed->lblLimit->text(), choices()}),
                 QStringList({"Create a New Profile", "#000000", "01", "00", Paths::sampleFolder() + "/Sample1.mp3", "200/200", "am 0000000"}));
        // A line break counts two; the 201st character typed is undone.
        ed->txtNote->setPlainText(QString(197, QLatin1Char('x')) + '\n');
        QTest::keyClicks(ed->txtNote, "yz");
        QCOMPARE(ed->lblLimit->text() + ed->noteText().left(3), "0/200yxx");
        // A paste past the limit inserts what fits.
        ed->txtNote->setPlainText(QString(195, QLatin1Char('x')));
        QApplication::clipboard()->setText("ab\ncdef");
        ed->txtNote->moveCursor(QTextCursor::Start);
        ed->txtNote->paste();
        QCOMPARE(ed->lblLimit->text() + ed->noteText().left(6), "0/200ab\r\ncx");
        QTest::mouseClick(ed->chkDays[2], Qt::LeftButton);
        QTest::mouseClick(ed->chkAll, Qt::LeftButton);
        QCOMPARE(choices(), "am All XXXXXXX");
        QTest::mouseClick(ed->chkAll, Qt::LeftButton);
        QCOMPARE(choices(), "am 0000000");
        // Profiles read in turn: "All" and the grey placeholder do not linger; a hand-edited
        // one-digit time reads as 07:05; "AM" in capitals is pm.
        QTest::keyClick(ed->txtName, Qt::Key_Tab);
        QStringList read{nameAndColour()};
        for (const char *days : {"Everyday", "Monday, Sunday, "}) {
            QVERIFY(ed->FillEditorFromProfile({"Walk", "7:5:00", days[0] == 'E' ? "am" : "AM", "/s/w.mp3", days, days[0] == 'E' ? "0" : "1", "n1\r\nn2"}));
            read << choices();
        }
        QCOMPARE(read << nameAndColour() << ed->txtTime->text() + ':' + ed->txtTime2->text() << ed->txtAlarm->text() << ed->noteText() << ed->lblLimit->text(),
                 QStringList({"Name or Description#808080", "am All XXXXXXX", "pm 1000001 rising", "Walk#000000", "07:05", "/s/w.mp3", "n1\r\nn2", "194/200"}));
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
        auto *choice = ed->findChild<QAbstractButton *>(name.section(' ', 0, 0));
        QStyleOptionButton option;
        option.initFrom(choice);
        const bool radio = qobject_cast<QRadioButton *>(choice);
        const QRect box = choice->style()->subElementRect(radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &option, choice);
        ed->optTime[1]->setChecked(name == "optTime_0"); // the radio button is ticked by its partner's untick
        choice->setChecked(false);
        const QImage off = choice->grab(box).toImage();
        choice->setChecked(true);
        if (name.endsWith("locked"))
            ed->chkAll->setChecked(true);
        const QImage on = choice->grab(box).toImage();
        int contrast = 0;
        for (int y = 0; y < on.height(); ++y)
            for (int x = 0; x < on.width(); ++x)
                contrast = qMax(contrast, qAbs(qGray(on.pixel(x, y)) - qGray(off.pixel(x, y))));
        QVERIFY2(contrast >= 128, qPrintable(QString::number(contrast)));
        QCOMPARE(choice->palette().color(QPalette::WindowText), QColor(Qt::white)); // the caption
    }

    // Keys typed into a time box, one key sequence after another; the clipboard holds "4a".
    void timeBoxes_data()
    {
        QTest::addColumn<bool>("hour");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("afterLeaving");
        QTest::newRow("letters, punctuation, blank refused; padded") << false << "3" << "A : - Space" << "3" << "03";
        QTest::newRow("pasted letters refused") << true << "" << "Shift+Ins" << "" << "";
        QTest::newRow("Ctrl+A, Ctrl+X") << true << "12" << "Ctrl+A Ctrl+X" << "" << "";
        QTest::newRow("Ctrl+V pastes digits, twice") << false << "5" << "Ctrl+A Ctrl+X Ctrl+V Ctrl+V" << "55" << "55";
        QTest::newRow("Ctrl+Z undoes") << true << "12" << "Ctrl+A Ctrl+X Ctrl+V Ctrl+Z" << "" << "";
        QTest::newRow("backspace edits; two characters at most") << false << "5" << "Backspace 5 9 3" << "59" << "59";
        QTest::newRow("hour stops at 12") << true << "12" << "Up" << "12" << "12";
        QTest::newRow("minute stops at 0") << false << "00" << "Down" << "0" << "00";
    }
    void timeBoxes()
    {
        QFETCH(bool, hour);
        QFETCH(QString, start);
        QFETCH(QString, keys);
        DigitBox *box = hour ? ed->txtTime : ed->txtTime2;
        box->setText(start);
        QApplication::clipboard()->setText("4a");
        box->setFocus();
        for (const QString &key : keys.split(' '))
            QTest::keySequence(box, QKeySequence(key));
        QTEST(box->text(), "shown");
        QTest::keyClick(box, Qt::Key_Tab);
        QTEST(box->text(), "afterLeaving");
    }

    // The messages of the editor, word for word, and the file of a save.
    void saving_data()
    {
        QTest::addColumn<QString>("entries"); // name|hour|minute|sound|days ticked
        QTest::addColumn<QString>("box");     // title|text|icon
        QTest::addColumn<QString>("focus");   // after a refusal; empty when saved
        QTest::addColumn<QByteArray>("bytes");
        const QString time = "Invalid Time|Please enter a valid time.|3",
                      silent = "Dawnbell|You have not entered a valid path to a music file.\nIf you would like to receive a 'silent' alarm, press OK.|2",
                      exists = "Error|A profile with the name of '%1' already exists.\nPlease choose a different name.|3",
                      unsafe = "Error|The name '%1' cannot be used for a profile.\nPlease choose a different name.|3";
        QTest::newRow("hour 13") << "Walk|13|00|/s/a.mp3|" << time << "txtTime" << QByteArray();
        QTest::newRow("hour not digits") << "Walk|+7|00|/s/a.mp3|" << time << "txtTime" << QByteArray();
        QTest::newRow("minute 60") << "Walk|12|60|/s/a.mp3|" << time << "txtTime2" << QByteArray();
        QTest::newRow("blank sound, Cancel") << "Walk|07|00|  |" << silent << "txtAlarm" << QByteArray();
        QTest::newRow("same name in other case") << "mORNING|07|00|/s/a.mp3|" << exists.arg("mORNING") << "txtName" << QByteArray();
        QTest::newRow("empty name is Default") << "|07|00|/s/a.mp3|" << exists.arg("Default") << "txtName" << QByteArray();
        for (const char *bad : {"a/b", "..", "tab\tin"})
            QTest::newRow(bad) << QString(bad) + "|07|00|/s/a.mp3|" << unsafe.arg(bad) << "txtName" << QByteArray();
        // One-digit times as they stand while the box still has the focus.
        QTest::newRow("blanks kept, padded, silent OK") << "  Run  |7|5||" << silent << "" << QByteArray("  Run  \r\n07:05:00\r\nam\r\n\r\nEveryday\r\n0\r\n\r\n");
        QTest::newRow("12:59, seven days ticked") << "Run|12|59|/s/a.mp3|0123456" << "" << "" << QByteArray("Run\r\n12:59:00\r\nam\r\n/s/a.mp3\r\nEveryday\r\n0\r\n\r\n");
        QTest::newRow("two days") << "Run|1|01|/s/a.mp3|16" << "" << "" << QByteArray("Run\r\n01:01:00\r\nam\r\n/s/a.mp3\r\nTuesday, Sunday, \r\n0\r\n\r\n");
    }
    void saving()
    {
        f->addProfile("Morning");
        f->addProfile("Default");
        QFETCH(QString, entries);
        QFETCH(QString, focus);
        const QStringList in = entries.split('|');
        for (int i = 0; QLineEdit *entry : QList<QLineEdit *>{ed->txtName, ed->txtTime, ed->txtTime2, ed->txtAlarm})
            entry->setText(in[i++]);
        for (QChar day : in[4])
            ed->chkDays[day.digitValue()]->setChecked(true);
        Boxes boxes(focus == "txtAlarm" ? QMessageBox::Cancel : QMessageBox::Ok);
        QTest::mouseClick(ed->cmdSave, Qt::LeftButton);
        QTEST(boxes.seen.join(' '), "box");
        if (focus.isEmpty()) { // saved, listed, and the alarm commands enabled
            QTRY_VERIFY(!f->main->frmProfile);
            QFile file(f->store.folder() + '/' + in[0] + ".wkp");
            QVERIFY(file.open(QIODevice::ReadOnly));
            QTEST(file.readAll(), "bytes");
            QVERIFY(f->index.names() == QStringList({"Morning", "Default", in[0]}) && f->main->lstSaved->rows() == QStringList{in[0]});
            QVERIFY(f->main->isEnabled() && f->main->cmdAlarm->isEnabled() && f->main->mnuAlarmDeactivate->isEnabled());
            return;
        }
        QVERIFY(ed->isVisible() && ed->focusWidget()->objectName() == focus);
        // No day chosen: "All" gets ticked once the days are looked at, before the name's turn.
        QCOMPARE(ed->chkAll->isChecked(), boxes.seen.join(' ').contains("already exists"));
        QCOMPARE(QDir(f->store.folder()).entryList(QDir::Files), QStringList({"Default.wkp", "Morning.wkp"}));
    }
};

QTEST_MAIN(TstFrmProfile)
#include "tst_profileeditor.moc"
