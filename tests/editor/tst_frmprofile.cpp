#include "app/paths.h"
#include "editor/digitbox.h"
#include "editor/frmprofile.h"
#include "testsupport.h"
#include "ui/imagebutton.h"
#include "ui/sortedlist.h"

#include <QClipboard>
#include <QDir>
#include <QToolButton>
#include <QtTest>

using Button = QMessageBox::StandardButton;

// The editor that New Profile opens over an empty store.
class TstFrmProfile : public QObject
{
    Q_OBJECT
    std::unique_ptr<MainFixture> f;
    QPointer<FrmProfile> ed;

    QString ticked() const
    {
        QString ticks;
        for (QCheckBox *day : ed->chkDays)
            ticks += QLatin1Char(day->isChecked() ? '1' : '0');
        return ticks;
    }
    bool daysEnabled(bool enabled) const
    {
        return std::all_of(std::begin(ed->chkDays), std::end(ed->chkDays),
                           [enabled](QCheckBox *day) { return day->isEnabled() == enabled; });
    }
    bool alarmCommandsEnabled() const
    {
        return f->main->cmdAlarm->isEnabled() && f->main->mnuAlarmActivate->isEnabled()
               && f->main->mnuAlarmDeactivate->isEnabled();
    }
    void save() { QTest::mouseClick(ed->cmdSave, Qt::LeftButton); }

private slots:
    void init()
    {
        f = std::make_unique<MainFixture>();
        f->start();
        QVERIFY(!alarmCommandsEnabled());
        f->main->cmdProfile_MouseUp();
        ed = f->main->frmProfile;
        QVERIFY(ed && QTest::qWaitForWindowActive(ed));
    }
    void cleanup() { f.reset(); }

    void defaultsFocusAndPlaceholder()
    {
        QCOMPARE(ed->windowTitle(), "Create a New Profile");
        QVERIFY(!f->main->isEnabled());
        // The placeholder is cleared as the name box takes the focus at opening.
        QCOMPARE(QApplication::focusWidget(), ed->txtName);
        QCOMPARE(ed->txtName->palette().color(QPalette::Text), QColor(Qt::black));
        QCOMPARE(QStringList({ed->txtName->text(), ed->txtTime->text(), ed->txtTime2->text(), ed->txtAlarm->text(),
                              ed->noteText(), ed->lblLimit->text(), ticked()}),
                 QStringList({"", "01", "00", Paths::sampleFolder() + "/Sample1.mp3", "", "200/200", "0000000"}));
        QVERIFY(ed->optTime[0]->isChecked() && !ed->chkVolume->isChecked() && !ed->chkAll->isChecked());
        QVERIFY(daysEnabled(true) && ed->picPlay->isVisible() && !ed->picStop->isVisible());

        // Tab leaves the grey placeholder in the empty name box and goes round
        // the controls in order, back to the name box, which clears it again.
        const QList<QWidget *> order{ed->txtTime,    ed->txtTime2,   ed->optTime[0], ed->txtAlarm,   ed->cmdBrowse,
                                     ed->chkVolume,  ed->chkAll,     ed->chkDays[0], ed->chkDays[1], ed->chkDays[2],
                                     ed->chkDays[3], ed->chkDays[4], ed->chkDays[5], ed->chkDays[6], ed->txtNote,
                                     ed->cmdSave,    ed->cmdCancel,  ed->txtName};
        for (QWidget *next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
            if (next == ed->txtTime) {
                QCOMPARE(ed->txtName->text(), "Name or Description");
                QCOMPARE(ed->txtName->palette().color(QPalette::Text), QColor(128, 128, 128));
            }
        }
        QCOMPARE(ed->txtName->text(), QString());
        QTest::keyClicks(ed->txtName, "Run");
        QTest::keyClick(ed->txtName, Qt::Key_Tab);
        QCOMPARE(ed->txtName->text(), "Run");
        QVERIFY(!ed->nameIsPlaceholder());
    }

    void timeBoxes_data()
    {
        QTest::addColumn<bool>("hour");
        QTest::addColumn<QString>("start");
        // Typed keys; \b Backspace, \v Shift+Insert pasting "4a", ↑↓ arrow keys, ▲▼ the spinner's arrows.
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("afterLeaving");
        QTest::newRow("letter refused") << true << "07" << "a" << "07" << "07";
        QTest::newRow("punctuation and blank refused") << false << "3" << ":- " << "3" << "03";
        QTest::newRow("pasted letters refused") << true << "" << "\v" << "" << "";
        QTest::newRow("backspace edits") << true << "07" << "\b" << "0" << "00";
        QTest::newRow("one digit padded") << true << "" << "7" << "7" << "07";
        QTest::newRow("empty stays empty") << false << "00" << "\b\b" << "" << "";
        QTest::newRow("two characters at most") << false << "5" << "93" << "59" << "59";
        QTest::newRow("range not checked while typing") << true << "" << "13" << "13" << "13";
        QTest::newRow("spinner up from 07") << true << "07" << "▲" << "8" << "08";
        QTest::newRow("spinner down from 10") << true << "10" << "▼" << "9" << "09";
        QTest::newRow("hour stops at 12") << true << "12" << "▲" << "12" << "12";
        QTest::newRow("hour stops at 1") << true << "01" << "▼" << "1" << "01";
        QTest::newRow("minute stops at 59") << false << "59" << "▲" << "59" << "59";
        QTest::newRow("minute stops at 0") << false << "00" << "▼" << "0" << "00";
        QTest::newRow("Up key in the minute") << false << "09" << "↑" << "10" << "10";
        QTest::newRow("Down key in the hour") << true << "03" << "↓" << "2" << "02";
    }
    void timeBoxes()
    {
        QFETCH(bool, hour);
        QFETCH(QString, start);
        QFETCH(QString, keys);
        DigitBox *box = hour ? ed->txtTime : ed->txtTime2;
        DigitBox *other = hour ? ed->txtTime2 : ed->txtTime;
        const bool spin = keys == "▲" || keys == "▼";
        QApplication::clipboard()->setText("4a");
        box->setText(start);
        // A spinner arrow takes the focus from wherever it is (here the other box, which gets padded).
        other->setText("5");
        (spin ? other : box)->setFocus();
        for (QChar c : keys) {
            const QString arrow = c == u'▲' ? "up" : c == u'▼' ? "down" : QString();
            if (!arrow.isEmpty())
                QTest::mouseClick((hour ? ed->UpDown1 : ed->UpDown2)->findChild<QToolButton *>(arrow), Qt::LeftButton);
            else if (c == u'↑' || c == u'↓')
                QTest::keyClick(box, c == u'↑' ? Qt::Key_Up : Qt::Key_Down);
            else if (c == '\b')
                QTest::keyClick(box, Qt::Key_Backspace);
            else if (c == '\v')
                QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
            else
                QTest::keyClick(box, c.toLatin1());
        }
        QCOMPARE(QApplication::focusWidget(), box);
        QTEST(box->text(), "shown");
        QTest::keyClick(box, Qt::Key_Tab);
        QTEST(box->text(), "afterLeaving");
        QCOMPARE(other->text(), spin ? "05" : "5");
    }

    void allTicksAndUnticksEveryDay()
    {
        QTest::mouseClick(ed->chkDays[0], Qt::LeftButton);
        QTest::mouseClick(ed->chkDays[2], Qt::LeftButton);
        QCOMPARE(ticked(), "1010000");
        QTest::mouseClick(ed->chkAll, Qt::LeftButton);
        QCOMPARE(ticked(), "1111111");
        QVERIFY(daysEnabled(false));
        QTest::mouseClick(ed->chkAll, Qt::LeftButton);
        QCOMPARE(ticked(), "0000000");
        QVERIFY(daysEnabled(true));
    }

    void noteCounter_data()
    {
        QTest::addColumn<QString>("preset"); // set by the program
        QTest::addColumn<QString>("typed");  // \n is Return
        QTest::addColumn<QString>("counter");
        QTest::addColumn<QString>("note");
        const QString x199(199, QLatin1Char('x'));
        QTest::newRow("empty") << "" << "" << "200/200" << "";
        QTest::newRow("a, line break, b typed") << "" << "a\nb" << "196/200" << "a\r\nb";
        QTest::newRow("a, line break, b set") << "a\nb" << "" << "196/200" << "a\r\nb";
        QTest::newRow("200 characters") << x199 << "y" << "0/200" << x199 + "y";
        QTest::newRow("201st character refused") << x199 << "yz" << "0/200" << x199 + "y";
        QTest::newRow("line break refused at 199") << x199 << "\n" << "1/200" << x199;
    }
    void noteCounter()
    {
        QFETCH(QString, preset);
        QFETCH(QString, typed);
        ed->txtNote->setPlainText(preset);
        ed->txtNote->setFocus();
        ed->txtNote->moveCursor(QTextCursor::End);
        for (QChar c : typed)
            c == '\n' ? QTest::keyClick(ed->txtNote, Qt::Key_Return) : QTest::keyClick(ed->txtNote, c.toLatin1());
        QTEST(ed->lblLimit->text(), "counter");
        QTEST(ed->noteText(), "note");
    }

    void fillEditorFromProfile_data()
    {
        QTest::addColumn<QString>("period");
        QTest::addColumn<QString>("dayText");
        QTest::addColumn<QString>("rising");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<bool>("pm");
        QTest::addColumn<QString>("ticked");
        QTest::newRow("Everyday") << "am" << "Everyday" << "0" << true << false << "1111111";
        QTest::newRow("Monday and Sunday") << "pm" << "Monday, Sunday, " << "1" << true << true << "1000001";
        QTest::newRow("Wednesday alone") << "am" << "Wednesday, " << "0" << true << false << "0010000";
        QTest::newRow("unknown day first") << "am" << "Funday, Monday, " << "0" << true << false << "0000000";
        QTest::newRow("AM in capitals is pm") << "AM" << "Friday, " << "1" << true << true << "0000100";
        QTest::newRow("days of one character") << "am" << "x" << "0" << false << false << "";
        QTest::newRow("volume not a number") << "am" << "Everyday" << "x" << false << false << "";
    }
    void fillEditorFromProfile()
    {
        QFETCH(QString, period);
        QFETCH(QString, dayText);
        QFETCH(QString, rising);
        // Start from "All" ticked and the grey placeholder showing.
        ed->chkAll->setChecked(true);
        QTest::keyClick(ed->txtName, Qt::Key_Tab);
        QVERIFY(ed->nameIsPlaceholder());

        const bool ok = ed->FillEditorFromProfile({"Walk", "07:05:00", period, "/s/w.mp3", dayText, rising, "n1\r\nn2"});
        QTEST(ok, "ok");
        QCOMPARE(ed->txtName->text(), "Walk"); // set before any failure
        QVERIFY(!ed->nameIsPlaceholder());
        if (!ok)
            return;
        QCOMPARE(QStringList({ed->txtTime->text(), ed->txtTime2->text(), ed->txtAlarm->text(), ed->noteText(),
                              ed->lblLimit->text()}),
                 QStringList({"07", "05", "/s/w.mp3", "n1\r\nn2", "194/200"}));
        QTEST(ed->optTime[1]->isChecked(), "pm");
        QTEST(ticked(), "ticked");
        const bool all = dayText == "Everyday";
        QVERIFY(ed->chkAll->isChecked() == all && daysEnabled(!all));
        QCOMPARE(ed->chkVolume->isChecked(), rising == "1");
    }

    void saveRefused_data()
    {
        QTest::addColumn<QString>("name"); // null: the placeholder stays
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QString>("minute");
        QTest::addColumn<QString>("sound");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<bool>("allTicked"); // no day chosen: "All" gets ticked when the days are looked at
        const QString s = "/s/a.mp3", time = "Please enter a valid time.", other = "\nPlease choose a different name.";
        QTest::newRow("hour 13") << "Walk" << "13" << "00" << s << "Invalid Time" << time << "txtTime" << false;
        QTest::newRow("hour empty") << "Walk" << "" << "00" << s << "Invalid Time" << time << "txtTime" << false;
        QTest::newRow("minute 60") << "Walk" << "12" << "60" << s << "Invalid Time" << time << "txtTime2" << false;
        QTest::newRow("minute empty") << "Walk" << "00" << "" << s << "Invalid Time" << time << "txtTime2" << false;
        QTest::newRow("blank sound, Cancel")
            << "Walk" << "07" << "00" << "  " << "Dawnbell"
            << "You have not entered a valid path to a music file.\nIf you would like to receive a 'silent' alarm, "
               "press OK."
            << "txtAlarm" << false;
        QTest::newRow("same name in other case") << "mORNING" << "07" << "00" << s << "Error"
                                                 << "A profile with the name of 'mORNING' already exists." + other
                                                 << "txtName" << true;
        QTest::newRow("placeholder is Default") << QString() << "07" << "00" << s << "Error"
                                                << "A profile with the name of 'Default' already exists." + other
                                                << "txtName" << true;
        for (const char *bad : {"a/b", "a\\b", "c:d", "e*", "f?", "g\"h", "<i", "j>", "k|l", "..", "...", "tab\tin"}) {
            const QString name = QString::fromLatin1(bad);
            QTest::newRow(qPrintable("unsafe " + name)) << name << "07" << "00" << s << "Error"
                                                        << "The name '" + name + "' cannot be used for a profile." + other
                                                        << "txtName" << false;
        }
    }
    void saveRefused()
    {
        QFETCH(QString, name);
        QFETCH(QString, sound);
        QFETCH(QString, title);
        f->addProfile("Morning");
        f->addProfile("Default");
        if (!name.isNull())
            ed->txtName->setText(name);
        QFETCH(QString, hour);
        QFETCH(QString, minute);
        ed->txtTime->setText(hour);
        ed->txtTime2->setText(minute);
        ed->txtAlarm->setText(sound);

        BoxAnswer answer;
        answer.answerNext(sound.trimmed().isEmpty() ? Button::Cancel : Button::Ok);
        save();
        QVERIFY(answer.seen);
        QCOMPARE(answer.title, title);
        QTEST(answer.text, "text");
        QCOMPARE(answer.icon, title == "Dawnbell" ? QMessageBox::Warning : QMessageBox::Critical);
        QVERIFY(ed->isVisible());
        QTEST(ed->focusWidget()->objectName(), "focus");
        QTEST(ed->chkAll->isChecked(), "allTicked");
        QCOMPARE(QDir(f->store.folder()).entryList(QDir::Files), QStringList({"Default.wkp", "Morning.wkp"}));
        QCOMPARE(f->index.names(), QStringList({"Morning", "Default"}));
        QCOMPARE(f->main->lstSaved->count(), 0);
        QVERIFY(!alarmCommandsEnabled());
    }

    void saveWritesFile_data()
    {
        QTest::addColumn<QString>("name"); // null: the placeholder stays
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QString>("minute");
        QTest::addColumn<bool>("pm");
        QTest::addColumn<QString>("sound");
        QTest::addColumn<QString>("ticked");
        QTest::addColumn<bool>("rising");
        QTest::addColumn<QString>("note");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QByteArray>("bytes");
        // One-digit times as they stand while the box still has the focus.
        QTest::newRow("Default at 7:5 pm, silent")
            << QString() << "7" << "5" << true << "" << "0000000" << false << "" << "Default"
            << QByteArray("Default\r\n07:05:00\r\npm\r\n\r\nEveryday\r\n0\r\n\r\n");
        QTest::newRow("blanks kept, two days, rising, note")
            << "  Run  " << "12" << "59" << false << "/s/run.mp3" << "1000001" << true << "a\nb\n" << "  Run  "
            << QByteArray("  Run  \r\n12:59:00\r\nam\r\n/s/run.mp3\r\nMonday, Sunday, \r\n1\r\na\r\nb\r\n\r\n");
        QTest::newRow("seven days ticked, hour 00")
            << "Week" << "00" << "00" << false << "/s/w.mp3" << "1111111" << false << "" << "Week"
            << QByteArray("Week\r\n00:00:00\r\nam\r\n/s/w.mp3\r\nEveryday\r\n0\r\n\r\n");
    }
    void saveWritesFile()
    {
        QFETCH(QString, name);
        QFETCH(QString, hour);
        QFETCH(QString, minute);
        QFETCH(bool, pm);
        QFETCH(QString, sound);
        QFETCH(QString, ticked);
        QFETCH(bool, rising);
        QFETCH(QString, note);
        QFETCH(QString, saved);
        if (!name.isNull())
            QTest::keyClicks(ed->txtName, name);
        ed->txtTime->setText(hour);
        ed->txtTime2->setText(minute);
        if (pm)
            QTest::mouseClick(ed->optTime[1], Qt::LeftButton);
        ed->txtAlarm->setText(sound);
        for (int d = 0; d < 7; ++d) {
            if (ticked[d] == '1')
                QTest::mouseClick(ed->chkDays[d], Qt::LeftButton);
        }
        ed->chkVolume->setChecked(rising);
        ed->txtNote->setPlainText(note);

        BoxAnswer silent;
        if (sound.isEmpty())
            silent.answerNext(Button::Ok);
        save();
        QCOMPARE(silent.seen, sound.isEmpty());
        QTRY_VERIFY(!f->main->frmProfile);
        QFile file(f->store.folder() + '/' + saved + ".wkp");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QTEST(file.readAll(), "bytes");
        QCOMPARE(f->settings.value("Settings/Counter").toString(), "1");
        QCOMPARE(f->settings.value("Settings/Profile1").toString(), saved);
        QCOMPARE(f->main->lstSaved->rows(), QStringList{saved});
        QVERIFY(alarmCommandsEnabled() && f->main->isEnabled());
    }

    void saveCannotWrite_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::newRow("Profiles is a file") << "Profiles";
        QTest::newRow("the profile's file is a folder") << "Profiles/Walk.wkp";
    }
    void saveCannotWrite()
    {
        QFETCH(QString, obstacle);
        const QString path = f->dir.filePath(obstacle);
        QFile file(path);
        QVERIFY(obstacle.endsWith(".wkp") ? QDir().mkpath(path) : file.open(QIODevice::WriteOnly));
        file.close();
        QTest::keyClicks(ed->txtName, "Walk");
        BoxAnswer answer;
        answer.answerNext(Button::Ok);
        save();
        QVERIFY(answer.seen);
        QCOMPARE(answer.title, "Error");
        QCOMPARE(answer.icon, QMessageBox::Critical);
        const QString head = "The profile 'Walk' could not be saved.\n"; // then the system's reason
        QVERIFY2(answer.text.startsWith(head) && answer.text.size() > head.size() + 3, qPrintable(answer.text));
        QVERIFY(ed->isVisible());
        QCOMPARE(ed->focusWidget(), ed->txtName);
        QVERIFY(!f->settings.contains("Settings/Counter"));
        QCOMPARE(f->main->lstSaved->count(), 0);
        QVERIFY(!alarmCommandsEnabled());

        // The entries are kept: with the obstacle gone the same save goes through.
        QVERIFY(QFile::remove(path) || QDir(path).removeRecursively());
        save();
        QTRY_VERIFY(!f->main->frmProfile);
        QCOMPARE(f->main->lstSaved->rows(), QStringList{"Walk"});
        QVERIFY(QFileInfo(f->store.folder() + "/Walk.wkp").isFile());
    }
};

QTEST_MAIN(TstFrmProfile)
#include "tst_frmprofile.moc"
