#pragma once

#include "scheduler/alarmcheck.h"

#include <QDateTime>
#include <QList>
#include <QString>

// What the window of a ringing alarm shows and plays: the alarm it names, the
// notes, the notices, the snooze countdown, the rising volume and the blink.
class RingingAlarm
{
public:
    static constexpr int snoozeSecs = 5 * 60;
    static constexpr int quietVolume = 10;
    static constexpr int fullVolume = 100;

    // What ring() changed beyond the texts.
    struct Rung
    {
        bool snoozeEnded = false; // a snoozed alarm gave way to this one
        bool rampStarted = false;
    };

    // Alarms that fell due together, found at `now`: the last one is shown
    // and sounds. `notes` are those of every alarm ringing now.
    Rung ring(const QList<Firing> &firings, const QString &notes, const QDateTime &now);
    // Silences the sound and starts the countdown over; true if the ramp starts again.
    bool snooze();
    // One second of the countdown; true when it ran out and the alarm rings again.
    bool countDown();
    // One step of the rising volume; false once it is loud.
    bool rampUp();
    // Half a blink each; true when the name and time change visibility.
    bool blinkOff();
    bool blinkOn();
    // The chosen file would not play; the sample rings.
    void soundFailed();

    QString name() const { return m_name; }
    QString timeText() const { return m_timeText; }
    QString notes() const { return m_notes; }
    QString notice() const;
    // What the player should play: empty while snoozed.
    QString sound() const { return m_sound; }
    bool isSnoozing() const { return m_snoozing; }
    QString countdownText() const;
    bool isRamping() const { return m_ramping; }
    int volume() const { return m_volume; }
    bool namesShown() const { return m_namesShown; }

private:
    void startRamp();

    QString m_name, m_timeText, m_notes, m_sound, m_snoozedSound;
    QString m_lateNotice, m_soundNotice;
    int m_snoozeLeft = snoozeSecs;
    int m_volume = fullVolume;
    bool m_snoozing = false;
    bool m_ramping = false;
    bool m_risingShown = false; // the shown alarm's own rising-volume setting
    bool m_rung = false;
    bool m_namesShown = true;
};
