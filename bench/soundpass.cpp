// bench_soundpass MODULE FILE PASSES: plays PASSES whole passes of FILE through the
// sound module (as MediaPlayer does: load() then play() at once), each started at a
// whole wall-clock second with at least a second of silence before it. Prints
// "start EPOCH_SECONDS" (the time of load()) for each pass and "ended" when it ended.
#include "wallclock.h"
#include "sound/soundengine.h"

#include <QCoreApplication>
#include <QPluginLoader>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_soundpass MODULE FILE PASSES\n");
        return 2;
    }
    QPluginLoader loader(QString::fromLocal8Bit(argv[1]));
    auto *engine = qobject_cast<SoundEngine *>(loader.instance());
    if (!engine) {
        std::fprintf(stderr, "bench_soundpass: %s\n", qPrintable(loader.errorString()));
        return 1;
    }
    engine->warmUp();
    const QString file = QString::fromLocal8Bit(argv[2]);
    const int passes = std::atoi(argv[3]);
    SoundPass *pass = nullptr;
    int done = 0;
    std::function<void()> next = [&] {
        const double due = double(long(wallSeconds())) + 2.0;
        QTimer::singleShot(int((due - wallSeconds()) * 1000) - 5, Qt::PreciseTimer, [&, due] {
            while (wallSeconds() < due) {
            }
            const double start = wallSeconds();
            delete pass;
            pass = engine->load(file, 100);
            pass->ended = [&] {
                std::printf("ended\n");
                std::fflush(stdout);
                QTimer::singleShot(0, [&] { ++done < passes ? next() : app.quit(); });
            };
            pass->invalid = [&] { app.exit(1); };
            pass->play();
            std::printf("start %.6f\n", start);
            std::fflush(stdout);
        });
    };
    next();
    const int status = app.exec();
    delete pass;
    return status;
}
