// Geometry in twips (1/1440 inch) on a widget's screen, and the fonts the windows are designed for.
#pragma once

#include <QFont>
#include <QRect>

class QWidget;

namespace zl::ui {

// Twips per pixel on the widget's screen: 1440 / logical dots per inch (15 at 96 dpi).
double twipsPerPixel(const QWidget& widget);
// Whole pixels for a twips length, and twips for a pixel length.
int toPixels(const QWidget& widget, double twips);
double toTwips(const QWidget& widget, int pixels);
// A rectangle given in twips (left, top, width, height), in pixels.
QRect twipsRect(const QWidget& widget, double left, double top, double width, double height);
// Gives `widget` the place (left, top, width, height twips) within its parent.
void placeTwips(QWidget& widget, double left, double top, double width, double height);

// The same for a label: a wrapping label gets the height its text needs, a one-line label the
// width, when that is more than the design gives.
void placeText(QWidget& widget, double left, double top, double width, double height);

// The 8.25-point sans-serif face of labels, lists and buttons, plain or bold.
QFont controlFont(bool bold = false);

}  // namespace zl::ui
