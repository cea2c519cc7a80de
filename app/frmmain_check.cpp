// The alarm check: once a second while alarms are active.
#include "frmmain.h"

#include "alarm/frmalarm.h"
#include "editor/frmprofile.h"
#include "profiles/blanks.h"
#include "ui/secondtimer.h"
#include "ui/sortedlist.h"

void FrmMain::Timer5_Timer()
{
    if (lstActive->count() == 0)
        Timer5->stop();
    const QStringList rows = lstHidden->rows();
    const QList<Firing> firings = check.tick(rows);
    for (const Firing &firing : firings)
        fire(firing);
}

void FrmMain::fire(const Firing &firing)
{
    // Each ringing alarm's note starts on a line of its own.
    if (!pendingNote.isEmpty())
        pendingNote += QStringLiteral("\r\n");
    pendingNote += firing.note;
    if (trimBlanks(pendingNote).isEmpty())
        pendingNote = QStringLiteral("None.");
    if (!frmAlarm || frmAlarm->isUnloaded()) {
        frmAlarm = new FrmAlarm;
        connect(frmAlarm, &FrmAlarm::disableRequested, this, &FrmMain::disableActive);
        connect(frmAlarm, &FrmAlarm::unloaded, this, &FrmMain::alarmUnloaded);
    }
    frmAlarm->ring(firing, pendingNote);
    notifyRinging();
    setEnabled(false);
    Timer5->stop();
}

void FrmMain::disableActive(const QString &name)
{
    // By name only: the row keeps the time it was activated with, while the
    // file may have changed since.
    const QStringList rows = lstActive->rows();
    for (int at = 0; at < rows.size(); ++at) {
        if (ActiveRow::nameOf(rows[at]) == name)
            return moveBackToSaved(at);
    }
}

void FrmMain::alarmUnloaded()
{
    pendingNote.clear();
    startCheck();
    // An editor that was open when the alarm rang keeps this window for itself.
    setEnabled(!frmProfile || !frmProfile->isVisible());
}
