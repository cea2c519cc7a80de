#include "alarmwindow.h"

#include "profiles/paths.h"
#include "scheduler/alarmcheck.h"
#include "scheduler/clock.h"
#include "scheduler/timetext.h"
#include "widgets/controls.h"
#include "widgets/imagebutton.h"
#include "sound/mediaplayer.h"
#include "widgets/pictures.h"
#include "widgets/theme.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QFrame>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

using namespace Controls;

namespace {
constexpr int alarmPlayCount = 100;
constexpr qint64 minimumRingMs = 10 * 60 * 1000;

QLabel *label(QWidget *parent, const char *name, const QString &text, const QRect &at, const QFont &font,
              const QColor &colour, Qt::Alignment align = Qt::AlignCenter)
{
    auto *l = place(new QLabel(text, parent), name, at);
    l->setFont(font);
    l->setAlignment(align);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, colour);
    l->setPalette(p);
    return l;
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

    m_background = place(new QLabel(this), "picBackground", {0, 0, 545, 250});
    m_background->setPixmap(Pictures::png(QStringLiteral(":/alarm-background.png")));
    m_background->setFocusPolicy(Qt::StrongFocus);
    m_background->installEventFilter(this);
    m_background->setAccessibleName(QStringLiteral("Alarm"));
    m_background->setAccessibleDescription(QStringLiteral("Press Space to snooze, Escape to dismiss."));
    QPalette black = m_background->palette();
    black.setColor(QPalette::Window, Qt::black);
    m_background->setPalette(black);
    m_background->setAutoFillBackground(true);

    const QFont display = Theme::font(20, true);
    m_nameLabel = label(m_background, "lblAlarm", QStringLiteral("Alarm"), {8, 12, 529, 36}, display, Qt::white);
    m_timeLabel = label(m_background, "lblTime", QStringLiteral("00:00:00 pm"), {8, 50, 529, 36}, display, Qt::white);
    m_countdownLabel = label(m_background, "lblSnooze", m_alarm.countdownText(), {8, 88, 529, 30}, Theme::font(16, true), Qt::red);
    m_countdownLabel->hide();

    place(new QFrame(m_background), "Line1", {16, 122, 513, 1})->setStyleSheet(QStringLiteral("background: white"));
    m_noteHeading = label(m_background, "Label1", QStringLiteral("Personal Note:"), {16, 128, 200, 16}, Theme::font(8.25, true),
                          Qt::white, Qt::AlignLeft | Qt::AlignVCenter);
    m_noteLabel = label(m_background, "lblNote", QStringLiteral("None."), {16, 146, 513, 50}, Theme::font(), Qt::white,
                        Qt::AlignLeft | Qt::AlignTop);
    m_noteLabel->setWordWrap(true);
    m_noteLabel->setToolTip(QStringLiteral("Double click here to copy to clipboard."));
    m_noteLabel->installEventFilter(this);
    m_noticeLabel = label(m_background, "lblNotice", QString(), {200, 124, 329, 22}, Theme::font(7), QColor(255, 220, 90),
                          Qt::AlignRight | Qt::AlignVCenter);
    m_noticeLabel->setWordWrap(true);
    place(new QFrame(m_background), "Line2", {16, 200, 513, 1})->setStyleSheet(QStringLiteral("background: white"));

    m_snoozeHint = label(m_background, "Label3", QStringLiteral("*Press \"Space\" to snooze alarm."), {16, 206, 260, 16},
                         Theme::font(7), Qt::white, Qt::AlignLeft | Qt::AlignVCenter);
    m_dismissHint = label(m_background, "Label2", QStringLiteral("*Press \"Escape\" to dismiss alarm."), {16, 224, 260, 16},
                          Theme::font(7), Qt::white, Qt::AlignLeft | Qt::AlignVCenter);

    m_snoozeButton = place(new ImageButton(QStringLiteral("Snooze"), m_background), "cmdSnooze", {284, 214, 81, 25});
    m_dismissButton = place(new ImageButton(QStringLiteral("Dismiss"), m_background), "cmdDismiss", {370, 214, 81, 25});
    m_disableButton = place(new ImageButton(QStringLiteral("Disable"), m_background), "cmdDeactivate", {456, 214, 81, 25});
    connect(m_snoozeButton, &ImageButton::mouseUp, this, &AlarmWindow::snooze);
    connect(m_dismissButton, &ImageButton::mouseUp, this, &AlarmWindow::dismiss);
    connect(m_disableButton, &ImageButton::mouseUp, this, &AlarmWindow::disable);
    // Focus order: the background first, then Disable, Dismiss, Snooze.
    setTabOrder(m_background, m_disableButton);
    setTabOrder(m_disableButton, m_dismissButton);
    setTabOrder(m_dismissButton, m_snoozeButton);

    m_player = new MediaPlayer(this);
    m_player->setObjectName(QStringLiteral("MediaPlayer1"));
    m_player->setPlayCount(alarmPlayCount);
    // A lost or damaged file rings the sample; a short one rings long enough to wake.
    m_player->setFallbackUrl(Paths::sampleFolder() + QStringLiteral("/Sample1.mp3"));
    m_player->setMinimumRingMs(minimumRingMs);
    connect(m_player, &MediaPlayer::chosenSoundFailed, this, [this] {
        m_alarm.soundFailed();
        showNotices();
    });

    m_clockTimer = timer(this, "Timer1", 1000);
    m_blinkOffTimer = timer(this, "Timer2", 500);
    m_blinkOnTimer = timer(this, "Timer3", 500);
    m_countdownTimer = timer(this, "Timer4", 1000);
    m_rampTimer = timer(this, "Timer5", 2000);
    connect(m_clockTimer, &QTimer::timeout, this, &AlarmWindow::showClock);
    connect(m_blinkOffTimer, &QTimer::timeout, this, &AlarmWindow::blinkOff);
    connect(m_blinkOnTimer, &QTimer::timeout, this, &AlarmWindow::blinkOn);
    connect(m_countdownTimer, &QTimer::timeout, this, &AlarmWindow::countDown);
    connect(m_rampTimer, &QTimer::timeout, this, &AlarmWindow::rampUp);
    m_clockTimer->start();
    m_blinkOffTimer->start();
    m_blinkOnTimer->start();

    Theme::centre(this);
}

AlarmWindow::~AlarmWindow() = default;

void AlarmWindow::startRamp()
{
    m_player->setVolume(m_alarm.volume());
    m_rampTimer->start();
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
    m_background->setFocus();
    const RingingAlarm::Rung rung = m_alarm.ring(firings, notes, appClock().now());
    if (rung.snoozeEnded) {
        m_countdownTimer->stop();
        m_countdownLabel->setText(m_alarm.countdownText());
        m_blinkOffTimer->start();
        m_blinkOnTimer->start();
    }
    if (rung.rampStarted)
        startRamp();
    m_nameLabel->setText(m_alarm.name());
    m_timeLabel->setText(m_alarm.timeText());
    m_noteLabel->setText(m_alarm.notes());
    showNotices();
    m_player->setUrl(m_alarm.sound());
    emit ringing(m_alarm.name(), m_alarm.timeText(), m_alarm.notes());
}

void AlarmWindow::showNotices()
{
    m_noticeLabel->setText(m_alarm.notice());
}

void AlarmWindow::showClock()
{
    setWindowTitle(QStringLiteral("Alarm - ") + TimeText::check(appClock().now().time()));
}

void AlarmWindow::showNames(bool shown)
{
    m_nameLabel->setVisible(shown);
    m_timeLabel->setVisible(shown);
}

void AlarmWindow::blinkOff()
{
    if (isVisible() && m_alarm.blinkOff())
        showNames(false);
    m_blinkOnTimer->start();
    m_blinkOffTimer->stop();
}

void AlarmWindow::blinkOn()
{
    if (m_alarm.blinkOn())
        showNames(true);
    m_blinkOffTimer->start();
    m_blinkOnTimer->stop();
}

void AlarmWindow::countDown()
{
    const bool ended = m_alarm.countDown();
    m_countdownLabel->setText(m_alarm.countdownText());
    if (ended) {
        m_player->setUrl(m_alarm.sound());
        m_blinkOffTimer->start();
        m_blinkOnTimer->start();
        m_countdownTimer->stop();
        emit ringing(m_alarm.name(), m_alarm.timeText(), m_alarm.notes());
    }
}

void AlarmWindow::rampUp()
{
    const bool rising = m_alarm.rampUp();
    m_player->setVolume(m_alarm.volume());
    if (!rising)
        m_rampTimer->stop();
}

void AlarmWindow::copyNote()
{
    QGuiApplication::clipboard()->setText(m_alarm.notes());
}

void AlarmWindow::snooze()
{
    m_blinkOffTimer->stop();
    m_blinkOnTimer->stop();
    m_countdownTimer->start();
    const bool ramp = m_alarm.snooze();
    showNames(true);
    m_countdownLabel->setText(m_alarm.countdownText());
    m_countdownLabel->show();
    if (ramp)
        startRamp();
    m_player->close();
    emit answered();
}

void AlarmWindow::dismiss()
{
    close();
}

void AlarmWindow::disable()
{
    // The ringing alarm, named by this window: not whichever row the check read last.
    emit disableRequested(m_alarm.name());
    close();
}

void AlarmWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_player->close();
    m_countdownTimer->stop();
    m_rampTimer->stop();
    emit answered();
    emit unloaded();
}

bool AlarmWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_background && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Escape)
            dismiss();
        else if (key == Qt::Key_Space)
            snooze();
        return key == Qt::Key_Escape || key == Qt::Key_Space;
    }
    if (watched == m_noteLabel && event->type() == QEvent::MouseButtonDblClick) {
        copyNote();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
