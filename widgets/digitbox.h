#pragma once

#include <QLineEdit>

// A box of at most two digits for the hour or the minute. Other typed
// characters are refused with a beep; a single digit gets a leading zero when
// the box loses the focus; Up and Down step the number within its range.
class DigitBox : public QLineEdit
{
    Q_OBJECT
public:
    DigitBox(int minimum, int maximum, const QString &text, QWidget *parent = nullptr);

    // Steps the number by `delta` within the range (no wrapping) and writes it
    // without a leading zero. A box with no number starts from the range's start.
    void step(int delta);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    int m_minimum, m_maximum;
};
