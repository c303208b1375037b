// Placement routines on Qt windows: frames converted to twips and back.
#include "ui/qt_placement.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <vector>

#include "ui/twips.h"

namespace zl::ui {

namespace {

QRect availableArea(const QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

controller::WindowState stateOf(const QWidget& window) {
    if (window.isMinimized()) return controller::WindowState::Minimized;
    if (window.isMaximized()) return controller::WindowState::Maximized;
    return controller::WindowState::Normal;
}

}  // namespace

controller::ScreenSize screenSize(const QWidget& window) {
    const QRect area = availableArea(window);
    return {toTwips(window, area.width()), toTwips(window, area.height())};
}

controller::WindowFrame windowFrame(const QWidget& window) {
    const QRect area = availableArea(window);
    const QRect frame = window.frameGeometry();
    return {toTwips(window, frame.left() - area.left()), toTwips(window, frame.top() - area.top()),
            toTwips(window, frame.width()), toTwips(window, frame.height()), stateOf(window)};
}

void applyFrame(QWidget& window, const controller::WindowFrame& frame) {
    if (frame.state == controller::WindowState::Normal && stateOf(window) != frame.state) {
        window.setWindowState(window.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    }
    const QRect area = availableArea(window);
    // Qt sizes a window's client area; the frame adds what the decorations take.
    const QSize decoration = window.frameGeometry().size() - window.geometry().size();
    window.move(area.left() + toPixels(window, frame.left),
                area.top() + toPixels(window, frame.top));
    window.resize(toPixels(window, frame.width) - decoration.width(),
                  toPixels(window, frame.height) - decoration.height());
}

void clampWindowSize(QWidget& window, double minWidth, double maxWidth, double minHeight,
                     double maxHeight) {
    const QSize decoration = window.frameGeometry().size() - window.geometry().size();
    const auto limit = [&](double twips, int decorationPixels, int none) {
        return twips > 0 ? std::max(0, toPixels(window, twips) - decorationPixels) : none;
    };
    window.setMinimumSize(limit(minWidth, decoration.width(), 0),
                          limit(minHeight, decoration.height(), 0));
    window.setMaximumSize(limit(maxWidth, decoration.width(), QWIDGETSIZE_MAX),
                          limit(maxHeight, decoration.height(), QWIDGETSIZE_MAX));
    const controller::WindowFrame frame = windowFrame(window);
    controller::WindowFrame clamped = frame;
    controller::ClampWindowSize(clamped, minWidth, maxWidth, minHeight, maxHeight);
    if (clamped.width != frame.width || clamped.height != frame.height) applyFrame(window, clamped);
}

void centerOnScreen(QWidget& window) {
    controller::WindowFrame frame = windowFrame(window);
    controller::CenterOnScreen(frame, screenSize(window));
    applyFrame(window, frame);
}

void moveWithinScreen(QWidget& window, std::int32_t left, std::int32_t top, std::int32_t width,
                      std::int32_t height) {
    controller::WindowFrame frame = windowFrame(window);
    controller::MoveWithinScreen(frame, screenSize(window), left, top, width, height);
    applyFrame(window, frame);
}

void centerDialog(QWidget& dialog) {
    // Qt keeps no load order of windows: the window that opened the dialog stands first.
    std::vector<controller::LoadedWindow> loaded;
    if (const QWidget* opener = dialog.parentWidget(); opener != nullptr) {
        loaded.push_back({windowFrame(*opener->window()), opener->window()->isActiveWindow()});
    }
    if (QWidget* active = QApplication::activeWindow();
        active != nullptr && active != &dialog && (loaded.empty() || !loaded.front().active)) {
        loaded.push_back({windowFrame(*active), true});
    }
    loaded.push_back({windowFrame(dialog), dialog.isActiveWindow()});
    controller::WindowFrame frame = windowFrame(dialog);
    controller::CenterDialog(frame, dialog.isActiveWindow(), loaded, screenSize(dialog));
    applyFrame(dialog, frame);
}

}  // namespace zl::ui
