// The main window's resize layout.
#include "controller/main_layout.h"

#include <gtest/gtest.h>

namespace zl::controller {
namespace {

constexpr double kW = 165;  // "W" in a bold 8.25-point face: 11 pixels

TEST(MainLayoutTest, CreationSizeGivesTheDesignedColumns) {
    const MainLayout l = LayoutMainWindow(CreationLayout(), 5175, 6165, kW);
    EXPECT_DOUBLE_EQ(l.tables.left, 105);
    EXPECT_DOUBLE_EQ(l.tables.width, 2430);
    EXPECT_DOUBLE_EQ(l.fields.left, 2640);
    EXPECT_DOUBLE_EQ(l.fields.width, 2430);
    EXPECT_DOUBLE_EQ(l.tables.height, 5610);
    EXPECT_DOUBLE_EQ(l.sql.height, 5610);
    EXPECT_DOUBLE_EQ(l.fields.height, 3575);  // 5610 / 3 * 2 - 165
    EXPECT_DOUBLE_EQ(l.copyright.width, 4965);
}

TEST(MainLayoutTest, WideWindowsKeepThreeEqualMarginsAndAlignedBottoms) {
    for (double width : {4000.0, 9001.0, 30000.0}) {
        for (double height : {3000.0, 6165.0, 20001.0}) {
            const MainLayout l = LayoutMainWindow(CreationLayout(), width, height, kW);
            const double gap = l.fields.left - (l.tables.left + l.tables.width);
            const double right = width - (l.fields.left + l.fields.width);
            EXPECT_NEAR(gap, 105, 1) << width;
            EXPECT_NEAR(right, 105, 1) << width;
            EXPECT_DOUBLE_EQ(l.indexes.left, l.fields.left);
            EXPECT_DOUBLE_EQ(l.indexes.top + l.indexes.height, l.tables.top + l.tables.height);
            EXPECT_DOUBLE_EQ(l.indexesLabel.top + l.indexesLabel.height + 15, l.indexes.top);
            // The gap between the field list and the index label is w - 15.
            EXPECT_NEAR(l.indexesLabel.top - (l.fields.top + l.fields.height), kW - 15, 1);
            // The copyright strip keeps its height and is centred under the lists.
            const double below = l.copyright.top - (l.tables.top + l.tables.height);
            const double above = height - (l.copyright.top + l.copyright.height);
            EXPECT_DOUBLE_EQ(l.copyright.height, 240);
            EXPECT_NEAR(below, above, 1) << height;
        }
    }
}

TEST(MainLayoutTest, LayoutLeavesTheFirstLabelAndTheTopsAlone) {
    const MainLayout first = LayoutMainWindow(CreationLayout(), 9000, 9000, kW);
    const MainLayout again = LayoutMainWindow(first, 9000, 9000, kW);
    EXPECT_DOUBLE_EQ(again.label1.width, 1800);
    EXPECT_DOUBLE_EQ(again.tableName.top, 45);
    EXPECT_DOUBLE_EQ(again.fields.top, 270);
    EXPECT_DOUBLE_EQ(again.indexes.top, first.indexes.top) << "a second pass changes nothing";
    EXPECT_DOUBLE_EQ(again.copyright.top, first.copyright.top);
}

}  // namespace
}  // namespace zl::controller
