// Window placement: centring, keeping windows on the screen, minimum sizes. Pure functions over
// a window's outer frame in twips (1/1440 inch); the toolkit adapter converts to pixels.
#pragma once

#include <cstdint>
#include <vector>

namespace zl::controller {

enum class WindowState { Normal, Minimized, Maximized };

// A top-level window's outer frame in screen coordinates (twips) and its state.
struct WindowFrame {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    WindowState state = WindowState::Normal;
};

// The screen as one rectangle from 0,0 (twips).
struct ScreenSize {
    double width = 0;
    double height = 0;
};

// A window in the load-ordered list of windows (the main window first).
struct LoadedWindow {
    WindowFrame frame;
    bool active = false;
};

// Whole twips: nearest integer, halves to the even neighbour.
std::int32_t RoundTwips(double value);

// Holds a normal window's size within the bounds (a bound of 0 or less is no bound); minimised
// and maximised windows are left alone. Maxima apply first, so a minimum above its maximum wins.
void ClampWindowSize(WindowFrame& window, double minWidth, double maxWidth, double minHeight,
                     double maxHeight);

// Centres the window on the screen keeping its size; the result may lie partly off-screen.
void CenterOnScreen(WindowFrame& window, ScreenSize screen);

// Moves and sizes the window, pulled inside the screen where it fits: a size larger than the
// screen shrinks to it; a negative width or height keeps the present one; a window still larger
// than the screen in one direction keeps the requested position in that direction.
void MoveWithinScreen(WindowFrame& window, ScreenSize screen, std::int32_t left, std::int32_t top,
                      std::int32_t width, std::int32_t height);

// Centres the window on its owner (restoring it first when minimised), kept within the screen.
void CenterOnOwner(const WindowFrame& owner, WindowFrame& window, ScreenSize screen);

// Centres a dialog that is being opened: on the screen when the dialog itself is active or is
// the only loaded window, else on the first active loaded window, else on the first one.
void CenterDialog(WindowFrame& dialog, bool dialogActive, const std::vector<LoadedWindow>& loaded,
                  ScreenSize screen);

}  // namespace zl::controller
