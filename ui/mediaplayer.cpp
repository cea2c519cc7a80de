#include "mediaplayer.h"

#include <QAudio>
#include <QAudioOutput>
#include <QEventLoop>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QPointer>
#include <QTimer>
#include <QUrl>

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

} // namespace

MediaPlayer::MediaPlayer(QObject *parent)
    : QObject(parent)
{
    // The player is built on first use: the multimedia backend takes a while to
    // load, and the program must start fast.
}

MediaPlayer::~MediaPlayer()
{
    dropPlayer();
}

void MediaPlayer::ensureOutput()
{
    if (m_output)
        return;
    m_output = new QAudioOutput(this);
    applyVolume();
}

void MediaPlayer::dropPlayer()
{
    ++m_generation; // a pass end still queued belongs to the dropped player
    if (!m_player)
        return;
    m_player->disconnect(this);
    delete m_player;
    m_player = nullptr;
}

// Every pass gets a fresh backend player. Reusing one goes wrong in two ways
// measured here: reloading the source for the next pass sometimes brings a stale
// EndOfMedia right after the new pass starts (a pass counted but not heard), and
// after an undecodable file stop() or setSource() blocks the GUI for a whole
// second, then the old pipeline's late error marks the next file InvalidMedia.
// Creating a player takes about 6 ms and deleting one at most a few.
void MediaPlayer::startPass()
{
    dropPlayer();
    ensureOutput();
    m_player = new QMediaPlayer(this);
    m_player->setAudioOutput(m_output);
    connect(m_player, &QMediaPlayer::mediaStatusChanged, this, &MediaPlayer::onMediaStatusChanged);
    m_player->setSource(QUrl::fromLocalFile(m_path));
    m_player->play();
    m_playing = true;
}

void MediaPlayer::applyVolume()
{
    if (!m_output)
        return;
    // A perceptual scale: each step of a rising ramp sounds equally large.
    m_output->setVolume(QAudio::convertVolume(m_volume / 100.0, QAudio::LogarithmicVolumeScale,
                                              QAudio::LinearVolumeScale));
}

void MediaPlayer::setUrl(const QString &path)
{
    m_path = path;
    m_passes = 0;
    m_playing = false;
    dropPlayer();
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
    dropPlayer(); // stops at once and closes the file
}

QString MediaPlayer::status()
{
    const QString ready = QStringLiteral("Ready");
    if (!isPlayableFile(m_path) || !m_player)
        return ready;

    // The backend never knows right after setSource(); wait for it, briefly.
    QPointer<QMediaPlayer> player = m_player;
    if (player->mediaStatus() == QMediaPlayer::LoadingMedia) {
        QEventLoop loop;
        QTimer timeout;
        timeout.setSingleShot(true);
        connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
        connect(player, &QMediaPlayer::mediaStatusChanged, &loop, [&loop](QMediaPlayer::MediaStatus s) {
            if (s != QMediaPlayer::LoadingMedia)
                loop.quit();
        });
        connect(player, &QObject::destroyed, &loop, &QEventLoop::quit);
        timeout.start(LoadTimeoutMs);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!player)
        return ready;

    // Only the media status is trustworthy: playbackState() says Playing even for
    // undecodable files, and error() lingers from an earlier file.
    switch (player->mediaStatus()) {
    case QMediaPlayer::LoadedMedia:
    case QMediaPlayer::BufferingMedia:
    case QMediaPlayer::BufferedMedia:
        return player->hasAudio() ? QStringLiteral("Playing") : ready;
    default:
        return ready;
    }
}

int MediaPlayer::volume() const
{
    return m_volume;
}

void MediaPlayer::setVolume(int volume)
{
    m_volume = qBound(0, volume, 100);
    applyVolume();
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

void MediaPlayer::onMediaStatusChanged()
{
    const QMediaPlayer::MediaStatus status = m_player->mediaStatus();
    if (status == QMediaPlayer::InvalidMedia) {
        m_playing = false;
        return;
    }
    if (status != QMediaPlayer::EndOfMedia || !m_playing)
        return;
    // The next pass replaces the player, which must not be deleted inside its own signal.
    const int generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
            if (generation == m_generation)
                passEnded();
        },
        Qt::QueuedConnection);
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
    dropPlayer(); // releases the file
    m_playing = false;
    emit finished();
}
