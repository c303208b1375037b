// The main window's resize layout.
#include "controller/main_layout.h"

#include "controller/window_placement.h"

namespace zl::controller {

namespace {
// Gap between the index list's label and the list.
constexpr double kIndexesLabelGap = 15;
// Margin between the lists' bottom and the copyright strip that the list height leaves.
constexpr double kBottomMargin = 45;

double whole(double value) { return RoundTwips(value); }
}  // namespace

MainLayout CreationLayout() {
    MainLayout l;
    l.label1 = {105, 45, 1800, 240};
    l.tables = {105, 270, 2430, 5520};
    l.tableName = {2625, 45, 2430, 195};
    l.fields = {2625, 270, 2430, 3765};
    l.indexesLabel = {2625, 4320, 1170, 195};
    l.indexes = {2625, 4545, 2430, 1230};
    l.copyright = {105, 5850, 4950, 240};
    l.sql = {2625, 270, 2430, 5460};
    return l;
}

MainLayout LayoutMainWindow(const MainLayout& current, double clientWidth, double clientHeight,
                            double spacing) {
    MainLayout l = current;
    const double left = l.tables.left;
    const double top = l.tables.top;

    const double columnWidth = whole(clientWidth / 2 - left * 1.5);
    const double rightColumn = whole(left / 2 + clientWidth / 2);
    const double listHeight = whole(clientHeight - top - kBottomMargin - l.copyright.height);
    const double fieldsHeight = whole(listHeight / 3 * 2 - spacing);
    const double indexBlock = whole((listHeight - fieldsHeight) - spacing);

    l.copyright.width = clientWidth - 2 * l.copyright.left;
    for (ControlRect* r :
         {&l.tables, &l.fields, &l.indexes, &l.tableName, &l.indexesLabel, &l.sql}) {
        r->width = columnWidth;
    }
    for (ControlRect* r : {&l.fields, &l.tableName, &l.indexes, &l.indexesLabel, &l.sql}) {
        r->left = rightColumn;
    }
    l.tables.height = listHeight;
    l.fields.height = fieldsHeight;
    l.sql.height = l.tables.height;
    l.indexes.height = indexBlock - l.indexesLabel.height;
    // The bottoms of the two lists line up.
    l.indexes.top = l.tables.top + l.tables.height - l.indexes.height;
    l.indexesLabel.top = l.indexes.top - l.indexesLabel.height - kIndexesLabelGap;
    // The copyright label is centred in the strip under the lists.
    const double strip = whole(clientHeight - l.tables.height - l.tables.top);
    l.copyright.top = l.tables.height + l.tables.top + (strip - l.copyright.height) / 2;
    return l;
}

}  // namespace zl::controller
