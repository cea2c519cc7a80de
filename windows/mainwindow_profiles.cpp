// New, modify and delete: the profile list's commands.
#include "mainwindow.h"

#include "windows/alarmwindow.h"
#include "windows/profileeditor.h"
#include "profiles/profileindex.h"
#include "profiles/profilestore.h"
#include "widgets/imagebutton.h"
#include "widgets/messages.h"
#include "widgets/sortedlist.h"

void MainWindow::showProfileEditor()
{
    setEnabled(false);
    if (!frmProfile) {
        frmProfile = new ProfileEditor(store, modify);
        connect(frmProfile, &ProfileEditor::saved, this, &MainWindow::profileSaved);
        // An alarm window that opened meanwhile keeps this window for itself.
        connect(frmProfile, &ProfileEditor::unloaded, this, [this] { setEnabled(!frmAlarm || frmAlarm->isUnloaded()); });
    }
    frmProfile->show();
    frmProfile->raise();
    frmProfile->activateWindow();
}

void MainWindow::cmdProfile_MouseUp()
{
    cmdProfile->showNormalImage();
    showProfileEditor();
}

void MainWindow::mnuHiddenModify_Click()
{
    const QString name = lstSaved->selectedText();
    const int row = lstSaved->currentRow();
    auto fail = [this] {
        if (frmProfile)
            frmProfile->closeWithoutPutBack();
        setEnabled(true);
        Messages::critical(this, QStringLiteral("Error"), QStringLiteral("Please select a profile from the list."));
    };
    const auto profile = name.isEmpty() ? std::nullopt : store.read(name);
    if (!profile) {
        fail();
        return;
    }
    showProfileEditor();
    if (!frmProfile->loadForModify(*profile)) {
        fail();
        return;
    }
    // The file waits in the recovery folder, not deleted, until the profile is
    // written again: a crash meanwhile loses nothing.
    if (!modify.takeOut(name)) {
        fail();
        return;
    }
    lstSaved->removeRow(row);
}

void MainWindow::mnuHiddenDelete_Click()
{
    const QString failure = QStringLiteral("Please select a profile from the list and try again.") + Messages::lineBreak
                            + Messages::lineBreak
                            + QStringLiteral("If a selection has been made, then deactivate all alarms before trying again.");
    if (!lstSaved->hasSelection()) {
        Messages::critical(this, QStringLiteral("Error"), failure);
        return;
    }
    if (!Messages::askYesNo(this, QStringLiteral("Confirmation"),
                            QStringLiteral("Are you sure you want to delete the selected item?")))
        return;
    const QString name = lstSaved->selectedText();
    if (!store.erase(name, index)) {
        Messages::critical(this, QStringLiteral("Error"), failure);
        return;
    }
    lstSaved->removeRow(lstSaved->currentRow());
}
