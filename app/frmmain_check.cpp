// The alarm check: once a second while alarms are active.
#include "frmmain.h"

#include "alarm/frmalarm.h"
#include "profiles/blanks.h"
#include "ui/mediaplayer.h"
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
    // The sound due next second is opened now, so that then only starting it is
    // left; at the volume the alarm window will start it with.
    const Firing &next = check.dueNext();
    MediaPlayer::preroll(next.sound, next.risingVolume ? 10 : 100);
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
