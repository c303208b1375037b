// Placement routines on Qt windows: frames converted to twips and back.
#include "ui/qt_placement.h"

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "ui/twips.h"

namespace zl::ui {

namespace {

QRect availableArea(const QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

// Decorations last seen on a framed window: the window manager frames the next one alike.
QMargins g_lastDecorations;

// The decorations the window manager has put around the shown window; none when unframed.
QMargins realDecorations(const QWidget& window) {
    if (!window.isVisible()) return {};
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

controller::WindowState stateOf(const QWidget& window) {
    if (window.isMinimized()) return controller::WindowState::Minimized;
    if (window.isMaximized()) return controller::WindowState::Maximized;
    return controller::WindowState::Normal;
}

}  // namespace

QMargins decorations(const QWidget& window) {
    const QMargins real = realDecorations(window);
    if (!real.isNull()) {
        g_lastDecorations = real;
        return real;
    }
    return g_lastDecorations;
}

controller::ScreenSize screenSize(const QWidget& window) {
    const QRect area = availableArea(window);
    return {toTwips(window, area.width()), toTwips(window, area.height())};
}

controller::WindowFrame windowFrame(const QWidget& window) {
    const QRect area = availableArea(window);
    // A window's position is its frame's, framed or not; its size is the client area's.
    const QRect frame(window.pos(), window.size().grownBy(decorations(window)));
    return {toTwips(window, frame.left() - area.left()), toTwips(window, frame.top() - area.top()),
            toTwips(window, frame.width()), toTwips(window, frame.height()), stateOf(window)};
}

void applyFrame(QWidget& window, const controller::WindowFrame& frame) {
    if (frame.state == controller::WindowState::Normal && stateOf(window) != frame.state) {
        window.setWindowState(window.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    }
    const QRect area = availableArea(window);
    // Qt sizes a window's client area; the frame adds what the decorations take.
    const QMargins margins = decorations(window);
    const QSize decoration(margins.left() + margins.right(), margins.top() + margins.bottom());
    window.move(area.left() + toPixels(window, frame.left),
                area.top() + toPixels(window, frame.top));
    window.resize(toPixels(window, frame.width) - decoration.width(),
                  toPixels(window, frame.height) - decoration.height());
}

void clampWindowSize(QWidget& window, double minWidth, double maxWidth, double minHeight,
                     double maxHeight) {
    const QMargins margins = decorations(window);
    const QSize decoration(margins.left() + margins.right(), margins.top() + margins.bottom());
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

void placeWhenFramed(QWidget& window, const std::function<void()>& place) {
    place();
    // Polls for the frame after the window is shown: the window manager reports it a moment
    // after mapping, and not at all without one.
    constexpr int kPollMs = 20;
    constexpr int kPolls = 100;
    auto* timer = new QTimer(&window);
    timer->setInterval(kPollMs);
    auto polls = std::make_shared<int>(0);
    auto used = std::make_shared<QMargins>(decorations(window));
    auto placedAt = std::make_shared<QPoint>(window.pos());
    QObject::connect(
        timer, &QTimer::timeout, timer, [&window, timer, place, polls, used, placedAt] {
            if (!window.isVisible()) return;
            const QMargins real = realDecorations(window);
            if (!real.isNull()) {
                g_lastDecorations = real;
                // Placed again with the real frame, unless the user has moved it
                // meanwhile.
                // A window maximised or minimised meanwhile is left as the user made it.
                const bool normal =
                    (window.windowState() &
                     (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) == 0;
                if (real != *used && normal && window.pos() == *placedAt) place();
                timer->deleteLater();
            } else if (++*polls >= kPolls) {
                timer->deleteLater();
            }
        });
    timer->start();
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
