// Window placement rules in twips.
#include "controller/window_placement.h"

#include <gtest/gtest.h>

namespace zl::controller {
namespace {

constexpr ScreenSize kScreen{15360, 11520};  // 1024 x 768 pixels at 96 dpi

WindowFrame frame(double left, double top, double width, double height,
                  WindowState state = WindowState::Normal) {
    return WindowFrame{left, top, width, height, state};
}

void expectFrame(const WindowFrame& w, double left, double top, double width, double height) {
    EXPECT_DOUBLE_EQ(w.left, left);
    EXPECT_DOUBLE_EQ(w.top, top);
    EXPECT_DOUBLE_EQ(w.width, width);
    EXPECT_DOUBLE_EQ(w.height, height);
}

TEST(WindowPlacementTest, MoveWithinScreenPullsWindowsBackOnScreen) {
    WindowFrame w = frame(0, 0, 3000, 2000);
    MoveWithinScreen(w, kScreen, 14000, 100, -1, -1);
    expectFrame(w, 12360, 100, 3000, 2000);
    MoveWithinScreen(w, kScreen, -500, -20, -1, -1);
    expectFrame(w, 0, 0, 3000, 2000);
    MoveWithinScreen(w, kScreen, 100, 500, 4000, 20000);  // too tall: screen height at top 0
    expectFrame(w, 100, 0, 4000, 11520);
}

TEST(WindowPlacementTest, WindowWiderThanTheScreenKeepsItsSizeAndRequestedLeft) {
    WindowFrame w = frame(0, 0, 20000, 2000);
    MoveWithinScreen(w, kScreen, -700, 10000, -1, -1);
    expectFrame(w, -700, 9520, 20000, 2000);
}

TEST(WindowPlacementTest, ClampHoldsTheMinimumOnlyInTheNormalState) {
    WindowFrame w = frame(10, 20, 3000, 2000);
    ClampWindowSize(w, 4050, -1, 3660, -1);
    expectFrame(w, 10, 20, 4050, 3660);
    WindowFrame maximised = frame(0, 0, 3000, 2000, WindowState::Maximized);
    ClampWindowSize(maximised, 4050, -1, 3660, -1);
    expectFrame(maximised, 0, 0, 3000, 2000);
    WindowFrame crossed = frame(0, 0, 9000, 9000);
    ClampWindowSize(crossed, 5000, 4000, 0, 0);  // the minimum wins over a smaller maximum
    EXPECT_DOUBLE_EQ(crossed.width, 5000);
    EXPECT_DOUBLE_EQ(crossed.height, 9000);
}

TEST(WindowPlacementTest, CenteringOnTheScreenIsNotClamped) {
    WindowFrame w = frame(0, 0, 16001, 3000);
    CenterOnScreen(w, kScreen);
    expectFrame(w, -320.5, 4260, 16001, 3000);
}

TEST(WindowPlacementTest, CenterOnOwnerRestoresAMinimisedWindowFirst) {
    const WindowFrame owner = frame(1000, 1000, 5000, 6000);
    WindowFrame dialog = frame(0, 0, 3001, 2000, WindowState::Minimized);
    CenterOnOwner(owner, dialog, kScreen);
    EXPECT_EQ(dialog.state, WindowState::Normal);
    expectFrame(dialog, 2000, 3000, 3001, 2000);  // 2000 + 2500 - 1500.5 = 1999.5 -> 2000
}

TEST(WindowPlacementTest, CenterDialogPicksScreenOrOwner) {
    const std::vector<LoadedWindow> onlyDialog{{frame(0, 0, 100, 100), false}};
    WindowFrame d = frame(0, 0, 3000, 2000);
    CenterDialog(d, false, onlyDialog, kScreen);
    expectFrame(d, 6180, 4760, 3000, 2000);

    const std::vector<LoadedWindow> loaded{{frame(0, 0, 5000, 5000), false},
                                           {frame(8000, 4000, 4000, 4000), true},
                                           {frame(0, 0, 3000, 2000), false}};
    d = frame(0, 0, 3000, 2000);
    CenterDialog(d, false, loaded, kScreen);
    expectFrame(d, 8500, 5000, 3000, 2000);  // on the active window

    std::vector<LoadedWindow> noneActive = loaded;
    noneActive[1].active = false;
    d = frame(0, 0, 3000, 2000);
    CenterDialog(d, false, noneActive, kScreen);
    expectFrame(d, 1000, 1500, 3000, 2000);  // on the first (main) window

    d = frame(0, 0, 3000, 2000);
    CenterDialog(d, true, loaded, kScreen);
    expectFrame(d, 6180, 4760, 3000, 2000);
}

}  // namespace
}  // namespace zl::controller
