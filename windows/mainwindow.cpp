#include "mainwindow.h"

#include "windows/aboutwindow.h"
#include "windows/alarmwindow.h"
#include "windows/profileeditor.h"
#include "windows/trayicon.h"
#include "profiles/profileindex.h"
#include "profiles/profilestore.h"
#include "scheduler/alarmscheduler.h"
#include "scheduler/clock.h"
#include "scheduler/secondtimer.h"
#include "scheduler/timetext.h"
#include "sound/mediaplayer.h"
#include "widgets/controls.h"
#include "widgets/imagebutton.h"
#include "widgets/messages.h"
#include "widgets/pictures.h"
#include "widgets/sortedlist.h"
#include "widgets/theme.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTimer>

using namespace Controls;

namespace {
const QString activateCaption = QStringLiteral("Activate");
const QString deactivateCaption = QStringLiteral("Deactivate");
const QString errorTitle = QStringLiteral("Error");
const QString noProfileSelected = QStringLiteral("Please select an item from the profile list to activate.");
const QString noAlarmSelected = QStringLiteral("Please select an item from the list to deactivate.");

QLabel *label(QWidget *parent, const char *name, const QString &text, const QRect &at, bool white = false)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(at);
    if (white)
        Theme::whiteText(l);
    return l;
}

QAction *menuItem(QMenu *menu, const char *name, const QString &caption, const QKeySequence &keys = {})
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(keys);
    return action;
}

// On Wayland a window takes the focus only with a token from whatever the user
// clicked; Qt's Wayland client spends the one in this variable on the next activation.
bool useActivationToken(const QString &token)
{
    if (token.isEmpty() || !QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return false;
    qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
    return true;
}
} // namespace

MainWindow::MainWindow(ProfileStore &store, ProfileIndex &index, QWidget *parent)
    : QMainWindow(parent), m_store(store), m_index(index),
      m_preferences(QFileInfo(index.fileName()).absolutePath() + QStringLiteral("/preferences.conf"))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Dawnbell"));
    setWindowIcon(Pictures::appIcon());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(Theme::font());
    buildControls();
    buildMenus();
    buildTimers();
    setFixedSize(561, 216 + menuBar()->sizeHint().height());
    m_tray = new TrayIcon(this);
    m_tray->setMenu(m_trayMenu);
    connect(m_tray, &TrayIcon::openRequested, this, &MainWindow::openFromTray);

    // The notification's buttons are the window's.
    connect(&m_notification, &AlarmNotification::snoozeRequested, this, [this] {
        if (m_alarmWindow && !m_alarmWindow->isUnloaded())
            m_alarmWindow->snooze();
    });
    connect(&m_notification, &AlarmNotification::dismissRequested, this, [this] {
        if (m_alarmWindow && !m_alarmWindow->isUnloaded())
            m_alarmWindow->dismiss();
    });
    connect(&m_notification, &AlarmNotification::activated, this, &MainWindow::raiseAlarm);
}

MainWindow::~MainWindow()
{
    delete m_editor;
    delete m_alarmWindow;
    delete m_aboutWindow;
    delete m_trayMenu;
}

void MainWindow::buildControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    Theme::paintBlue(client);

    label(client, "Label1", QStringLiteral("Profiles:"), {16, 16, 56, 14}, true);
    label(client, "Label4", QStringLiteral("Active Alarms:"), {192, 16, 96, 14}, true);
    label(client, "Label2", QStringLiteral("Current Time and Date:"), {376, 16, 154, 14}, true);
    label(client, "Label3", QStringLiteral("Selected Time:"), {376, 80, 98, 14}, true);

    m_savedList = place(new SortedList(client), "lstSaved", {16, 40, 169, 121});
    m_activeList = place(new SortedList(client), "lstActive", {192, 40, 169, 121});
    m_savedList->setAccessibleName(QStringLiteral("Profiles"));
    m_activeList->setAccessibleName(QStringLiteral("Active Alarms"));
    // A twin of the active list the user never sees, row for row.
    m_hiddenList = new SortedList(client); m_hiddenList->setObjectName(QStringLiteral("lstHidden"));
    m_hiddenList->hide();

    // The clock's pieces sit side by side as one line of text.
    const QFontMetrics metrics(font());
    const char *clockNames[] = {"lblTime_0", "lblTime_1", "lblTime_2"};
    const char *clockTexts[] = {"00:", "00:", "00"};
    int x = 376;
    for (int i = 0; i < 3; ++i) {
        const QString text = QString::fromLatin1(clockTexts[i]);
        m_clockLabels[i] = label(client, clockNames[i], text, {x, 40, metrics.horizontalAdvance(text), 13}, true);
        x += metrics.horizontalAdvance(text);
    }
    m_periodLabel = label(client, "lblTime2", QStringLiteral("pm"), {x + metrics.horizontalAdvance(QLatin1Char(' ')), 40, 24, 13}, true);
    m_dateLabel = label(client, "lblDate", TimeText::date(QDate(2006, 7, 31)), {376, 56, 180, 13}, true);
    m_currentTimeLabel = label(client, "lblHidden", QString(), {0, 0, 12, 21});
    m_currentTimeLabel->hide();
    m_timeLabel = label(client, "lblTime3", QStringLiteral("None"), {376, 104, 120, 13}, true);
    m_occurrenceLabel = label(client, "lblOccurrence", QString(), {376, 120, 172, 45}, true);
    m_occurrenceLabel->setWordWrap(true);
    m_occurrenceLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_missedLabel = label(client, "lblMissed", QString(), {16, 164, 264, 48}, true);
    m_missedLabel->setWordWrap(true);
    m_missedLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_missedLabel->setFont(Theme::font(7));
    m_missedLabel->hide();

    // Covers the placeholder clock until the first tick has written it.
    m_initLabel = label(client, "lblInit", QStringLiteral("Initializing..."), {376, 40, 160, 33}, true);
    m_initLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Theme::paintBlue(m_initLabel);
    m_initLabel->raise();

    m_profileButton = place(new ImageButton(QStringLiteral("New Profile"), client), "cmdProfile", {288, 184, 81, 25});
    m_alarmButton = place(new ImageButton(activateCaption, client), "cmdAlarm", {376, 184, 81, 25});
    m_exitButton = place(new ImageButton(QStringLiteral("Exit"), client), "cmdExit", {464, 184, 81, 25});
    connect(m_profileButton, &ImageButton::mouseUp, this, &MainWindow::newProfile);
    connect(m_alarmButton, &ImageButton::mouseUp, this, &MainWindow::activateOrDeactivate);
    connect(m_exitButton, &ImageButton::mouseUp, this, &MainWindow::quit);

    // Selection by mouse or arrow keys, focus, double-click and the right button.
    connect(m_savedList, &QListWidget::itemSelectionChanged, this, [this] {
        if (m_savedList->hasSelection())
            selectSavedProfile();
    });
    connect(m_savedList, &QListWidget::itemClicked, this, &MainWindow::selectSavedProfile);
    connect(m_activeList, &QListWidget::itemSelectionChanged, this, &MainWindow::selectActiveAlarm);
    connect(m_activeList, &QListWidget::itemClicked, this, &MainWindow::selectActiveAlarm);
    for (SortedList *list : {m_savedList, m_activeList}) {
        list->installEventFilter(this);
        list->viewport()->installEventFilter(this);
    }
}

void MainWindow::buildMenus()
{
    QMenu *alarmMenu = menuBar()->addMenu(QStringLiteral("Alarm")); alarmMenu->setObjectName(QStringLiteral("mnuAlarm"));
    m_activateAction = menuItem(alarmMenu, "mnuAlarmActivate", activateCaption, QKeySequence(QStringLiteral("Ctrl+A")));
    m_deactivateAction = menuItem(alarmMenu, "mnuAlarmDeactivate", deactivateCaption, QKeySequence(QStringLiteral("Ctrl+D")));
    alarmMenu->addSeparator()->setObjectName(QStringLiteral("mnuAlarmBar"));
    m_keepAction = menuItem(alarmMenu, "mnuAlarmKeep", QStringLiteral("Keep Active Alarms"));
    m_keepAction->setCheckable(true);
    m_keepAction->setChecked(m_preferences.keepsActiveAlarms());
    m_autostartAction = menuItem(alarmMenu, "mnuAlarmAutostart", QStringLiteral("Start with Desktop"));
    m_autostartAction->setCheckable(true);
    m_autostartAction->setChecked(Preferences::startsWithDesktop());
    alarmMenu->addSeparator()->setObjectName(QStringLiteral("mnuAlarmBar2"));
    QAction *closeAction = menuItem(alarmMenu, "mnuAlarmClose", QStringLiteral("Close"), QKeySequence(QStringLiteral("Ctrl+C")));
    QAction *exitAction = menuItem(alarmMenu, "mnuAlarmExit", QStringLiteral("Exit"), QKeySequence(QStringLiteral("Ctrl+X")));
    connect(m_activateAction, &QAction::triggered, this, &MainWindow::activate);
    connect(m_deactivateAction, &QAction::triggered, this, &MainWindow::deactivate);
    connect(m_keepAction, &QAction::toggled, this, &MainWindow::keepActiveAlarms);
    connect(m_autostartAction, &QAction::toggled, this, &MainWindow::startWithDesktop);
    connect(closeAction, &QAction::triggered, this, &MainWindow::hideToTray);
    connect(exitAction, &QAction::triggered, this, &MainWindow::quit);

    QMenu *profileMenu = menuBar()->addMenu(QStringLiteral("Profile")); profileMenu->setObjectName(QStringLiteral("mnuProfiles"));
    QAction *newAction = menuItem(profileMenu, "mnuProfilesNew", QStringLiteral("New"), QKeySequence(QStringLiteral("Ctrl+N")));
    QAction *modifyAction = menuItem(profileMenu, "mnuProfilesModify", QStringLiteral("Modify"), QKeySequence(QStringLiteral("Ctrl+M")));
    QAction *deleteAction = menuItem(profileMenu, "mnuProfilesDelete", QStringLiteral("Delete"), QKeySequence(QStringLiteral("Ctrl+E")));

    QAction *aboutAction = menuBar()->addAction(QStringLiteral("About")); aboutAction->setObjectName(QStringLiteral("mnuAbout"));
    connect(aboutAction, &QAction::triggered, this, &MainWindow::showAbout);

    // The right button's menu over the profile list.
    m_listMenu = new QMenu(QStringLiteral("Hidden"), this); m_listMenu->setObjectName(QStringLiteral("mnuHidden"));
    QAction *listNewAction = menuItem(m_listMenu, "mnuHiddenNew", QStringLiteral("New Profile"));
    QAction *listModifyAction = menuItem(m_listMenu, "mnuHiddenModify", QStringLiteral("Modify"));
    QAction *listDeleteAction = menuItem(m_listMenu, "mnuHiddenDelete", QStringLiteral("Delete"));
    for (QAction *item : {newAction, listNewAction})
        connect(item, &QAction::triggered, this, &MainWindow::newProfile);
    for (QAction *item : {modifyAction, listModifyAction})
        connect(item, &QAction::triggered, this, &MainWindow::modifyProfile);
    for (QAction *item : {deleteAction, listDeleteAction})
        connect(item, &QAction::triggered, this, &MainWindow::deleteProfile);

    // Not a child of this window: the tray menu must work while an alarm has
    // this window disabled.
    m_trayMenu = new QMenu(QStringLiteral("Tray")); m_trayMenu->setObjectName(QStringLiteral("mnuTray"));
    QAction *trayOpenAction = menuItem(m_trayMenu, "mnuTrayOpen", QStringLiteral("Open"));
    m_trayMenu->addSeparator()->setObjectName(QStringLiteral("mnuTrayBar"));
    QAction *trayExitAction = menuItem(m_trayMenu, "mnuTrayExit", QStringLiteral("Exit"));
    connect(trayOpenAction, &QAction::triggered, this, &MainWindow::openFromTray);
    connect(trayExitAction, &QAction::triggered, this, &MainWindow::exitFromTray);
}

void MainWindow::buildTimers()
{
    m_clockTimer = new SecondTimer(this); m_clockTimer->setObjectName(QStringLiteral("Timer1"));
    // Its wake timer is "Timer5".
    m_scheduler = new AlarmScheduler(m_store, appClock(), this);
    m_coverTimer = timer(this, "Timer2", 1000);
    m_dateTimer = timer(this, "Timer3", 1000);
    m_dateSlowdownTimer = timer(this, "Timer4", 1500);
    connect(m_clockTimer, &SecondTimer::timeout, this, &MainWindow::tickClock);
    connect(m_coverTimer, &QTimer::timeout, this, &MainWindow::hideCover);
    connect(m_dateTimer, &QTimer::timeout, this, &MainWindow::showDate);
    connect(m_dateSlowdownTimer, &QTimer::timeout, this, &MainWindow::slowDateTimer);
    connect(m_scheduler, &AlarmScheduler::alarmsDue, this, &MainWindow::ringAlarms);
    connect(m_scheduler, &AlarmScheduler::alarmsMissed, this, &MainWindow::showMissed);
}

void MainWindow::load()
{
    // A change cut short by a crash or a kill is settled first: a profile
    // taken out is put back, and every profile file is listed.
    m_store.recoverPending(m_index);
    for (const QString &name : m_index.names())
        m_savedList->addRow(name);
    if (m_savedList->count() == 0) {
        m_alarmButton->setEnabled(false);
        m_activateAction->setEnabled(false);
        m_deactivateAction->setEnabled(false);
    }
    restoreActiveAlarms();
    // The clock itself starts when the window shows: a start in the tray needs none.
    m_clockRunning = true;
    m_coverTimer->start();
    m_dateSlowdownTimer->start();
    connect(qApp, &QGuiApplication::commitDataRequest, this, &MainWindow::quit);
}

void MainWindow::tickClock()
{
    // A clock the system set without saying so (or a test's) still shows here,
    // as a second of the wall clock that is not a second of the steady one.
    const qint64 wallMs = appClock().epochMs(), steadyMs = appClock().monotonicMs();
    const bool stepped = m_clockReadAt && qAbs((wallMs - m_clockReadAt->first) - (steadyMs - m_clockReadAt->second)) > 1000;
    m_clockReadAt = {wallMs, steadyMs};
    if (stepped)
        m_scheduler->lookNow();
    const QTime now = appClock().now().time();
    m_currentTimeLabel->setText(TimeText::current(now));
    const TimeText::Face face = TimeText::face(now);
    m_clockLabels[0]->setText(face.hours + QLatin1Char(':'));
    m_clockLabels[1]->setText(face.minutes + QLatin1Char(':'));
    m_clockLabels[2]->setText(face.seconds);
    m_periodLabel->setText(face.period);
}

void MainWindow::hideCover()
{
    m_initLabel->hide();
    m_coverTimer->stop();
}

void MainWindow::showDate()
{
    m_dateLabel->setText(TimeText::date(appClock().now().date()));
}

// The date is read every second at first, then once a minute.
void MainWindow::slowDateTimer()
{
    m_dateTimer->setInterval(60000);
    m_dateSlowdownTimer->stop();
}

void MainWindow::quit()
{
    if (m_exiting)
        return;
    m_exiting = true;
    // The editor and the alarm window still change this window while they close.
    if (m_aboutWindow)
        m_aboutWindow->close();
    if (m_alarmWindow)
        m_alarmWindow->close();
    if (m_editor)
        m_editor->closeOnExit();
    close();
    QApplication::quit();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_exiting) {
        event->accept();
        return;
    }
    event->ignore();
    hideToTray();
}

// Nobody sees the clock while the window is hidden: it sleeps, and is set
// right again the moment the window shows.
void MainWindow::hideEvent(QHideEvent *event)
{
    QMainWindow::hideEvent(event);
    if (!event->spontaneous() && m_clockRunning) {
        m_clockReadAt.reset();
        m_clockTimer->stop();
        m_dateTimer->stop();
    }
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_clockRunning && !m_clockTimer->isActive() && !event->spontaneous()) {
        tickClock();
        showDate();
        m_clockTimer->start();
        m_dateTimer->start();
    }
}

void MainWindow::hideToTray()
{
    // Without a tray the window could never come back: minimise it instead.
    if (!TrayIcon::available()) {
        showMinimized();
        return;
    }
    m_tray->showIcon(windowIcon(), trayTooltip());
    hide();
}

void MainWindow::openFromTray()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    m_tray->hideIcon();
}

void MainWindow::exitFromTray()
{
    m_tray->hideIcon();
    quit();
}

void MainWindow::raiseFromElsewhere(const QString &activationToken)
{
    useActivationToken(activationToken);
    openFromTray();
}

void MainWindow::showAbout()
{
    if (!m_aboutWindow)
        m_aboutWindow = new AboutWindow;
    m_aboutWindow->show();
    m_aboutWindow->raise();
    m_aboutWindow->activateWindow();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    const bool saved = watched == m_savedList || watched == m_savedList->viewport();
    const bool active = watched == m_activeList || watched == m_activeList->viewport();
    if (!saved && !active)
        return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        saved ? focusSavedList() : selectActiveAlarm();
        break;
    case QEvent::MouseButtonPress:
        // The right button opens the menu without changing the selection.
        if (static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
            if (saved)
                m_listMenu->popup(QCursor::pos());
            return true;
        }
        break;
    case QEvent::MouseButtonDblClick:
        // After the list has handled the click, even on an empty list.
        QMetaObject::invokeMethod(this, saved ? &MainWindow::activate : &MainWindow::deactivate, Qt::QueuedConnection);
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::updateEnabled()
{
    const bool alarmUp = m_alarmWindow && !m_alarmWindow->isUnloaded();
    setEnabled(!m_editorOpen && !alarmUp);
}

// The profile list, the panel of the selected profile, and moving profiles
// between the lists.

void MainWindow::selectSavedProfile()
{
    if (!m_savedList->hasSelection())
        return;
    setAlarmCaption(false);
    // A missing or damaged file shows no time rather than a wrong one.
    const auto profile = m_store.read(m_savedList->selectedText());
    if (!profile || profile->days.size() < 2) {
        showSelectedTime({}, {});
        return;
    }
    showSelectedTime(profile->timeText(), profile->days == QLatin1String("Everyday") ? profile->days
                                                                                      : QStringLiteral("Every: ") + profile->days.chopped(2));
}

void MainWindow::focusSavedList()
{
    if (m_savedList->hasSelection())
        setAlarmCaption(false);
}

void MainWindow::selectActiveAlarm()
{
    if (m_activeList->hasSelection())
        setAlarmCaption(true);
}

void MainWindow::showSelectedTime(const QString &timeText, const QString &occurrence)
{
    m_selectedTime = timeText;
    m_timeLabel->setText(timeText.isEmpty() ? QStringLiteral("None") : timeText);
    m_occurrenceLabel->setText(occurrence);
}

void MainWindow::setAlarmCaption(bool deactivates)
{
    m_alarmButtonDeactivates = deactivates;
    m_alarmButton->setText(deactivates ? deactivateCaption : activateCaption);
}

void MainWindow::activateOrDeactivate()
{
    m_alarmButton->showNormalImage();
    if (m_alarmButtonDeactivates)
        deactivate();
    else
        activate();
}

void MainWindow::activate()
{
    // The alarm keeps the panel's time; a profile whose time could not be read
    // would give a row the rest of the program cannot take apart.
    if (!m_savedList->hasSelection() || !TimeText::profileMoment(m_selectedTime)) {
        Messages::critical(this, errorTitle, noProfileSelected);
        return;
    }
    const int at = m_active.add(m_savedList->selectedText(), m_selectedTime);
    m_activeList->addRow(m_active.at(at).row());
    m_hiddenList->addRow(m_active.at(at).row());
    m_savedList->removeRow(m_savedList->currentRow());
    showSelectedTime({}, {});
    if (m_active.count() == 1) // the sound backend loads once, well before the first alarm, after the lists repaint
        QTimer::singleShot(0, this, [] { MediaPlayer::warmUp(); });
    activeAlarmsChanged();
}

void MainWindow::deactivate()
{
    if (!m_activeList->hasSelection() || m_active.at(m_activeList->currentRow()).name.isEmpty()) {
        Messages::critical(this, errorTitle, noAlarmSelected);
        return;
    }
    moveBackToSaved(m_activeList->currentRow());
}

void MainWindow::moveBackToSaved(int activeIndex)
{
    m_savedList->addRow(m_active.at(activeIndex).name);
    m_active.remove(m_active.at(activeIndex).name);
    m_hiddenList->removeRow(activeIndex);
    m_activeList->removeRow(activeIndex);
    activeAlarmsChanged();
}

void MainWindow::disableAlarm(const QString &name)
{
    // By name only: the alarm keeps the time it was activated with, while the
    // file may have changed since.
    const int at = m_active.indexOf(name);
    if (at >= 0)
        moveBackToSaved(at);
}

void MainWindow::activeAlarmsChanged()
{
    m_scheduler->follow(m_active.rows());
    rememberActiveAlarms();
}

void MainWindow::restoreActiveAlarms()
{
    if (!m_preferences.keepsActiveAlarms())
        return;
    QStringList skipped;
    for (const QString &name : m_preferences.activeAlarms()) {
        const int row = m_savedList->rowOf(name);
        if (row >= 0) {
            m_savedList->setCurrentRow(row);
            if (TimeText::profileMoment(m_selectedTime)) {
                activate();
                continue;
            }
        }
        skipped << name;
    }
    m_savedList->clearSelection();
    rememberActiveAlarms();
    if (!skipped.isEmpty()) // after the window is up, not in its way
        QTimer::singleShot(0, this, [this, skipped] {
            Messages::information(this, Messages::appTitle,
                                  QStringLiteral("These alarms were active when Dawnbell last ran, but their profiles "
                                                 "no longer exist or cannot be read: ")
                                      + skipped.join(QStringLiteral(", ")));
        });
}

void MainWindow::rememberActiveAlarms()
{
    if (m_preferences.keepsActiveAlarms())
        m_preferences.setActiveAlarms(m_active.names());
}

void MainWindow::keepActiveAlarms(bool keep)
{
    m_preferences.setKeepsActiveAlarms(keep);
    rememberActiveAlarms();
}

void MainWindow::startWithDesktop(bool start)
{
    if (!Preferences::setStartsWithDesktop(start, QApplication::applicationFilePath())) {
        const QSignalBlocker still(m_autostartAction);
        m_autostartAction->setChecked(Preferences::startsWithDesktop());
        Messages::critical(this, QStringLiteral("Error"),
                           QStringLiteral("The desktop's autostart entry could not be changed: ") + Preferences::autostartEntry());
    }
}

// New, modify and delete: the profile list's commands.

void MainWindow::newProfile()
{
    m_profileButton->showNormalImage();
    showProfileEditor();
}

void MainWindow::showProfileEditor()
{
    m_editorOpen = true;
    updateEnabled();
    if (!m_editor) {
        m_editor = new ProfileEditor(m_store, m_modify);
        connect(m_editor, &ProfileEditor::saved, this, &MainWindow::profileSaved);
        connect(m_editor, &ProfileEditor::unloaded, this, &MainWindow::editorClosed);
    }
    m_editor->show();
    m_editor->raise();
    m_editor->activateWindow();
}

void MainWindow::editorClosed()
{
    m_editorOpen = false;
    updateEnabled();
}

void MainWindow::profileSaved(const QString &name)
{
    m_savedList->addRow(name);
    m_alarmButton->setEnabled(true);
    m_activateAction->setEnabled(true);
    m_deactivateAction->setEnabled(true);
}

void MainWindow::modifyProfile()
{
    const QString name = m_savedList->selectedText();
    const int row = m_savedList->currentRow();
    auto fail = [this] {
        if (m_editor)
            m_editor->closeWithoutPutBack();
        updateEnabled();
        Messages::critical(this, QStringLiteral("Error"), QStringLiteral("Please select a profile from the list."));
    };
    const auto profile = name.isEmpty() ? std::nullopt : m_store.read(name);
    if (!profile) {
        fail();
        return;
    }
    showProfileEditor();
    if (!m_editor->loadForModify(*profile)) {
        fail();
        return;
    }
    // The file waits in the recovery folder, not deleted, until the profile is
    // written again: a crash meanwhile loses nothing.
    if (!m_modify.takeOut(name)) {
        fail();
        return;
    }
    m_savedList->removeRow(row);
}

void MainWindow::deleteProfile()
{
    const QString failure = QStringLiteral("Please select a profile from the list and try again.") + Messages::lineBreak
                            + Messages::lineBreak
                            + QStringLiteral("If a selection has been made, then deactivate all alarms before trying again.");
    if (!m_savedList->hasSelection()) {
        Messages::critical(this, QStringLiteral("Error"), failure);
        return;
    }
    if (!Messages::askYesNo(this, QStringLiteral("Confirmation"),
                            QStringLiteral("Are you sure you want to delete the selected item?")))
        return;
    const QString name = m_savedList->selectedText();
    if (!m_store.erase(name, m_index)) {
        Messages::critical(this, QStringLiteral("Error"), failure);
        return;
    }
    m_savedList->removeRow(m_savedList->currentRow());
}

// The alarms the check found: the alarm window, the desktop notification and
// the missed report.

void MainWindow::ringAlarms(const QList<Firing> &firings, const QString &notes)
{
    if (!m_alarmWindow || m_alarmWindow->isUnloaded()) {
        m_alarmWindow = new AlarmWindow;
        connect(m_alarmWindow, &AlarmWindow::disableRequested, this, &MainWindow::disableAlarm);
        connect(m_alarmWindow, &AlarmWindow::unloaded, this, &MainWindow::alarmClosed);
        connect(m_alarmWindow, &AlarmWindow::ringing, &m_notification, &AlarmNotification::post);
        connect(m_alarmWindow, &AlarmWindow::answered, &m_notification, &AlarmNotification::withdraw);
    }
    m_alarmWindow->ring(firings, notes);
    updateEnabled();
}

void MainWindow::alarmClosed()
{
    m_scheduler->clearNotes();
    updateEnabled();
}

void MainWindow::showMissed(const QString &report, const QString &lines)
{
    m_missedReport = report;
    m_missedLabel->setText(m_missedReport);
    m_missedLabel->setToolTip(m_missedReport);
    m_missedLabel->show();
    m_tray->setToolTip(trayTooltip());
    m_tray->showMessage(QStringLiteral("Missed alarms"), lines);
}

QString MainWindow::trayTooltip() const
{
    const QString count = TrayIcon::tooltip(m_active.count());
    return m_missedReport.isEmpty() ? count : count + QLatin1Char('\n') + m_missedReport;
}

void MainWindow::raiseAlarm(const QString &activationToken)
{
    if (!m_alarmWindow || m_alarmWindow->isUnloaded())
        return;
    const bool token = useActivationToken(activationToken);
    m_alarmWindow->show();
    m_alarmWindow->raise();
    m_alarmWindow->activateWindow();
    // Without a token a Wayland desktop keeps the focus where it is: ask for attention instead.
    if (!token && QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        QApplication::alert(m_alarmWindow);
}
