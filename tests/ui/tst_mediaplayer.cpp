#include "ui/mediaplayer.h"

#include <QAudio>
#include <QAudioOutput>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// The FFmpeg backend crashes without an audio device; GStreamer plays into a dummy
// sink in real time. Must be set before the application object exists.
static void forceGStreamer()
{
    if (!qEnvironmentVariableIsSet("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
}
Q_CONSTRUCTOR_FUNCTION(forceGStreamer)

// Whether this process holds `path` open (Linux: /proc/self/fd).
static bool isOpen(const QString &path)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    const QDir fds("/proc/self/fd");
    for (const QFileInfo &fd : fds.entryInfoList(QDir::Files | QDir::System))
        if (fd.symLinkTarget() == target)
            return true;
    return false;
}

class TestMediaPlayer : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    MediaPlayer m_shared; // reused across status rows, as the windows reuse theirs

private slots:
    void initTestCase()
    {
        QVERIFY(QFile::exists(SAMPLE_MP3));
        QVERIFY(QFile::exists(TEST_WAV));
        QVERIFY(m_dir.isValid());
        for (const auto &[name, content] : {std::pair{"text.mp3", "not a sound at all\n"}, {"empty.mp3", ""}}) {
            QFile file(m_dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        QVERIFY(QDir(m_dir.path()).mkdir("folder.mp3"));
        m_shared.setVolume(0);
    }

    void status_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        // Invalid and valid rows alternate so a state left by the previous file shows.
        QTest::newRow("missing file") << m_dir.filePath("nothing.mp3") << "Ready";
        QTest::newRow("mp3") << QString(SAMPLE_MP3) << "Playing";
        QTest::newRow("text named .mp3") << m_dir.filePath("text.mp3") << "Ready";
        QTest::newRow("wav") << QString(TEST_WAV) << "Playing";
        QTest::newRow("0-byte .mp3") << m_dir.filePath("empty.mp3") << "Ready";
        QTest::newRow("folder") << m_dir.filePath("folder.mp3") << "Ready";
        QTest::newRow("mp3 again") << QString(SAMPLE_MP3) << "Playing";
        QTest::newRow("empty path") << QString() << "Ready";
        QTest::newRow("blanks only") << QString("   ") << "Ready";
    }

    void status()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        m_shared.setUrl(path);
        QCOMPARE(m_shared.url(), path);
        QCOMPARE(m_shared.status(), expected);
    }

    void playCount_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("once") << 1;
        QTest::newRow("three times") << 3;
    }

    // tone.wav lasts 0.6 s; the dummy sink plays in real time, so n passes take
    // at least about n * 0.6 s.
    void playCount()
    {
        QFETCH(int, count);
        MediaPlayer player;
        player.setVolume(0);
        player.setPlayCount(count);
        QSignalSpy finished(&player, &MediaPlayer::finished);
        QElapsedTimer clock;
        clock.start();
        player.setUrl(TEST_WAV);
        QVERIFY(player.isPlaying());
        QVERIFY(finished.wait(10000));
        QVERIFY2(clock.elapsed() >= count * 550, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(player.passesPlayed(), count);
        QVERIFY(!player.isPlaying());
        QVERIFY(!isOpen(TEST_WAV));
        QTest::qWait(800);
        QCOMPARE(finished.count(), 1); // no stray pass after the last one

        player.setUrl(TEST_WAV); // a new path starts counting afresh
        QCOMPARE(player.passesPlayed(), 0);
        QVERIFY(player.isPlaying());
    }

    void closeStops()
    {
        MediaPlayer player;
        player.setVolume(0);
        player.setPlayCount(100);
        QSignalSpy finished(&player, &MediaPlayer::finished);
        player.setUrl(TEST_WAV);
        QCOMPARE(player.status(), "Playing");
        QTest::qWait(200);
        QVERIFY(isOpen(TEST_WAV));
        player.close();
        QVERIFY(!player.isPlaying());
        QVERIFY(player.url().isEmpty());
        QCOMPARE(player.status(), "Ready");
        QVERIFY(!isOpen(TEST_WAV)); // the file is released
        QTest::qWait(1000); // longer than a pass: nothing may restart it
        QCOMPARE(player.passesPlayed(), 0);
        QCOMPARE(finished.count(), 0);
    }

    void volume_data()
    {
        QTest::addColumn<int>("set");
        QTest::addColumn<int>("expected");
        QTest::newRow("below range") << -5 << 0;
        QTest::newRow("middle") << 55 << 55;
        QTest::newRow("above range") << 250 << 100;
    }

    void volume()
    {
        QFETCH(int, set);
        QFETCH(int, expected);
        const auto gain = [](int v) {
            return float(QAudio::convertVolume(v / 100.0, QAudio::LogarithmicVolumeScale,
                                               QAudio::LinearVolumeScale));
        };
        MediaPlayer player;
        player.setVolume(set); // before any path: the first sound must use it
        QCOMPARE(player.volume(), expected);
        player.setUrl(TEST_WAV);
        QCOMPARE(player.volume(), expected); // kept across setUrl
        auto *output = player.findChild<QAudioOutput *>();
        QVERIFY(output);
        QCOMPARE(output->volume(), gain(expected));
        player.setVolume(set + 7); // while playing
        QCOMPARE(player.volume(), qBound(0, set + 7, 100));
        QCOMPARE(output->volume(), gain(player.volume()));
        player.close();
    }
};

QTEST_MAIN(TestMediaPlayer)
#include "tst_mediaplayer.moc"
