// The sound module: MediaPlayer's passes on Qt Multimedia (GStreamer).
#include "sound/soundengine.h"

#include <QAudio>
#include <QAudioDevice>
#include <QAudioOutput>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QObject>
#include <QTimer>
#include <QUrl>

#include <gst/gst.h>

#include <atomic>

namespace {

// Qt Multimedia builds the audio sink itself and leaves GStreamer's defaults: a
// 200 ms ring buffer, and 20 ms of processing time, both counted as latency by a
// pipeline the backend runs as live. The first sample was placed that far behind
// play() (alarms were heard about 180 ms after the due second; the sound server
// held 110 ms of the stream). Every audio sink the backend creates gets a short
// buffer instead, set as it is made: heard within a few blocks, still long
// enough not to break up on a busy machine. A file is decoded well ahead of its
// playing, so no processing time needs to be allowed for.
constexpr gint64 SinkBufferUs = 40000;
constexpr gint64 SinkSegmentUs = 10000;

void tuneAudioSink(GstTracer *, guint64, GstElement *element)
{
    // Known once GStreamer's audio library is loaded, with the first sink's plugin.
    const GType audioSink = g_type_from_name("GstAudioBaseSink");
    if (audioSink && g_type_is_a(G_OBJECT_TYPE(element), audioSink))
        g_object_set(element, "buffer-time", SinkBufferUs, "latency-time", SinkSegmentUs, "processing-deadline",
                     guint64(0), nullptr);
}

// GStreamer's public way to see elements as they are made is a tracer's hook.
struct SinkTuner
{
    GstTracer parent;
};
struct SinkTunerClass
{
    GstTracerClass parent;
};

GType sinkTunerType()
{
    static const GType type = g_type_register_static_simple(
        GST_TYPE_TRACER, "DawnbellSinkTuner", sizeof(SinkTunerClass), nullptr, sizeof(SinkTuner), nullptr,
        GTypeFlags(0));
    return type;
}

// Before the backend makes its first pipeline: hooks may only be added while no
// pipeline runs.
void installSinkTuner()
{
    gst_init(nullptr, nullptr);
    auto *tuner = static_cast<GstTracer *>(gst_object_ref_sink(g_object_new(sinkTunerType(), nullptr)));
    gst_tracing_register_hook(tuner, "element-new", G_CALLBACK(tuneAudioSink));
    gst_object_unref(tuner); // the hook holds it for the life of the program
}

// Whether a sound server answers now: a sound-server sink connects on its way to
// READY. Only asked when something already went wrong or no server was known.
std::atomic<bool> g_serverHeard{false}; // a sound server answered once in this run

bool serverAnswers()
{
    GstElement *sink = gst_element_factory_make("pulsesink", nullptr);
    if (!sink)
        return false;
    const bool answers = gst_element_set_state(sink, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
    gst_element_set_state(sink, GST_STATE_NULL);
    gst_object_unref(sink);
    if (answers)
        g_serverHeard = true;
    return answers;
}

// Measured with PulseAudio stopped while a pass plays: the pass reports a
// resource error and InvalidMedia, and its position stands still. A pass started
// while the server is away goes InvalidMedia at once, like a bad file, but only
// while Qt knows of an output; one started when no server had ever answered
// plays in real time into nothing, and a fresh pass after the server is back
// is heard.
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
        m_started = true;
        if (m_early != QMediaPlayer::LoadingMedia) // found out before play()
            onStatus(m_early);
        // No output known: the server was away when the backend looked. The pass
        // then plays into nothing; once a server answers, a fresh pass is heard.
        // (Without any sound server, as with ALSA alone, the pass plays on.)
        if (QMediaDevices::audioOutputs().isEmpty() && !serverAnswers()) {
            auto *poll = new QTimer(this);
            connect(poll, &QTimer::timeout, this, [this, poll] {
                if (serverAnswers() && lost) {
                    poll->stop();
                    lost();
                }
            });
            poll->start(1500);
        }
    }

    void setVolume(int volume) override
    {
        // A perceptual scale: each step of a rising ramp sounds equally large.
        m_output->setVolume(QAudio::convertVolume(volume / 100.0, QAudio::LogarithmicVolumeScale,
                                                  QAudio::LinearVolumeScale));
    }

    qint64 position() override { return m_player->position(); }

private:
    void onStatus(QMediaPlayer::MediaStatus status)
    {
        if (!m_started) {
            m_early = status;
            return;
        }
        // Only the media status is trustworthy: playbackState() says Playing even for
        // undecodable files, and error() lingers from an earlier file.
        switch (status) {
        case QMediaPlayer::LoadedMedia:
        case QMediaPlayer::BufferingMedia:
        case QMediaPlayer::BufferedMedia:
            if (!m_loaded && loaded)
                loaded(m_player->hasAudio());
            m_loaded = true;
            break;
        case QMediaPlayer::EndOfMedia:
            if (ended)
                ended();
            break;
        case QMediaPlayer::InvalidMedia:
            // After loading, or when the server heard before does not answer now,
            // the file is not to blame. Where no server was ever heard (none at
            // all, or not yet), an unplayable file is just that.
            if (m_loaded || (g_serverHeard && !serverAnswers())) {
                if (lost)
                    lost();
            } else if (invalid) {
                invalid();
            }
            break;
        default:
            break;
        }
    }

    QMediaPlayer *m_player;
    QAudioOutput *m_output;
    QMediaPlayer::MediaStatus m_early = QMediaPlayer::LoadingMedia;
    bool m_started = false;
    bool m_loaded = false;
};

} // namespace

class GStreamerSound : public QObject, public SoundEngine
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID SoundEngine_iid)
    Q_INTERFACES(SoundEngine)
public:
    GStreamerSound() { installSinkTuner(); }

    SoundPass *load(const QString &path, int volume) override { return new Pass(path, volume); }

    void warmUp() override
    {
        // The first player loads the backend and its plugin registry, and the first
        // output connects to the sound server; both stay loaded.
        if (m_warm)
            return;
        m_warm = true;
        serverAnswers();
        QAudioOutput output;
        QMediaPlayer player;
        player.setAudioOutput(&output);
    }

private:
    bool m_warm = false;
};

#include "soundmodule.moc"
