#include "imagebutton.h"
#include "pictures.h"
#include "theme.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QPainter>

namespace {
// What assistive technology sees: a push button named by its caption (or by
// its accessible name, for the picture-only ones) whose press action acts as
// a click does.
class AccessibleImageButton : public QAccessibleWidget
{
public:
    explicit AccessibleImageButton(ImageButton *button) : QAccessibleWidget(button, QAccessible::PushButton)
    {
        addControllingSignal(QStringLiteral("mouseUp()"));
    }
    QString text(QAccessible::Text t) const override
    {
        const auto *button = static_cast<const ImageButton *>(widget());
        if (t == QAccessible::Name)
            return !button->accessibleName().isEmpty() ? button->accessibleName() : button->text();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &action) override
    {
        if (action == pressAction() && widget()->isEnabled())
            emit static_cast<ImageButton *>(widget())->mouseUp();
    }
};

QAccessibleInterface *accessibleFor(const QString &className, QObject *object)
{
    if (className == QLatin1String("ImageButton") && object->isWidgetType())
        return new AccessibleImageButton(static_cast<ImageButton *>(object));
    return nullptr;
}
} // namespace

ImageButton::ImageButton(const QString &caption, QWidget *parent)
    : ImageButton(Pictures::png(QStringLiteral(":/button-normal.png")), Pictures::png(QStringLiteral(":/button-hover.png")), parent)
{
    setText(caption);
    setFont(Theme::font(8.25, true));
}

ImageButton::ImageButton(const QPixmap &normal, const QPixmap &hover, QWidget *parent)
    : QAbstractButton(parent), m_normalPicture(normal), m_hoverPicture(hover)
{
    static const bool factoryInstalled = (QAccessible::installFactory(accessibleFor), true);
    Q_UNUSED(factoryInstalled);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

QSize ImageButton::sizeHint() const
{
    return m_normalPicture.size();
}

void ImageButton::setHover(bool hover)
{
    if (hover != m_hover) {
        m_hover = hover;
        update();
    }
}

void ImageButton::showNormalImage()
{
    setHover(false);
}

void ImageButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(rect(), m_hover ? m_hoverPicture : m_normalPicture);
    if (!text().isEmpty()) {
        painter.setPen(isEnabled() ? Qt::white : QColor(200, 200, 200));
        painter.drawText(rect(), Qt::AlignCenter, text());
    }
    if (hasFocus()) {
        painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(2, 2, -3, -3));
    }
}

void ImageButton::enterEvent(QEnterEvent *)
{
    setHover(true);
}

void ImageButton::leaveEvent(QEvent *)
{
    setHover(false);
}

void ImageButton::mouseMoveEvent(QMouseEvent *event)
{
    setHover(rect().contains(event->position().toPoint()));
}

void ImageButton::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void ImageButton::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (rect().contains(event->position().toPoint()))
        emit mouseUp();
}

void ImageButton::keyPressEvent(QKeyEvent *event)
{
    // Tab and Backtab never get here: the focus chain takes them first.
    event->accept();
    if (event->key() == Qt::Key_Space && m_spaceActivates && !event->isAutoRepeat())
        emit mouseUp();
}

void ImageButton::keyReleaseEvent(QKeyEvent *event)
{
    event->accept();
}
