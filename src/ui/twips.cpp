// Twips on the screen a widget is on.
#include "ui/twips.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace zl::ui {

namespace {
constexpr double kTwipsPerInch = 1440;
constexpr double kDesignPointSize = 8.25;
}  // namespace

double twipsPerPixel(const QWidget& widget) {
    const QScreen* screen = widget.screen();
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    const double dpi = screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
    return kTwipsPerInch / (dpi > 0 ? dpi : 96.0);
}

int toPixels(const QWidget& widget, double twips) {
    return static_cast<int>(std::lround(twips / twipsPerPixel(widget)));
}

double toTwips(const QWidget& widget, int pixels) { return pixels * twipsPerPixel(widget); }

QRect twipsRect(const QWidget& widget, double left, double top, double width, double height) {
    return {toPixels(widget, left), toPixels(widget, top), toPixels(widget, width),
            toPixels(widget, height)};
}

void placeTwips(QWidget& widget, double left, double top, double width, double height) {
    widget.setGeometry(
        twipsRect(widget, left, top, width < 0 ? 0 : width, height < 0 ? 0 : height));
}

void placeText(QWidget& widget, double left, double top, double width, double height) {
    QRect rect = twipsRect(widget, left, top, width, height);
    // A face wider or taller than the design one would cut the text off; it gets room instead.
    if (widget.hasHeightForWidth()) {
        rect.setHeight(std::max(rect.height(), widget.heightForWidth(rect.width())));
    } else {
        rect.setWidth(std::max(rect.width(), widget.sizeHint().width()));
    }
    widget.setGeometry(rect);
}

QFont controlFont(bool bold) {
    QFont font = QApplication::font();
    // The layouts are measured for a face of Arial's widths; the desktop's face comes last.
    font.setFamilies({QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                      QStringLiteral("Helvetica"), QStringLiteral("Nimbus Sans"), font.family()});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(kDesignPointSize);
    font.setBold(bold);
    return font;
}

}  // namespace zl::ui
