// The alarm check: once a second while alarms are active.
#include "frmmain.h"

#include "alarm/frmalarm.h"
#include "profiles/blanks.h"
#include "ui/secondtimer.h"
#include "ui/sortedlist.h"

void FrmMain::Timer5_Timer()
{
    if (lstActive->count() == 0)
        Timer5->stop();
    const QStringList rows = lstHidden->rows();
    const QList<Firing> firings = check.tick(rows);
    risingVolume = check.lastRisingVolume();
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
    risingVolume = firing.risingVolume;
    if (!frmAlarm || frmAlarm->isUnloaded())
        frmAlarm = new FrmAlarm(this);
    frmAlarm->ring(firing);
    setEnabled(false);
    Timer5->stop();
}
