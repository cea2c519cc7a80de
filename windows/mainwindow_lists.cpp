// The profile list, its detail panel, and moving profiles between the lists.
#include "mainwindow.h"

#include "profiles/profilestore.h"
#include "scheduler/timetext.h"
#include "widgets/imagebutton.h"
#include "sound/mediaplayer.h"
#include "widgets/messages.h"
#include "scheduler/secondtimer.h"
#include "widgets/sortedlist.h"

#include <QTimer>

namespace {
const QString activateCaption = QStringLiteral("Activate");
const QString deactivateCaption = QStringLiteral("Deactivate");
const QString errorTitle = QStringLiteral("Error");
const QString noProfileSelected = QStringLiteral("Please select an item from the profile list to activate.");
const QString noAlarmSelected = QStringLiteral("Please select an item from the list to deactivate.");
} // namespace

void MainWindow::lstSaved_Click()
{
    if (!lstSaved->hasSelection())
        return;
    cmdAlarm->setText(activateCaption);
    // A missing or damaged file shows no time rather than a wrong one.
    const auto profile = store.read(lstSaved->selectedText());
    if (!profile || profile->days.size() < 2) {
        lblTime3->setText(QStringLiteral("None"));
        lblOccurrence->clear();
        return;
    }
    lblTime3->setText(profile->timeText());
    lblOccurrence->setText(profile->days == QLatin1String("Everyday")
                               ? profile->days
                               : QStringLiteral("Every: ") + profile->days.chopped(2));
}

void MainWindow::lstSaved_GotFocus()
{
    if (lstSaved->hasSelection())
        cmdAlarm->setText(activateCaption);
}

void MainWindow::lstActive_Click()
{
    if (lstActive->hasSelection())
        cmdAlarm->setText(deactivateCaption);
}

void MainWindow::lstSaved_DblClick()
{
    activate();
}

void MainWindow::lstActive_DblClick()
{
    deactivate();
}

void MainWindow::cmdAlarm_MouseUp()
{
    cmdAlarm->showNormalImage();
    if (cmdAlarm->text() == activateCaption)
        activate();
    else
        deactivate();
}

void MainWindow::activate()
{
    // The row carries the panel's time; a profile whose time could not be read
    // would give a row the rest of the program cannot take apart.
    const QString timeText = lblTime3->text();
    if (!lstSaved->hasSelection() || !TimeText::profileMoment(timeText)) {
        Messages::critical(this, errorTitle, noProfileSelected);
        return;
    }
    const QString row = ActiveRow::compose(lstSaved->selectedText(), timeText);
    lstActive->addRow(row);
    lstHidden->addRow(row);
    lstSaved->removeRow(lstSaved->currentRow());
    lblTime3->setText(QStringLiteral("None"));
    lblOccurrence->clear();
    if (lstActive->count() == 1) // the sound backend loads once, well before the first alarm, after the lists repaint
        QTimer::singleShot(0, this, [] { MediaPlayer::warmUp(); });
    scheduleCheck();
}

void MainWindow::deactivate()
{
    if (!lstActive->hasSelection() || ActiveRow::nameOf(lstActive->selectedText()).isEmpty()) {
        Messages::critical(this, errorTitle, noAlarmSelected);
        return;
    }
    moveBackToSaved(lstActive->currentRow());
}

void MainWindow::moveBackToSaved(int activeRow)
{
    lstSaved->addRow(ActiveRow::nameOf(lstActive->item(activeRow)->text()));
    lstHidden->removeRow(activeRow);
    lstActive->removeRow(activeRow);
    scheduleCheck();
}

void MainWindow::profileSaved(const QString &name)
{
    lstSaved->addRow(name);
    cmdAlarm->setEnabled(true);
    mnuAlarmActivate->setEnabled(true);
    mnuAlarmDeactivate->setEnabled(true);
}

