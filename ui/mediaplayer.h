#pragma once

#include <QObject>
#include <QString>

class SoundPass;

// The sound player of the alarm window and of the editor's preview: a thin adapter
// with the few operations the windows need. The sound itself comes from a module
// loaded beside the program on the first sound (soundengine.h).
//
// Setting a path starts playback from the start at the current volume. The file is
// played playCount() times in a row and then stops. A path that does not name a
// playable file gives silence; status() tells whether anything could be loaded.
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

    // Passes completed since the last setUrl(); for tests and diagnostics.
    int passesPlayed() const;
    // True while a pass is under way.
    bool isPlaying() const;

    // Loads the sound module and readies its backend, so the first sound does
    // not wait for them.
    static void warmUp();

signals:
    // Emitted when the last pass has ended.
    void finished();

private:
    void passEnded();
    void startPass();
    void dropPass();

    SoundPass *m_pass = nullptr;
    QString m_path;
    int m_volume = 100;
    int m_playCount = 1;
    int m_passes = 0;
    int m_generation = 0; // bumped with each pass change, to drop stale pass ends
    bool m_playing = false;
};
