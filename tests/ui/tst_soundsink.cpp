#include "ui/mediaplayer.h"

#include <QtTest>

#include <gst/gst.h>

// The backend makes its audio sinks itself; once the sound module is loaded,
// every one must come with the short buffer, whatever kind of sink it is.
class TestSoundSink : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { MediaPlayer::warmUp(); }

    void tuned_data()
    {
        QTest::addColumn<QString>("factory");
        QTest::newRow("sound server") << "pulsesink";
        QTest::newRow("OSS device") << "osssink";
    }
    void tuned()
    {
        QFETCH(QString, factory);
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

QTEST_MAIN(TestSoundSink)
#include "tst_soundsink.moc"
