#include "alarmwindow.h"

#include "profiles/paths.h"
#include "scheduler/alarmcheck.h"
#include "scheduler/clock.h"
#include "scheduler/snoozecountdown.h"
#include "scheduler/timetext.h"
#include "widgets/imagebutton.h"
#include "sound/mediaplayer.h"
#include "widgets/pictures.h"
#include "widgets/theme.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QFrame>
#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

namespace {
constexpr int alarmPlayCount = 100;
// A tick a little late under load is not worth a word; a resume is.
constexpr qint64 lateNoticeSecs = 10;
constexpr qint64 minimumRingMs = 10 * 60 * 1000;

QLabel *label(QWidget *parent, const char *name, const QString &text, const QRect &at, const QFont &font,
              const QColor &colour, Qt::Alignment align = Qt::AlignCenter)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(at);
    l->setFont(font);
    l->setAlignment(align);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, colour);
    l->setPalette(p);
    return l;
}

QTimer *timer(QObject *parent, const char *name, int interval)
{
    auto *t = new QTimer(parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setInterval(interval);
    return t;
}
} // namespace

AlarmWindow::AlarmWindow() : QWidget(nullptr, Qt::Tool)
{
    setObjectName(QStringLiteral("frmAlarm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Alarm"));
    setWindowIcon(Pictures::appIcon());
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setFixedSize(545, 250);
    setFont(Theme::font());

    picBackground = new QLabel(this);
    picBackground->setObjectName(QStringLiteral("picBackground"));
    static_cast<QLabel *>(picBackground)->setPixmap(Pictures::png(QStringLiteral(":/alarm-background.png")));
    picBackground->setGeometry(0, 0, 545, 250);
    picBackground->setFocusPolicy(Qt::StrongFocus);
    picBackground->installEventFilter(this);
    picBackground->setAccessibleName(QStringLiteral("Alarm"));
    picBackground->setAccessibleDescription(QStringLiteral("Press Space to snooze, Escape to dismiss."));
    QPalette black = picBackground->palette();
    black.setColor(QPalette::Window, Qt::black);
    picBackground->setPalette(black);
    picBackground->setAutoFillBackground(true);

    const QFont display = Theme::font(20, true);
    lblAlarm = label(picBackground, "lblAlarm", QStringLiteral("Alarm"), {8, 12, 529, 36}, display, Qt::white);
    lblTime = label(picBackground, "lblTime", QStringLiteral("00:00:00 pm"), {8, 50, 529, 36}, display, Qt::white);
    lblSnooze = label(picBackground, "lblSnooze", SnoozeCountdown::start, {8, 88, 529, 30}, Theme::font(16, true), Qt::red);
    lblSnooze->hide();

    auto *Line1 = new QFrame(picBackground);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setGeometry(16, 122, 513, 1);
    Line1->setStyleSheet(QStringLiteral("background: white"));
    Label1 = label(picBackground, "Label1", QStringLiteral("Personal Note:"), {16, 128, 200, 16}, Theme::font(8.25, true),
                   Qt::white, Qt::AlignLeft | Qt::AlignVCenter);
    lblNote = label(picBackground, "lblNote", QStringLiteral("None."), {16, 146, 513, 50}, Theme::font(), Qt::white,
                    Qt::AlignLeft | Qt::AlignTop);
    lblNote->setWordWrap(true);
    lblNote->setToolTip(QStringLiteral("Double click here to copy to clipboard."));
    lblNote->installEventFilter(this);
    lblNotice = label(picBackground, "lblNotice", QString(), {200, 124, 329, 22}, Theme::font(7), QColor(255, 220, 90),
                      Qt::AlignRight | Qt::AlignVCenter);
    lblNotice->setWordWrap(true);
    auto *Line2 = new QFrame(picBackground);
    Line2->setObjectName(QStringLiteral("Line2"));
    Line2->setGeometry(16, 200, 513, 1);
    Line2->setStyleSheet(QStringLiteral("background: white"));

    Label3 = label(picBackground, "Label3", QStringLiteral("*Press \"Space\" to snooze alarm."), {16, 206, 260, 16},
                   Theme::font(7), Qt::white, Qt::AlignLeft | Qt::AlignVCenter);
    Label2 = label(picBackground, "Label2", QStringLiteral("*Press \"Escape\" to dismiss alarm."), {16, 224, 260, 16},
                   Theme::font(7), Qt::white, Qt::AlignLeft | Qt::AlignVCenter);

    cmdSnooze = new ImageButton(QStringLiteral("Snooze"), picBackground);
    cmdSnooze->setObjectName(QStringLiteral("cmdSnooze"));
    cmdSnooze->setGeometry(284, 214, 81, 25);
    cmdDismiss = new ImageButton(QStringLiteral("Dismiss"), picBackground);
    cmdDismiss->setObjectName(QStringLiteral("cmdDismiss"));
    cmdDismiss->setGeometry(370, 214, 81, 25);
    cmdDeactivate = new ImageButton(QStringLiteral("Disable"), picBackground);
    cmdDeactivate->setObjectName(QStringLiteral("cmdDeactivate"));
    cmdDeactivate->setGeometry(456, 214, 81, 25);
    connect(cmdSnooze, &ImageButton::mouseUp, this, &AlarmWindow::cmdSnooze_MouseUp);
    connect(cmdDismiss, &ImageButton::mouseUp, this, &AlarmWindow::cmdDismiss_MouseUp);
    connect(cmdDeactivate, &ImageButton::mouseUp, this, &AlarmWindow::cmdDeactivate_MouseUp);
    // Focus order: the background first, then Disable, Dismiss, Snooze.
    setTabOrder(picBackground, cmdDeactivate);
    setTabOrder(cmdDeactivate, cmdDismiss);
    setTabOrder(cmdDismiss, cmdSnooze);

    MediaPlayer1 = new MediaPlayer(this);
    MediaPlayer1->setObjectName(QStringLiteral("MediaPlayer1"));
    MediaPlayer1->setPlayCount(alarmPlayCount);
    // A lost or damaged file rings the sample; a short one rings long enough to wake.
    MediaPlayer1->setFallbackUrl(Paths::sampleFolder() + QStringLiteral("/Sample1.mp3"));
    MediaPlayer1->setMinimumRingMs(minimumRingMs);
    connect(MediaPlayer1, &MediaPlayer::chosenSoundFailed, this, [this] {
        m_soundNotice = QStringLiteral("Sound file unplayable: the sample sound rings instead.");
        showNotices();
    });

    Timer1 = timer(this, "Timer1", 1000);
    Timer2 = timer(this, "Timer2", 500);
    Timer3 = timer(this, "Timer3", 500);
    Timer4 = timer(this, "Timer4", 1000);
    Timer5 = timer(this, "Timer5", 2000);
    connect(Timer1, &QTimer::timeout, this, &AlarmWindow::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &AlarmWindow::Timer2_Timer);
    connect(Timer3, &QTimer::timeout, this, &AlarmWindow::Timer3_Timer);
    connect(Timer4, &QTimer::timeout, this, &AlarmWindow::Timer4_Timer);
    connect(Timer5, &QTimer::timeout, this, &AlarmWindow::Timer5_Timer);
    Timer1->start();
    Timer2->start();
    Timer3->start();

    Theme::centre(this);
}

AlarmWindow::~AlarmWindow() = default;

void AlarmWindow::startRamp()
{
    MediaPlayer1->setVolume(10);
    Timer5->start();
}

void AlarmWindow::ring(const QList<Firing> &firings, const QString &notes)
{
    if (firings.isEmpty())
        return;
    // An open menu would keep the keys; an open message box or dialog is modal
    // and would block this window: the alarm goes above it, and the box is
    // usable again once the alarm is answered.
    while (QWidget *menu = QApplication::activePopupWidget())
        menu->close();
    if (!isVisible() && QApplication::activeModalWidget())
        setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    picBackground->setFocus();
    // A snoozed alarm gives way to the one that falls due now.
    if (Timer4->isActive()) {
        Timer4->stop();
        lblSnooze->setText(SnoozeCountdown::end);
        Timer2->start();
        Timer3->start();
    }
    const Firing &shown = firings.last();
    for (const Firing &firing : firings) {
        m_ringingRises = firing.risingVolume;
        if (!m_rung && m_ringingRises) // a second alarm due at once keeps the ramp going
            startRamp();
        m_rung = true;
    }
    lblAlarm->setText(shown.name);
    lblTime->setText(shown.timeText);
    lblNote->setText(notes);
    m_lateNotice = shown.lateSecs >= lateNoticeSecs
                       ? QStringLiteral("Late: due %1, rang at %2.")
                             .arg(TimeText::check(shown.due.time()), TimeText::check(appClock().now().time()))
                       : QString();
    m_soundNotice.clear();
    showNotices();
    MediaPlayer1->setUrl(shown.sound); // one load, however many fell due
    emit ringing(shown.name, shown.timeText, notes);
}

void AlarmWindow::showNotices()
{
    lblNotice->setText(QStringList{m_lateNotice, m_soundNotice}.join(QLatin1Char('\n')).trimmed());
}

void AlarmWindow::Timer1_Timer()
{
    setWindowTitle(QStringLiteral("Alarm - ") + TimeText::check(appClock().now().time()));
}

void AlarmWindow::Timer2_Timer()
{
    if (lblAlarm->isVisible() && lblTime->isVisible()) {
        lblAlarm->hide();
        lblTime->hide();
    }
    Timer3->start();
    Timer2->stop();
}

void AlarmWindow::Timer3_Timer()
{
    if (lblAlarm->isHidden() && lblTime->isHidden()) {
        lblAlarm->show();
        lblTime->show();
    }
    Timer2->start();
    Timer3->stop();
}

void AlarmWindow::Timer4_Timer()
{
    lblSnooze->setText(SnoozeCountdown::next(lblSnooze->text()));
    if (lblSnooze->text() == SnoozeCountdown::end) {
        MediaPlayer1->setUrl(m_snoozedSound);
        Timer2->start();
        Timer3->start();
        Timer4->stop();
        emit ringing(lblAlarm->text(), lblTime->text(), lblNote->text());
    }
}

void AlarmWindow::Timer5_Timer()
{
    MediaPlayer1->setVolume(MediaPlayer1->volume() + 10);
    if (MediaPlayer1->volume() >= 100)
        Timer5->stop();
}

void AlarmWindow::lblNote_DblClick()
{
    QGuiApplication::clipboard()->setText(lblNote->text());
}

void AlarmWindow::cmdSnooze_MouseUp()
{
    Timer2->stop();
    Timer3->stop();
    Timer4->start();
    lblAlarm->show();
    lblTime->show();
    lblSnooze->setText(SnoozeCountdown::start);
    lblSnooze->show();
    if (m_ringingRises)
        startRamp();
    // A second snooze during the countdown keeps the sound it saved the first time.
    if (!MediaPlayer1->url().isEmpty())
        m_snoozedSound = MediaPlayer1->url();
    MediaPlayer1->close();
    emit answered();
}

void AlarmWindow::snooze()
{
    cmdSnooze_MouseUp();
}

void AlarmWindow::dismiss()
{
    cmdDismiss_MouseUp();
}

void AlarmWindow::cmdDismiss_MouseUp()
{
    close();
}

void AlarmWindow::cmdDeactivate_MouseUp()
{
    // The ringing alarm, named by this window: not whichever row the check read last.
    emit disableRequested(lblAlarm->text());
    close();
}

void AlarmWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (m_unloaded)
        return;
    m_unloaded = true;
    MediaPlayer1->close();
    Timer4->stop();
    Timer5->stop();
    emit answered();
    emit unloaded();
}

bool AlarmWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == picBackground && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Escape)
            cmdDismiss_MouseUp();
        else if (key == Qt::Key_Space)
            cmdSnooze_MouseUp();
        return key == Qt::Key_Escape || key == Qt::Key_Space;
    }
    if (watched == lblNote && event->type() == QEvent::MouseButtonDblClick) {
        lblNote_DblClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
