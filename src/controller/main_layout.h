// The main window's resize layout: two columns sharing the client area, in twips.
#pragma once

namespace zl::controller {

// A control's place within the client area (twips).
struct ControlRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// The places of the main window's controls.
struct MainLayout {
    ControlRect label1;
    ControlRect tables;
    ControlRect tableName;
    ControlRect fields;
    ControlRect indexesLabel;
    ControlRect indexes;
    ControlRect copyright;
    ControlRect sql;
};

// The client area at creation (twips).
inline constexpr double kCreationClientWidth = 5175;
inline constexpr double kCreationClientHeight = 6165;

// Minimum outer size of the main window in the normal state (twips).
inline constexpr double kMainMinWidth = 4050;
inline constexpr double kMainMinHeight = 3660;

// The controls as the window is created.
MainLayout CreationLayout();

// One layout pass for a client area of `clientWidth` by `clientHeight` twips and the spacing
// unit `spacing` (the width of "W" in the window's font). Reads from `current` only what the
// layout never changes (Label1, the tops of the column heads and lists, the lefts of Tables and
// Copyright, the label heights), so the result depends on those and the sizes given. The left
// margin, the gap between the columns and the right margin all equal Tables' left.
MainLayout LayoutMainWindow(const MainLayout& current, double clientWidth, double clientHeight,
                            double spacing);

}  // namespace zl::controller
