// Layout twips on the screen, and the fonts of the windows.
#pragma once

#include <QFont>
#include <QRect>

class QWidget;

namespace zl::ui {

// The windows are designed in twips for a face whose line is 195 twips high (one line of an
// 8.25-point face). Here one such line is one line of the desktop's own UI font, so the layout
// keeps its proportions around the text whatever the font, its size and the screen's resolution.
// Pixels per layout twip: the UI font's line height / 195.
double pixelsPerTwip(const QWidget& widget);
// Whole pixels for a twips length, and twips for a pixel length.
int toPixels(const QWidget& widget, double twips);
double toTwips(const QWidget& widget, int pixels);
// A rectangle given in twips (left, top, width, height), in pixels.
QRect twipsRect(const QWidget& widget, double left, double top, double width, double height);
// Gives `widget` the place (left, top, width, height twips) within its parent.
void placeTwips(QWidget& widget, double left, double top, double width, double height);

// The same for a label: a wrapping label gets the height its text needs, a one-line label the
// width and height, when that is more than the design gives, so that no text or mnemonic
// underline is cut off.
void placeText(QWidget& widget, double left, double top, double width, double height);

// The desktop's UI font at its size, plain or bold: the one face of every control.
QFont controlFont(bool bold = false);
// The desktop's fixed-width font at the UI font's size, for SQL text.
QFont codeFont();
// The UI font scaled as `designPoints` relates to the design face's 8.25 points.
QFont scaledFont(double designPoints, bool bold);

}  // namespace zl::ui
