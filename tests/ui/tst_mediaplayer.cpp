#include "ui/mediaplayer.h"

#include <QAudio>
#include <QAudioOutput>
#include <QMediaPlayer>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestMediaPlayer : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    MediaPlayer m_shared; // reused across status rows, as the windows reuse theirs

private slots:
    void status_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        // Invalid and valid rows alternate so a state left by the previous file shows.
        QTest::newRow("missing file") << m_dir.filePath("nothing.mp3") << "Ready";
        QTest::newRow("mp3") << QString(SAMPLE_MP3) << "Playing";
        QTest::newRow("text named .mp3") << m_dir.filePath("text.mp3") << "Ready";
        QTest::newRow("wav") << QString(TEST_WAV) << "Playing";
    }

    void status()
    {
        QFETCH(QString, path);
        QFile text(m_dir.filePath("text.mp3"));
        QVERIFY(text.exists() || (text.open(QIODevice::WriteOnly) && text.write("not a sound at all\n") > 0));
        m_shared.setVolume(0);
        m_shared.setUrl(path);
        QTEST(m_shared.status(), "expected");
    }

    void playCount_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("closed"); // closed while it plays
        QTest::newRow("three times") << 3 << false;
        QTest::newRow("closed") << 100 << true;
    }

    // tone.wav lasts 0.6 s; the dummy sink plays in real time, so n passes take
    // at least about n * 0.6 s. The volume set before the path is the first
    // pass's, and a change reaches the pass under way.
    void playCount()
    {
        QFETCH(int, count);
        QFETCH(bool, closed);
        const auto gain = [](int v) { return float(QAudio::convertVolume(v / 100.0, QAudio::LogarithmicVolumeScale, QAudio::LinearVolumeScale)); };
        MediaPlayer player;
        player.setVolume(10);
        player.setPlayCount(count);
        QSignalSpy finished(&player, &MediaPlayer::finished);
        QElapsedTimer clock;
        clock.start();
        player.setUrl(TEST_WAV);
        auto *output = player.findChild<QAudioOutput *>();
        QVERIFY(output && output->volume() == gain(10));
        player.setVolume(0);
        QCOMPARE(output->volume(), gain(0));
        if (closed) {
            QTest::qWait(200);
            player.close();
        } else {
            QVERIFY(finished.wait(10000));
            QVERIFY2(clock.elapsed() >= count * 550, qPrintable(QString::number(clock.elapsed())));
        }
        QCOMPARE(player.passesPlayed(), closed ? 0 : count);
        QVERIFY(!player.isPlaying());
        QVERIFY(!player.findChild<QMediaPlayer *>()); // the file is released
        QTest::qWait(800); // longer than a pass: nothing may restart it
        QCOMPARE(finished.count(), closed ? 0 : 1);
    }
};

QTEST_MAIN(TestMediaPlayer)
#include "tst_mediaplayer.moc"
