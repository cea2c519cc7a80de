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
    void initTestCase()
    {
        QFile text(m_dir.filePath("text.mp3"));
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("not a sound at all\n") > 0);
        const QDateTime stamp = QDateTime::currentDateTime().addSecs(-60);
        for (const char *name : {"tone.wav", "other.wav"}) { // alike but for the name
            QFile copy(m_dir.filePath(name));
            QVERIFY(QFile::copy(TEST_WAV, copy.fileName()) && copy.open(QIODevice::ReadWrite));
            QVERIFY(copy.setFileTime(stamp, QFileDevice::FileModificationTime));
        }
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
    }

    void status()
    {
        QFETCH(QString, path);
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
    // at least about n * 0.6 s.
    void playCount()
    {
        QFETCH(int, count);
        QFETCH(bool, closed);
        MediaPlayer player;
        player.setVolume(0);
        player.setPlayCount(count);
        QSignalSpy finished(&player, &MediaPlayer::finished);
        QElapsedTimer clock;
        clock.start();
        player.setUrl(TEST_WAV);
        if (closed) {
            QTest::qWait(200);
            player.close();
            QVERIFY(player.url().isEmpty());
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

    // A file opened ahead is taken only by a player given the same unchanged
    // file at the same volume; anything else plays what it was given and the
    // file ahead is released.
    void preroll_data()
    {
        QTest::addColumn<QString>("ahead");
        QTest::addColumn<int>("volume");
        QTest::addColumn<bool>("touched"); // the file changed after it was opened ahead
        QTest::addColumn<bool>("taken");
        QTest::newRow("same file") << m_dir.filePath("tone.wav") << 10 << false << true;
        QTest::newRow("other file") << m_dir.filePath("other.wav") << 10 << false << false;
        QTest::newRow("changed since") << m_dir.filePath("tone.wav") << 10 << true << false;
        QTest::newRow("other volume") << m_dir.filePath("tone.wav") << 100 << false << false;
    }
    void preroll()
    {
        QFETCH(QString, ahead);
        const QString played = m_dir.filePath("tone.wav");
        QFETCH(int, volume);
        QFETCH(bool, touched);
        QFETCH(bool, taken);
        MediaPlayer::preroll(ahead, volume);
        QPointer<QMediaPlayer> opened = qApp->findChild<QMediaPlayer *>();
        QTRY_COMPARE(opened->mediaStatus(), QMediaPlayer::BufferedMedia);
        QCOMPARE(opened->audioOutput()->volume(), 0.0f); // silent until taken
        if (QFile file(played); touched)
            QVERIFY(file.open(QIODevice::ReadWrite) && file.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime));
        MediaPlayer player;
        player.setVolume(10);
        player.setUrl(played);
        auto *playing = player.findChild<QMediaPlayer *>();
        QCOMPARE(playing == opened, taken);
        QCOMPARE(bool(opened), taken); // one not taken is released at once
        auto *output = player.findChild<QAudioOutput *>();
        auto gain = [](int v) {
            return float(QAudio::convertVolume(v / 100.0, QAudio::LogarithmicVolumeScale, QAudio::LinearVolumeScale));
        };
        QCOMPARE(output->volume(), gain(10)); // the volume set before the path
        player.setVolume(55); // and while it plays
        QCOMPARE(output->volume(), gain(55));
    }

    void prerollNotTakenIsReleased()
    {
        MediaPlayer::preroll(TEST_WAV, 0);
        QVERIFY(qApp->findChild<QMediaPlayer *>());
        QTRY_VERIFY_WITH_TIMEOUT(!qApp->findChild<QMediaPlayer *>(), 4000); // about 2 s later
    }
};

QTEST_MAIN(TestMediaPlayer)
#include "tst_mediaplayer.moc"
