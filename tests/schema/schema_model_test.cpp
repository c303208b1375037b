// Selection rules of the schema model.
#include "schema/schema_model.h"

#include <gtest/gtest.h>

using zl::schema::SchemaModel;

namespace {

SchemaModel threeTables() {
    SchemaModel m;
    m.addEntry("T1", false);
    m.addEntry("Q1", true);
    m.addEntry("T2", false);
    m.ResetSelection();
    return m;
}

TEST(SchemaModelTest, FirstFieldChangeExpandsTheAllFlag) {
    SchemaModel m = threeTables();
    EXPECT_TRUE(m.IsFieldIncluded(0, 600));
    m.StoreFieldSelection(0, 3, false);
    for (int j = 0; j <= 500; ++j) EXPECT_EQ(m.IsFieldIncluded(0, j), j != 3) << j;
    EXPECT_TRUE(m.IsFieldIncluded(0, 501)) << "positions past the columns follow the row";
    EXPECT_TRUE(m.IsFieldIncluded(2, 3)) << "other rows untouched";
}

TEST(SchemaModelTest, UnselectAllKeepsTheAllFlagOfUntouchedEntries) {
    SchemaModel m = threeTables();
    m.StoreIndexSelection(0, 1, false);
    m.UnselectAllEntries();
    EXPECT_FALSE(m.entry(0).selected);
    EXPECT_FALSE(m.IsIndexIncluded(0, 0)) << "changed entry shows none selected";
    EXPECT_TRUE(m.IsIndexIncluded(2, 0)) << "untouched entry still in the all state";
    m.SelectAllEntries();
    EXPECT_TRUE(m.IsIndexIncluded(0, 1));
    EXPECT_TRUE(m.entry(1).selected);
}

TEST(SchemaModelTest, EveryEntryHasItsRowPastTwoHundred) {
    SchemaModel m;
    for (int i = 0; i < 300; ++i) m.addEntry("T" + std::to_string(i), false);
    m.ResetSelection();
    m.StoreFieldSelection(250, 0, false);
    EXPECT_FALSE(m.IsFieldIncluded(250, 0));
    EXPECT_TRUE(m.IsFieldIncluded(250, 1));
    EXPECT_FALSE(m.IsFieldIncluded(300, 0)) << "no entry, nothing included";
}

}  // namespace
