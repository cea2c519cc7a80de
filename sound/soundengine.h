#pragma once

#include <QString>
#include <QtPlugin>
#include <functional>

// The sound side of MediaPlayer, built as a module of its own and loaded on the
// first sound: Qt Multimedia, GStreamer and the sound-server client libraries
// cost start-up time and memory that a program resting in the tray never needs.
//
// One pass is one trip through a file. Each pass gets a fresh backend player:
// reusing one brought stale end-of-media reports and long blocking stops, and a
// player whose sound server went away never sounds again.
//
// MediaPlayer makes, plays and deletes passes on a sound thread of its own (a
// stuck backend must not freeze the windows); the callbacks come on that thread,
// never from the destructor, and a pass must not be deleted inside one.
class SoundPass
{
public:
    virtual ~SoundPass() = default;
    virtual void play() = 0;
    // 0..100 on a perceptual scale.
    virtual void setVolume(int volume) = 0;
    // Milliseconds into the file; it stands still when the sound stops flowing.
    virtual qint64 position() = 0;
    // ended: the pass reached the end of the file. loaded: the file loaded (sound:
    // it holds audio). invalid: the file cannot be played (missing, empty, a
    // folder, unreadable, undecodable). lost: the sound stopped, or never reached
    // the sound server, for a reason other than the file; a fresh pass may work.
    std::function<void()> ended, invalid, lost;
    std::function<void(bool sound)> loaded;
};

class SoundEngine
{
public:
    virtual ~SoundEngine() = default;
    // A pass of `path` at `volume`, loading; nothing is heard until play().
    virtual SoundPass *load(const QString &path, int volume) = 0;
    // Readies the backend (plugins, sound-server connection) ahead of the first sound.
    virtual void warmUp() = 0;
};

#define SoundEngine_iid "org.dawnbell.SoundEngine/2"
Q_DECLARE_INTERFACE(SoundEngine, SoundEngine_iid)

// Makes MediaPlayer use `engine` instead of the module (tests); nullptr puts the
// module back. Takes effect for the passes loaded after it.
void useSoundEngine(SoundEngine *engine);
