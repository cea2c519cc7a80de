#include "profiles/modifysession.h"
#include "profiles/profileindex.h"
#include "profiles/profilestore.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

using Files = QMap<QString, QByteArray>; // profile name → file bytes
const ProfileRecord alpha{"Alpha", "07:00:00", "am", "", "Everyday", "0", "old"},
    beta{"Beta", "08:00:00", "pm", "/s/b.mp3", "Monday, ", "1", "b"}, gammaP{"Gamma", "09:00:00", "am", "", "Everyday", "0", ""},
    alphaNew{"Alpha", "07:00:00", "am", "", "Everyday", "0", "new"}, alpha2{"Alpha2", "07:00:00", "am", "", "Everyday", "0", "new"};

Files files(std::initializer_list<ProfileRecord> profiles)
{
    Files files;
    for (const ProfileRecord &p : profiles)
        files[p.name] = p.toFileBytes();
    return files;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush();
}

// A profile folder and a settings file beside it.
struct World
{
    QString root, folder = root + "/Profiles", config = root + "/config";
    QSettings settings{config + "/dawnbell.conf", QSettings::IniFormat};
    ProfileIndex index{settings};
    ProfileStore store{folder};
    ModifySession session{store, index};
    explicit World(const QString &r) : root(r) { QDir().mkpath(folder), QDir().mkpath(config); }
    void fill() { QVERIFY(store.write(alpha) && store.write(beta) && index.append({"Alpha", "Beta"})); }
    // "new" saves Gamma; the others act on Alpha: take out, save or rename, put back, erase.
    bool run(const QString &op, QString *error)
    {
        if (op == "take" || op == "put")
            return op == "take" ? session.takeOut("Alpha", error) : session.putBack(error);
        return op == "erase" ? store.erase("Alpha", index, error) : session.save(op == "new" ? gammaP : op == "save" ? alphaNew : alpha2, error);
    }
    // The profiles the index on disk lists; each must have its file, and each
    // file its slot, with nothing left pending.
    Files listed() const
    {
        QFile conf(config + "/dawnbell.conf");
        conf.open(QIODevice::ReadOnly);
        Files found;
        const QStringList lines = QString(conf.readAll()).split('\n').filter(QRegularExpression("^Profile\\d+="));
        for (const QString &slot : lines) {
            QFile f(store.pathFor(slot.section('=', 1)));
            found[slot.section('=', 1)] = f.open(QIODevice::ReadOnly) ? f.readAll() : "<missing>";
        }
        if (QDir(folder).entryList({"*.wkp"}, QDir::Files).size() != lines.size()
            || !QDir(store.pendingFolder()).entryList(QDir::Files | QDir::Hidden).isEmpty())
            found["<unlisted or pending>"];
        return found;
    }
};

// Mounts need a private mount namespace: as root, or as root of a user
// namespace. Entered before the test library starts its watchdog thread.
const bool canMount = [] {
    const QByteArray uid = QByteArray::number(getuid()), gid = QByteArray::number(getgid());
    return (uid == "0" ? unshare(CLONE_NEWNS) == 0
                       : unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0 && writeFile("/proc/self/setgroups", "deny")
                             && writeFile("/proc/self/uid_map", "0 " + uid + " 1") && writeFile("/proc/self/gid_map", "0 " + gid + " 1"))
        && mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}();

class TstProfileStore : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString fresh() { static int n = 0; return m_dir.filePath(QString::number(++n)); }

private slots:
    // Files as other programs leave them, and the note read from each ("-":
    // refused), found whatever the case of the name. The writer's own form is
    // checked through the editor.
    void reading()
    {
        const QByteArray head = "A\r\n07:00:00\r\nam\r\n\r\nEveryday\r\n0\r\n";
        const std::pair<QByteArray, QString> files[]{{"A\n07:00:00\nam\n\nEveryday\n1\nx\ny\n", "x\r\ny"}, {head, ""},
            {head + "z", "z"}, {head + "caf\xe9\r\n", "caf\u00e9"}, {head.left(head.size() - 3), "-"}, {"", "-"}};
        ProfileStore store(fresh());
        for (const auto &[bytes, note] : files) {
            QString error;
            QVERIFY(QDir().mkpath(store.folder()) && writeFile(store.folder() + "/In.wkp", bytes));
            const auto profile = store.read("iN", &error);
            QCOMPARE(profile ? profile->note : "-", note);
            QCOMPARE(error.isEmpty(), bool(profile));
        }
    }

    // A modification put back is over: the next save makes a new profile.
    void putBackEndsModification()
    {
        World w(fresh());
        w.fill();
        const Files before = w.listed();
        QString error;
        QVERIFY(w.run("take", &error) && w.run("put", &error) && w.listed() == before);
        QVERIFY2(w.run("new", &error), qPrintable(error));
        QCOMPARE(w.listed().keys(), (QStringList{"Alpha", "Beta", "Gamma"}));
    }

    // Slots as a hand edit may leave them, one change (+ appends, - removes), the keys afterwards.
    void indexSlots_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("after");
        QTest::newRow("remove closes the gap") << "Counter=3 Profile1=A Profile2=B Profile3=C" << "-B" << "Counter=2 Profile1=A Profile2=C";
        QTest::newRow("a gap hides nothing") << "Counter=2 Profile1=A Profile3=C" << "+D" << "Counter=3 Profile1=A Profile2=C Profile3=D";
        QTest::newRow("bad counter, NotGotIt") << "Counter=x Profile1=NotGotIt Profile010=Z" << "+B" << "Counter=2 Profile010=Z Profile1=NotGotIt Profile2=B";
        QTest::newRow("ten after nine, commas") << "Profile10=J Profile9=I" << "+K, L" << "Counter=3 Profile1=I Profile2=J Profile3=K, L";
    }
    void indexSlots()
    {
        QFETCH(QString, keys);
        QFETCH(QString, change);
        QSettings settings(fresh() + ".conf", QSettings::IniFormat);
        for (const QString &key : keys.split(' ', Qt::SkipEmptyParts))
            settings.setValue("Settings/" + key.section('=', 0, 0), key.section('=', 1));
        QVERIFY(change[0] == '+' ? ProfileIndex(settings).append(change.mid(1)) : ProfileIndex(settings).remove(change.mid(1)));
        QStringList after;
        for (const QString &key : settings.allKeys())
            after << key.mid(9) + '=' + settings.value(key).toString();
        QTEST((after.sort(), after.join(' ')), "after");
    }

    // A process killed after step k of a change: the next start lists every
    // profile once, old ('o') or new ('n') as `outcomes` says for each k; the
    // last k runs the change to its end.
    void crashPoints_data()
    {
        QTest::addColumn<QString>("ops");
        QTest::addColumn<int>("k");
        QTest::addColumn<Files>("expected");
        QTest::addColumn<int>("exit"); // 3: stopped at step k, 0: finished
        const Files old = files({alpha, beta});
        const std::tuple<QString, QString, Files> changes[]{{"new", "onnn", files({alpha, beta, gammaP})},
            {"take save", "oooonnnn", files({alphaNew, beta})}, {"take rename", "oooonnnn", files({alpha2, beta})},
            {"take put", "ooo", old}, {"erase", "on", files({beta})}};
        for (const auto &[ops, outcomes, changed] : changes)
            for (int k = 1; k <= outcomes.size(); ++k)
                QTest::addRow("%s, step %d", qPrintable(ops), k)
                    << ops << k << (outcomes[k - 1] == 'o' ? old : changed) << (k == outcomes.size() ? 0 : 3);
    }
    void crashPoints()
    {
        QFETCH(QString, ops);
        QFETCH(int, k);
        QFETCH(Files, expected);
        const QString root = fresh();
        const pid_t child = fork();
        if (child == 0) {
            World w(root);
            w.fill();
            ProfileStore::afterStep = [&k] { --k == 0 ? _exit(3) : void(); };
            for (const QString &op : ops.split(' '))
                w.run(op, nullptr) || (_exit(1), true);
            _exit(0);
        }
        int status = 0;
        QVERIFY(waitpid(child, &status, 0) == child);
        QTEST(WEXITSTATUS(status), "exit");
        World after(root);
        after.store.recoverPending(after.index);
        QCOMPARE(after.listed(), expected);
    }

    // Real faults under the store: a full disk, read-only mounts of the profile
    // or the settings folder, a folder where the new file goes by its commit;
    // a copy left in the pending folder, or the folder alone. Each op gives its result ('1' done, '0' failed with
    // a reason) and leaves Alpha and Beta as they were, file and slot.
    void faultyDisks_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::newRow("full: new") << "full new:0";
        QTest::newRow("commit refused: new") << "blocked new:0";
        QTest::newRow("full: modify, save, put back") << "take:1 full save:0 rename:0 put:1";
        QTest::newRow("read-only profiles: new, modify, erase") << "ro-profiles new:0 take:0 erase:0";
        QTest::newRow("stale pending copy: modify, put back") << "stale take:1 put:1";
        QTest::newRow("read-only profiles, pending folder there: modify") << "keep ro-profiles take:0";
        QTest::newRow("read-only settings: new, modify, erase") << "ro-config new:0 take:0 erase:0";
        QTest::newRow("read-only settings: save, put back, writable again") << "take:1 ro-config save:0 rename:0 put:0 rw-config put:1";
    }
    void faultyDisks()
    {
        QFETCH(QString, steps);
        if (!canMount)
            QSKIP("No mount namespace here (needs root or unprivileged user namespaces): real faults not tried");
        World w(fresh());
        QVERIFY(mount("tmpfs", qPrintable(w.folder), "tmpfs", 0, "size=64k") == 0);
        QVERIFY(mount("tmpfs", qPrintable(w.config), "tmpfs", 0, "size=64k") == 0);
        const auto undo = qScopeGuard([&] { ProfileStore::afterStep = nullptr, umount2(qPrintable(w.folder), MNT_DETACH), umount2(qPrintable(w.config), MNT_DETACH); });
        w.fill();
        const Files before = w.listed();
        QString error;
        for (const QString &step : steps.split(' ')) {
            if (step == "full") // the filler's write fails once the disk is full
                writeFile(w.folder + "/filler", QByteArray(64 * 1024, 'x'));
            else if (step == "blocked")
                ProfileStore::afterStep = [&w] { QDir().mkpath(w.folder + "/Gamma.wkp/x"); };
            else if (step == "stale" || step == "keep")
                QVERIFY(QDir().mkpath(w.store.pendingFolder() + "/keep")
                        && (step == "keep" || writeFile(w.store.pendingFolder() + "/Alpha.wkp", "stale")));
            else if (step.contains('-'))
                QVERIFY(mount(nullptr, qPrintable(step.endsWith("profiles") ? w.folder : w.config), nullptr,
                              MS_REMOUNT | (step[1] == 'o' ? MS_RDONLY : 0), "") == 0);
            else if (error.clear(), w.run(step.chopped(2), &error) != step.endsWith('1') || error.isEmpty() == step.endsWith('0'))
                QFAIL(qPrintable(step + ": " + error));
        }
        QCOMPARE(w.listed(), before);
        QStringList names = w.index.names(); // in memory as on disk
        QCOMPARE((names.sort(), names), (QStringList{"Alpha", "Beta"}));
    }
};

QTEST_APPLESS_MAIN(TstProfileStore)
#include "tst_profilestore.moc"
