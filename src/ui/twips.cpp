// Layout twips scaled by the UI font, and the fonts.
#include "ui/twips.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace zl::ui {

namespace {
// One line of the design face, in twips, and the design face's size.
constexpr double kDesignLineTwips = 195;
constexpr double kDesignPointSize = 8.25;
}  // namespace

double pixelsPerTwip(const QWidget& /*widget*/) {
    // The font's metrics carry the screen's resolution already.
    const double line = QFontMetricsF(controlFont()).height();
    return (line > 0 ? line : 13.0) / kDesignLineTwips;
}

int toPixels(const QWidget& widget, double twips) {
    return static_cast<int>(std::lround(twips * pixelsPerTwip(widget)));
}

double toTwips(const QWidget& widget, int pixels) { return pixels / pixelsPerTwip(widget); }

QRect twipsRect(const QWidget& widget, double left, double top, double width, double height) {
    return {toPixels(widget, left), toPixels(widget, top), toPixels(widget, width),
            toPixels(widget, height)};
}

void placeTwips(QWidget& widget, double left, double top, double width, double height) {
    widget.setGeometry(
        twipsRect(widget, left, top, width < 0 ? 0 : width, height < 0 ? 0 : height));
}

void placeText(QWidget& widget, double left, double top, double width, double height) {
    QRect rect = twipsRect(widget, left, top, width < 0 ? 0 : width, height < 0 ? 0 : height);
    if (widget.hasHeightForWidth()) {
        rect.setHeight(std::max(rect.height(), widget.heightForWidth(rect.width())));
    } else {
        const QSize hint = widget.sizeHint();
        rect.setWidth(std::max(rect.width(), hint.width()));
        rect.setHeight(std::max(rect.height(), hint.height()));
    }
    widget.setGeometry(rect);
}

QFont controlFont(bool bold) {
    QFont font = QApplication::font();
    font.setBold(bold);
    return font;
}

QFont codeFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const QFontMetrics metrics(font);
    if (metrics.horizontalAdvance(QLatin1Char('i')) !=
        metrics.horizontalAdvance(QLatin1Char('W'))) {
        // No desktop theme names one: the font configuration's fixed-width face.
        font.setFamily(QStringLiteral("monospace"));
        font.setStyleHint(QFont::Monospace);
        font.setFixedPitch(true);
    }
    const QFont ui = QApplication::font();
    if (ui.pointSizeF() > 0) {
        font.setPointSizeF(ui.pointSizeF());
    } else if (ui.pixelSize() > 0) {
        font.setPixelSize(ui.pixelSize());
    }
    return font;
}

QFont scaledFont(double designPoints, bool bold) {
    QFont font = controlFont(bold);
    if (font.pointSizeF() > 0) {
        font.setPointSizeF(font.pointSizeF() * designPoints / kDesignPointSize);
    } else if (font.pixelSize() > 0) {
        font.setPixelSize(
            static_cast<int>(std::lround(font.pixelSize() * designPoints / kDesignPointSize)));
    }
    return font;
}

}  // namespace zl::ui
