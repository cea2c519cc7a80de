#include "profiles/daylist.h"
#include "profiles/modifysession.h"
#include "profiles/profileindex.h"
#include "profiles/profilestore.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

using Files = QMap<QString, QByteArray>; // profile name → file bytes
const ProfileRecord alpha{"Alpha", "07:00:00", "am", "", "Everyday", "0", "old"};
const ProfileRecord beta{"Beta", "08:00:00", "pm", "/s/b.mp3", "Monday, ", "1", "b"};

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush();
}

// A profile folder and a settings file beside it, with Alpha and Beta saved.
struct World
{
    QString root, folder = root + "/Profiles", config = root + "/config";
    QSettings settings{config + "/dawnbell.conf", QSettings::IniFormat};
    ProfileIndex index{settings};
    ProfileStore store{folder};
    ModifySession session{store, index};
    explicit World(const QString &r) : root(r) { QDir().mkpath(folder), QDir().mkpath(config); }
    void fill() { QVERIFY(store.write(alpha) && store.write(beta) && index.append({"Alpha", "Beta"})); }
    // Runs "take", "save", "rename", "put" or "erase" on Alpha.
    bool run(const QString &op, QString *error)
    {
        ProfileRecord changed = alpha;
        changed.note = "new";
        if (op == "take")
            return session.takeOut("Alpha", error);
        if (op == "new")
            return session.save({"Gamma", "09:00:00", "am", "", "Everyday", "0", ""}, error);
        if (op == "save" || op == "rename")
            return changed.name = op == "rename" ? "Alpha2" : "Alpha", session.save(changed, error);
        return op == "put" ? session.putBack(error) : store.erase("Alpha", index, error);
    }
    // The profiles as the index on disk lists them; each must have its file, and
    // each file its slot, with nothing left pending.
    Files listed() const
    {
        QFile conf(config + "/dawnbell.conf");
        conf.open(QIODevice::ReadOnly);
        const QStringList disk = QString(conf.readAll()).split('\n').filter(QRegularExpression("^Profile\\d+="));
        Files files;
        for (const QString &slot : disk) {
            QFile f(store.pathFor(slot.section('=', 1)));
            files[slot.section('=', 1)] = f.open(QIODevice::ReadOnly) ? f.readAll() : "<missing>";
        }
        if (QDir(folder).entryList({"*.wkp"}, QDir::Files).size() != files.size() || !QDir(store.pendingFolder()).entryList(QDir::Files | QDir::Hidden).isEmpty())
            files["<unlisted or pending>"];
        return files;
    }
};

// Mounts need a private mount namespace: as root, or as root of a user
// namespace. Entered before the test library starts its watchdog thread.
const bool canMount = [] {
    const uid_t uid = getuid();
    const auto map = [](const char *file, const QByteArray &line) { return writeFile(file, line); };
    return (uid == 0 ? unshare(CLONE_NEWNS) == 0
                     : unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0 && map("/proc/self/setgroups", "deny")
                           && map("/proc/self/uid_map", "0 " + QByteArray::number(uid) + " 1")
                           && map("/proc/self/gid_map", "0 " + QByteArray::number(getgid()) + " 1"))
        && mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}();

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
    QString fresh() const
    {
        static int n = 0;
        return m_dir.filePath(QString::number(++n));
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
        QVERIFY(writeFile(folder() + QStringLiteral("/A.wkp"), bytes));
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
        QFile::setPermissions(store.pathFor(QStringLiteral("Morning")), QFileDevice::ReadOwner);
        QVERIFY(!store.remove(QStringLiteral("mOrNiNg"), false));
        QVERIFY(store.remove(QStringLiteral("mOrNiNg"), true));
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

    // A process killed after step k of a change: the next start lists every
    // profile once, old ('o') or new ('n') as `outcome` says for each k; the
    // last k runs the change to its end.
    void crashPoints_data()
    {
        QTest::addColumn<QString>("ops");
        QTest::addColumn<int>("k");
        QTest::addColumn<QChar>("outcome");
        QTest::addColumn<bool>("completes");
        const QList<std::pair<QString, QString>> changes{
            {"new", "onnn"}, {"take save", "oooonnnn"}, {"take rename", "oooonnnn"}, {"take put", "ooo"}, {"erase", "on"}};
        for (const auto &[ops, outcomes] : changes)
            for (int k = 1; k <= outcomes.size(); ++k)
                QTest::addRow("%s, step %d", qPrintable(ops), k) << ops << k << outcomes[k - 1] << (k == outcomes.size());
    }
    void crashPoints()
    {
        QFETCH(QString, ops);
        QFETCH(int, k);
        QFETCH(QChar, outcome);
        const QString root = fresh();
        const pid_t child = fork();
        if (child == 0) {
            World w(root);
            w.fill();
            int step = 0;
            ProfileStore::afterStep = [&] {
                if (++step == k)
                    _exit(3);
            };
            for (const QString &op : ops.split(' '))
                if (!w.run(op, nullptr))
                    _exit(1);
            _exit(0);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QFETCH(bool, completes);
        QCOMPARE(WEXITSTATUS(status), completes ? 0 : 3);
        World after(root);
        after.store.recoverPending(after.index);
        Files old{{"Alpha", alpha.toFileBytes()}, {"Beta", beta.toFileBytes()}}, changed = old;
        ProfileRecord next = alpha;
        next.note = "new";
        if (ops == "new")
            changed["Gamma"] = ProfileRecord{"Gamma", "09:00:00", "am", "", "Everyday", "0", ""}.toFileBytes();
        else if (ops == "erase")
            changed.remove("Alpha");
        else if (ops != "take put")
            changed.remove("Alpha"), next.name = ops.endsWith("rename") ? "Alpha2" : "Alpha",
                changed[next.name] = next.toFileBytes();
        QCOMPARE(after.listed(), outcome == 'o' ? old : changed);
        QCOMPARE(after.index.names().size(), (outcome == 'o' ? old : changed).size());
    }

    // Real faults under the store: a full disk, read-only mounts of the profile
    // or the settings folder. Each op must give its result ('1' done, '0' failed
    // with a reason) and leave Alpha and Beta as they were, file and slot.
    void faultyDisks_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::newRow("full: new") << "full new:0";
        QTest::newRow("full: modify, save, put back") << "take:1 full save:0 rename:0 put:1";
        QTest::newRow("read-only profiles: new, modify, erase") << "ro-profiles new:0 take:0 erase:0";
        QTest::newRow("read-only settings: new, modify, erase") << "ro-config new:0 take:0 erase:0";
        QTest::newRow("read-only settings: save, put back, writable again")
            << "take:1 ro-config save:0 rename:0 put:0 rw-config put:1";
    }
    void faultyDisks()
    {
        QFETCH(QString, steps);
        if (!canMount)
            QSKIP("No mount namespace here (needs root or unprivileged user namespaces): real faults not tried");
        World w(fresh());
        QVERIFY(mount("tmpfs", qPrintable(w.folder), "tmpfs", 0, "size=64k") == 0);
        QVERIFY(mount("tmpfs", qPrintable(w.config), "tmpfs", 0, "size=64k") == 0);
        const auto cleanup = qScopeGuard([&] { umount2(qPrintable(w.folder), MNT_DETACH), umount2(qPrintable(w.config), MNT_DETACH); });
        w.fill();
        const Files before = w.listed();
        for (const QString &step : steps.split(' ')) {
            const auto remount = [](const QString &dir, unsigned long ro) {
                return mount(nullptr, qPrintable(dir), nullptr, MS_REMOUNT | ro, "size=64k") == 0;
            };
            if (step == "full")
                writeFile(w.folder + "/filler", QByteArray(64 * 1024, 'x')); // fails once the disk is full
            else if (step.contains('-'))
                QVERIFY2(remount(step.endsWith("profiles") ? w.folder : w.config, step.startsWith("ro") ? MS_RDONLY : 0), qPrintable(step));
            else {
                QString error;
                QCOMPARE(w.run(step.section(':', 0, 0), &error), step.endsWith(":1"));
                QCOMPARE(error.isEmpty(), step.endsWith(":1"));
            }
        }
        QCOMPARE(w.listed(), before);
        QStringList names = w.index.names(); // as in memory
        names.sort();
        QCOMPARE(names, (QStringList{"Alpha", "Beta"}));
    }
};

QTEST_APPLESS_MAIN(TstProfileStore)
#include "tst_profilestore.moc"
