// How long one alarm-check tick takes with 1, 100 and 1,000 active alarms,
// profile files re-read every tick. Prints median and worst of many ticks.
#include "profiles/profilestore.h"
#include "scheduler/alarmcheck.h"
#include "tests/support/fakeclock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    ProfileStore store(dir.filePath(QStringLiteral("Profiles")));
    QStringList rows;
    for (int i = 0; i < 1000; ++i) {
        const QString name = QStringLiteral("Alarm %1").arg(i, 4, 10, QLatin1Char('0'));
        store.write({name, QStringLiteral("06:%1:00").arg(i % 60, 2, 10, QLatin1Char('0')), QStringLiteral("am"),
                     QStringLiteral("/usr/share/sounds/x.mp3"), QStringLiteral("Monday, Wednesday, Friday, "),
                     QStringLiteral("1"), QStringLiteral("A note of some length for the morning.")});
        rows.append(ActiveRow::compose(name, QStringLiteral("06:00:00 am")));
    }
    FakeClock clock(QDateTime(QDate(2026, 12, 9), QTime(7, 0), QTimeZone::systemTimeZone()),
                    QTimeZone::systemTimeZone());
    std::printf("%-8s %10s %10s %10s\n", "alarms", "median ms", "worst ms", "ticks");
    for (int count : {1, 100, 1000}) {
        AlarmCheck check(store, clock);
        const QStringList active = rows.mid(0, count);
        QList<double> ms;
        const int ticks = count == 1000 ? 60 : 300;
        for (int t = 0; t < ticks; ++t) {
            clock.advance(1000);
            QElapsedTimer timer;
            timer.start();
            check.tick(active);
            ms.append(timer.nsecsElapsed() / 1e6);
        }
        std::sort(ms.begin(), ms.end());
        std::printf("%-8d %10.3f %10.3f %10d\n", count, ms[ms.size() / 2], ms.last(), ticks);
    }
    // A late tick catches up on the seconds it missed: the dearest case.
    AlarmCheck check(store, clock);
    check.tick(rows);
    clock.advance(60000);
    QElapsedTimer timer;
    timer.start();
    check.tick(rows);
    std::printf("1000 alarms, one tick catching up 60 s: %.3f ms\n", timer.nsecsElapsed() / 1e6);
    return 0;
}
