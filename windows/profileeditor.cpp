#include "profileeditor.h"

#include "profiles/blanks.h"
#include "profiles/daylist.h"
#include "profiles/modifysession.h"
#include "profiles/paths.h"
#include "profiles/profilestore.h"
#include "sound/mediaplayer.h"
#include "widgets/controls.h"
#include "widgets/digitbox.h"
#include "widgets/imagebutton.h"
#include "widgets/messages.h"
#include "widgets/pictures.h"
#include "widgets/theme.h"
#include "widgets/updown.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextDocument>

using Theme::px;

using namespace Controls;

namespace {
QRect twips(int left, int top, int width, int height)
{
    return {px(left), px(top), px(width), px(height)};
}

void setTextColour(QWidget *box, const QColor &colour)
{
    QPalette p = box->palette();
    p.setColor(QPalette::Text, colour);
    box->setPalette(p);
}

QLabel *heading(QWidget *parent, const QString &name, const QString &text, const QRect &at, bool bold)
{
    auto *label = place(new QLabel(text, parent), name, at);
    if (bold)
        label->setFont(Theme::font(9, true));
    Theme::whiteText(label);
    Theme::fitWidth(label);
    return label;
}

void separator(QWidget *parent, const QString &name, int y)
{
    auto *line = place(new QFrame(parent), name, QRect(px(135), px(y), px(6955 - 135), 1));
    line->setStyleSheet(QStringLiteral("background: white"));
}
} // namespace

ProfileEditor::OpenFileDialog ProfileEditor::openFileDialog = [](QWidget *parent, const QString &title,
                                                                 const QString &folder, const QString &lastFile,
                                                                 const QString &filter) {
    QFileDialog dialog(parent, title, lastFile.isEmpty() ? folder : lastFile, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!lastFile.isEmpty())
        dialog.selectFile(lastFile);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                   : QString();
};

ProfileEditor::ProfileEditor(ProfileStore &store, ModifySession &modify) : QWidget(nullptr), m_store(store), m_modify(modify)
{
    setObjectName(QStringLiteral("frmProfile"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Create a New Profile"));
    setWindowIcon(Pictures::appIcon());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(473, 408);
    setFont(Theme::font());
    Theme::paintBlue(this);
    buildControls();
    connectControls();
    Theme::centre(this);
    m_soundEdit->setText(Paths::sampleFolder() + QStringLiteral("/Sample1.mp3"));
}

ProfileEditor::~ProfileEditor() = default;

void ProfileEditor::buildControls()
{
    m_settingsHeading = heading(this, QStringLiteral("Label4"), QStringLiteral("Alarm Settings:"), twips(240, 240, 1530, 210), true);
    m_nameCaption = heading(this, QStringLiteral("Label1"), QStringLiteral("Name:"), twips(360, 720, 570, 195), false);
    m_nameEdit = place(new QLineEdit(this), QStringLiteral("txtName"), twips(1080, 660, 2175, 350));
    m_nameEdit->setMaxLength(22);
    m_nameEdit->installEventFilter(this);
    showPlaceholder();

    m_timeCaption = heading(this, QStringLiteral("Label2"), QStringLiteral("Time:"), twips(3480, 720, 495, 195), false);
    m_hourBox = place(new DigitBox(1, 12, QStringLiteral("01"), this), QStringLiteral("txtTime"), QRect(272, 44, 26, 23));
    m_hourArrows = place(new UpDown(m_hourBox, this), QStringLiteral("UpDown1"), QRect(298, 44, 14, 23));
    m_minuteBox = place(new DigitBox(0, 59, QStringLiteral("00"), this), QStringLiteral("txtTime2"), QRect(320, 44, 26, 23));
    m_minuteArrows = place(new UpDown(m_minuteBox, this), QStringLiteral("UpDown2"), QRect(346, 44, 14, 23));
    m_amOption = place(new QRadioButton(QStringLiteral("am"), this), QStringLiteral("optTime_0"), twips(5520, 720, 615, 255));
    m_pmOption = place(new QRadioButton(QStringLiteral("pm"), this), QStringLiteral("optTime_1"), twips(6240, 720, 615, 255));
    m_amOption->setChecked(true);

    m_soundCaption = heading(this, QStringLiteral("Label3"), QStringLiteral("Sound:"), twips(360, 1200, 615, 195), false);
    m_soundEdit = place(new QLineEdit(this), QStringLiteral("txtAlarm"), twips(1080, 1120, 3975, 350));
    m_browseButton = place(new ImageButton(QStringLiteral("Browse"), this), QStringLiteral("cmdBrowse"), twips(5160, 1110, 1200, 375));
    m_stopButton = place(new ImageButton(Pictures::png(QStringLiteral(":/stop-normal.png")), Pictures::png(QStringLiteral(":/stop-hover.png")), this),
                         QStringLiteral("picStop"), twips(6480, 1110, 380, 380));
    m_playButton = place(new ImageButton(Pictures::png(QStringLiteral(":/play-normal.png")), Pictures::png(QStringLiteral(":/play-hover.png")), this),
                         QStringLiteral("picPlay"), twips(6480, 1110, 380, 380));
    for (ImageButton *picture : {m_playButton, m_stopButton}) {
        picture->setSpaceActivates(false);
        picture->setFocusPolicy(Qt::NoFocus);
    }
    m_stopButton->hide();
    m_playButton->setAccessibleName(QStringLiteral("Play sound"));
    m_stopButton->setAccessibleName(QStringLiteral("Stop sound"));
    // Names for screen readers: the caption beside each box.
    const std::pair<QWidget *, const char *> boxNames[] = {
        {m_nameEdit, "Name"}, {m_hourBox, "Hour"}, {m_minuteBox, "Minute"}, {m_soundEdit, "Sound"}};
    for (const auto &[box, boxName] : boxNames)
        box->setAccessibleName(QString::fromLatin1(boxName));

    m_risingCheck = place(new QCheckBox(QStringLiteral("Gradually Increase volume"), this), QStringLiteral("chkVolume"), twips(360, 1680, 2775, 255));
    separator(this, QStringLiteral("Line1_0"), 2160);
    m_occurrenceHeading = heading(this, QStringLiteral("Label5"), QStringLiteral("Occurrence:"), twips(240, 2280, 1215, 210), true);
    m_allCheck = place(new QCheckBox(QStringLiteral("All"), this), QStringLiteral("chkAll"), twips(360, 2640, 615, 255));
    const char *dayCaptions[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    const int dayLefts[] = {1080, 1930, 2760, 3615, 4440, 5175, 5950};
    for (int d = 0; d < 7; ++d) {
        m_dayChecks[d] = place(new QCheckBox(QString::fromLatin1(dayCaptions[d]), this), QStringLiteral("chkDays_%1").arg(d), twips(dayLefts[d], 2640, 735, 255));
        m_dayChecks[d]->setProperty("tag", DayList::weekdayNames()[d]);
    }
    separator(this, QStringLiteral("Line1_1"), 3120);
    m_noteHeading = heading(this, QStringLiteral("Label6"), QStringLiteral("Personal Note:"), twips(240, 3240, 1470, 210), true);
    m_noteEdit = place(new QPlainTextEdit(this), QStringLiteral("txtNote"), twips(360, 3600, 5655, 1695));
    m_noteEdit->setTabChangesFocus(true);
    m_noteEdit->setAccessibleName(QStringLiteral("Personal Note"));
    m_noteEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_limitLabel = heading(this, QStringLiteral("lblLimit"), QStringLiteral("200/200"), twips(6120, 5100, 705, 195), false);
    m_limitLabel->setAccessibleDescription(QStringLiteral("Characters left in the note"));
    separator(this, QStringLiteral("Line1_2"), 5520);
    m_saveButton = place(new ImageButton(QStringLiteral("Save"), this), QStringLiteral("cmdSave"), twips(4320, 5640, 1215, 375));
    m_cancelButton = place(new ImageButton(QStringLiteral("Cancel"), this), QStringLiteral("cmdCancel"), twips(5640, 5640, 1215, 375));

    for (QWidget *w : std::initializer_list<QWidget *>{m_risingCheck, m_allCheck, m_amOption, m_pmOption})
        Theme::whiteText(w);
    for (QCheckBox *day : m_dayChecks)
        Theme::whiteText(day);

    QWidget *order[] = {m_nameEdit, m_hourBox, m_minuteBox, m_amOption, m_pmOption, m_soundEdit, m_browseButton,
                        m_risingCheck, m_allCheck, m_dayChecks[0], m_dayChecks[1], m_dayChecks[2], m_dayChecks[3],
                        m_dayChecks[4], m_dayChecks[5], m_dayChecks[6], m_noteEdit, m_saveButton, m_cancelButton};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void ProfileEditor::connectControls()
{
    connect(m_allCheck, &QCheckBox::toggled, this, &ProfileEditor::tickAllDays);
    connect(m_noteEdit, &QPlainTextEdit::textChanged, this, &ProfileEditor::limitNote);
    connect(m_saveButton, &ImageButton::mouseUp, this, &ProfileEditor::save);
    connect(m_cancelButton, &ImageButton::mouseUp, this, &ProfileEditor::cancel);
    connect(m_browseButton, &ImageButton::mouseUp, this, &ProfileEditor::browseForSound);
    connect(m_playButton, &ImageButton::mouseUp, this, &ProfileEditor::playPreview);
    connect(m_stopButton, &ImageButton::mouseUp, this, &ProfileEditor::stopPreview);
}

void ProfileEditor::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_nameEdit->setFocus();
}

void ProfileEditor::showPlaceholder()
{
    m_draft.namePlaceholder = true;
    m_nameEdit->setText(ProfileDraft::placeholder);
    setTextColour(m_nameEdit, Theme::placeholderGrey);
}

bool ProfileEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_nameEdit) {
        if (event->type() == QEvent::FocusIn && m_draft.namePlaceholder) {
            m_draft.namePlaceholder = false;
            m_nameEdit->clear();
            setTextColour(m_nameEdit, Qt::black);
        } else if (event->type() == QEvent::FocusOut && m_nameEdit->text().isEmpty()) {
            showPlaceholder();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ProfileEditor::tickAllDays(bool ticked)
{
    for (QCheckBox *day : m_dayChecks) {
        day->setChecked(ticked);
        day->setEnabled(!ticked);
    }
}

QString ProfileEditor::noteText() const
{
    // The raw text: toPlainText() turns no-break blanks into plain ones, and a
    // profile put back must keep the note exactly as it was read.
    QString note = m_noteEdit->document()->toRawText();
    note.replace(QChar::ParagraphSeparator, QLatin1Char('\n')).replace(QChar::LineSeparator, QLatin1Char('\n'));
    return note.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

void ProfileEditor::limitNote()
{
    if (const auto cut = m_noteLimit.cut(noteText())) {
        const QSignalBlocker block(m_noteEdit);
        m_noteEdit->setPlainText(cut->text);
        QTextCursor cursor = m_noteEdit->textCursor();
        cursor.setPosition(cut->cursor);
        m_noteEdit->setTextCursor(cursor);
    }
    m_noteLimit.settle(noteText());
    m_limitLabel->setText(m_noteLimit.counter());
}

// The fields as the user left them; the placeholder state is the draft's own.
void ProfileEditor::readDraft()
{
    m_draft.name = m_nameEdit->text();
    m_draft.hour = m_hourBox->text();
    m_draft.minute = m_minuteBox->text();
    m_draft.pm = !m_amOption->isChecked();
    m_draft.sound = m_soundEdit->text();
    m_draft.rising = m_risingCheck->isChecked();
    m_draft.all = m_allCheck->isChecked();
    for (int d = 0; d < 7; ++d)
        m_draft.days[d] = m_dayChecks[d]->isChecked();
    m_draft.note = noteText();
}

void ProfileEditor::showDraft()
{
    m_allCheck->setChecked(m_draft.all);
    for (int d = 0; d < 7; ++d) {
        m_dayChecks[d]->setChecked(m_draft.days[d]);
        m_dayChecks[d]->setEnabled(!m_draft.all);
    }
    m_nameEdit->setText(m_draft.name);
    setTextColour(m_nameEdit, m_draft.namePlaceholder ? Theme::placeholderGrey : QColor(Qt::black));
    m_hourBox->setText(m_draft.hour);
    m_minuteBox->setText(m_draft.minute);
    (m_draft.pm ? m_pmOption : m_amOption)->setChecked(true);
    m_soundEdit->setText(m_draft.sound);
    m_risingCheck->setChecked(m_draft.rising);
    m_noteLimit.settle(m_draft.note); // a file's note may be longer than typing allows
    m_noteEdit->setPlainText(QString(m_draft.note).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

bool ProfileEditor::loadForModify(const ProfileRecord &profile)
{
    setWindowTitle(QStringLiteral("Modify a Profile"));
    readDraft();
    const bool whole = m_draft.load(profile);
    showDraft();
    return whole;
}

QWidget *ProfileEditor::fieldBox(ProfileDraft::Field field) const
{
    switch (field) {
    case ProfileDraft::Field::Hour:
        return m_hourBox;
    case ProfileDraft::Field::Minute:
        return m_minuteBox;
    case ProfileDraft::Field::Sound:
        return m_soundEdit;
    case ProfileDraft::Field::Name:
        break;
    }
    return m_nameEdit;
}

bool ProfileEditor::refuse(const ProfileDraft::Refusal &refusal)
{
    Messages::critical(this, refusal.title, refusal.text);
    fieldBox(refusal.focus)->setFocus();
    return false;
}

// Validates and writes the profile, lists it and closes.
bool ProfileEditor::save()
{
    m_saveButton->showNormalImage();
    readDraft();
    const auto nameOrTime = m_draft.checkNameAndTime();
    if (m_draft.name != m_nameEdit->text()) // a blank name saves as "Default"
        m_nameEdit->setText(m_draft.name);
    if (nameOrTime)
        return refuse(*nameOrTime);
    if (m_draft.asksAboutSilence(m_modify.active())
        && !Messages::askOkCancel(this, Messages::appTitle, ProfileDraft::silenceQuestion())) {
        m_soundEdit->setFocus();
        return false;
    }
    const auto daysOrName = m_draft.checkDaysAndName([this](const QString &name) { return m_store.exists(name); });
    m_allCheck->setChecked(m_draft.all);
    if (daysOrName)
        return refuse(*daysOrName);
    QString reason;
    if (!m_modify.save(m_draft.record(), &reason))
        return refuse(ProfileDraft::notSaved(m_draft.name, reason));
    emit saved(m_draft.name);
    cancel();
    return true;
}

bool ProfileEditor::putBack()
{
    QString reason;
    const QString name = m_modify.takenName();
    if (!m_modify.putBack(&reason))
        return refuse(ProfileDraft::notSaved(name, reason));
    emit saved(name);
    return true;
}

void ProfileEditor::cancel()
{
    m_cancelButton->showNormalImage();
    close();
}

void ProfileEditor::closeWithoutPutBack()
{
    close();
}

void ProfileEditor::closeOnExit()
{
    m_exiting = true;
    close();
}

void ProfileEditor::closeEvent(QCloseEvent *event)
{
    // A profile taken out for modification goes back byte for byte.
    if (m_modify.active() && !putBack() && !m_exiting) {
        event->ignore();
        return;
    }
    if (m_player)
        m_player->close();
    event->accept();
    emit unloaded();
}

void ProfileEditor::browseForSound()
{
    m_browseButton->showNormalImage();
    const QString path = m_soundEdit->text();
    const QString ending = path.right(11);
    if (trimBlanks(path).isEmpty() || ending == QLatin1String("Sample1.mp3") || ending == QLatin1String("Sample2.mp3"))
        m_dialogFolder = Paths::sampleFolder();
    const QString chosen = openFileDialog(this, QStringLiteral("Open File"), m_dialogFolder, m_dialogFile,
                                          QStringLiteral("MP3 Files (*.mp3);;WAV Files (*.wav)"));
    if (!chosen.isEmpty())
        m_dialogFile = chosen;
    // Cancelling after an earlier choice puts that choice back, as the dialog remembers it.
    QFile test(m_dialogFile);
    if (m_dialogFile.isEmpty() || !test.open(QIODevice::ReadOnly))
        return;
    m_soundEdit->setText(m_dialogFile);
}

void ProfileEditor::playPreview()
{
    m_playButton->showNormalImage();
    if (!m_player)
        m_player = named(new MediaPlayer(this), QStringLiteral("MediaPlayer1"));
    m_player->setUrl(m_soundEdit->text());
    const QString status = m_player->status();
    if (!status.isEmpty() && status != QLatin1String("Ready")) {
        m_playButton->hide();
        m_stopButton->show();
        return;
    }
    Messages::critical(this, QStringLiteral("Error"),
                       QStringLiteral("An error occured while trying to play the requested song.") + Messages::lineBreak
                           + QStringLiteral("Please enter a valid path and try again."));
}

void ProfileEditor::stopPreview()
{
    if (m_player)
        m_player->close();
    m_stopButton->hide();
    m_playButton->show();
}
