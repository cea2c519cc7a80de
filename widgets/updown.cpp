#include "updown.h"
#include "digitbox.h"

#include <QToolButton>
#include <QVBoxLayout>

UpDown::UpDown(DigitBox *buddy, QWidget *parent) : QWidget(parent), m_buddy(buddy)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int delta : {1, -1}) {
        auto *arrow = new QToolButton(this);
        arrow->setObjectName(delta > 0 ? QStringLiteral("up") : QStringLiteral("down"));
        arrow->setArrowType(delta > 0 ? Qt::UpArrow : Qt::DownArrow);
        // A screen reader has only this to say for a picture of an arrow.
        arrow->setAccessibleName(delta > 0 ? QStringLiteral("Up") : QStringLiteral("Down"));
        arrow->setFocusPolicy(Qt::NoFocus);
        arrow->setAutoRepeat(true);
        arrow->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(arrow);
        connect(arrow, &QToolButton::clicked, this, [this, delta] { click(delta); });
    }
}

void UpDown::click(int delta)
{
    m_buddy->step(delta);
    m_buddy->setFocus();
}
