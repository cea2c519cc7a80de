#pragma once

#include "windows/alarmnotification.h"
#include "windows/trayicon.h"
#include "app/preferences.h"
#include "profiles/modifysession.h"
#include "profiles/profilerecord.h"
#include "scheduler/alarmcheck.h"

#include <QLabel>
#include <QMainWindow>
#include <QPointer>

#include <optional>

class AboutWindow;
class AlarmWindow;
class ProfileEditor;
class ImageButton;
class ProfileIndex;
class ProfileStore;
class QFileSystemWatcher;
class QTimer;
class SecondTimer;
class SortedList;
class WallClockTimer;

// The main window: clock, saved profiles, active alarms. It lives for the whole
// run; closing it hides the program to the tray and only Exit ends it.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    MainWindow(ProfileStore &store, ProfileIndex &index, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Fills the profile list and starts the clock; the caller shows the window.
    void Form_Load();

    // Controls.
    QLabel *Label1, *Label2, *Label3, *Label4;
    QLabel *lblInit, *lblTime[3], *lblTime2, *lblDate, *lblHidden, *lblTime3, *lblOccurrence;
    QLabel *lblMissed; // alarms passed over too long ago to ring
    SortedList *lstSaved, *lstActive, *lstHidden;
    ImageButton *cmdProfile, *cmdAlarm, *cmdExit;
    SecondTimer *Timer1;
    WallClockTimer *Timer5; // the alarm check: wakes when an alarm falls due or the clock is set
    QTimer *Timer2, *Timer3, *Timer4;
    QMenu *mnuAlarm, *mnuProfiles, *mnuHidden, *mnuTray;
    QAction *mnuAlarmActivate, *mnuAlarmDeactivate, *mnuAlarmClose, *mnuAlarmExit;
    QAction *mnuAlarmKeep, *mnuAlarmAutostart; // opt-in: active alarms across a restart, start with the desktop
    QAction *mnuProfilesNew, *mnuProfilesModify, *mnuProfilesDelete, *mnuAbout;
    QAction *mnuHiddenNew, *mnuHiddenModify, *mnuHiddenDelete, *mnuTrayOpen, *mnuTrayExit;

    // The other windows, while they exist.
    QPointer<ProfileEditor> frmProfile;
    QPointer<AlarmWindow> frmAlarm;
    QPointer<AboutWindow> frmAbout;

    QString pendingNote; // notes of the alarms ringing now

    ProfileStore &store;
    ProfileIndex &index;
    ModifySession modify{store, index}; // the Modify flag and the profile taken out
    AlarmCheck check;
    TrayIcon tray;

    // Actions, named after the event that runs them.
    void cmdExit_MouseUp();
    void cmdProfile_MouseUp();
    void cmdAlarm_MouseUp();
    void lstSaved_Click();
    void lstSaved_GotFocus();
    void lstSaved_DblClick();
    void lstActive_Click();
    void lstActive_DblClick();
    void mnuHiddenModify_Click();
    void mnuHiddenDelete_Click();
    void mnuAbout_Click();
    void mnuAlarmClose_Click();
    void mnuTrayOpen_Click();
    void mnuTrayExit_Click();
    // Another start of the program asked for this window; `activationToken` is
    // the one its launcher gave it (Wayland), or empty.
    void raiseFromElsewhere(const QString &activationToken);
    void activate();
    void deactivate();

    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void Timer4_Timer();
    void Timer5_Timer();
    // The active alarms changed: the check follows them and sleeps until the next is due.
    void scheduleCheck();

    // A profile was saved by the editor: list it and allow the alarm commands.
    void profileSaved(const QString &name);
    // Takes an active row out of both active lists and lists its profile again.
    void moveBackToSaved(int activeRow);
    // The same for the active alarm of that name.
    void disableActive(const QString &name);
    // The count of active alarms, and alarms missed while the machine slept.
    QString trayTooltip() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void buildTimers();
    void hideToTray();
    void fire(const QList<Firing> &firings);
    void reportMissed(const QList<MissedAlarm> &missed);
    void alarmUnloaded();
    void showProfileEditor();
    void restoreActiveAlarms();
    void rememberActiveAlarms();
    Preferences m_preferences;
    bool m_exiting = false;
    bool m_clockRunning = false;
    std::optional<std::pair<qint64, qint64>> m_clockReadAt; // wall and steady ms at the clock's last tick
    QString m_missedReport;
    QFileSystemWatcher *m_profilesWatcher = nullptr; // a profile edited outside moves the next wake
    void connectNotification();
    void raiseAlarm(const QString &activationToken);
    AlarmNotification m_notification;
};
