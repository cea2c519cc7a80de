// bench_firstframe.so, preloaded into a Qt program by firstframe.sh: ends the
// program at the first Expose of any of its windows, the moment its first
// frame can be drawn, so that a start can be timed (or its instructions
// counted) without waiting for anything after it.
#include <QCoreApplication>
#include <QEvent>

#include <unistd.h>

namespace {
class EndAtFirstExpose : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && watched->isWindowType())
            _exit(0);
        return false;
    }
};

void install()
{
    qApp->installEventFilter(new EndAtFirstExpose);
}
} // namespace

Q_COREAPP_STARTUP_FUNCTION(install)
