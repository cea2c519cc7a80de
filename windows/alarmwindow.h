#pragma once

#include <QLabel>
#include <QWidget>

struct Firing;
class ImageButton;
class MediaPlayer;
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
    // What the desktop notification's buttons do.
    void snooze();
    void dismiss();

    QWidget *picBackground;
    QLabel *lblAlarm, *lblTime, *lblSnooze, *Label1, *lblNote, *Label2, *Label3;
    QLabel *lblNotice; // why the alarm is late, or not heard as chosen
    ImageButton *cmdSnooze, *cmdDismiss, *cmdDeactivate;
    QTimer *Timer1, *Timer2, *Timer3, *Timer4, *Timer5;
    MediaPlayer *MediaPlayer1;

    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void Timer4_Timer();
    void Timer5_Timer();
    void lblNote_DblClick();
    void cmdSnooze_MouseUp();
    void cmdDismiss_MouseUp();
    void cmdDeactivate_MouseUp();

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
    void startRamp();
    void showNotices();
    QString m_snoozedSound;
    bool m_ringingRises = false; // the ringing alarm's own rising-volume setting
    bool m_rung = false;
    bool m_unloaded = false;
    QString m_lateNotice, m_soundNotice;
};
