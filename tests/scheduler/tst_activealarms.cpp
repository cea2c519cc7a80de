#include "scheduler/activealarms.h"

#include <QtTest>

class TstActiveAlarms : public QObject
{
    Q_OBJECT

private slots:
    // Listed as the active list shows them, each taking its sorted place; a
    // removal gives back the place it had, so the list's row goes with it.
    void order_data()
    {
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QList<int>>("places");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("case and accents ignored")
            << QStringList{"Zeta", "alpha", "Éclair", "Gym"} << QList<int>{0, 0, 1, 2}
            << QStringList{"alpha (07:30:00 am)", "Éclair (07:30:00 am)", "Gym (07:30:00 am)", "Zeta (07:30:00 am)"};
        QTest::newRow("a name that begins another") << QStringList{"Gym 2", "Gym"} << QList<int>{0, 0}
                                                    << QStringList{"Gym (07:30:00 am)", "Gym 2 (07:30:00 am)"};
    }
    void order()
    {
        QFETCH(QStringList, added);
        QFETCH(QStringList, rows);
        ActiveAlarms alarms;
        QList<int> places;
        for (const QString &name : added)
            places << alarms.add(name, QStringLiteral("07:30:00 am"));
        QTEST(places, "places");
        QCOMPARE(alarms.rows(), rows);
        // The last added leaves from the place it was given, and only once.
        QCOMPARE(QList<int>({alarms.remove(added.last()), alarms.remove(added.last())}), QList<int>({places.last(), -1}));
        rows.removeAt(places.last());
        QCOMPARE(alarms.rows(), rows);
    }
};

QTEST_MAIN(TstActiveAlarms)
#include "tst_activealarms.moc"
