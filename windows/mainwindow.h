#pragma once

#include "windows/alarmnotification.h"
#include "profiles/preferences.h"
#include "profiles/modifysession.h"
#include "scheduler/activealarms.h"
#include "scheduler/alarmcheck.h"

#include <QMainWindow>
#include <QPointer>

#include <optional>

class AboutWindow;
class AlarmScheduler;
class AlarmWindow;
class ImageButton;
class ProfileEditor;
class ProfileIndex;
class ProfileStore;
class QLabel;
class QTimer;
class SecondTimer;
class SortedList;
class TrayIcon;

// The main window: clock, saved profiles, active alarms. It lives for the whole
// run; closing it hides the program to the tray and only Exit ends it.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    MainWindow(ProfileStore &store, ProfileIndex &index, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Lists the profiles, brings back kept alarms and starts the clock; the
    // caller shows the window or hides it to the tray.
    void load();
    // To the tray, or minimised where there is none.
    void hideToTray();
    // Another start of the program asked for this window; `activationToken` is
    // the one its launcher gave it (Wayland), or empty.
    void raiseFromElsewhere(const QString &activationToken);
    // Exit, from the window, the tray, a signal or the session manager.
    void quit();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void buildTimers();

    void tickClock();
    void hideCover();
    void showDate();
    void slowDateTimer();

    void selectSavedProfile();
    void focusSavedList();
    void selectActiveAlarm();
    void showSelectedTime(const QString &timeText, const QString &occurrence);
    void setAlarmCaption(bool deactivates);
    void activateOrDeactivate();
    void activate();
    void deactivate();
    void moveBackToSaved(int activeIndex);
    void disableAlarm(const QString &name);
    void activeAlarmsChanged();
    void restoreActiveAlarms();
    void rememberActiveAlarms();
    void keepActiveAlarms(bool keep);
    void startWithDesktop(bool start);

    void newProfile();
    void modifyProfile();
    void deleteProfile();
    void showProfileEditor();
    void profileSaved(const QString &name);
    void editorClosed();

    void ringAlarms(const QList<Firing> &firings, const QString &notes);
    void alarmClosed();
    void showMissed(const QString &report, const QString &lines);
    void raiseAlarm(const QString &activationToken);
    QString trayTooltip() const;

    void showAbout();
    void openFromTray();
    void exitFromTray();
    // Disabled while the editor or an alarm window is up.
    void updateEnabled();

    ProfileStore &m_store;
    ProfileIndex &m_index;
    ModifySession m_modify{m_store, m_index}; // the Modify flag and the profile taken out
    Preferences m_preferences;
    ActiveAlarms m_active;
    AlarmScheduler *m_scheduler = nullptr;
    TrayIcon *m_tray = nullptr;
    AlarmNotification m_notification;

    QLabel *m_initLabel, *m_clockLabels[3], *m_periodLabel, *m_dateLabel, *m_currentTimeLabel;
    QLabel *m_timeLabel, *m_occurrenceLabel;
    QLabel *m_missedLabel; // alarms passed over too long ago to ring
    SortedList *m_savedList, *m_activeList, *m_hiddenList;
    ImageButton *m_profileButton, *m_alarmButton, *m_exitButton;
    SecondTimer *m_clockTimer;
    QTimer *m_coverTimer, *m_dateTimer, *m_dateSlowdownTimer;
    QMenu *m_listMenu, *m_trayMenu;
    QAction *m_activateAction, *m_deactivateAction;
    QAction *m_keepAction, *m_autostartAction; // opt-in: active alarms across a restart, start with the desktop

    // The other windows, while they exist.
    QPointer<ProfileEditor> m_editor;
    QPointer<AlarmWindow> m_alarmWindow;
    QPointer<AboutWindow> m_aboutWindow;
    bool m_editorOpen = false;

    QString m_selectedTime;           // the time text the panel shows; empty for "None"
    bool m_alarmButtonDeactivates = false;
    QString m_missedReport;
    bool m_exiting = false;
    bool m_clockRunning = false;
    std::optional<std::pair<qint64, qint64>> m_clockReadAt; // wall and steady ms at the clock's last tick
};
