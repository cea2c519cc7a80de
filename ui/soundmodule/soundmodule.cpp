// The sound module: MediaPlayer's passes on Qt Multimedia (GStreamer).
#include "ui/soundengine.h"

#include <QAudio>
#include <QAudioOutput>
#include <QEventLoop>
#include <QMediaPlayer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

namespace {

class Pass : public QObject, public SoundPass
{
public:
    Pass(const QString &path, int volume)
    {
        m_output = new QAudioOutput(this);
        setVolume(volume); // before the first block flows towards the sound sink
        m_player = new QMediaPlayer(this);
        m_player->setAudioOutput(m_output);
        connect(m_player, &QMediaPlayer::mediaStatusChanged, this, &Pass::onStatus);
        m_player->setSource(QUrl::fromLocalFile(path));
    }

    ~Pass() override
    {
        m_player->disconnect(this);
        delete m_player; // stops at once and closes the file
    }

    void play() override
    {
        m_player->play();
        if (m_invalid && invalid) // found out before play()
            invalid();
    }

    void setVolume(int volume) override
    {
        // A perceptual scale: each step of a rising ramp sounds equally large.
        m_output->setVolume(QAudio::convertVolume(volume / 100.0, QAudio::LogarithmicVolumeScale,
                                                  QAudio::LinearVolumeScale));
    }

    bool hasSound(int timeoutMs) override
    {
        if (m_player->mediaStatus() == QMediaPlayer::LoadingMedia) {
            QEventLoop loop;
            QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
            connect(m_player, &QMediaPlayer::mediaStatusChanged, &loop, [&loop](QMediaPlayer::MediaStatus s) {
                if (s != QMediaPlayer::LoadingMedia)
                    loop.quit();
            });
            connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
            QPointer<Pass> alive = this;
            loop.exec(QEventLoop::ExcludeUserInputEvents);
            if (!alive)
                return false;
        }
        // Only the media status is trustworthy: playbackState() says Playing even for
        // undecodable files, and error() lingers from an earlier file.
        switch (m_player->mediaStatus()) {
        case QMediaPlayer::LoadedMedia:
        case QMediaPlayer::BufferingMedia:
        case QMediaPlayer::BufferedMedia:
            return m_player->hasAudio();
        default:
            return false;
        }
    }

private:
    void onStatus(QMediaPlayer::MediaStatus status)
    {
        m_invalid = status == QMediaPlayer::InvalidMedia;
        if (m_invalid && invalid)
            invalid();
        else if (status == QMediaPlayer::EndOfMedia && ended)
            ended();
    }

    QMediaPlayer *m_player;
    QAudioOutput *m_output;
    bool m_invalid = false;
};

} // namespace

class GStreamerSound : public QObject, public SoundEngine
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID SoundEngine_iid)
    Q_INTERFACES(SoundEngine)
public:
    SoundPass *load(const QString &path, int volume) override { return new Pass(path, volume); }

    void warmUp() override
    {
        // The first player loads the backend and its plugin registry, and the first
        // output connects to the sound server; both stay loaded.
        if (m_warm)
            return;
        m_warm = true;
        QAudioOutput output;
        QMediaPlayer player;
        player.setAudioOutput(&output);
    }

private:
    bool m_warm = false;
};

#include "soundmodule.moc"
