#pragma once

#include <QString>
#include <QtPlugin>
#include <functional>

// The sound side of MediaPlayer, built as a module of its own and loaded on the
// first sound: Qt Multimedia, GStreamer and the sound-server client libraries
// cost start-up time and memory that a program resting in the tray never needs.
//
// One pass is one trip through a file. Each pass gets a fresh backend player:
// reusing one brought stale end-of-media reports and long blocking stops.
class SoundPass
{
public:
    virtual ~SoundPass() = default;
    virtual void play() = 0;
    // 0..100 on a perceptual scale.
    virtual void setVolume(int volume) = 0;
    // Whether the file loaded and holds sound; waits up to timeoutMs while it loads.
    virtual bool hasSound(int timeoutMs) = 0;
    // Called when the pass ended by itself (end of the file) or the file proved
    // unplayable; never from the destructor.
    std::function<void()> ended, invalid;
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

#define SoundEngine_iid "org.dawnbell.SoundEngine/1"
Q_DECLARE_INTERFACE(SoundEngine, SoundEngine_iid)
