#include "testsupport.h"
#include "widgets/sortedlist.h"

#include <QDir>
#include <QLineEdit>
#include <QtTest>

// B has every field filled; its note is longer than typing allows, with a no-break blank
// and a final line break, and must come back exactly.
const QByteArray fileB = "B\r\n09:45:00\r\npm\r\n/snd/b.mp3\r\nMonday, Wednesday, \r\n1\r\n" + QByteArray(230, 'n')
                         + "\xc2\xa0" "caf\xc3\xa9\r\n\r\n";
// Put back as it was, whatever the boxes cannot hold: a name they would cut,
// seconds, a rising value of 2, a repeated day, a lone CR and LF, Latin-1.
const QByteArray oddB = "B, whose name is longer than the box\r\n07:30:15\r\npm\r\n\r\nMonday, Monday, Sunday, \r\n2\r\n"
                        "a\rb\nc\r\n\xe9t\xe9\r\n";
const QStringList abc{"A", "B", "C"}, ac{"A", "C"}, acb{"A", "C", "B"};

QByteArray bytes(const QString &file)
{
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

// A main window over the profiles A, B and C; B modified, deleted or, when
// damaged, refused.
class TstModifyDelete : public QObject
{
    Q_OBJECT
    std::unique_ptr<MainFixture> f;
    QString path(const QString &name) const { return f->store.folder() + '/' + name + ".wkp"; }

private slots:
    void modifyOrDelete_data()
    {
        QTest::addColumn<QString>("steps"); // the command (keys or menu entry) first
        QTest::addColumn<QByteArray>("file"); // B's at first; empty: none
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("indexAfter");
        QTest::addColumn<QByteArray>("saved"); // B's file afterwards, or the one it was renamed to
        const QStringList none, select{"Error|Please select a profile from the list.|3"},
            ask{"Confirmation|Are you sure you want to delete the selected item?|2"},
            refused{"Error|Please select a profile from the list and try again.\n\nIf a selection has been made, "
                    "then deactivate all alarms before trying again.|3"};
        const QString unsaved = "Error|The profile '%1' could not be saved.\n<reason>|3";
        const QByteArray daysX = QByteArray(fileB).replace("Monday, Wednesday, ", "x");
        QTest::newRow("Modify, saved unchanged, Ctrl+M") << "Ctrl+M save" << fileB << none << acb << fileB;
        QTest::newRow("Modify, renamed ' D ', blank sound, context menu") << "mnuHiddenModify rename save" << fileB << none
            << QStringList{"A", "C", " D "} << " D " + QByteArray(fileB).replace("/snd/b.mp3", "").mid(1);
        QTest::newRow("Modify, close box after edits") << "mnuProfilesModify close" << oddB << none << acb << oddB;
        QTest::newRow("Modify, Cancel after edits") << "mnuProfilesModify cancel" << oddB << none << acb << oddB;
        // A folder stands where the file goes; once it is gone, Cancel puts B back.
        QTest::newRow("Modify, save as ' D ' fails") << "mnuProfilesModify rename blocked save" << fileB << QStringList{unsaved.arg(" D ")} << acb << fileB;
        QTest::newRow("Modify, put-back fails") << "mnuProfilesModify blocked cancel" << oddB << QStringList{unsaved.arg("B")} << acb << oddB;
        QTest::newRow("Modify, pending folder cannot be made") << "mnuProfilesModify no-pending" << fileB << select << abc << fileB;
        QTest::newRow("Modify, no selection") << "mnuHiddenModify unselected" << fileB << select << abc << fileB;
        QTest::newRow("Modify, days of one character") << "mnuProfilesModify" << daysX << select << abc << daysX;
        QTest::newRow("Delete, Yes, Ctrl+E") << "Ctrl+E" << fileB << ask << ac << QByteArray();
        QTest::newRow("Delete, No, context menu") << "mnuHiddenDelete No" << fileB << ask << abc << fileB;
        QTest::newRow("Delete, no selection") << "mnuProfilesDelete unselected" << fileB << refused << abc << fileB;
        QTest::newRow("Delete, file removed outside") << "mnuProfilesDelete" << QByteArray() << ask << ac << QByteArray();
        QTest::newRow("Delete, read-only") << "mnuProfilesDelete read-only" << fileB << ask + refused << abc << fileB;
    }
    void modifyOrDelete()
    {
        QFETCH(QString, steps);
        QFETCH(QByteArray, file);
        QFETCH(QStringList, indexAfter);
        f = std::make_unique<MainFixture>();
        for (const QString &name : abc)
            f->addProfile(name);
        QFile b(path("B"));
        QVERIFY(file.isEmpty() ? b.remove() : b.open(QFile::WriteOnly) && b.write(file) == file.size() && b.flush());
        QVERIFY(!steps.contains("read-only") || b.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        MainWindow *main = f->start();
        QVERIFY(QTest::qWaitForWindowActive(main));
        auto *saved = f->part<SortedList>("lstSaved");
        if (!steps.contains("unselected"))
            QTest::mouseClick(saved->viewport(), Qt::LeftButton, {}, saved->visualItemRect(saved->item(saved->rowOf("B"))).center());
        QFile noPending(f->store.pendingFolder()); // a file where the folder goes
        QVERIFY(!steps.contains("no-pending") || (noPending.open(QFile::WriteOnly) && noPending.flush()));
        // Every message box is answered (Yes, or No when the steps say so, else OK).
        Boxes boxes(steps.contains("No") ? QMessageBox::No : QMessageBox::Yes);
        const QString via = steps.section(' ', 0, 0);
        via.startsWith("Ctrl+") ? QTest::keySequence(main, QKeySequence(via)) : main->findChild<QAction *>(via)->trigger();
        QPointer<QWidget> ed;
        for (QWidget *top : QApplication::topLevelWidgets())
            ed = top->objectName() == "frmProfile" && top->isVisible() ? top : ed.data();
        const auto part = [&](const char *name) { return ed->findChild<QWidget *>(name); };
        const auto type = [&](const char *box, const QString &keys) {
            QTest::keySequence(part(box), QKeySequence::SelectAll);
            QTest::keyClick(part(box), Qt::Key_Delete);
            QTest::keyClicks(part(box), keys);
        };
        // While the editor holds B, its file is only in the recovery folder.
        const auto holdsB = [&] {
            return ed->isVisible() && ed->windowTitle() == "Modify a Profile" && !main->isEnabled()
                   && !QFileInfo(path("B")).isFile() && bytes(f->store.pendingFolder() + "/B.wkp") == file
                   && f->index.names() == ac && saved->rows() == ac;
        };
        if (steps.contains(QRegularExpression("save|cancel|close"))) {
            QVERIFY(ed && QTest::qWaitForWindowActive(ed) && holdsB() && qobject_cast<QLineEdit *>(part("txtName"))->text() == file.left(22).split('\r')[0]);
            if (steps.contains("rename")) { // and a blank sound, which asks nothing under Modify
                type("txtName", " D ");
                type("txtAlarm", "");
            } else if (!steps.contains("save")) { // every field edited, down to the grey placeholder in the name box
                for (const auto &[box, keys] : {std::pair{"txtTime", "11"}, {"txtAlarm", "/x.mp3"}, {"txtNote", "changed"}, {"txtName", ""}})
                    type(box, keys);
                QTest::mouseClick(part("chkDays_1"), Qt::LeftButton);
                QTest::keyClick(part("txtName"), Qt::Key_Tab);
                QCOMPARE(qobject_cast<QLineEdit *>(part("txtName"))->text(), "Name or Description");
            }
            const QString blocker = path(steps.contains("rename") ? " D " : "B");
            QVERIFY(!steps.contains("blocked") || QDir().mkpath(blocker));
            steps.contains("close") ? void(ed->windowHandle()->close())
                                    : QTest::mouseClick(part(steps.contains("save") ? "cmdSave" : "cmdCancel"), Qt::LeftButton);
            if (steps.contains("blocked")) {
                QTRY_VERIFY(ed->focusWidget() == part("txtName") && QDir(blocker).removeRecursively());
                QVERIFY(holdsB());
                QTest::mouseClick(part("cmdCancel"), Qt::LeftButton);
            }
        }
        QTRY_VERIFY(!ed && !QFileInfo::exists(f->store.pendingFolder() + "/B.wkp") && main->isEnabled());
        // The system's reason after a failed save stands as <reason>.
        QTEST(boxes.seen.replaceInStrings(QRegularExpression("(?s)(saved\\.\n).+\\|"), "\\1<reason>|"), "boxes");
        QCOMPARE(f->index.names(), indexAfter);
        noPending.remove();
        QTEST(bytes(path(indexAfter.contains(" D ") ? " D " : "B")), "saved");
        QCOMPARE(QDir(f->store.folder()).entryList(QDir::Files | QDir::Hidden | QDir::AllDirs | QDir::NoDotAndDotDot).size(), indexAfter.size());
        QCOMPARE(saved->rows(), (indexAfter.sort(), indexAfter));
    }
};

QTEST_MAIN(TstModifyDelete)
#include "tst_modifydelete.moc"
