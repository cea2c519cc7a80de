#include "profiles/daylist.h"
#include "profiles/profileindex.h"
#include "profiles/profilestore.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TstProfileStore : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString folder() const { return m_dir.filePath(QStringLiteral("Profiles")); }
    QByteArray fileBytes(const QString &name) const
    {
        QFile f(folder() + QLatin1Char('/') + name + QStringLiteral(".wkp"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void init() { QDir(folder()).removeRecursively(); }

    void writesExactBytes_data()
    {
        QTest::addColumn<ProfileRecord>("profile");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("default evening profile")
            << ProfileRecord{"Default", "07:05:00", "pm", "", "Everyday", "0", ""}
            << QByteArray("Default\r\n07:05:00\r\npm\r\n\r\nEveryday\r\n0\r\n\r\n");
        QTest::newRow("two-line note")
            << ProfileRecord{"Gym", "06:15:00", "am", "/s/a.mp3", "Monday, Sunday, ", "1", "a\r\nb"}
            << QByteArray("Gym\r\n06:15:00\r\nam\r\n/s/a.mp3\r\nMonday, Sunday, \r\n1\r\na\r\nb\r\n");
        QTest::newRow("note ending in a line break")
            << ProfileRecord{"N", "12:00:00", "am", "", "Everyday", "0", "a\r\n"}
            << QByteArray("N\r\n12:00:00\r\nam\r\n\r\nEveryday\r\n0\r\na\r\n\r\n");
        QTest::newRow("blanks around the name")
            << ProfileRecord{" run ", "01:00:00", "am", "", "Everyday", "0", ""}
            << QByteArray(" run \r\n01:00:00\r\nam\r\n\r\nEveryday\r\n0\r\n\r\n");
    }
    void writesExactBytes()
    {
        QFETCH(ProfileRecord, profile);
        QFETCH(QByteArray, bytes);
        ProfileStore store(folder());
        QVERIFY(store.write(profile));
        QCOMPARE(fileBytes(profile.name), bytes);
        QCOMPARE(*store.read(profile.name), profile);
    }

    void readsLfFilesAndRefusesShortOnes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<QString>("note");
        QTest::newRow("LF only") << QByteArray("A\n07:00:00\nam\n\nEveryday\n1\nx\ny\n") << true << "x\r\ny";
        QTest::newRow("ends after line 6") << QByteArray("A\r\n07:00:00\r\nam\r\n\r\nEveryday\r\n0\r\n") << true << "";
        QTest::newRow("no final line break") << QByteArray("A\r\n07:00:00\r\nam\r\n\r\nEveryday\r\n0\r\nz") << true << "z";
        QTest::newRow("five lines") << QByteArray("A\r\n07:00:00\r\nam\r\n\r\nEveryday\r\n") << false << "";
        QTest::newRow("empty file") << QByteArray() << false << "";
        QTest::newRow("latin-1 note") << QByteArray("A\r\n07:00:00\r\nam\r\n\r\nEveryday\r\n0\r\ncaf\xe9\r\n") << true
                                      << QString::fromUtf8("caf\u00e9");
    }
    void readsLfFilesAndRefusesShortOnes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, readable);
        QFETCH(QString, note);
        QDir().mkpath(folder());
        QFile f(folder() + QStringLiteral("/A.wkp"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        QString error;
        const auto profile = ProfileStore(folder()).read(QStringLiteral("A"), &error);
        QCOMPARE(profile.has_value(), readable);
        QCOMPARE(error.isEmpty(), readable);
        if (profile)
            QCOMPARE(profile->note, note);
    }

    void namesIgnoreCase()
    {
        ProfileStore store(folder());
        QVERIFY(store.write({"Morning", "07:00:00", "am", "", "Everyday", "0", ""}));
        QVERIFY(store.exists(QStringLiteral("morning")));
        QVERIFY(store.write({"MORNING", "08:00:00", "am", "", "Everyday", "0", ""}));
        QCOMPARE(QDir(folder()).entryList(QDir::Files), QStringList{"Morning.wkp"});
        QCOMPARE(store.read(QStringLiteral("morning"))->time, QStringLiteral("08:00:00"));
        QVERIFY(store.remove(QStringLiteral("mOrNiNg"), false));
        QVERIFY(!store.exists(QStringLiteral("Morning")));
    }

    void refusesNamesOutsideTheFolder_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"../evil", "a/b", "a\\b", "..", ".", "a:b", "a*", "a?", "a\"b", "<a>", "a|b", "tab\there", ""})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void refusesNamesOutsideTheFolder()
    {
        QFETCH(QString, name);
        ProfileStore store(folder());
        QString error;
        QVERIFY(!store.write({name, "07:00:00", "am", "", "Everyday", "0", ""}, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("evil.wkp"))));
        QVERIFY(!store.read(name));
    }

    void failedWriteKeepsTheOldFile()
    {
        ProfileStore store(folder());
        const ProfileRecord old{"Keep", "07:00:00", "am", "", "Everyday", "0", "old"};
        QVERIFY(store.write(old));
        // A folder where the temporary file would go cannot be written: the
        // profile path becomes unusable while the old file stays.
        ProfileStore blocked(m_dir.filePath(QStringLiteral("blocked")));
        QFile plain(m_dir.filePath(QStringLiteral("blocked")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        QString error;
        QVERIFY(!blocked.write(old, &error));
        QVERIFY(!error.isEmpty());
        // A directory standing where the file must go: the rename fails.
        QVERIFY(QDir().mkpath(folder() + QStringLiteral("/Dir.wkp")));
        QVERIFY(!store.write({"Dir", "07:00:00", "am", "", "Everyday", "0", ""}, &error));
        QCOMPARE(*store.read(QStringLiteral("Keep")), old);
    }

    void removeRespectsReadOnlyUnlessForced()
    {
        ProfileStore store(folder());
        QVERIFY(store.write({"Ro", "07:00:00", "am", "", "Everyday", "0", ""}));
        QFile::setPermissions(store.pathFor(QStringLiteral("Ro")), QFileDevice::ReadOwner);
        QVERIFY(!store.remove(QStringLiteral("Ro"), false));
        QVERIFY(store.exists(QStringLiteral("Ro")));
        QVERIFY(store.remove(QStringLiteral("Ro"), true));
        QVERIFY(!store.exists(QStringLiteral("Ro")));
        QVERIFY(store.remove(QStringLiteral("Gone"), false)); // already removed outside
    }

    // A modification cut short leaves the file in the recovery folder; the next
    // start puts every copy back, never dropping one.
    void recoveryNeverDropsACopy()
    {
        QSettings settings(m_dir.filePath(QStringLiteral("recovery.conf")), QSettings::IniFormat);
        ProfileIndex index(settings);
        index.append(QStringLiteral("A"));
        ProfileStore store(folder());
        for (const char *name : {".hidden", "Blocked", "ReadOnly", "Saved"}) {
            QVERIFY(store.write({QString::fromLatin1(name), "07:00:00", "am", "", "Everyday", "0", "old"}));
            QFile::setPermissions(store.pathFor(QString::fromLatin1(name)), QFileDevice::ReadOwner);
            QVERIFY(store.moveToPending(QString::fromLatin1(name)));
            QVERIFY(!store.exists(QString::fromLatin1(name)));
        }
        const QByteArray before = QByteArray("ReadOnly\r\n07:00:00\r\nam\r\n\r\nEveryday\r\n0\r\nold\r\n");
        // Saved again before the program died: the newer file stays.
        QVERIFY(store.write({"Saved", "09:00:00", "am", "", "Everyday", "0", "new"}));
        // Something in the way of the put-back: the copy waits for the next start.
        QVERIFY(QDir().mkpath(folder() + QStringLiteral("/Blocked.wkp")));

        QCOMPARE(store.recoverPending(index), (QStringList{".hidden", "ReadOnly", "Saved"}));
        QCOMPARE(fileBytes(QStringLiteral("ReadOnly")), before);
        QCOMPARE(store.read(QStringLiteral(".hidden"))->note, QStringLiteral("old"));
        QCOMPARE(store.read(QStringLiteral("Saved"))->note, QStringLiteral("new"));
        QVERIFY(QFileInfo::exists(store.pendingFolder() + QStringLiteral("/Blocked.wkp")));
        QCOMPARE(index.names(), (QStringList{"A", ".hidden", "ReadOnly", "Saved"}));
        QDir(folder() + QStringLiteral("/Blocked.wkp")).removeRecursively();
        QCOMPARE(store.recoverPending(index), QStringList{"Blocked"});
        QVERIFY(!QFileInfo::exists(store.pendingFolder()));
    }

    void dayLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("weekday");
        QTest::addColumn<bool>("rings");
        QTest::newRow("everyday") << "Everyday" << "Sunday" << true;
        QTest::newRow("everyday lower case") << "everyday" << "Sunday" << false;
        QTest::newRow("second of two") << "Monday, Wednesday, " << "Wednesday" << true;
        QTest::newRow("not listed") << "Monday, Wednesday, " << "Tuesday" << false;
        QTest::newRow("unknown first") << "Funday, Monday, " << "Monday" << false;
        QTest::newRow("after an unknown") << "Monday, Funday, Friday, " << "Friday" << false;
        QTest::newRow("too short") << "M" << "Monday" << false;
        QTest::newRow("last without its comma") << "Monday, Sunday" << "Sunday" << false;
    }
    void dayLines()
    {
        QFETCH(QString, line);
        QFETCH(QString, weekday);
        QFETCH(bool, rings);
        QCOMPARE(DayList::ringsOn(line, weekday), rings);
    }
};

QTEST_APPLESS_MAIN(TstProfileStore)
#include "tst_profilestore.moc"
