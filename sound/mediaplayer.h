#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

class SoundWorker;
struct SoundMailbox;

// The sound player of the alarm window and of the editor's preview: a thin adapter
// with the few operations the windows need. The sound itself comes from a module
// loaded beside the program on the first sound (soundengine.h), driven on a sound
// thread of its own: nothing here waits for the backend, except status().
//
// Setting a path starts playback from the start at the current volume. The file is
// played playCount() times in a row, and for at least minimumRingMs() since the
// path was set, and then stops. A path that does not name a playable file gives
// silence, or the fallback sound when one is set; status() tells whether anything
// could be loaded. A pass that goes quiet (the sound server went away) is replaced
// by a fresh one, again every second or two until sound flows.
class MediaPlayer : public QObject
{
    Q_OBJECT
public:
    explicit MediaPlayer(QObject *parent = nullptr);
    ~MediaPlayer() override;

    // Starts playing `path` from its start (an empty path only stops).
    void setUrl(const QString &path);
    // The path last set; empty after close().
    QString url() const;
    // Stops playback at once and releases the file.
    void close();

    // "Ready" when nothing playable is loaded (empty, missing, unreadable or
    // undecodable file); otherwise "Playing". Waits at most about two seconds
    // for the file to finish loading.
    QString status();

    // 0..100; takes effect at once on the sound that is playing.
    int volume() const;
    void setVolume(int volume);

    // How many passes through the file before playback stops (default 1).
    int playCount() const;
    void setPlayCount(int count);

    // Played in place of a chosen file that cannot be played (an empty path still
    // means silence). None by default.
    void setFallbackUrl(const QString &path);
    // Whether the fallback plays because the chosen file could not.
    bool playingFallback() const;

    // Passes go on until this long has passed since setUrl() (appClock()'s steady
    // time), also after playCount() passes. 0 by default.
    void setMinimumRingMs(qint64 ms);

    // Passes completed since the last setUrl(); for tests and diagnostics.
    int passesPlayed() const;
    // True while a pass is under way.
    bool isPlaying() const;

    // Loads the sound module and readies its backend on the sound thread, so the
    // first sound does not wait for them.
    static void warmUp();

signals:
    // Emitted when the last pass has ended.
    void finished();
    // The file set by setUrl() cannot be played and the fallback plays instead;
    // once per setUrl().
    void chosenSoundFailed(const QString &path);

private:
    void attach();
    void request(const QString &path);
    void stop();
    void onLoaded(int generation, bool sound);
    void onEnded(int generation);
    void onFailed(int generation, bool file);
    void checkThread();

    std::shared_ptr<SoundMailbox> m_mailbox;
    SoundWorker *m_worker = nullptr;
    QString m_path;
    QString m_fallback;
    int m_volume = 100;
    int m_playCount = 1;
    int m_passes = 0;
    int m_generation = 0; // of the last request; reports of earlier ones are dropped
    qint64 m_minimumRingMs = 0;
    qint64 m_startedMs = 0;
    bool m_playing = false;
    bool m_fallbackPlaying = false;
    bool m_loaded = false; // the current request's file has loaded or failed
    bool m_sound = false;  // ... and holds sound
    // Whether the sound thread still answers.
    QTimer m_watchdog;
    QElapsedTimer m_pingSent;
    int m_pings = 0;
    int m_pongs = 0;
};
