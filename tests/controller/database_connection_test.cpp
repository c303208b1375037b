// Opening, closing and the three lists of the main window, driven through the controller.
#include "controller_fixture.h"

namespace zl::testing {
namespace {

using Strings = std::vector<std::string>;
using Flags = std::vector<bool>;

MemoryTable wideTable(std::string name, int fields, int indexes = 0) {
    MemoryTable t{std::move(name), {}, {}, 0};
    for (int j = 0; j < fields; ++j) t.fields.push_back(longField("F" + std::to_string(j)));
    for (int k = 0; k < indexes; ++k) t.indexes.push_back(index("I" + std::to_string(k), "+F0"));
    return t;
}

TEST_F(ControllerTest, OpeningSelectsEverythingAndShowsTheFirstEntry) {
    open(ordersDatabase());
    EXPECT_TRUE(controller.connection().isOpen());
    EXPECT_EQ(view.texts(ListId::Tables), (Strings{"Customers", "Open orders", "Orders"}));
    EXPECT_EQ(view.selection(ListId::Tables), (Flags{true, true, true}));
    EXPECT_EQ(view.currentRow[ListId::Tables], 0);
    EXPECT_EQ(view.labelText[LabelId::TableName], "Fi&elds in table 'Customers':");
    EXPECT_EQ(view.texts(ListId::Fields), (Strings{"ID", "Name", "City"}));
    EXPECT_EQ(view.selection(ListId::Fields), (Flags{true, true, true}));
    EXPECT_EQ(view.texts(ListId::Indexes), (Strings{"PrimaryKey", "NameIdx"}));
    EXPECT_EQ(view.selection(ListId::Indexes), (Flags{true, true}));
    EXPECT_FALSE(view.labelVisible[LabelId::Sql]);
    EXPECT_TRUE(view.listVisible[ListId::Fields]);
    EXPECT_EQ(view.databaseCommandsEnabled, true);
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(ControllerTest, QueryDefEntryShowsItsSqlInPlaceOfFieldsAndIndexes) {
    open(ordersDatabase());
    view.click(ListId::Tables, 1);
    EXPECT_EQ(view.labelText[LabelId::TableName], "QueryDef 'Open orders':");
    EXPECT_TRUE(view.labelVisible[LabelId::Sql]);
    EXPECT_EQ(view.labelText[LabelId::Sql], "SELECT * FROM Orders;\r\n");
    EXPECT_FALSE(view.listVisible[ListId::Fields]);
    EXPECT_FALSE(view.listVisible[ListId::Indexes]);
    EXPECT_FALSE(view.labelVisible[LabelId::IndexesLabel]);
    EXPECT_TRUE(view.texts(ListId::Fields).empty());
    EXPECT_TRUE(view.texts(ListId::Indexes).empty());

    view.click(ListId::Tables, 2);
    EXPECT_EQ(view.labelText[LabelId::TableName], "Fi&elds in table 'Orders':");
    EXPECT_FALSE(view.labelVisible[LabelId::Sql]);
    EXPECT_TRUE(view.listVisible[ListId::Fields]);
    EXPECT_TRUE(view.listVisible[ListId::Indexes]);
    EXPECT_TRUE(view.labelVisible[LabelId::IndexesLabel]);
    EXPECT_EQ(view.texts(ListId::Fields), (Strings{"OrderID", "CustomerID"}));
}

TEST_F(ControllerTest, ClickingAnEntryTogglesItAndShowsItsFieldsAllUnselected) {
    open(ordersDatabase());
    view.click(ListId::Tables, 2);
    EXPECT_FALSE(model().entry(2).selected);
    EXPECT_EQ(view.currentRow[ListId::Tables], 2);
    EXPECT_EQ(view.texts(ListId::Fields), (Strings{"OrderID", "CustomerID"}));
    EXPECT_EQ(view.selection(ListId::Fields), (Flags{false, false}));
    EXPECT_EQ(view.selection(ListId::Indexes), (Flags{false}));
}

// The lists report the controller's own selection changes back; those must not be stored.
TEST_F(ControllerTest, OnlyTheUsersOwnClicksReachTheModel) {
    open(ordersDatabase());
    view.click(ListId::Fields, 1);  // the user unselects Customers.Name
    EXPECT_FALSE(model().IsFieldIncluded(0, 1));
    EXPECT_TRUE(model().IsFieldIncluded(0, 0));

    view.click(ListId::Tables, 0);  // unselect Customers: its fields are listed unselected
    EXPECT_EQ(view.selection(ListId::Fields), (Flags{false, false, false}));
    EXPECT_TRUE(model().IsFieldIncluded(0, 0)) << "displaying must not store";
    EXPECT_TRUE(model().IsFieldIncluded(0, 2));
    EXPECT_TRUE(model().IsIndexIncluded(0, 0));

    view.click(ListId::Tables, 0);  // select it again: the user's choice comes back
    EXPECT_EQ(view.selection(ListId::Fields), (Flags{true, false, true}));
    EXPECT_EQ(view.selection(ListId::Indexes), (Flags{true, true}));
}

TEST_F(ControllerTest, FieldClickOfAnUnselectedEntrySelectsEveryFieldButNotTheEntry) {
    open(ordersDatabase());
    view.click(ListId::Tables, 0);
    view.click(ListId::Fields, 2);
    EXPECT_FALSE(model().entry(0).selected);
    for (int j = 0; j < 3; ++j) EXPECT_TRUE(model().IsFieldIncluded(0, j)) << j;
    view.click(ListId::Indexes, 0);
    EXPECT_TRUE(model().IsIndexIncluded(0, 0));
    EXPECT_TRUE(model().IsIndexIncluded(0, 1));
}

TEST_F(ControllerTest, SelectAllAndUnselectAllActOnEveryEntryAndRefreshBothLists) {
    open(ordersDatabase());
    view.click(ListId::Indexes, 1);
    controller.unselectAll();
    EXPECT_EQ(view.selection(ListId::Tables), (Flags{false, false, false}));
    EXPECT_EQ(view.selection(ListId::Fields), (Flags{false, false, false}));
    EXPECT_EQ(view.selection(ListId::Indexes), (Flags{false, false}));
    for (std::size_t e = 0; e < 3; ++e) EXPECT_FALSE(model().entry(e).selected);

    view.click(ListId::Tables, 2);  // an untouched entry still shows all its fields selected
    EXPECT_EQ(view.selection(ListId::Fields), (Flags{true, true}));
    view.click(ListId::Tables, 0);  // its indexes were changed: none shown; its fields were not
    EXPECT_EQ(view.selection(ListId::Indexes), (Flags{false, false}));
    EXPECT_EQ(view.selection(ListId::Fields), (Flags{true, true, true}));

    controller.selectAll();
    EXPECT_EQ(view.selection(ListId::Tables), (Flags{true, true, true}));
    EXPECT_EQ(view.selection(ListId::Fields), (Flags{true, true, true}));
    EXPECT_EQ(view.selection(ListId::Indexes), (Flags{true, true}));
    EXPECT_TRUE(model().IsIndexIncluded(0, 1));
}

TEST_F(ControllerTest, TooManyFieldsAreWarnedAboutAndListedUpToTheLimit) {
    MemoryDatabaseContent content;
    content.table(wideTable("Exact", 500)).table(wideTable("Wide", 501, 60));
    open(content);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0],
              (ShownMessage{"Too many fields (501) in table Wide (max. 500). Contact the author "
                            "of Zerlin Wizard.",
                            "Zerlin Wizard", MessageIcon::Exclamation}));
    EXPECT_EQ(view.texts(ListId::Tables), (Strings{"Exact", "Wide"}));
    EXPECT_EQ(view.texts(ListId::Fields).size(), 500u);
    view.click(ListId::Tables, 1);
    EXPECT_EQ(view.texts(ListId::Fields).size(), 500u);
    EXPECT_EQ(view.texts(ListId::Fields).back(), "F499");
    EXPECT_EQ(view.texts(ListId::Indexes).size(), 50u);
}

TEST_F(ControllerTest, SystemObjectsAreNeverListed) {
    MemoryDatabaseContent content;
    content.extraRows = {
        {"MSysObjects", schema::dao::kTableTypeTable, static_cast<std::int32_t>(0x80000000u)},
        {"MSysQueries", schema::dao::kTableTypeTable, 2}};
    open(content);
    EXPECT_TRUE(controller.connection().isOpen());
    EXPECT_TRUE(view.texts(ListId::Tables).empty());
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(controller.connection().currentEntry(), -1);
}

TEST_F(ControllerTest, FailedOpenShowsTheEnginesDescriptionAndLeavesNothingOpen) {
    engine.add(ordersDatabase());
    services.tutorialSetting = false;
    controller.start({});
    view.openAnswers.push_back("/data/missing.mdb");
    controller.fileOpen();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0], (ShownMessage{"Could not find file '/data/missing.mdb'.",
                                              "Couldn't open database", MessageIcon::Exclamation}));
    EXPECT_FALSE(controller.connection().isOpen());
    EXPECT_TRUE(view.texts(ListId::Tables).empty());
    EXPECT_EQ(view.databaseCommandsEnabled, false);
}

TEST_F(ControllerTest, OpenClosesTheOpenDatabaseFirstAndCancelLeavesNoneOpen) {
    open(ordersDatabase());
    view.click(ListId::Tables, 1);  // a QueryDef on show
    controller.fileOpen();          // the dialog is cancelled
    EXPECT_FALSE(controller.connection().isOpen());
    EXPECT_EQ(controller.connection().database(), nullptr);
    EXPECT_TRUE(view.texts(ListId::Tables).empty());
    EXPECT_TRUE(view.texts(ListId::Fields).empty());
    EXPECT_EQ(view.databaseCommandsEnabled, false);
    EXPECT_TRUE(view.messages.empty());
    // Nothing of the closed database stays on show.
    EXPECT_FALSE(view.labelVisible[LabelId::Sql]);
    EXPECT_EQ(view.labelText[LabelId::Sql], "");
    EXPECT_EQ(view.labelText[LabelId::TableName], "");
    EXPECT_TRUE(view.listVisible[ListId::Fields]);

    ASSERT_EQ(view.openRequests.size(), 1u);
    const controller::FileDialogRequest& request = view.openRequests[0];
    EXPECT_EQ(request.title, "Open Access database");
    EXPECT_EQ(request.filters, (Strings{"MS Access (*.mdb *.accdb)", "MS Access 97-2003 (*.mdb)",
                                        "MS Access 2007 and later (*.accdb)", "All files (*)"}));
    EXPECT_EQ(request.defaultSuffix, "mdb");
    EXPECT_TRUE(request.mustExist);

    view.openAnswers.push_back("/data/orders.mdb");
    controller.fileOpen();
    EXPECT_TRUE(controller.connection().isOpen());
    EXPECT_EQ(view.texts(ListId::Tables).size(), 3u);
    EXPECT_EQ(view.selection(ListId::Tables), (Flags{true, true, true})) << "selection reset";
    EXPECT_EQ(engine.openCount(), 2);
}

TEST_F(ControllerTest, ListingFailuresAreReportedOnceWithTheLastDescription) {
    MemoryDatabaseContent content = ordersDatabase();
    content.fail(Op::FieldCount, "Customers", -1, "first failure");
    content.fail(Op::TableDef, "Orders", -1, "Could not find linked file '/x/y.mdb'.");
    open(content);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0], (ShownMessage{"Could not find linked file '/x/y.mdb'.",
                                              "Zerlin Wizard", MessageIcon::None}));
    EXPECT_EQ(view.texts(ListId::Tables).size(), 3u) << "failing tables stay listed";
    EXPECT_TRUE(view.texts(ListId::Fields).empty()) << "no field count, no fields";
    view.messages.clear();
    view.click(ListId::Tables, 2);
    EXPECT_TRUE(view.texts(ListId::Fields).empty());
    EXPECT_TRUE(view.messages.empty()) << "filling the right-hand lists reports nothing";
}

TEST_F(ControllerTest, FailingListingLeavesTheDatabaseOpenAndEmpty) {
    MemoryDatabaseContent content = ordersDatabase();
    content.fail(Op::ListTables, "", -1, "Listing failed.");
    open(content);
    EXPECT_TRUE(controller.connection().isOpen());
    EXPECT_TRUE(view.texts(ListId::Tables).empty());
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0],
              (ShownMessage{"Listing failed.", "Zerlin Wizard", MessageIcon::None}));
}

// A field that cannot be read is left out; the rows after it still store their own position.
TEST_F(ControllerTest, UnreadableFieldIsSkippedAndLaterRowsKeepTheirPositions) {
    MemoryDatabaseContent content = ordersDatabase();
    content.fail(Op::Field, "Customers", 1);
    content.fail(Op::Index, "Customers", 1);
    open(content);
    EXPECT_EQ(view.texts(ListId::Fields), (Strings{"ID", "City"}));
    EXPECT_EQ(view.texts(ListId::Indexes), (Strings{"PrimaryKey"})) << "index filling stops";
    view.click(ListId::Fields, 1);
    EXPECT_FALSE(model().IsFieldIncluded(0, 2));
    EXPECT_TRUE(model().IsFieldIncluded(0, 1));
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(ControllerTest, UnreadableQueryDefShowsNoSql) {
    MemoryDatabaseContent content = ordersDatabase();
    content.query("Broken", "SELECT 1;\r\n");
    content.listing->push_back({"Broken", schema::dao::kTableTypeQueryDef, 0});
    content.fail(Op::OpenQueryDef, "Broken");
    open(content);
    view.click(ListId::Tables, 1);
    view.click(ListId::Tables, 3);
    EXPECT_EQ(view.labelText[LabelId::TableName], "QueryDef 'Broken':");
    EXPECT_EQ(view.labelText[LabelId::Sql], "") << "not the previous QueryDef's SQL";
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(ControllerTest, AmpersandsInNamesShowAsThemselvesInCaptions) {
    MemoryDatabaseContent content;
    content.table({"R&D", {longField("A")}, {}});
    content.query("Q&A", "SELECT 1;\r\n");
    open(content);
    EXPECT_EQ(view.labelText[LabelId::TableName], "Fi&elds in table 'R&&D':");
    view.click(ListId::Tables, 1);
    EXPECT_EQ(view.labelText[LabelId::TableName], "QueryDef 'Q&&A':");
}

TEST_F(ControllerTest, EntriesPastTwoHundredKeepTheirFieldSelection) {
    MemoryDatabaseContent content;
    for (int i = 0; i < 250; ++i) content.table(wideTable("T" + std::to_string(i), 3));
    open(content);
    view.click(ListId::Tables, 240);
    view.click(ListId::Tables, 240);
    view.click(ListId::Fields, 1);
    EXPECT_FALSE(model().IsFieldIncluded(240, 1));
    view.click(ListId::Tables, 0);
    view.click(ListId::Tables, 0);
    view.click(ListId::Tables, 240);
    view.click(ListId::Tables, 240);
    EXPECT_EQ(view.selection(ListId::Fields), (Flags{true, false, true}));
}

}  // namespace
}  // namespace zl::testing
