#pragma once

#include <QColor>
#include <QFont>

class QApplication;
class QLineEdit;
class QWidget;

namespace dx400 {

// Colours the window uses as progress and state marks.
namespace colour {
inline const QColor kWhite{0xFF, 0xFF, 0xFF};
inline const QColor kWritten{0xFF, 0xFF, 0x80}; // light yellow: value sent to the drive
inline const QColor kRead{0xC0, 0xC0, 0xFF};    // light blue: box filled from a reply
inline const QColor kRed{0xFF, 0x00, 0x00};     // indicator on, jog in progress
} // namespace colour

// The application-wide look: the Fusion style, which paints colour-face buttons in their
// own colour on every platform, and the window font.
void applyApplicationLook(QApplication& app);

// "굴림" at the given size. Where Gulim is not installed, Baekmuk Gulim, NanumGothic or
// Noto Sans CJK KR stands in for it, in that order, so that Hangul renders.
QFont gulim(double pointSize, bool bold = false);

// Gives the window's form the fonts it describes: "굴림" with its stand-ins, at sizes
// that the form can only give in whole points.
void useWindowFonts(QWidget* form);

// Background colour of a text box or face colour of a button.
void setBackground(QWidget* widget, const QColor& colour);
QColor background(const QWidget* widget);

// Puts a text into a box and shows it from its first character: QLineEdit::setText
// leaves the view at the end, which hides the start of a text wider than the box.
void showText(QLineEdit* box, const QString& text);

// The system's button colour, which the jog buttons show when idle.
QColor systemButtonColour();

} // namespace dx400
