#pragma once

#include <QColor>
#include <QFont>

class QWidget;

// The look every window shares.
namespace Theme {

inline const QColor background(37, 95, 181);
inline const QColor placeholderGrey(128, 128, 128);

// Verdana where installed, else a close sans-serif.
QFont font(qreal pointSize = 8.25, bool bold = false);
// Gives a window or control the blue background.
void paintBlue(QWidget *widget);
// White text on the blue, for headings and labels drawn on the background.
void whiteText(QWidget *widget);
// Puts a window in the middle of its screen.
void centre(QWidget *window);
// Widens a label that its text would overflow in the substitute font.
void fitWidth(QWidget *label);
// Turns a design position in twips into pixels.
constexpr int px(int twips)
{
    return twips / 15;
}

} // namespace Theme
