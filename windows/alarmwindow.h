#pragma once

#include "scheduler/ringingalarm.h"

#include <QWidget>

struct Firing;
class ImageButton;
class MediaPlayer;
class QLabel;
class QTimer;

// The window of a ringing alarm: the sound in a loop, the name and time
// blinking, the note, and Snooze, Dismiss and Disable.
class AlarmWindow : public QWidget
{
    Q_OBJECT
public:
    AlarmWindow();
    ~AlarmWindow() override;

    // Shows the window for alarms that fell due together and starts the last
    // one's sound; `notes` are those of every alarm ringing now. An open window
    // takes them over, also from a snooze.
    void ring(const QList<Firing> &firings, const QString &notes);
    // Closed already and about to be deleted: a new alarm needs a new window.
    bool isUnloaded() const { return m_unloaded; }
    // What the desktop notification's buttons do, and the window's own.
    void snooze();
    void dismiss();

signals:
    // Ringing now: after ring(), and again when a snooze runs out.
    void ringing(const QString &name, const QString &time, const QString &note);
    // Disable: the ringing alarm's profile goes back to the saved ones.
    void disableRequested(const QString &name);
    // The window is gone; the check may run again.
    void unloaded();
    // Snoozed, dismissed, disabled or closed: the alarm needs no other call for attention.
    void answered();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showClock();
    void blinkOff();
    void blinkOn();
    void countDown();
    void rampUp();
    void startRamp();
    void copyNote();
    void disable();
    void showNames(bool shown);
    void showNotices();

    RingingAlarm m_alarm;
    QLabel *m_background;
    QLabel *m_nameLabel, *m_timeLabel, *m_countdownLabel, *m_noteHeading, *m_noteLabel, *m_dismissHint, *m_snoozeHint;
    QLabel *m_noticeLabel; // why the alarm is late, or not heard as chosen
    ImageButton *m_snoozeButton, *m_dismissButton, *m_disableButton;
    QTimer *m_clockTimer, *m_blinkOffTimer, *m_blinkOnTimer, *m_countdownTimer, *m_rampTimer;
    MediaPlayer *m_player;
    bool m_unloaded = false;
};
