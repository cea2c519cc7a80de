#include "mediaplayer.h"
#include "soundengine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

namespace {

// Longest wait in status() for a file to finish loading.
constexpr int LoadTimeoutMs = 2000;

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

} // namespace

void MediaPlayer::warmUp()
{
    if (SoundEngine *e = engine())
        e->warmUp();
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
    SoundEngine *e = engine();
    m_pass = e ? e->load(m_path, m_volume) : nullptr;
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
