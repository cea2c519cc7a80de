#pragma once

#include <QLabel>
#include <QWidget>

struct Firing;
class FrmMain;
class ImageButton;
class MediaPlayer;
class QTimer;

// The window of a ringing alarm: the sound in a loop, the name and time
// blinking, the note, and Snooze, Dismiss and Disable.
class FrmAlarm : public QWidget
{
    Q_OBJECT
public:
    explicit FrmAlarm(FrmMain *main);
    ~FrmAlarm() override;

    // Shows the window for an alarm that fell due and starts its sound.
    void ring(const Firing &firing);
    // Closed already and about to be deleted: a new alarm needs a new window.
    bool isUnloaded() const { return m_unloaded; }

    QWidget *picBackground;
    QLabel *lblAlarm, *lblTime, *lblSnooze, *Label1, *lblNote, *Label2, *Label3;
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

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void startRamp();
    FrmMain *m_main;
    QString m_snoozedSound;
    bool m_ringingRises = false; // the ringing alarm's own rising-volume setting
    bool m_unloaded = false;
};
