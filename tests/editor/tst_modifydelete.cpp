#include "editor/digitbox.h"
#include "editor/frmprofile.h"
#include "testsupport.h"
#include "ui/imagebutton.h"
#include "ui/sortedlist.h"

#include <QDir>
#include <QtTest>

using Button = QMessageBox::StandardButton;

// Answers the message boxes as they come, in turn, recording "title|text|icon".
// A box beyond the given answers is dismissed and recorded, so it fails the
// comparison instead of hanging the test.
class Boxes : public QObject
{
public:
    QStringList seen;
    explicit Boxes(const QList<Button> &answers = {}) : m_answers(answers)
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || box == m_last)
                return;
            m_last = box;
            seen.append(box->windowTitle() + '|' + box->text() + '|' + QString::number(box->icon()));
            QAbstractButton *button = m_answers.isEmpty() ? nullptr : box->button(m_answers.takeFirst());
            button ? button->click() : box->reject();
        });
        m_timer.start(10);
    }

private:
    QList<Button> m_answers;
    QPointer<QMessageBox> m_last;
    QTimer m_timer;
};

const QString selectError = "Error|Please select a profile from the list.|3";
const QString deleteError = "Error|Please select a profile from the list and try again.\n\nIf a selection has been made, "
                            "then deactivate all alarms before trying again.|3";
const QString deleteQuestion = "Confirmation|Are you sure you want to delete the selected item?|2";
const QByteArray fileB = "B\r\n09:45:00\r\npm\r\n/snd/b.mp3\r\nMonday, Wednesday, \r\n1\r\none\r\ntwo\r\n";
const QStringList abc{"A", "B", "C"}, ac{"A", "C"}, acb{"A", "C", "B"};

// A main window over the profiles A, B and C; B has every field filled.
class TstModifyDelete : public QObject
{
    Q_OBJECT
    std::unique_ptr<MainFixture> f;

    QString path(const QString &name) const { return f->store.folder() + '/' + name + ".wkp"; }
    QString pending() const { return f->store.pendingFolder() + "/B.wkp"; }
    static QByteArray bytes(const QString &file)
    {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }
    // The index names, provided "Counter" agrees with them.
    QStringList index() const
    {
        const QStringList names = f->index.names();
        return f->settings.value("Settings/Counter").toString() == QString::number(names.size())
                   ? names
                   : QStringList{"Counter disagrees"};
    }
    void run(const QString &via, QAction *menu, QAction *context, Qt::Key key)
    {
        if (via == "keys")
            QTest::keyClick(f->main.get(), key, Qt::ControlModifier);
        else
            (via == "menu" ? menu : context)->trigger();
    }
    // Modify of B, and the state while the editor holds it.
    void modifyB(FrmProfile *&ed, const QByteArray &original = fileB, const QString &via = "menu")
    {
        f->main->lstSaved->setCurrentRow(f->main->lstSaved->rowOf("B"));
        run(via, f->main->mnuProfilesModify, f->main->mnuHiddenModify, Qt::Key_M);
        ed = f->main->frmProfile;
        QVERIFY(ed && QTest::qWaitForWindowActive(ed));
        QCOMPARE(ed->windowTitle(), "Modify a Profile");
        QVERIFY(f->main->modifyFlag && !f->main->isEnabled());
        QVERIFY(!QFile::exists(path("B")));
        QCOMPARE(bytes(pending()), original);
        QCOMPARE(index(), ac);
        QCOMPARE(f->main->lstSaved->rows(), ac);
        QCOMPARE(ed->txtName->text() + ed->txtTime->text() + ed->txtTime2->text(), "B0945");
        QVERIFY(!ed->nameIsPlaceholder() && ed->optTime[1]->isChecked());
    }
    // Saved or put back: the editor gone and nothing left pending.
    bool settled() const
    {
        return !f->main->frmProfile && !f->main->modifyFlag && f->main->isEnabled() && !QFile::exists(pending());
    }

private slots:
    void init()
    {
        f = std::make_unique<MainFixture>();
        for (const QString &name : abc)
            f->addProfile(name);
        QFile b(path("B"));
        QVERIFY(b.open(QIODevice::WriteOnly | QIODevice::Truncate) && b.write(fileB) == fileB.size());
        b.close();
        f->start();
        QVERIFY(QTest::qWaitForWindowActive(f->main.get()));
    }
    void cleanup() { f.reset(); }

    void modifyThenSaveOrPutBack_data()
    {
        QTest::addColumn<QString>("via");
        QTest::addColumn<QString>("prepare");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("end"); // Save, Cancel or the close box
        QTest::addColumn<QStringList>("indexAfter");
        QTest::addColumn<QByteArray>("saved"); // the last profile's file afterwards
        const QByteArray noSound = "B\r\n09:45:00\r\npm\r\n\r\nMonday, Wednesday, \r\n1\r\none\r\ntwo\r\n";
        QTest::newRow("saved unchanged, Ctrl+M") << "keys" << "" << "" << "save" << acb << fileB;
        QTest::newRow("renamed ' D ', context menu")
            << "context" << "" << "rename" << "save" << QStringList{"A", "C", " D "} << " D " + fileB.mid(1);
        QTest::newRow("blank sound, no question") << "menu" << "" << "blank sound" << "save" << acb << noSound;
        QTest::newRow("read-only file") << "menu" << "read-only" << "" << "save" << acb << fileB;
        QTest::newRow("Counter missing") << "menu" << "no counter" << "" << "save" << acb << fileB;
        QTest::newRow("Cancel after edits") << "menu" << "" << "edits" << "cancel" << acb << fileB;
        QTest::newRow("close box after edits") << "menu" << "" << "edits" << "close box" << acb << fileB;
        QTest::newRow("Cancel, placeholder showing") << "menu" << "" << "placeholder" << "cancel" << acb << fileB;
        QTest::newRow("close box, placeholder showing") << "menu" << "" << "placeholder" << "close box" << acb << fileB;
        // Longer than typing allows, a no-break blank, a final line break.
        const QByteArray odd = fileB.left(fileB.indexOf("one")) + QByteArray(230, 'n') + "\xc2\xa0" "caf\xc3\xa9\r\n\r\n";
        QTest::newRow("odd note put back") << "menu" << "odd note" << "edits" << "cancel" << acb << odd;
    }
    void modifyThenSaveOrPutBack()
    {
        QFETCH(QString, prepare);
        QFETCH(QString, edit);
        QFETCH(QString, end);
        QFETCH(QStringList, indexAfter);
        QFETCH(QByteArray, saved);
        if (prepare == "read-only")
            QVERIFY(QFile::setPermissions(path("B"), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        if (prepare == "no counter")
            f->settings.remove("Settings/Counter");
        const QByteArray original = prepare == "odd note" ? saved : fileB;
        if (original != fileB) {
            QFile b(path("B"));
            QVERIFY(b.open(QIODevice::WriteOnly | QIODevice::Truncate) && b.write(original) == original.size());
        }
        FrmProfile *ed = nullptr;
        QFETCH(QString, via);
        modifyB(ed, original, via);
        if (QTest::currentTestFailed())
            return;
        if (edit == "rename" || edit == "placeholder") {
            ed->txtName->selectAll();
            QTest::keyClicks(ed->txtName, edit == "rename" ? " D " : "\b");
            QTest::keyClick(ed->txtName, Qt::Key_Tab);
            QCOMPARE(ed->nameIsPlaceholder(), edit == "placeholder");
        } else if (edit == "blank sound") {
            ed->txtAlarm->clear();
        } else if (edit == "edits") {
            ed->txtName->setText("Other");
            ed->txtTime->setText("11");
            ed->txtTime2->clear();
            QTest::mouseClick(ed->chkDays[0], Qt::LeftButton);
            QTest::mouseClick(ed->optTime[0], Qt::LeftButton);
            ed->txtNote->setPlainText("changed");
        }
        Boxes boxes;
        if (end == "close box")
            ed->windowHandle()->close();
        else
            QTest::mouseClick(end == "save" ? ed->cmdSave : ed->cmdCancel, Qt::LeftButton);
        QTRY_VERIFY(settled());
        QCOMPARE(boxes.seen, QStringList());
        QCOMPARE(index(), indexAfter);
        QStringList rows = indexAfter;
        rows.sort();
        QCOMPARE(f->main->lstSaved->rows(), rows);
        QCOMPARE(bytes(path(indexAfter.last())), saved);
        QCOMPARE(QDir(f->store.folder()).entryList(QDir::Files).size(), 3);
    }

    void killedWhileModifyingIsRecoveredAtStart()
    {
        FrmProfile *ed = nullptr;
        modifyB(ed);
        if (QTest::currentTestFailed())
            return;
        f->main.reset(); // gone without closing its windows, as when killed
        f->start();
        QCOMPARE(f->main->lstSaved->rows(), abc);
        QCOMPARE(bytes(path("B")), fileB);
        QCOMPARE(index(), acb);
        QVERIFY(!QFileInfo::exists(f->store.pendingFolder()));
    }

    void refusedSaveKeepsProfileInEditor_data()
    {
        QTest::addColumn<QString>("rename"); // empty: Cancel, whose put-back fails
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<QString>("message");
        QTest::newRow("unsafe name") << "x/y" << "D"
                                     << "Error|The name 'x/y' cannot be used for a profile.\nPlease choose a different name.";
        QTest::newRow("a folder where D goes") << "D" << "D" << "Error|The profile 'D' could not be saved.\n";
        QTest::newRow("a folder where B goes back") << "" << "B" << "Error|The profile 'B' could not be saved.\n";
    }
    void refusedSaveKeepsProfileInEditor()
    {
        QFETCH(QString, rename);
        QFETCH(QString, obstacle);
        QFETCH(QString, message);
        FrmProfile *ed = nullptr;
        modifyB(ed);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(QDir().mkpath(path(obstacle)));
        Boxes boxes({Button::Ok, Button::Ok});
        if (!rename.isEmpty()) {
            ed->txtName->selectAll();
            QTest::keyClicks(ed->txtName, rename);
        }
        QTest::mouseClick(rename.isEmpty() ? ed->cmdCancel : ed->cmdSave, Qt::LeftButton);
        QTRY_COMPARE(boxes.seen.size(), 1);
        QVERIFY2(boxes.seen[0].startsWith(message) && boxes.seen[0].endsWith("|3"), qPrintable(boxes.seen[0]));
        QVERIFY(ed->isVisible() && f->main->modifyFlag && !f->main->isEnabled());
        QCOMPARE(ed->focusWidget(), ed->txtName);
        QCOMPARE(bytes(pending()), fileB);
        QCOMPARE(index(), ac);
        QCOMPARE(f->main->lstSaved->rows(), ac);

        if (!rename.isEmpty()) { // Cancel still puts B back
            QCOMPARE(ed->txtName->text(), rename);
            QTest::mouseClick(ed->cmdCancel, Qt::LeftButton);
            QTRY_VERIFY(settled());
        } else { // Exit ends all the same; the next start puts B back
            f->main->cmdExit_MouseUp();
            QTRY_VERIFY(!f->main->frmProfile);
            QCOMPARE(boxes.seen.size(), 2);
            f->main.reset();
            QVERIFY(QDir(path("B")).removeRecursively());
            f->start();
        }
        QCOMPARE(bytes(path("B")), fileB);
        QCOMPARE(f->main->lstSaved->rows(), abc);
    }

    void modifyFails_data()
    {
        QTest::addColumn<QString>("via");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QByteArray>("file"); // empty: no file
        QTest::newRow("no selection, main menu") << "menu" << false << fileB;
        QTest::newRow("no selection, context menu") << "context" << false << fileB;
        QTest::newRow("file missing") << "menu" << true << QByteArray();
        QTest::newRow("five lines") << "menu" << true << QByteArray("B\r\n09:45:00\r\npm\r\n\r\nEveryday\r\n");
        QTest::newRow("days of one character") << "menu" << true << QByteArray("B\r\n09:45:00\r\npm\r\n\r\nx\r\n0\r\n\r\n");
        QTest::newRow("volume not a number") << "keys" << true << QByteArray("B\r\n09:45:00\r\npm\r\n\r\nEveryday\r\nx\r\n");
    }
    void modifyFails()
    {
        QFETCH(QString, via);
        QFETCH(QByteArray, file);
        QFile b(path("B"));
        QVERIFY(file.isEmpty() ? b.remove() : b.open(QIODevice::WriteOnly | QIODevice::Truncate) && b.write(file) > 0);
        b.close();
        QFETCH(bool, selected);
        if (selected)
            f->main->lstSaved->setCurrentRow(f->main->lstSaved->rowOf("B"));
        Boxes boxes({Button::Ok});
        run(via, f->main->mnuProfilesModify, f->main->mnuHiddenModify, Qt::Key_M);
        QTRY_COMPARE(boxes.seen, QStringList{selectError});
        QTRY_VERIFY(!f->main->frmProfile); // closed, not left hidden
        QVERIFY(f->main->isEnabled() && !f->main->modifyFlag);
        QCOMPARE(bytes(path("B")), file);
        QVERIFY(!QFile::exists(pending()));
        QCOMPARE(index(), abc);
        QCOMPARE(f->main->lstSaved->rows(), abc);

        f->main->cmdProfile_MouseUp(); // the next New Profile starts from the defaults
        QVERIFY(f->main->frmProfile);
        QCOMPARE(f->main->frmProfile->windowTitle(), "Create a New Profile");
        QCOMPARE(f->main->frmProfile->txtTime->text() + f->main->frmProfile->txtTime2->text(), "0100");
    }

    void deleteProfile_data()
    {
        QTest::addColumn<QString>("via");
        QTest::addColumn<QString>("prepare");
        QTest::addColumn<Button>("answer");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("indexAfter");
        QTest::newRow("Yes, Ctrl+E") << "keys" << "" << Button::Yes << QStringList{deleteQuestion} << ac;
        QTest::newRow("No, context menu") << "context" << "" << Button::No << QStringList{deleteQuestion} << abc;
        QTest::newRow("no selection") << "menu" << "unselected" << Button::Yes << QStringList{deleteError} << abc;
        QTest::newRow("file removed outside") << "menu" << "removed" << Button::Yes << QStringList{deleteQuestion} << ac;
        QTest::newRow("read-only file") << "menu" << "read-only" << Button::Yes
                                        << QStringList{deleteQuestion, deleteError} << abc;
        QTest::newRow("Counter missing") << "menu" << "no counter" << Button::Yes << QStringList{deleteQuestion} << ac;
    }
    void deleteProfile()
    {
        QFETCH(QString, via);
        QFETCH(QString, prepare);
        QFETCH(Button, answer);
        QFETCH(QStringList, indexAfter);
        if (prepare != "unselected")
            f->main->lstSaved->setCurrentRow(f->main->lstSaved->rowOf("B"));
        if (prepare == "removed")
            QVERIFY(QFile::remove(path("B")));
        if (prepare == "read-only")
            QVERIFY(QFile::setPermissions(path("B"), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        if (prepare == "no counter")
            f->settings.remove("Settings/Counter");
        Boxes boxes({answer, Button::Ok});
        run(via, f->main->mnuProfilesDelete, f->main->mnuHiddenDelete, Qt::Key_E);
        QTRY_VERIFY(!boxes.seen.isEmpty());
        QTEST(boxes.seen, "boxes");
        QCOMPARE(index(), indexAfter);
        QCOMPARE(f->main->lstSaved->rows(), indexAfter);
        QCOMPARE(QFile::exists(path("B")), indexAfter.contains("B") && prepare != "removed");
        QVERIFY(QFile::exists(path("A")) && QFile::exists(path("C")));
        QVERIFY(indexAfter == abc || !f->main->lstSaved->hasSelection());
    }
};

QTEST_MAIN(TstModifyDelete)
#include "tst_modifydelete.moc"
