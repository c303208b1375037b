// Window placement rules in twips.
#include "controller/window_placement.h"

#include <cmath>

namespace zl::controller {

std::int32_t RoundTwips(double value) {
    // Under the default floating-point rounding mode, which the program never changes,
    // nearbyint rounds halves to the even neighbour.
    return static_cast<std::int32_t>(std::nearbyint(value));
}

void ClampWindowSize(WindowFrame& window, double minWidth, double maxWidth, double minHeight,
                     double maxHeight) {
    if (window.state != WindowState::Normal) return;
    if (maxWidth > 0 && window.width > maxWidth) window.width = maxWidth;
    if (minWidth > 0 && window.width < minWidth) window.width = minWidth;
    if (maxHeight > 0 && window.height > maxHeight) window.height = maxHeight;
    if (minHeight > 0 && window.height < minHeight) window.height = minHeight;
}

void CenterOnScreen(WindowFrame& window, ScreenSize screen) {
    window.left = screen.width / 2 - window.width / 2;
    window.top = screen.height / 2 - window.height / 2;
}

void MoveWithinScreen(WindowFrame& window, ScreenSize screen, std::int32_t left, std::int32_t top,
                      std::int32_t width, std::int32_t height) {
    double h = height;
    if (height >= 0) {
        if (h > screen.height) h = screen.height;
    } else {
        h = window.height;
    }
    double w = width;
    if (width >= 0) {
        if (w > screen.width) w = screen.width;
    } else {
        w = window.width;
    }
    double x = left;
    if (w <= screen.width) {
        if (x + w > screen.width) x = screen.width - w;
        if (x < 0) x = 0;
    }
    double y = top;
    if (h <= screen.height) {
        if (y + h > screen.height) y = screen.height - h;
        if (y < 0) y = 0;
    }
    window.left = x;
    window.top = y;
    window.width = w;
    window.height = h;
}

void CenterOnOwner(const WindowFrame& owner, WindowFrame& window, ScreenSize screen) {
    if (window.state == WindowState::Minimized) window.state = WindowState::Normal;
    const std::int32_t left = RoundTwips(owner.width / 2 + owner.left - window.width / 2);
    const std::int32_t top = RoundTwips(owner.height / 2 + owner.top - window.height / 2);
    MoveWithinScreen(window, screen, left, top, -1, -1);
}

void CenterDialog(WindowFrame& dialog, bool dialogActive, const std::vector<LoadedWindow>& loaded,
                  ScreenSize screen) {
    if (dialogActive || loaded.size() == 1 || loaded.empty()) {
        CenterOnScreen(dialog, screen);
        return;
    }
    const LoadedWindow* owner = &loaded.front();
    for (const LoadedWindow& candidate : loaded) {
        if (candidate.active) {
            owner = &candidate;
            break;
        }
    }
    CenterOnOwner(owner->frame, dialog, screen);
}

}  // namespace zl::controller
