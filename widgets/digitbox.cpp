#include "digitbox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QRegularExpressionValidator>

DigitBox::DigitBox(int minimum, int maximum, const QString &text, QWidget *parent)
    : QLineEdit(text, parent), m_minimum(minimum), m_maximum(maximum)
{
    setMaxLength(2);
    setContextMenuPolicy(Qt::NoContextMenu); // no pasting around the digit rule
    setAcceptDrops(false);
    // Shift+Insert and the middle button still paste: let only digits in.
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
}

void DigitBox::step(int delta)
{
    bool isNumber = false;
    const int current = text().toInt(&isNumber);
    const int next = isNumber ? qBound(m_minimum, current + delta, m_maximum) : m_minimum;
    setText(QString::number(next));
}

void DigitBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        step(event->key() == Qt::Key_Up ? 1 : -1);
        return;
    }
    // Shortcuts edit as in any box (select, copy, cut, paste, undo); the
    // validator still lets only digits in.
    const bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const QString typed = event->text();
    if (!typed.isEmpty() && !shortcut) {
        const char16_t c = typed.at(0).unicode();
        const bool digit = c >= u'0' && c <= u'9';
        if (!digit && c != u'\b' && c != u'\x7f') { // Backspace and Delete edit as usual
            QApplication::beep();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void DigitBox::focusOutEvent(QFocusEvent *event)
{
    if (text().size() == 1)
        setText(QLatin1Char('0') + text());
    QLineEdit::focusOutEvent(event);
}
