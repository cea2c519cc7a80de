#pragma once

#include <QAbstractButton>
#include <QPixmap>

// A command button drawn as a picture with its caption over it. It shows its
// hover picture while the mouse is over it, acts when any mouse button is
// released on it and when Space is pressed while it has the focus. Enter and
// the other keys do nothing.
class ImageButton : public QAbstractButton
{
    Q_OBJECT
public:
    // The blue button pictures shared by every window.
    explicit ImageButton(const QString &caption, QWidget *parent = nullptr);
    // A picture-only button, such as the editor's play and stop buttons.
    ImageButton(const QPixmap &normal, const QPixmap &hover, QWidget *parent = nullptr);

    // Whether Space runs the action (picture-only buttons take no keys).
    void setSpaceActivates(bool on) { m_spaceActivates = on; }
    // Shows the normal picture until the mouse moves over the button again.
    void showNormalImage();
    bool isShowingHover() const { return m_hover; }

    QSize sizeHint() const override;

signals:
    // The button's action: a mouse button released on it, or Space.
    void mouseUp();

protected:
    void paintEvent(QPaintEvent *) override;
    void enterEvent(QEnterEvent *) override;
    void leaveEvent(QEvent *) override;
    void mouseMoveEvent(QMouseEvent *) override;
    void mousePressEvent(QMouseEvent *) override;
    void mouseReleaseEvent(QMouseEvent *) override;
    void keyPressEvent(QKeyEvent *) override;
    void keyReleaseEvent(QKeyEvent *) override;

private:
    void setHover(bool hover);
    QPixmap m_normalPicture, m_hoverPicture;
    bool m_hover = false;
    bool m_spaceActivates = true;
};
