#pragma once

#include "profiles/notelimit.h"
#include "profiles/profiledraft.h"
#include "profiles/profilerecord.h"

#include <QWidget>
#include <functional>

class DigitBox;
class ImageButton;
class MediaPlayer;
class ModifySession;
class ProfileStore;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class UpDown;

// The editor in which a profile is created or changed.
class ProfileEditor : public QWidget
{
    Q_OBJECT
public:
    ProfileEditor(ProfileStore &store, ModifySession &modify);
    ~ProfileEditor() override;

    // Turns the open editor into the modification of `profile`: its title and
    // fields. False when its days line or its rising-volume line cannot be
    // shown (the fields before it show the profile's values).
    bool loadForModify(const ProfileRecord &profile);
    // Closes after a failed modification, which has nothing to put back.
    void closeWithoutPutBack();
    // Closes as the program ends, even when the put-back fails (the next start recovers it).
    void closeOnExit();

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
    void connectControls();
    void readDraft();
    void showDraft();
    void showPlaceholder();
    QString noteText() const;
    QWidget *fieldBox(ProfileDraft::Field field) const;
    bool refuse(const ProfileDraft::Refusal &refusal);
    // Puts the profile taken out for modification back as it was; false, after
    // telling the user, when that fails.
    bool putBack();

    bool save();
    void cancel();
    void browseForSound();
    void playPreview();
    void stopPreview();
    void tickAllDays(bool ticked);
    void limitNote();

    ProfileStore &m_store;
    ModifySession &m_modify;
    ProfileDraft m_draft;
    NoteLimit m_noteLimit;
    bool m_exiting = false;
    QString m_dialogFolder; // set once a sample path chose it
    QString m_dialogFile;   // the last file chosen in this window

    QLabel *m_settingsHeading, *m_nameCaption, *m_timeCaption, *m_soundCaption, *m_occurrenceHeading, *m_noteHeading;
    QLabel *m_limitLabel;
    QLineEdit *m_nameEdit, *m_soundEdit;
    DigitBox *m_hourBox, *m_minuteBox;
    UpDown *m_hourArrows, *m_minuteArrows;
    QRadioButton *m_amOption, *m_pmOption;
    QCheckBox *m_risingCheck, *m_allCheck, *m_dayChecks[7];
    QPlainTextEdit *m_noteEdit;
    ImageButton *m_browseButton, *m_playButton, *m_stopButton, *m_saveButton, *m_cancelButton;
    MediaPlayer *m_player = nullptr; // made on the first preview
};
