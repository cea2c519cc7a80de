#include "mediaplayer.h"
#include "soundengine.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>
#include <QTimer>

namespace {

// Longest wait in status() for a file to finish loading.
constexpr int LoadTimeoutMs = 2000;
// A pre-rolled file is released when no player takes it within this time.
constexpr int PrerollKeepMs = 2000;

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

SoundEngine *engine()
{
    static SoundEngine *const loaded = loadEngine();
    return loaded;
}

// The file opened ahead by preroll(), with what it was when opened.
struct Prerolled
{
    SoundPass *pass = nullptr;
    QString path;
    int volume = 100;
    QDateTime modified;
    qint64 size = 0;
} prerolled;

void dropPrerolled()
{
    delete std::exchange(prerolled.pass, nullptr);
    prerolled.path.clear();
}

// The pre-rolled pass when it is `path` at `volume` and the file has not changed since.
SoundPass *takePrerolled(const QString &path, int volume)
{
    if (!prerolled.pass)
        return nullptr;
    const QFileInfo info(path);
    if (prerolled.path != path || prerolled.volume != volume || info.lastModified() != prerolled.modified || info.size() != prerolled.size) {
        dropPrerolled();
        return nullptr;
    }
    prerolled.path.clear();
    return std::exchange(prerolled.pass, nullptr);
}

} // namespace

void MediaPlayer::warmUp()
{
    if (SoundEngine *e = engine())
        e->warmUp();
}

void MediaPlayer::preroll(const QString &path, int volume)
{
    if (prerolled.pass && prerolled.path == path && prerolled.volume == volume)
        return;
    dropPrerolled();
    SoundEngine *e = isPlayableFile(path) ? engine() : nullptr;
    if (!e)
        return;
    const QFileInfo info(path);
    prerolled = {e->loadAhead(path), path, volume, info.lastModified(), info.size()};
    SoundPass *pass = prerolled.pass;
    auto *object = dynamic_cast<QObject *>(pass);
    object->setParent(QCoreApplication::instance()); // gone at the latest with the program
    QTimer::singleShot(PrerollKeepMs, object, [pass] {
        if (prerolled.pass == pass)
            dropPrerolled();
    });
}

MediaPlayer::MediaPlayer(QObject *parent)
    : QObject(parent)
{
}

MediaPlayer::~MediaPlayer()
{
    dropPass();
}

void MediaPlayer::dropPass()
{
    ++m_generation; // a pass end still queued belongs to the dropped pass
    delete std::exchange(m_pass, nullptr); // stops at once and closes the file
}

// Every pass gets a fresh backend player (see soundengine.h).
void MediaPlayer::startPass()
{
    dropPass();
    m_pass = takePrerolled(m_path, m_volume);
    if (!m_pass) {
        SoundEngine *e = engine();
        m_pass = e ? e->load(m_path, m_volume) : nullptr;
    }
    m_playing = m_pass != nullptr;
    if (!m_pass)
        return;
    if (auto *object = dynamic_cast<QObject *>(m_pass))
        object->setParent(this);
    const int generation = m_generation;
    m_pass->invalid = [this] { m_playing = false; };
    // The next pass replaces this one, which must not be deleted inside its own signal.
    m_pass->ended = [this, generation] {
        if (!m_playing)
            return;
        QMetaObject::invokeMethod(
            this,
            [this, generation] {
                if (generation == m_generation)
                    passEnded();
            },
            Qt::QueuedConnection);
    };
    m_pass->setVolume(m_volume);
    m_pass->play();
}

void MediaPlayer::setUrl(const QString &path)
{
    m_path = path;
    m_passes = 0;
    m_playing = false;
    dropPass();
    if (!path.trimmed().isEmpty())
        startPass();
}

QString MediaPlayer::url() const
{
    return m_path;
}

void MediaPlayer::close()
{
    m_path.clear();
    m_playing = false;
    dropPass();
}

QString MediaPlayer::status()
{
    const bool sound = isPlayableFile(m_path) && m_pass && m_pass->hasSound(LoadTimeoutMs);
    return sound ? QStringLiteral("Playing") : QStringLiteral("Ready");
}

int MediaPlayer::volume() const
{
    return m_volume;
}

void MediaPlayer::setVolume(int volume)
{
    m_volume = qBound(0, volume, 100);
    if (m_pass)
        m_pass->setVolume(m_volume);
}

int MediaPlayer::playCount() const
{
    return m_playCount;
}

void MediaPlayer::setPlayCount(int count)
{
    m_playCount = qMax(1, count);
}

int MediaPlayer::passesPlayed() const
{
    return m_passes;
}

bool MediaPlayer::isPlaying() const
{
    return m_playing;
}

void MediaPlayer::passEnded()
{
    ++m_passes;
    // QMediaPlayer::setLoops() is no help: the sound stops after a pass while the
    // player still reports Playing.
    if (m_passes < m_playCount) {
        startPass();
        return;
    }
    dropPass(); // releases the file
    m_playing = false;
    emit finished();
}
