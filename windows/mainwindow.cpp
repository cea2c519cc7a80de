#include "mainwindow.h"

#include "windows/alarmwindow.h"
#include "windows/profileeditor.h"
#include "profiles/profileindex.h"
#include "profiles/profilestore.h"
#include "scheduler/clock.h"
#include "scheduler/timetext.h"
#include "scheduler/wallclocktimer.h"
#include "windows/aboutwindow.h"
#include "widgets/imagebutton.h"
#include "widgets/messages.h"
#include "widgets/pictures.h"
#include "scheduler/secondtimer.h"
#include "widgets/sortedlist.h"
#include "widgets/theme.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFileInfo>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTimer>

namespace {
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
} // namespace

MainWindow::MainWindow(ProfileStore &store, ProfileIndex &index, QWidget *parent)
    : QMainWindow(parent), store(store), index(index), check(store, appClock()),
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
    tray.setMenu(mnuTray);
    connect(&tray, &TrayIcon::openRequested, this, &MainWindow::mnuTrayOpen_Click);
    connectNotification();
}

MainWindow::~MainWindow()
{
    delete frmProfile;
    delete frmAlarm;
    delete frmAbout;
    delete mnuTray;
}

void MainWindow::buildControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    Theme::paintBlue(client);

    Label1 = label(client, "Label1", QStringLiteral("Profiles:"), {16, 16, 56, 14}, true);
    Label4 = label(client, "Label4", QStringLiteral("Active Alarms:"), {192, 16, 96, 14}, true);
    Label2 = label(client, "Label2", QStringLiteral("Current Time and Date:"), {376, 16, 154, 14}, true);
    Label3 = label(client, "Label3", QStringLiteral("Selected Time:"), {376, 80, 98, 14}, true);

    lstSaved = new SortedList(client);
    lstSaved->setObjectName(QStringLiteral("lstSaved"));
    lstSaved->setGeometry(16, 40, 169, 121);
    lstActive = new SortedList(client);
    lstActive->setObjectName(QStringLiteral("lstActive"));
    lstActive->setGeometry(192, 40, 169, 121);
    lstSaved->setAccessibleName(QStringLiteral("Profiles"));
    lstActive->setAccessibleName(QStringLiteral("Active Alarms"));
    lstHidden = new SortedList(client);
    lstHidden->setObjectName(QStringLiteral("lstHidden"));
    lstHidden->hide();

    // The clock's pieces sit side by side as one line of text.
    const QFontMetrics metrics(font());
    const char *clockNames[] = {"lblTime_0", "lblTime_1", "lblTime_2"};
    const char *clockTexts[] = {"00:", "00:", "00"};
    int x = 376;
    for (int i = 0; i < 3; ++i) {
        const QString text = QString::fromLatin1(clockTexts[i]);
        lblTime[i] = label(client, clockNames[i], text, {x, 40, metrics.horizontalAdvance(text), 13}, true);
        x += metrics.horizontalAdvance(text);
    }
    lblTime2 = label(client, "lblTime2", QStringLiteral("pm"), {x + metrics.horizontalAdvance(QLatin1Char(' ')), 40, 24, 13}, true);
    lblDate = label(client, "lblDate", TimeText::date(QDate(2006, 7, 31)), {376, 56, 180, 13}, true);
    lblHidden = label(client, "lblHidden", QString(), {0, 0, 12, 21});
    lblHidden->hide();
    lblTime3 = label(client, "lblTime3", QStringLiteral("None"), {376, 104, 120, 13}, true);
    lblOccurrence = label(client, "lblOccurrence", QString(), {376, 120, 172, 45}, true);
    lblOccurrence->setWordWrap(true);
    lblOccurrence->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblMissed = label(client, "lblMissed", QString(), {16, 164, 264, 48}, true);
    lblMissed->setWordWrap(true);
    lblMissed->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblMissed->setFont(Theme::font(7));
    lblMissed->hide();

    // Covers the placeholder clock until the first tick has written it.
    lblInit = label(client, "lblInit", QStringLiteral("Initializing..."), {376, 40, 160, 33}, true);
    lblInit->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Theme::paintBlue(lblInit);
    lblInit->raise();

    cmdProfile = new ImageButton(QStringLiteral("New Profile"), client);
    cmdProfile->setObjectName(QStringLiteral("cmdProfile"));
    cmdProfile->setGeometry(288, 184, 81, 25);
    cmdAlarm = new ImageButton(QStringLiteral("Activate"), client);
    cmdAlarm->setObjectName(QStringLiteral("cmdAlarm"));
    cmdAlarm->setGeometry(376, 184, 81, 25);
    cmdExit = new ImageButton(QStringLiteral("Exit"), client);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    cmdExit->setGeometry(464, 184, 81, 25);
    connect(cmdProfile, &ImageButton::mouseUp, this, &MainWindow::cmdProfile_MouseUp);
    connect(cmdAlarm, &ImageButton::mouseUp, this, &MainWindow::cmdAlarm_MouseUp);
    connect(cmdExit, &ImageButton::mouseUp, this, &MainWindow::cmdExit_MouseUp);

    // Selection by mouse or arrow keys, focus, double-click and the right button.
    connect(lstSaved, &QListWidget::itemSelectionChanged, this, [this] {
        if (lstSaved->hasSelection())
            lstSaved_Click();
    });
    connect(lstSaved, &QListWidget::itemClicked, this, &MainWindow::lstSaved_Click);
    connect(lstActive, &QListWidget::itemSelectionChanged, this, &MainWindow::lstActive_Click);
    connect(lstActive, &QListWidget::itemClicked, this, &MainWindow::lstActive_Click);
    for (SortedList *list : {lstSaved, lstActive}) {
        list->installEventFilter(this);
        list->viewport()->installEventFilter(this);
    }
}

void MainWindow::buildMenus()
{
    mnuAlarm = menuBar()->addMenu(QStringLiteral("Alarm"));
    mnuAlarm->setObjectName(QStringLiteral("mnuAlarm"));
    mnuAlarmActivate = menuItem(mnuAlarm, "mnuAlarmActivate", QStringLiteral("Activate"), QKeySequence(QStringLiteral("Ctrl+A")));
    mnuAlarmDeactivate = menuItem(mnuAlarm, "mnuAlarmDeactivate", QStringLiteral("Deactivate"), QKeySequence(QStringLiteral("Ctrl+D")));
    mnuAlarm->addSeparator()->setObjectName(QStringLiteral("mnuAlarmBar"));
    mnuAlarmKeep = menuItem(mnuAlarm, "mnuAlarmKeep", QStringLiteral("Keep Active Alarms"));
    mnuAlarmKeep->setCheckable(true);
    mnuAlarmKeep->setChecked(m_preferences.keepsActiveAlarms());
    mnuAlarmAutostart = menuItem(mnuAlarm, "mnuAlarmAutostart", QStringLiteral("Start with Desktop"));
    mnuAlarmAutostart->setCheckable(true);
    mnuAlarmAutostart->setChecked(Preferences::startsWithDesktop());
    mnuAlarm->addSeparator()->setObjectName(QStringLiteral("mnuAlarmBar2"));
    mnuAlarmClose = menuItem(mnuAlarm, "mnuAlarmClose", QStringLiteral("Close"), QKeySequence(QStringLiteral("Ctrl+C")));
    mnuAlarmExit = menuItem(mnuAlarm, "mnuAlarmExit", QStringLiteral("Exit"), QKeySequence(QStringLiteral("Ctrl+X")));

    mnuProfiles = menuBar()->addMenu(QStringLiteral("Profile"));
    mnuProfiles->setObjectName(QStringLiteral("mnuProfiles"));
    mnuProfilesNew = menuItem(mnuProfiles, "mnuProfilesNew", QStringLiteral("New"), QKeySequence(QStringLiteral("Ctrl+N")));
    mnuProfilesModify = menuItem(mnuProfiles, "mnuProfilesModify", QStringLiteral("Modify"), QKeySequence(QStringLiteral("Ctrl+M")));
    mnuProfilesDelete = menuItem(mnuProfiles, "mnuProfilesDelete", QStringLiteral("Delete"), QKeySequence(QStringLiteral("Ctrl+E")));

    mnuAbout = menuBar()->addAction(QStringLiteral("About"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));

    mnuHidden = new QMenu(QStringLiteral("Hidden"), this);
    mnuHidden->setObjectName(QStringLiteral("mnuHidden"));
    mnuHiddenNew = menuItem(mnuHidden, "mnuHiddenNew", QStringLiteral("New Profile"));
    mnuHiddenModify = menuItem(mnuHidden, "mnuHiddenModify", QStringLiteral("Modify"));
    mnuHiddenDelete = menuItem(mnuHidden, "mnuHiddenDelete", QStringLiteral("Delete"));

    // Not a child of this window: the tray menu must work while an alarm has
    // this window disabled.
    mnuTray = new QMenu(QStringLiteral("Tray"));
    mnuTray->setObjectName(QStringLiteral("mnuTray"));
    mnuTrayOpen = menuItem(mnuTray, "mnuTrayOpen", QStringLiteral("Open"));
    mnuTray->addSeparator()->setObjectName(QStringLiteral("mnuTrayBar"));
    mnuTrayExit = menuItem(mnuTray, "mnuTrayExit", QStringLiteral("Exit"));

    connect(mnuAlarmActivate, &QAction::triggered, this, &MainWindow::activate);
    connect(mnuAlarmDeactivate, &QAction::triggered, this, &MainWindow::deactivate);
    connect(mnuAlarmKeep, &QAction::toggled, this, [this](bool keep) {
        m_preferences.setKeepsActiveAlarms(keep);
        rememberActiveAlarms();
    });
    connect(mnuAlarmAutostart, &QAction::toggled, this, [this](bool start) {
        if (!Preferences::setStartsWithDesktop(start, QApplication::applicationFilePath())) {
            const QSignalBlocker still(mnuAlarmAutostart);
            mnuAlarmAutostart->setChecked(Preferences::startsWithDesktop());
            Messages::critical(this, QStringLiteral("Error"),
                               QStringLiteral("The desktop's autostart entry could not be changed: ") + Preferences::autostartEntry());
        }
    });
    connect(mnuAlarmClose, &QAction::triggered, this, &MainWindow::mnuAlarmClose_Click);
    connect(mnuAlarmExit, &QAction::triggered, this, &MainWindow::cmdExit_MouseUp);
    for (QAction *item : {mnuProfilesNew, mnuHiddenNew})
        connect(item, &QAction::triggered, this, &MainWindow::cmdProfile_MouseUp);
    for (QAction *item : {mnuProfilesModify, mnuHiddenModify})
        connect(item, &QAction::triggered, this, &MainWindow::mnuHiddenModify_Click);
    for (QAction *item : {mnuProfilesDelete, mnuHiddenDelete})
        connect(item, &QAction::triggered, this, &MainWindow::mnuHiddenDelete_Click);
    connect(mnuAbout, &QAction::triggered, this, &MainWindow::mnuAbout_Click);
    connect(mnuTrayOpen, &QAction::triggered, this, &MainWindow::mnuTrayOpen_Click);
    connect(mnuTrayExit, &QAction::triggered, this, &MainWindow::mnuTrayExit_Click);
}

void MainWindow::buildTimers()
{
    Timer1 = new SecondTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer5 = new WallClockTimer(this);
    Timer5->setObjectName(QStringLiteral("Timer5"));
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(1000);
    Timer3 = new QTimer(this);
    Timer3->setObjectName(QStringLiteral("Timer3"));
    Timer3->setInterval(1000);
    Timer4 = new QTimer(this);
    Timer4->setObjectName(QStringLiteral("Timer4"));
    Timer4->setInterval(1500);
    connect(Timer1, &SecondTimer::timeout, this, &MainWindow::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &MainWindow::Timer2_Timer);
    connect(Timer3, &QTimer::timeout, this, &MainWindow::Timer3_Timer);
    connect(Timer4, &QTimer::timeout, this, &MainWindow::Timer4_Timer);
    connect(Timer5, &WallClockTimer::timeout, this, &MainWindow::Timer5_Timer);
}

void MainWindow::Form_Load()
{
    // A change cut short by a crash or a kill is settled first: a profile
    // taken out is put back, and every profile file is listed.
    store.recoverPending(index);
    for (const QString &name : index.names())
        lstSaved->addRow(name);
    if (lstSaved->count() == 0) {
        cmdAlarm->setEnabled(false);
        mnuAlarmActivate->setEnabled(false);
        mnuAlarmDeactivate->setEnabled(false);
    }
    restoreActiveAlarms();
    // The clock itself starts when the window shows: a start in the tray needs none.
    m_clockRunning = true;
    Timer2->start();
    Timer4->start();
    connect(qApp, &QGuiApplication::commitDataRequest, this, &MainWindow::cmdExit_MouseUp);
}

void MainWindow::Timer1_Timer()
{
    // A clock the system set without saying so (or a test's) still shows here,
    // as a second of the wall clock that is not a second of the steady one.
    const qint64 wallMs = appClock().epochMs(), steadyMs = appClock().monotonicMs();
    const bool stepped = m_clockReadAt && qAbs((wallMs - m_clockReadAt->first) - (steadyMs - m_clockReadAt->second)) > 1000;
    m_clockReadAt = {wallMs, steadyMs};
    if (stepped && lstHidden->count() > 0)
        Timer5_Timer();
    const QTime now = appClock().now().time();
    lblHidden->setText(TimeText::current(now));
    const TimeText::Face face = TimeText::face(now);
    lblTime[0]->setText(face.hours + QLatin1Char(':'));
    lblTime[1]->setText(face.minutes + QLatin1Char(':'));
    lblTime[2]->setText(face.seconds);
    lblTime2->setText(face.period);
}

void MainWindow::Timer2_Timer()
{
    lblInit->hide();
    Timer2->stop();
}

void MainWindow::Timer3_Timer()
{
    lblDate->setText(TimeText::date(appClock().now().date()));
}

void MainWindow::Timer4_Timer()
{
    Timer3->setInterval(60000);
    Timer4->stop();
}

void MainWindow::cmdExit_MouseUp()
{
    if (m_exiting)
        return;
    m_exiting = true;
    // The editor and the alarm window still change this window while they close.
    if (frmAbout)
        frmAbout->close();
    if (frmAlarm)
        frmAlarm->close();
    if (frmProfile)
        frmProfile->closeOnExit();
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
        Timer1->stop();
        Timer3->stop();
    }
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_clockRunning && !Timer1->isActive() && !event->spontaneous()) {
        Timer1_Timer();
        Timer3_Timer();
        Timer1->start();
        Timer3->start();
    }
}

void MainWindow::mnuAlarmClose_Click()
{
    hideToTray();
}

void MainWindow::hideToTray()
{
    // Without a tray the window could never come back: minimise it instead.
    if (!TrayIcon::available()) {
        showMinimized();
        return;
    }
    tray.AddTrayIcon(windowIcon(), trayTooltip());
    hide();
}

void MainWindow::mnuTrayOpen_Click()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    tray.RemoveTrayIcon();
}

void MainWindow::mnuTrayExit_Click()
{
    tray.RemoveTrayIcon();
    cmdExit_MouseUp();
}

void MainWindow::mnuAbout_Click()
{
    if (!frmAbout)
        frmAbout = new AboutWindow;
    frmAbout->show();
    frmAbout->raise();
    frmAbout->activateWindow();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    const bool saved = watched == lstSaved || watched == lstSaved->viewport();
    const bool active = watched == lstActive || watched == lstActive->viewport();
    if (!saved && !active)
        return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        saved ? lstSaved_GotFocus() : lstActive_Click();
        break;
    case QEvent::MouseButtonPress:
        // The right button opens the menu without changing the selection.
        if (static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
            if (saved)
                mnuHidden->popup(QCursor::pos());
            return true;
        }
        break;
    case QEvent::MouseButtonDblClick:
        // After the list has handled the click, even on an empty list.
        QMetaObject::invokeMethod(this, saved ? &MainWindow::lstSaved_DblClick : &MainWindow::lstActive_DblClick,
                                  Qt::QueuedConnection);
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::restoreActiveAlarms()
{
    if (!m_preferences.keepsActiveAlarms())
        return;
    QStringList skipped;
    for (const QString &name : m_preferences.activeAlarms()) {
        const int row = lstSaved->rowOf(name);
        if (row >= 0) {
            lstSaved->setCurrentRow(row);
            if (TimeText::profileMoment(lblTime3->text())) {
                activate();
                continue;
            }
        }
        skipped << name;
    }
    lstSaved->clearSelection();
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
    if (!m_preferences.keepsActiveAlarms())
        return;
    QStringList names;
    for (const QString &row : lstHidden->rows())
        names << ActiveRow::nameOf(row);
    m_preferences.setActiveAlarms(names);
}
