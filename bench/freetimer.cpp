// What a plain 1000 ms QTimer started at program start gives: prints, for each
// tick, how many milliseconds into the wall-clock second it came.
//   bench_freetimer [TICKS=20] [precise]
// Qt's default (coarse) timer was seen to tick on whole or half seconds of the
// monotonic clock, so its phase in the wall-clock second is fixed per boot
// rather than random; "precise" starts a Qt::PreciseTimer, whose phase is the
// start's.
#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <ctime>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int ticks = argc > 1 ? std::atoi(argv[1]) : 20;
    int seen = 0;
    QTimer timer;
    timer.setInterval(1000);
    if (argc > 2 && QByteArray(argv[2]) == "precise")
        timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        std::printf("%.3f\n", now.tv_nsec / 1e6);
        std::fflush(stdout);
        if (++seen >= ticks)
            app.quit();
    });
    timer.start();
    return app.exec();
}
