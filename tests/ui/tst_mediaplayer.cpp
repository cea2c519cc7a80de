#include "ui/mediaplayer.h"

#include <QAudio>
#include <QAudioOutput>
#include <QMediaPlayer>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <gst/gst.h>

class TestMediaPlayer : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    MediaPlayer m_player; // reused across rows, as the windows reuse theirs

private slots:
    void initTestCase()
    {
        QFile text(m_dir.filePath("text.mp3"));
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("not a sound at all\n") > 0);
    }

    // Rows alternate unplayable and playable files, so that a state left by the
    // previous file shows. tone.wav lasts 0.6 s; the dummy sink plays in real
    // time, so n passes take at least about n * 0.6 s. The volume set before the
    // path is the first pass's, and a change reaches the pass under way.
    void play_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("count"); // passes; 0: closed while it plays
        QTest::addColumn<QString>("status");
        QTest::newRow("missing file") << m_dir.filePath("nothing.mp3") << 1 << "Ready";
        QTest::newRow("mp3, closed") << QString(SAMPLE_MP3) << 0 << "Playing";
        QTest::newRow("text named .mp3") << m_dir.filePath("text.mp3") << 1 << "Ready";
        QTest::newRow("wav, three times") << QString(TEST_WAV) << 3 << "Playing";
        QTest::newRow("wav, closed") << QString(TEST_WAV) << 0 << "Playing";
    }
    void play()
    {
        QFETCH(QString, path);
        QFETCH(int, count);
        const auto gain = [](int v) { return float(QAudio::convertVolume(v / 100.0, QAudio::LogarithmicVolumeScale, QAudio::LinearVolumeScale)); };
        m_player.setVolume(10);
        m_player.setPlayCount(count ? count : 100);
        QSignalSpy finished(&m_player, &MediaPlayer::finished);
        QElapsedTimer clock;
        clock.start();
        m_player.setUrl(path);
        QTEST(m_player.status(), "status");
        auto *output = m_player.findChild<QAudioOutput *>();
        if (m_player.status() == "Ready")
            return;
        QVERIFY(output && output->volume() == gain(10));
        m_player.setVolume(0);
        QCOMPARE(output->volume(), gain(0));
        if (count == 0) {
            m_player.close();
        } else {
            QVERIFY(finished.wait(10000));
            QVERIFY2(clock.elapsed() >= count * 550, qPrintable(QString::number(clock.elapsed())));
        }
        QCOMPARE(m_player.passesPlayed(), count);
        QVERIFY(!m_player.isPlaying());
        QVERIFY(!m_player.findChild<QMediaPlayer *>()); // the file is released
        QTest::qWait(800); // longer than a pass: nothing may restart it
        QCOMPARE(finished.count(), count ? 1 : 0);
    }

    // The backend makes its audio sinks itself; once the sound module is loaded,
    // every one must come with the short buffer, whatever kind of sink it is.
    void tuned_data()
    {
        QTest::addColumn<QString>("factory");
        QTest::newRow("sound server") << "pulsesink";
        QTest::newRow("OSS device") << "osssink";
    }
    void tuned()
    {
        QFETCH(QString, factory);
        MediaPlayer::warmUp();
        GstElement *sink = gst_element_factory_make(qPrintable(factory), nullptr);
        if (!sink)
            QSKIP("GStreamer has no such sink here");
        gint64 buffer = 0, segment = 0;
        guint64 deadline = 1;
        g_object_get(sink, "buffer-time", &buffer, "latency-time", &segment, "processing-deadline", &deadline, nullptr);
        gst_object_unref(sink);
        QCOMPARE(buffer, 40000);
        QCOMPARE(segment, 10000);
        QCOMPARE(deadline, 0u);
    }
};

QTEST_MAIN(TestMediaPlayer)
#include "tst_mediaplayer.moc"
