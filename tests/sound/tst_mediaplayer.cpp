#include "fakeclock.h"
#include "sound/mediaplayer.h"
#include "sound/soundengine.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMutex>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <gst/gst.h>

// Stands in for the sound module where the real one cannot be driven: a pass that
// goes quiet, a backend that hangs. Passes are made and asked on the sound thread.
struct FakeEngine : SoundEngine
{
    struct Pass : SoundPass
    {
        FakeEngine *engine;
        qint64 at = 0;
        explicit Pass(FakeEngine *e) : engine(e) { ++engine->alive; }
        ~Pass() override { --engine->alive; }
        QObject guard; // on the sound thread, as the pass
        void play() override
        {
            if (engine->losing)
                QTimer::singleShot(100, &guard, [this] { lost(); });
        }
        void setVolume(int volume) override { engine->volume = volume; }
        qint64 position() override { return engine->flowing ? at += 100 : 0; }
    };
    QMutex mutex;
    QStringList loads;
    QList<QThread *> threads;
    QString blockOn;                          // load() of this path waits for `release`, once
    QSemaphore *release = new QSemaphore;     // never freed: a hung thread may wait on it at exit
    std::atomic<bool> entered{false}, flowing{true}, losing{false};
    std::atomic<int> alive{0}, volume{-1};

    SoundPass *load(const QString &path, int startVolume) override
    {
        {
            QMutexLocker lock(&mutex);
            loads << path;
            threads << QThread::currentThread();
            volume = startVolume;
        }
        if (path == std::exchange(blockOn, QString())) {
            entered = true;
            release->acquire();
        }
        return new Pass(this);
    }
    void warmUp() override {}
    int loadCount() { return int(loaded().size()); }
    QStringList loaded()
    {
        QMutexLocker lock(&mutex);
        return loads;
    }
};

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
        QFile empty(m_dir.filePath("empty.mp3"));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        QVERIFY(QDir(m_dir.path()).mkdir("folder.mp3"));
        QVERIFY(QFile::copy(TEST_WAV, m_dir.filePath("locked.wav")));
        QFile::setPermissions(m_dir.filePath("locked.wav"), {});
    }

    // Rows alternate unplayable and playable files, so that a state left by the
    // previous file shows. tone.wav lasts 0.6 s; the dummy sink plays in real
    // time, so n passes take at least about n * 0.6 s. With no fallback (the
    // editor's preview) an unplayable file is silence.
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
        m_player.setFallbackUrl({});
        m_player.setPlayCount(count ? count : 100);
        QSignalSpy finished(&m_player, &MediaPlayer::finished);
        QElapsedTimer clock;
        clock.start();
        m_player.setUrl(path);
        QTEST(m_player.status(), "status");
        if (m_player.status() == "Ready") {
            // The load's report can come just before the failure's.
            QTRY_VERIFY(!m_player.isPlaying());
            QVERIFY(!m_player.playingFallback());
            return;
        }
        if (count == 0) {
            m_player.close();
        } else {
            QVERIFY(finished.wait(10000));
            QVERIFY2(clock.elapsed() >= count * 550, qPrintable(QString::number(clock.elapsed())));
        }
        QCOMPARE(m_player.passesPlayed(), count);
        QVERIFY(!m_player.isPlaying());
        QTest::qWait(800); // longer than a pass: nothing may restart it
        QCOMPARE(finished.count(), count ? 1 : 0);
    }

    // The alarm window sets a fallback: whatever is wrong with the chosen file,
    // the fallback (tone.wav) rings its passes instead, and the failure is told once.
    void fallback_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("fails");
        QTest::newRow("missing") << m_dir.filePath("nothing.mp3") << true;
        QTest::newRow("good mp3") << QString(SAMPLE_MP3) << false;
        QTest::newRow("0 bytes") << m_dir.filePath("empty.mp3") << true;
        QTest::newRow("folder") << m_dir.filePath("folder.mp3") << true;
        QTest::newRow("undecodable") << m_dir.filePath("text.mp3") << true;
        QTest::newRow("unreadable") << m_dir.filePath("locked.wav") << true;
        QTest::newRow("empty path: silent") << QString() << false;
    }
    void fallback()
    {
        QFETCH(QString, path);
        QFETCH(bool, fails);
        if (QTest::currentDataTag() == QLatin1String("unreadable") && QFileInfo(path).isReadable())
            QSKIP("root reads any file");
        m_player.setFallbackUrl(TEST_WAV);
        m_player.setPlayCount(2);
        QSignalSpy failed(&m_player, &MediaPlayer::chosenSoundFailed);
        QSignalSpy finished(&m_player, &MediaPlayer::finished);
        m_player.setUrl(path);
        if (path.isEmpty()) {
            QTest::qWait(300);
            QVERIFY(!m_player.isPlaying() && failed.isEmpty());
            return;
        }
        QVERIFY(fails ? failed.wait(3000) : !failed.wait(300));
        QCOMPARE(m_player.playingFallback(), fails);
        QVERIFY(m_player.isPlaying());
        if (!fails) {
            m_player.close();
            return;
        }
        QCOMPARE(failed.takeFirst().at(0).toString(), path);
        QVERIFY(finished.wait(5000)); // two passes of the fallback, no second report
        QCOMPARE(m_player.passesPlayed(), 2);
        QVERIFY(failed.isEmpty() && !m_player.isPlaying());
    }

    // A short file rings until the minimum time has passed on the program's clock.
    void minimumRing()
    {
        FakeClock clock;
        setAppClock(&clock);
        m_player.setFallbackUrl({});
        m_player.setPlayCount(1);
        m_player.setMinimumRingMs(600000);
        QSignalSpy finished(&m_player, &MediaPlayer::finished);
        m_player.setUrl(TEST_WAV);
        QTRY_VERIFY_WITH_TIMEOUT(m_player.passesPlayed() >= 3, 5000);
        QVERIFY(m_player.isPlaying() && finished.isEmpty());
        clock.advance(600000);
        QVERIFY(finished.wait(3000));
        QVERIFY(!m_player.isPlaying());
        m_player.setMinimumRingMs(0);
        setAppClock(nullptr);
    }

    // Every audio sink the backend makes comes with the short buffer, whatever
    // kind of sink it is, once the sound module is loaded.
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
        m_player.setUrl(TEST_WAV);
        QCOMPARE(m_player.status(), "Playing"); // the module is loaded by now
        m_player.close();
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

    // Paths set faster than the sound thread takes them cost one load, of the
    // last; the volume reaches the pass; close() deletes it.
    void coalesced()
    {
        FakeEngine fake;
        useSoundEngine(&fake);
        MediaPlayer player;
        player.setVolume(10);
        fake.blockOn = "first";
        player.setUrl("first");
        QTRY_VERIFY(fake.entered);
        for (int i = 0; i < 50; ++i)
            player.setUrl(QString::number(i));
        fake.release->release();
        QTRY_COMPARE(fake.loadCount(), 2);
        QTest::qWait(200);
        QCOMPARE(fake.loaded(), QStringList({"first", "49"}));
        QCOMPARE(fake.volume.load(), 10);
        player.setVolume(0);
        QTRY_COMPARE(fake.volume.load(), 0);
        player.close();
        QTRY_COMPARE(fake.alive.load(), 0);
        useSoundEngine(nullptr);
    }

    // A pass that goes quiet or loses its sound server is replaced, again and
    // again, until sound flows; then it is left alone.
    void retried_data()
    {
        QTest::addColumn<bool>("stalls");
        QTest::newRow("position stands still") << true;
        QTest::newRow("sound server lost") << false;
    }
    void retried()
    {
        QFETCH(bool, stalls);
        FakeEngine fake;
        fake.flowing = !stalls;
        fake.losing = !stalls;
        useSoundEngine(&fake);
        MediaPlayer player;
        player.setUrl("alarm.wav");
        QTRY_COMPARE_WITH_TIMEOUT(fake.loadCount(), 3, 7000);
        fake.flowing = true;
        fake.losing = false;
        const int loads = fake.loadCount();
        QTest::qWait(3000);
        QVERIFY(fake.loadCount() <= loads + 1);
        QCOMPARE(fake.loaded().last(), "alarm.wav");
        QVERIFY(player.isPlaying() && player.passesPlayed() == 0);
        player.close();
        QTRY_COMPARE(fake.alive.load(), 0); // the sound thread is done with this engine
        useSoundEngine(nullptr);
    }

    // A backend that hangs freezes the sound thread only: another thread takes
    // over and loads the sound again, and the program can still end.
    void hungThread()
    {
        FakeEngine fake;
        useSoundEngine(&fake);
        MediaPlayer player;
        fake.blockOn = "alarm.wav"; // never released
        player.setUrl("alarm.wav");
        QTRY_VERIFY(fake.entered);
        QTRY_COMPARE_WITH_TIMEOUT(fake.loadCount(), 2, 10000);
        QVERIFY(fake.threads[0] != fake.threads[1]);
        QCOMPARE(fake.loaded()[1], "alarm.wav");
        QVERIFY(player.isPlaying());
        player.close();
        QTRY_COMPARE(fake.alive.load(), 0);
        useSoundEngine(nullptr);
    }
};

QTEST_MAIN(TestMediaPlayer)
#include "tst_mediaplayer.moc"
