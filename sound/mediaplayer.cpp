#include "mediaplayer.h"
#include "soundengine.h"

#include "scheduler/clock.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QMutex>
#include <QPluginLoader>
#include <QThread>
#include <atomic>

namespace {

// Longest wait in status() for a file to finish loading.
constexpr int LoadTimeoutMs = 2000;
// A pass whose position stands still this long is replaced by a fresh one.
constexpr int StallMs = 2000;
constexpr int StallCheckMs = 500;
// The wait before a fresh pass after one lost its sound server.
constexpr int RetryMs = 1000;
// The sound thread is asked every PingMs while a sound should play; unanswered
// for ThreadTimeoutMs, it is given up for stuck and another takes over.
constexpr int PingMs = 1000;
constexpr int ThreadTimeoutMs = 4000;
// How long the end of the program waits for the sound thread.
constexpr int ExitWaitMs = 1000;

bool isPlayableFile(const QString &path)
{
    if (path.trimmed().isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && info.isFile() && info.isReadable() && info.size() > 0;
}

// Beside the executable (the build tree), where an installation puts it, and, for
// the test programs, in the build tree's bin folder.
SoundEngine *loadEngine()
{
    const QString appDir = QCoreApplication::applicationDirPath();
    QStringList dirs{appDir, appDir + QStringLiteral("/" DAWNBELL_MODULE_RELDIR)};
    if (QDir(appDir).canonicalPath().startsWith(QStringLiteral(DAWNBELL_BUILD_DIR "/")))
        dirs << QStringLiteral(DAWNBELL_BUILD_DIR "/bin");
    QStringList errors;
    for (const QString &dir : dirs) {
        const QString file = dir + QStringLiteral("/dawnbell_sound.so");
        if (!QFileInfo::exists(file))
            continue;
        QPluginLoader loader(file);
        if (auto *engine = qobject_cast<SoundEngine *>(loader.instance()))
            return engine;
        errors << loader.errorString();
    }
    qWarning("dawnbell: no sound: the sound module dawnbell_sound.so could not be loaded from %s %s",
             qPrintable(dirs.join(QStringLiteral(", "))), qPrintable(errors.join(QStringLiteral("; "))));
    return nullptr;
}

std::atomic<SoundEngine *> g_engineOverride{nullptr};

// On a sound thread. Not a function-local static: a thread stuck in loading must
// not hold up the one that replaces it (which then plays nothing).
SoundEngine *engine()
{
    if (SoundEngine *e = g_engineOverride.load())
        return e;
    static std::atomic<SoundEngine *> loaded{nullptr};
    static std::atomic_flag tried = ATOMIC_FLAG_INIT;
    if (!tried.test_and_set())
        loaded = loadEngine();
    return loaded.load();
}

// The one sound thread, made on the first sound. A thread that stops answering
// is left to itself (joining it could hang forever) and a new one takes over.
class SoundThread : public QObject
{
    Q_OBJECT
public:
    static SoundThread *instance()
    {
        static SoundThread *const one = [] {
            auto *thread = new SoundThread;
            connect(qApp, &QCoreApplication::aboutToQuit, thread, &SoundThread::shutDown);
            qAddPostRoutine([] { instance()->shutDown(); });
            return thread;
        }();
        return one;
    }

    QThread *current()
    {
        if (!m_thread && !m_down) {
            m_thread = new QThread;
            m_thread->setObjectName(QStringLiteral("dawnbell sound"));
            m_thread->start();
        }
        return m_thread;
    }

    // Runs `call` on the sound thread.
    template<typename F>
    void post(F call)
    {
        if (QThread *thread = current()) {
            auto *carrier = new QObject;
            carrier->moveToThread(thread);
            QMetaObject::invokeMethod(carrier, [carrier, call] {
                call();
                delete carrier;
            }, Qt::QueuedConnection);
        }
    }

    void abandon(QThread *stuck)
    {
        if (stuck != m_thread || !stuck)
            return;
        qWarning("dawnbell: the sound thread stopped answering; starting another");
        stuck->quit(); // ends it should it ever come back; the object is never deleted
        m_thread = nullptr;
        emit replaced(stuck);
    }

signals:
    // Every player moves to the new thread.
    void replaced(QThread *stuck);
    // Every player drops its pass: the program ends.
    void stopping();

private:
    void shutDown()
    {
        if (m_down)
            return;
        m_down = true;
        QThread *thread = std::exchange(m_thread, nullptr);
        if (!thread)
            return;
        emit stopping();
        // Queued behind the players' stops.
        auto *quitter = new QObject;
        quitter->moveToThread(thread);
        QMetaObject::invokeMethod(quitter, [quitter] {
            delete quitter;
            QThread::currentThread()->quit();
        }, Qt::QueuedConnection);
        if (thread->wait(ExitWaitMs))
            delete thread;
        // else stuck: the program ends without it.
    }

    QThread *m_thread = nullptr;
    bool m_down = false;
};

} // namespace

void useSoundEngine(SoundEngine *engine)
{
    g_engineOverride = engine;
}

// What a player asks of its worker. setUrl() only writes here: however many
// paths are set before the sound thread gets to it, only the last is loaded.
struct SoundMailbox
{
    QMutex mutex;
    QString path;
    int generation = 0;
    bool posted = false;
    std::atomic<int> volume{100};
};

// A player's side on the sound thread: loads, plays and replaces its passes.
class SoundWorker : public QObject
{
    Q_OBJECT
public:
    explicit SoundWorker(std::shared_ptr<SoundMailbox> mailbox)
        : m_mailbox(std::move(mailbox))
    {
    }
    ~SoundWorker() override { drop(); }

    // The newest request of the mailbox.
    void take()
    {
        {
            QMutexLocker lock(&m_mailbox->mutex);
            m_path = m_mailbox->path;
            m_generation = m_mailbox->generation;
            m_mailbox->posted = false;
        }
        if (m_path.isEmpty())
            drop();
        else
            start();
    }

    void applyVolume()
    {
        if (m_pass)
            m_pass->setVolume(m_mailbox->volume);
    }

    void ping(int n) { emit pong(n); }
    void stop() { drop(); }

signals:
    void loaded(int generation, bool sound);
    void ended(int generation);
    void failed(int generation, bool file);
    void pong(int n);

private:
    void drop()
    {
        ++m_serial; // a callback still queued belongs to the dropped pass
        if (m_watch)
            m_watch->stop();
        delete std::exchange(m_pass, nullptr); // stops at once and closes the file
    }

    // Runs `handle` later unless the pass has been replaced by then: a pass must
    // not be deleted inside its own callback.
    std::function<void()> later(const std::function<void()> &handle)
    {
        return [this, handle, serial = m_serial] {
            QMetaObject::invokeMethod(this, [this, handle, serial] {
                if (serial == m_serial)
                    handle();
            }, Qt::QueuedConnection);
        };
    }

    void start()
    {
        drop();
        SoundEngine *e = engine();
        if (!e) {
            emit failed(m_generation, false);
            return;
        }
        m_pass = e->load(m_path, m_mailbox->volume);
        const int generation = m_generation;
        m_pass->loaded = [this, generation](bool sound) { emit loaded(generation, sound); };
        m_pass->ended = later([this] {
            drop();
            emit ended(m_generation);
        });
        m_pass->invalid = later([this] {
            drop();
            emit loaded(m_generation, false);
            emit failed(m_generation, true);
        });
        m_pass->lost = later([this] { retry(RetryMs); });
        if (!m_watch) {
            m_watch = new QTimer(this);
            m_watch->callOnTimeout(this, &SoundWorker::checkFlow);
        }
        m_lastPosition = -1;
        m_moved.start();
        m_watch->start(StallCheckMs);
        m_pass->play();
    }

    void retry(int afterMs)
    {
        drop();
        QTimer::singleShot(afterMs, this, [this, serial = m_serial] {
            if (serial == m_serial)
                start();
        });
    }

    // The backend tells nothing when the sound stops flowing: the position stands still.
    void checkFlow()
    {
        const qint64 position = m_pass->position();
        if (position != m_lastPosition) {
            m_lastPosition = position;
            m_moved.start();
        } else if (m_moved.elapsed() >= StallMs) {
            start();
        }
    }

    std::shared_ptr<SoundMailbox> m_mailbox;
    SoundPass *m_pass = nullptr;
    QTimer *m_watch = nullptr;
    QString m_path;
    int m_generation = 0;
    int m_serial = 0;
    qint64 m_lastPosition = -1;
    QElapsedTimer m_moved;
};

void MediaPlayer::warmUp()
{
    SoundThread::instance()->post([] {
        if (SoundEngine *e = engine())
            e->warmUp();
    });
}

MediaPlayer::MediaPlayer(QObject *parent)
    : QObject(parent)
{
    m_watchdog.setInterval(PingMs);
    m_watchdog.callOnTimeout(this, &MediaPlayer::checkThread);
    connect(SoundThread::instance(), &SoundThread::replaced, this, [this](QThread *stuck) {
        if (m_worker && m_worker->thread() == stuck) {
            m_worker->disconnect(this);
            m_worker->deleteLater(); // should the thread ever come back
            m_worker = nullptr;
        }
        if (m_playing)
            request(m_fallbackPlaying ? m_fallback : m_path);
    });
}

MediaPlayer::~MediaPlayer()
{
    if (m_worker) {
        m_worker->disconnect(this);
        m_worker->deleteLater(); // on the sound thread: stops the pass there
    }
}

// The worker on the current sound thread, made on the first request.
void MediaPlayer::attach()
{
    if (m_worker)
        return;
    QThread *thread = SoundThread::instance()->current();
    if (!thread)
        return; // the program is ending
    m_mailbox = std::make_shared<SoundMailbox>();
    m_mailbox->volume = m_volume;
    m_worker = new SoundWorker(m_mailbox);
    m_worker->moveToThread(thread);
    connect(m_worker, &SoundWorker::loaded, this, &MediaPlayer::onLoaded);
    connect(m_worker, &SoundWorker::ended, this, &MediaPlayer::onEnded);
    connect(m_worker, &SoundWorker::failed, this, &MediaPlayer::onFailed);
    connect(m_worker, &SoundWorker::pong, this, [this](int n) { m_pongs = n; });
    connect(SoundThread::instance(), &SoundThread::stopping, m_worker, &SoundWorker::stop);
    m_pings = m_pongs = 0;
}

// A fresh pass of `path` (empty: none) on the sound thread.
void MediaPlayer::request(const QString &path)
{
    ++m_generation;
    m_loaded = false;
    attach();
    if (!m_worker)
        return;
    QMutexLocker lock(&m_mailbox->mutex);
    m_mailbox->path = path;
    m_mailbox->generation = m_generation;
    if (!std::exchange(m_mailbox->posted, true))
        QMetaObject::invokeMethod(m_worker, &SoundWorker::take, Qt::QueuedConnection);
}

void MediaPlayer::stop()
{
    m_playing = false;
    m_watchdog.stop();
    if (m_worker)
        request({});
}

void MediaPlayer::setUrl(const QString &path)
{
    m_path = path;
    m_passes = 0;
    m_fallbackPlaying = false;
    m_startedMs = appClock().monotonicMs();
    if (path.trimmed().isEmpty()) {
        stop();
        return;
    }
    m_playing = true;
    request(path);
    if (!m_watchdog.isActive()) {
        m_pingSent.start();
        m_watchdog.start();
    }
}

QString MediaPlayer::url() const
{
    return m_path;
}

void MediaPlayer::close()
{
    m_path.clear();
    stop();
}

QString MediaPlayer::status()
{
    if (m_playing && !m_loaded) {
        QEventLoop loop;
        QTimer::singleShot(LoadTimeoutMs, &loop, &QEventLoop::quit);
        QTimer poll; // a report of the load, or the end of the player
        poll.callOnTimeout(&loop, [this, &loop] {
            if (m_loaded || !m_playing)
                loop.quit();
        });
        poll.start(5);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    const bool sound = isPlayableFile(m_path) && !m_fallbackPlaying && m_playing && m_loaded && m_sound;
    return sound ? QStringLiteral("Playing") : QStringLiteral("Ready");
}

int MediaPlayer::volume() const
{
    return m_volume;
}

void MediaPlayer::setVolume(int volume)
{
    m_volume = qBound(0, volume, 100);
    if (m_worker) {
        m_mailbox->volume = m_volume;
        QMetaObject::invokeMethod(m_worker, &SoundWorker::applyVolume, Qt::QueuedConnection);
    }
}

int MediaPlayer::playCount() const
{
    return m_playCount;
}

void MediaPlayer::setPlayCount(int count)
{
    m_playCount = qMax(1, count);
}

void MediaPlayer::setFallbackUrl(const QString &path)
{
    m_fallback = path;
}

bool MediaPlayer::playingFallback() const
{
    return m_fallbackPlaying;
}

void MediaPlayer::setMinimumRingMs(qint64 ms)
{
    m_minimumRingMs = qMax<qint64>(0, ms);
}

int MediaPlayer::passesPlayed() const
{
    return m_passes;
}

bool MediaPlayer::isPlaying() const
{
    return m_playing;
}

void MediaPlayer::onLoaded(int generation, bool sound)
{
    if (generation != m_generation)
        return;
    m_loaded = true;
    m_sound = sound;
}

void MediaPlayer::onEnded(int generation)
{
    if (generation != m_generation || !m_playing)
        return;
    ++m_passes;
    // QMediaPlayer::setLoops() is no help: the sound stops after a pass while the
    // player still reports Playing.
    if (m_passes < m_playCount || appClock().monotonicMs() - m_startedMs < m_minimumRingMs) {
        request(m_fallbackPlaying ? m_fallback : m_path);
        return;
    }
    stop(); // releases the file
    emit finished();
}

void MediaPlayer::onFailed(int generation, bool file)
{
    if (generation != m_generation || !m_playing)
        return;
    if (file && !m_fallbackPlaying && !m_fallback.isEmpty()) {
        m_fallbackPlaying = true;
        request(m_fallback);
        emit chosenSoundFailed(m_path);
        return;
    }
    stop();
}

void MediaPlayer::checkThread()
{
    if (m_pongs == m_pings) {
        m_pingSent.start();
        if (m_worker)
            QMetaObject::invokeMethod(m_worker, [worker = m_worker, n = ++m_pings] { worker->ping(n); },
                                      Qt::QueuedConnection);
    } else if (m_pingSent.elapsed() >= ThreadTimeoutMs && m_worker) {
        SoundThread::instance()->abandon(m_worker->thread());
    }
}

#include "mediaplayer.moc"
