#pragma once

#include "profiles/profilerecord.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QWidget>
#include <functional>

class DigitBox;
class ModifySession;
class ProfileStore;
class ImageButton;
class MediaPlayer;
class UpDown;

// The editor in which a profile is created or changed.
class ProfileEditor : public QWidget
{
    Q_OBJECT
public:
    ProfileEditor(ProfileStore &store, ModifySession &modify);
    ~ProfileEditor() override;

    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *lblLimit;
    QLineEdit *txtName, *txtAlarm;
    DigitBox *txtTime, *txtTime2;
    UpDown *UpDown1, *UpDown2;
    QRadioButton *optTime[2];
    QCheckBox *chkVolume, *chkAll, *chkDays[7];
    QPlainTextEdit *txtNote;
    ImageButton *cmdBrowse, *picPlay, *picStop, *cmdSave, *cmdCancel;
    MediaPlayer *MediaPlayer1 = nullptr; // made on the first preview

    // Turns the open editor into the modification of `profile`: its title and
    // fields. False as FillEditorFromProfile.
    bool loadForModify(const ProfileRecord &profile);
    // Shows a profile's texts in the fields; false when its days line or its
    // rising-volume line cannot be shown (the fields set so far keep their values).
    bool FillEditorFromProfile(const ProfileRecord &profile);
    // The note with CR LF line breaks, as the file holds it.
    QString noteText() const;
    bool nameIsPlaceholder() const;

    // Validates and writes the profile, lists it and closes; false when a check
    // or the write stopped it.
    bool cmdSave_MouseUp();
    void cmdCancel_MouseUp();
    void cmdBrowse_MouseUp();
    void picPlay_MouseUp();
    void picStop_MouseUp();
    // Closes after a failed modification, which has nothing to put back.
    void closeWithoutPutBack();
    // Closes as the program ends, even when the put-back fails (the next start recovers it).
    void closeOnExit();
    // Puts the profile taken out for modification back as it was; false, after
    // telling the user, when that fails.
    bool putBack();

    // The file dialog, replaceable by tests: (parent, title, initial folder,
    // last chosen file, filter) → the chosen file or empty.
    using OpenFileDialog = std::function<QString(QWidget *, const QString &, const QString &, const QString &,
                                                 const QString &)>;
    static OpenFileDialog openFileDialog;

signals:
    // Written and to be listed: a new or modified profile, or one put back.
    void saved(const QString &name);
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    void showPlaceholder();
    void chkAll_Click(bool ticked);
    void txtNote_Change();
    bool refuse(const QString &title, const QString &text, QWidget *focus);
    ProfileStore &m_store;
    ModifySession &m_modify;
    bool m_exiting = false;
    QString m_dialogFolder; // set once a sample path chose it
    QString m_dialogFile;   // the last file chosen in this window
    QString m_lastNote;     // the note before the change that overfilled it
};
