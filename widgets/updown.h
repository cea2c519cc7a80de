#pragma once

#include <QWidget>

class DigitBox;

// The small up/down arrows beside a DigitBox.
class UpDown : public QWidget
{
    Q_OBJECT
public:
    UpDown(DigitBox *buddy, QWidget *parent = nullptr);
    // Steps the buddy and gives it the focus, as a click on an arrow does.
    void click(int delta);

private:
    DigitBox *m_buddy;
};
