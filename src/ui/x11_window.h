// What Qt leaves undone on X11 windows.
#pragma once

class QWidget;

namespace zl::ui {

// Gives the top-level window an empty title on the X server, where Qt would fill an empty
// title with the application's name. Does nothing on other platforms.
void clearTitleOnX11(QWidget& window);

}  // namespace zl::ui
