// The window placement rules applied to Qt top-level widgets.
#pragma once

#include <QMargins>
#include <cstdint>
#include <functional>

#include "controller/window_placement.h"

class QWidget;

namespace zl::ui {

// The decorations the window manager puts around the window: the real ones once it is framed,
// else those last seen around a framed window (none before the first).
QMargins decorations(const QWidget& window);
// The screen the widget is on (its available area, from 0,0), in twips.
controller::ScreenSize screenSize(const QWidget& window);
// The window's outer frame relative to its screen, in twips, with its state.
controller::WindowFrame windowFrame(const QWidget& window);
// Moves and sizes the window's outer frame to `frame` and puts it into frame's state.
void applyFrame(QWidget& window, const controller::WindowFrame& frame);

// The placement routines on a Qt window.
// Holds a normal window's outer size within the bounds (twips; 0 or less: no bound), both now
// and as the size limits the window manager keeps while the user drags.
void clampWindowSize(QWidget& window, double minWidth, double maxWidth, double minHeight,
                     double maxHeight);
void centerOnScreen(QWidget& window);
// Runs `place` now, with the decorations estimated, and once more when the shown window has
// been framed with other decorations than estimated, unless it was moved meanwhile.
void placeWhenFramed(QWidget& window, const std::function<void()>& place);
void moveWithinScreen(QWidget& window, std::int32_t left, std::int32_t top, std::int32_t width,
                      std::int32_t height);
// Centres a dialog being opened on the active window, else on the window that opened it.
void centerDialog(QWidget& dialog);

}  // namespace zl::ui
