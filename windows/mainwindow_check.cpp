// The alarm check: asleep until the next alarm is due or the clock is set.
#include "mainwindow.h"

#include "windows/alarmwindow.h"
#include "windows/profileeditor.h"
#include "profiles/blanks.h"
#include "profiles/profilestore.h"
#include "scheduler/clock.h"
#include "scheduler/timetext.h"
#include "scheduler/wallclocktimer.h"
#include "widgets/sortedlist.h"

#include <QFileSystemWatcher>

namespace {
// Even with nothing due for days the check looks again now and then: a
// change of the zone's rules is seen that way.
constexpr qint64 longestSleepMs = 6 * 3600 * 1000;
} // namespace

void MainWindow::scheduleCheck()
{
    const QStringList rows = lstHidden->rows();
    check.follow(rows);
    rememberActiveAlarms();
    const auto next = check.nextWakeMs(rows);
    if (!next)
        Timer5->stop();
    if (rows.isEmpty())
        return;
    if (!m_profilesWatcher) {
        m_profilesWatcher = new QFileSystemWatcher(this);
        // Also while no active profile can be read: one being saved anew comes back.
        connect(m_profilesWatcher, &QFileSystemWatcher::directoryChanged, this, [this] {
            if (lstHidden->count() > 0)
                scheduleCheck();
        });
    }
    if (m_profilesWatcher->directories().isEmpty())
        m_profilesWatcher->addPath(store.folder());
    // Just past the start of the due second, so the clock reads that second.
    if (next)
        Timer5->wakeAt(qMin(*next, appClock().epochMs() + longestSleepMs) + 1);
}

void MainWindow::Timer5_Timer()
{
    const CheckResult result = check.tick(lstHidden->rows());
    fire(result.firings);
    reportMissed(result.missed);
    scheduleCheck();
}

void MainWindow::fire(const QList<Firing> &firings)
{
    if (firings.isEmpty())
        return;
    for (const Firing &firing : firings) {
        // Each ringing alarm's note starts on a line of its own.
        if (!pendingNote.isEmpty())
            pendingNote += QStringLiteral("\r\n");
        pendingNote += firing.note;
        if (trimBlanks(pendingNote).isEmpty())
            pendingNote = QStringLiteral("None.");
    }
    if (!frmAlarm || frmAlarm->isUnloaded()) {
        frmAlarm = new AlarmWindow;
        connect(frmAlarm, &AlarmWindow::disableRequested, this, &MainWindow::disableActive);
        connect(frmAlarm, &AlarmWindow::unloaded, this, &MainWindow::alarmUnloaded);
        connect(frmAlarm, &AlarmWindow::ringing, &m_notification, &AlarmNotification::post);
        connect(frmAlarm, &AlarmWindow::answered, &m_notification, &AlarmNotification::withdraw);
    }
    frmAlarm->ring(firings, pendingNote);
    setEnabled(false);
}

void MainWindow::reportMissed(const QList<MissedAlarm> &missed)
{
    if (missed.isEmpty())
        return;
    QStringList lines;
    for (const MissedAlarm &alarm : missed)
        lines << alarm.name + QStringLiteral(" at ") + TimeText::check(alarm.due.time()) + QStringLiteral(", ")
                     + TimeText::date(alarm.due.date());
    m_missedReport = QStringLiteral("Missed: ") + lines.join(QStringLiteral("; "));
    lblMissed->setText(m_missedReport);
    lblMissed->setToolTip(m_missedReport);
    lblMissed->show();
    tray.setToolTip(trayTooltip());
    tray.showMessage(QStringLiteral("Missed alarms"), lines.join(QLatin1Char('\n')));
}

QString MainWindow::trayTooltip() const
{
    const QString count = TrayIcon::tooltip(lstActive->count());
    return m_missedReport.isEmpty() ? count : count + QLatin1Char('\n') + m_missedReport;
}

void MainWindow::disableActive(const QString &name)
{
    // By name only: the row keeps the time it was activated with, while the
    // file may have changed since.
    const QStringList rows = lstActive->rows();
    for (int at = 0; at < rows.size(); ++at) {
        if (ActiveRow::nameOf(rows[at]) == name)
            return moveBackToSaved(at);
    }
}

void MainWindow::alarmUnloaded()
{
    pendingNote.clear();
    // An editor that was open when the alarm rang keeps this window for itself.
    setEnabled(!frmProfile || !frmProfile->isVisible());
}
