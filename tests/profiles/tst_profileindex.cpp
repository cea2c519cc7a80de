#include "profiles/profileindex.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TstProfileIndex : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    std::unique_ptr<QSettings> m_settings;

    QSettings &store() { return *m_settings; }
    QStringList keys() { return store().allKeys(); }
    QString value(const char *key) { return store().value(QStringLiteral("Settings/") + QLatin1String(key)).toString(); }
    void set(const char *key, const QString &v) { store().setValue(QStringLiteral("Settings/") + QLatin1String(key), v); }

private slots:
    void init()
    {
        static int run = 0;
        m_settings = std::make_unique<QSettings>(m_dir.filePath(QStringLiteral("i%1.conf").arg(++run)), QSettings::IniFormat);
    }

    void appendsAndRemovesKeepingSlotsAndCounter()
    {
        ProfileIndex index(store());
        for (const char *name : {"A", "B", "C"})
            index.append(QString::fromLatin1(name));
        QCOMPARE(value("Counter"), QStringLiteral("3"));
        QVERIFY(index.remove(QStringLiteral("B")));
        QCOMPARE(index.names(), (QStringList{"A", "C"}));
        QCOMPARE(value("Profile2"), QStringLiteral("C"));
        QVERIFY(!store().contains(QStringLiteral("Settings/Profile3")));
        QCOMPARE(value("Counter"), QStringLiteral("2"));

        QVERIFY(!index.remove(QStringLiteral("b"))); // case counts; nothing changes
        QCOMPARE(value("Counter"), QStringLiteral("2"));
        QVERIFY(index.remove(QStringLiteral("A")));
        QVERIFY(index.remove(QStringLiteral("C")));
        QCOMPARE(value("Counter"), QStringLiteral("0"));
        QCOMPARE(keys(), QStringList{"Settings/Counter"});
        index.append(QStringLiteral("D"));
        QCOMPARE(value("Profile1"), QStringLiteral("D"));
        QCOMPARE(value("Counter"), QStringLiteral("1"));
    }

    void slotTenFollowsNine()
    {
        ProfileIndex index(store());
        for (int i = 1; i <= 10; ++i)
            index.append(QStringLiteral("P%1").arg(i));
        QCOMPARE(value("Profile10"), QStringLiteral("P10"));
        QCOMPARE(value("Counter"), QStringLiteral("10"));
        QVERIFY(!store().contains(QStringLiteral("Settings/Profile010")));
    }

    // A hand-edited or damaged store: the index must not lose or overwrite a name.
    void damagedCounterLosesNothing_data()
    {
        QTest::addColumn<QString>("counter"); // "-" for missing
        QTest::newRow("missing") << "-";
        QTest::newRow("not a number") << "lots";
        QTest::newRow("too small") << "1";
    }
    void damagedCounterLosesNothing()
    {
        QFETCH(QString, counter);
        set("Profile1", QStringLiteral("A"));
        set("Profile2", QStringLiteral("B"));
        if (counter != QLatin1String("-"))
            set("Counter", counter);
        ProfileIndex index(store());
        index.append(QStringLiteral("C"));
        QCOMPARE(index.names(), (QStringList{"A", "B", "C"}));
        QCOMPARE(value("Counter"), QStringLiteral("3"));
        QVERIFY(index.remove(QStringLiteral("A")));
        QCOMPARE(index.names(), (QStringList{"B", "C"}));
        QCOMPARE(value("Counter"), QStringLiteral("2"));
    }

    void readStopsAtFirstMissingSlotNotAtAValue()
    {
        set("Profile1", QStringLiteral("A"));
        set("Profile2", QStringLiteral("NotGotIt"));
        set("Profile3", QStringLiteral("C"));
        set("Profile5", QStringLiteral("E"));
        QCOMPARE(ProfileIndex(store()).names(), (QStringList{"A", "NotGotIt", "C"}));
    }

    void namesWithCommasSurvive()
    {
        ProfileIndex index(store());
        index.append(QStringLiteral("Run, then swim"));
        QCOMPARE(ProfileIndex(store()).names(), QStringList{"Run, then swim"});
    }
};

QTEST_APPLESS_MAIN(TstProfileIndex)
#include "tst_profileindex.moc"
