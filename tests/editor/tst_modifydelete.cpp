#include "editor/frmprofile.h"
#include "testsupport.h"
#include "ui/imagebutton.h"
#include "ui/sortedlist.h"

#include <QDir>
#include <QtTest>

// Answers every message box (`answer` to a question, else OK) and records it as
// "title|text|icon", with the system's reason after a failed save as <reason>.
struct Boxes : QTimer
{
    QStringList seen;
    explicit Boxes(QMessageBox::StandardButton answer)
    {
        callOnTimeout([this, answer] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                const QRegularExpression reason("(?s)(could not be saved\\.\n).+");
                seen.append(box->windowTitle() + '|' + box->text().replace(reason, "\\1<reason>") + '|'
                            + QString::number(box->icon()));
                (box->button(answer) ? box->button(answer) : box->button(QMessageBox::Ok))->click();
            }
        });
        start(10);
    }
};

// B has every field filled; its note is longer than typing allows, with a no-break blank
// and a final line break, and must come back exactly.
const QByteArray fileB = "B\r\n09:45:00\r\npm\r\n/snd/b.mp3\r\nMonday, Wednesday, \r\n1\r\n" + QByteArray(230, 'n')
                         + "\xc2\xa0" "caf\xc3\xa9\r\n\r\n";
// Whatever a file holds goes back as it was: a name the box would cut, seconds, a
// rising value of 2, a repeated day, a lone CR and LF, Latin-1.
const QByteArray oddB = "B, whose name is longer than the box\r\n07:30:15\r\npm\r\n\r\nMonday, Monday, Sunday, \r\n2\r\n"
                        "a\rb\nc\r\n\xe9t\xe9\r\n";
const QStringList abc{"A", "B", "C"}, ac{"A", "C"}, acb{"A", "C", "B"};

QByteArray bytes(const QString &file)
{
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

// A main window over the profiles A, B and C.
class TstModifyDelete : public QObject
{
    Q_OBJECT
    std::unique_ptr<MainFixture> f;

    QString path(const QString &name) const { return f->store.folder() + '/' + name + ".wkp"; }
    QString pending() const { return f->store.pendingFolder() + "/B.wkp"; }
    // Readies B (its file's bytes, none when empty), then gives the command that the
    // first step names by its keys or its menu item.
    void run(const QString &steps, const QByteArray &file)
    {
        QFile b(path("B"));
        QVERIFY(file.isEmpty() ? b.remove() : b.open(QFile::WriteOnly) && b.write(file) == file.size() && b.flush());
        if (steps.contains("read-only"))
            QVERIFY(b.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        if (!steps.contains("unselected"))
            f->main->lstSaved->setCurrentRow(f->main->lstSaved->rowOf("B"));
        const QString via = steps.section(' ', 0, 0);
        via.startsWith("Ctrl+") ? QTest::keySequence(f->main.get(), QKeySequence(via))
                                : f->main->findChild<QAction *>(via)->trigger();
    }
    // While the editor holds B, its file is only in the recovery folder.
    bool holdsB(const QByteArray &file) const
    {
        return f->main->frmProfile->isVisible() && f->main->frmProfile->windowTitle() == "Modify a Profile"
               && f->main->modify.active() && !f->main->isEnabled() && !QFileInfo(path("B")).isFile()
               && bytes(pending()) == file && f->index.names() == ac && f->main->lstSaved->rows() == ac;
    }

private slots:
    void init()
    {
        f = std::make_unique<MainFixture>();
        for (const QString &name : abc)
            f->addProfile(name);
        f->start();
        QVERIFY(QTest::qWaitForWindowActive(f->main.get()));
    }

    void modifyOrDelete_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QByteArray>("file"); // B's at first; empty: none
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("indexAfter");
        QTest::addColumn<QByteArray>("saved"); // B's file afterwards, or the one it was renamed to
        const QByteArray gone;
        const QStringList none, select{"Error|Please select a profile from the list.|3"},
            ask{"Confirmation|Are you sure you want to delete the selected item?|2"},
            refused{"Error|Please select a profile from the list and try again.\n\nIf a selection has been made, "
                    "then deactivate all alarms before trying again.|3"};
        const QString unsaved = "Error|The profile '%1' could not be saved.\n<reason>|3";
        const QByteArray daysX = QByteArray(fileB).replace("Monday, Wednesday, ", "x"),
                         volumeX = QByteArray(fileB).replace("\r\n1\r\n", "\r\nx\r\n");
        QTest::newRow("Modify, saved unchanged, Ctrl+M") << "Ctrl+M save" << fileB << none << acb << fileB;
        QTest::newRow("Modify, renamed ' D ', blank sound, context menu")
            << "mnuHiddenModify rename save" << fileB << none << QStringList{"A", "C", " D "}
            << " D " + QByteArray(fileB).replace("/snd/b.mp3", "").mid(1);
        QTest::newRow("Modify, close box after edits") << "mnuProfilesModify close" << oddB << none << acb << oddB;
        QTest::newRow("Modify, Cancel after edits") << "mnuProfilesModify cancel" << oddB << none << acb << oddB;
        // A folder stands where the file goes.
        QTest::newRow("Modify, saving as ' D ' fails, Cancel")
            << "mnuProfilesModify rename blocked save" << fileB << QStringList{unsaved.arg(" D ")} << acb << fileB;
        QTest::newRow("Modify, putting B back fails, Cancel again")
            << "mnuProfilesModify blocked cancel" << fileB << QStringList{unsaved.arg("B")} << acb << fileB;
        QTest::newRow("Modify, no selection") << "mnuHiddenModify unselected" << fileB << select << abc << fileB;
        QTest::newRow("Modify, days of one character") << "mnuProfilesModify" << daysX << select << abc << daysX;
        QTest::newRow("Modify, volume not a number") << "Ctrl+M" << volumeX << select << abc << volumeX;
        QTest::newRow("Delete, Yes, Ctrl+E") << "Ctrl+E" << fileB << ask << ac << gone;
        QTest::newRow("Delete, No, context menu") << "mnuHiddenDelete No" << fileB << ask << abc << fileB;
        QTest::newRow("Delete, no selection") << "mnuProfilesDelete unselected" << fileB << refused << abc << fileB;
        QTest::newRow("Delete, file removed outside") << "mnuProfilesDelete" << gone << ask << ac << gone;
        QTest::newRow("Delete, read-only") << "mnuProfilesDelete read-only" << fileB << ask + refused << abc << fileB;
    }
    void modifyOrDelete()
    {
        QFETCH(QString, steps);
        QFETCH(QByteArray, file);
        QFETCH(QStringList, indexAfter);
        Boxes boxes(steps.contains("No") ? QMessageBox::No : QMessageBox::Yes);
        run(steps, file);
        const QPointer<FrmProfile> ed = f->main->frmProfile;
        if (steps.contains(QRegularExpression("save|cancel|close"))) {
            QVERIFY(ed && QTest::qWaitForWindowActive(ed) && holdsB(file) && ed->txtName->text() == file.left(22).split('\r')[0]);
            if (steps.contains("rename")) { // and a blank sound, which asks nothing under Modify
                ed->txtName->setText(" D ");
                ed->txtAlarm->clear();
            }
            if (!steps.contains("save")) { // every field edited, down to the grey placeholder in the name box
                ed->FillEditorFromProfile({"", "11:00:00", "am", "/x.mp3", "Tuesday, ", "0", "changed"});
                QTest::keyClick(ed->txtName, Qt::Key_Tab);
                QVERIFY(ed->nameIsPlaceholder());
            }
            QVERIFY(!steps.contains("blocked") || QDir().mkpath(path(steps.contains("rename") ? " D " : "B")));
            steps.contains("close") ? void(ed->windowHandle()->close())
                : QTest::mouseClick(steps.contains("save") ? ed->cmdSave : ed->cmdCancel, Qt::LeftButton);
            if (steps.contains("blocked")) { // the editor keeps B; once the way is clear, Cancel puts it back
                QTRY_VERIFY(holdsB(file) && ed->focusWidget() == ed->txtName && QDir(path("B")).removeRecursively());
                QTest::mouseClick(ed->cmdCancel, Qt::LeftButton);
            }
        }
        QTRY_VERIFY(!f->main->frmProfile && !f->main->modify.active() && f->main->isEnabled() && !QFile::exists(pending()));
        QTEST(boxes.seen, "boxes");
        QCOMPARE(f->index.names(), indexAfter);
        QTEST(bytes(path(indexAfter.contains(" D ") ? " D " : "B")), "saved");
        QCOMPARE(QDir(f->store.folder()).entryList(QDir::Files).size(), indexAfter.size());
        indexAfter.sort();
        QCOMPARE(f->main->lstSaved->rows(), indexAfter);
    }
};

QTEST_MAIN(TstModifyDelete)
#include "tst_modifydelete.moc"
