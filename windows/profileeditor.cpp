#include "profileeditor.h"

#include "profiles/modifysession.h"
#include "profiles/paths.h"
#include "widgets/digitbox.h"
#include "widgets/updown.h"
#include "profiles/daylist.h"
#include "widgets/imagebutton.h"
#include "sound/mediaplayer.h"
#include "widgets/pictures.h"
#include "widgets/theme.h"

#include <QCloseEvent>
#include <QFrame>
#include <QRegularExpression>
#include <QTextDocument>

using Theme::px;

namespace {
constexpr int noteLimit = 200;
const QString placeholderText = QStringLiteral("Name or Description");

QRect twips(int left, int top, int width, int height)
{
    return {px(left), px(top), px(width), px(height)};
}

template <typename W> W *place(W *widget, const char *name, const QRect &at)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(at);
    return widget;
}

void setTextColour(QWidget *box, const QColor &colour)
{
    QPalette p = box->palette();
    p.setColor(QPalette::Text, colour);
    box->setPalette(p);
}

QLabel *heading(QWidget *parent, const char *name, const QString &text, const QRect &at, bool bold)
{
    auto *label = place(new QLabel(text, parent), name, at);
    if (bold)
        label->setFont(Theme::font(9, true));
    Theme::whiteText(label);
    Theme::fitWidth(label);
    return label;
}

void separator(QWidget *parent, int index, int y)
{
    auto *line = place(new QFrame(parent), "Line1", QRect(px(135), px(y), px(6955 - 135), 1));
    line->setObjectName(QStringLiteral("Line1_%1").arg(index));
    line->setStyleSheet(QStringLiteral("background: white"));
}
} // namespace

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
    Theme::centre(this);
    txtAlarm->setText(Paths::sampleFolder() + QStringLiteral("/Sample1.mp3"));
}

ProfileEditor::~ProfileEditor() = default;

void ProfileEditor::buildControls()
{
    Label4 = heading(this, "Label4", QStringLiteral("Alarm Settings:"), twips(240, 240, 1530, 210), true);
    Label1 = heading(this, "Label1", QStringLiteral("Name:"), twips(360, 720, 570, 195), false);
    txtName = place(new QLineEdit(this), "txtName", twips(1080, 660, 2175, 350));
    txtName->setMaxLength(22);
    txtName->installEventFilter(this);
    showPlaceholder();

    Label2 = heading(this, "Label2", QStringLiteral("Time:"), twips(3480, 720, 495, 195), false);
    txtTime = place(new DigitBox(1, 12, QStringLiteral("01"), this), "txtTime", QRect(272, 44, 26, 23));
    UpDown1 = place(new UpDown(txtTime, this), "UpDown1", QRect(298, 44, 14, 23));
    txtTime2 = place(new DigitBox(0, 59, QStringLiteral("00"), this), "txtTime2", QRect(320, 44, 26, 23));
    UpDown2 = place(new UpDown(txtTime2, this), "UpDown2", QRect(346, 44, 14, 23));
    optTime[0] = place(new QRadioButton(QStringLiteral("am"), this), "optTime_0", twips(5520, 720, 615, 255));
    optTime[1] = place(new QRadioButton(QStringLiteral("pm"), this), "optTime_1", twips(6240, 720, 615, 255));
    optTime[0]->setChecked(true);

    Label3 = heading(this, "Label3", QStringLiteral("Sound:"), twips(360, 1200, 615, 195), false);
    txtAlarm = place(new QLineEdit(this), "txtAlarm", twips(1080, 1120, 3975, 350));
    cmdBrowse = place(new ImageButton(QStringLiteral("Browse"), this), "cmdBrowse", twips(5160, 1110, 1200, 375));
    picStop = place(new ImageButton(Pictures::png(QStringLiteral(":/stop-normal.png")), Pictures::png(QStringLiteral(":/stop-hover.png")), this),
                    "picStop", twips(6480, 1110, 380, 380));
    picPlay = place(new ImageButton(Pictures::png(QStringLiteral(":/play-normal.png")), Pictures::png(QStringLiteral(":/play-hover.png")), this),
                    "picPlay", twips(6480, 1110, 380, 380));
    for (ImageButton *picture : {picPlay, picStop}) {
        picture->setSpaceActivates(false);
        picture->setFocusPolicy(Qt::NoFocus);
    }
    picStop->hide();
    picPlay->setAccessibleName(QStringLiteral("Play sound"));
    picStop->setAccessibleName(QStringLiteral("Stop sound"));
    // Names for screen readers: the caption beside each box.
    const std::pair<QWidget *, const char *> boxNames[] = {
        {txtName, "Name"}, {txtTime, "Hour"}, {txtTime2, "Minute"}, {txtAlarm, "Sound"}};
    for (const auto &[box, boxName] : boxNames)
        box->setAccessibleName(QString::fromLatin1(boxName));

    chkVolume = place(new QCheckBox(QStringLiteral("Gradually Increase volume"), this), "chkVolume", twips(360, 1680, 2775, 255));
    separator(this, 0, 2160);
    Label5 = heading(this, "Label5", QStringLiteral("Occurrence:"), twips(240, 2280, 1215, 210), true);
    chkAll = place(new QCheckBox(QStringLiteral("All"), this), "chkAll", twips(360, 2640, 615, 255));
    const char *dayCaptions[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    const int dayLefts[] = {1080, 1930, 2760, 3615, 4440, 5175, 5950};
    for (int d = 0; d < 7; ++d) {
        chkDays[d] = place(new QCheckBox(QString::fromLatin1(dayCaptions[d]), this), "chkDays", twips(dayLefts[d], 2640, 735, 255));
        chkDays[d]->setObjectName(QStringLiteral("chkDays_%1").arg(d));
        chkDays[d]->setProperty("tag", DayList::weekdayNames()[d]);
    }
    separator(this, 1, 3120);
    Label6 = heading(this, "Label6", QStringLiteral("Personal Note:"), twips(240, 3240, 1470, 210), true);
    txtNote = place(new QPlainTextEdit(this), "txtNote", twips(360, 3600, 5655, 1695));
    txtNote->setTabChangesFocus(true);
    txtNote->setAccessibleName(QStringLiteral("Personal Note"));
    txtNote->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lblLimit = heading(this, "lblLimit", QStringLiteral("200/200"), twips(6120, 5100, 705, 195), false);
    lblLimit->setAccessibleDescription(QStringLiteral("Characters left in the note"));
    separator(this, 2, 5520);
    cmdSave = place(new ImageButton(QStringLiteral("Save"), this), "cmdSave", twips(4320, 5640, 1215, 375));
    cmdCancel = place(new ImageButton(QStringLiteral("Cancel"), this), "cmdCancel", twips(5640, 5640, 1215, 375));

    for (QWidget *w : std::initializer_list<QWidget *>{chkVolume, chkAll, optTime[0], optTime[1]})
        Theme::whiteText(w);
    for (QCheckBox *day : chkDays)
        Theme::whiteText(day);

    QWidget *order[] = {txtName, txtTime, txtTime2, optTime[0], optTime[1], txtAlarm, cmdBrowse, chkVolume, chkAll,
                        chkDays[0], chkDays[1], chkDays[2], chkDays[3], chkDays[4], chkDays[5], chkDays[6], txtNote,
                        cmdSave, cmdCancel};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(chkAll, &QCheckBox::toggled, this, &ProfileEditor::chkAll_Click);
    connect(txtNote, &QPlainTextEdit::textChanged, this, &ProfileEditor::txtNote_Change);
    connect(cmdSave, &ImageButton::mouseUp, this, &ProfileEditor::cmdSave_MouseUp);
    connect(cmdCancel, &ImageButton::mouseUp, this, &ProfileEditor::cmdCancel_MouseUp);
    connect(cmdBrowse, &ImageButton::mouseUp, this, &ProfileEditor::cmdBrowse_MouseUp);
    connect(picPlay, &ImageButton::mouseUp, this, &ProfileEditor::picPlay_MouseUp);
    connect(picStop, &ImageButton::mouseUp, this, &ProfileEditor::picStop_MouseUp);
}

void ProfileEditor::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    txtName->setFocus();
}

bool ProfileEditor::nameIsPlaceholder() const
{
    return txtName->palette().color(QPalette::Text) == Theme::placeholderGrey;
}

void ProfileEditor::showPlaceholder()
{
    txtName->setText(placeholderText);
    setTextColour(txtName, Theme::placeholderGrey);
}

bool ProfileEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtName) {
        if (event->type() == QEvent::FocusIn && nameIsPlaceholder()) {
            txtName->clear();
            setTextColour(txtName, Qt::black);
        } else if (event->type() == QEvent::FocusOut && txtName->text().isEmpty()) {
            showPlaceholder();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ProfileEditor::chkAll_Click(bool ticked)
{
    for (QCheckBox *day : chkDays) {
        day->setChecked(ticked);
        day->setEnabled(!ticked);
    }
}

QString ProfileEditor::noteText() const
{
    // The raw text: toPlainText() turns no-break blanks into plain ones, and a
    // profile put back must keep the note exactly as it was read.
    QString note = txtNote->document()->toRawText();
    note.replace(QChar::ParagraphSeparator, QLatin1Char('\n')).replace(QChar::LineSeparator, QLatin1Char('\n'));
    return note.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

void ProfileEditor::txtNote_Change()
{
    // An insertion past the limit keeps what fits of it, as a length-limited
    // box does; a longer note filled in from a file stays.
    QString note = noteText();
    if (note.size() > noteLimit && note.size() > m_lastNote.size()) {
        const QString crlf = QStringLiteral("\r\n"), lf = QStringLiteral("\n");
        const QString before = QString(m_lastNote).replace(crlf, lf), now = QString(note).replace(crlf, lf);
        qsizetype head = 0, tail = 0;
        while (head < before.size() && head < now.size() && before[head] == now[head])
            ++head;
        while (tail < before.size() - head && tail < now.size() - head
               && before[before.size() - 1 - tail] == now[now.size() - 1 - tail])
            ++tail;
        qsizetype room = noteLimit - (head + tail + before.left(head).count(u'\n') + before.right(tail).count(u'\n'));
        QString fits;
        for (QChar c : now.mid(head, now.size() - head - tail)) {
            room -= c == u'\n' ? 2 : 1;
            if (room < 0)
                break;
            fits += c;
        }
        const QSignalBlocker block(txtNote);
        txtNote->setPlainText(before.left(head) + fits + before.right(tail));
        QTextCursor cursor = txtNote->textCursor();
        cursor.setPosition(int(head + fits.size()));
        txtNote->setTextCursor(cursor);
        note = noteText();
    }
    m_lastNote = note;
    lblLimit->setText(QStringLiteral("%1/%2").arg(noteLimit - note.size()).arg(noteLimit));
}

bool ProfileEditor::loadForModify(const ProfileRecord &profile)
{
    setWindowTitle(QStringLiteral("Modify a Profile"));
    return FillEditorFromProfile(profile);
}

bool ProfileEditor::FillEditorFromProfile(const ProfileRecord &profile)
{
    chkAll->setChecked(false);
    chkAll_Click(false);
    txtName->setText(profile.name);
    setTextColour(txtName, Qt::black);
    // A hand-edited "7:05:00" is read as 07:05; what cannot be read is shown
    // as it stands, and saving refuses it.
    static const QRegularExpression clock(QStringLiteral("^(\\d{1,2}):(\\d{1,2}):\\d{1,2}$"));
    const QRegularExpressionMatch time = clock.match(profile.time.trimmed());
    txtTime->setText(time.hasMatch() ? time.captured(1).rightJustified(2, u'0') : profile.time.left(2));
    txtTime2->setText(time.hasMatch() ? time.captured(2).rightJustified(2, u'0') : profile.time.mid(3, 2));
    optTime[profile.period == QLatin1String("am") ? 0 : 1]->setChecked(true);
    txtAlarm->setText(profile.sound);

    const auto days = DayList::parse(profile.days);
    if (!days)
        return false;
    if (profile.days == DayList::everyday) {
        chkAll->setChecked(true);
    } else {
        for (int d : *days)
            chkDays[d]->setChecked(true);
    }

    bool whole = false;
    const int rising = profile.rising.trimmed().toInt(&whole);
    if (!whole)
        return false;
    chkVolume->setChecked(rising == 1);

    m_lastNote = profile.note; // a file's note may be longer than typing allows
    txtNote->setPlainText(QString(profile.note).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    return true;
}

void ProfileEditor::cmdCancel_MouseUp()
{
    cmdCancel->showNormalImage();
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
    if (MediaPlayer1)
        MediaPlayer1->close();
    event->accept();
    emit unloaded();
}
