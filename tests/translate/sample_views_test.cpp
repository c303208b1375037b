// The sample database's saved queries as views in PostgreSQL and SQLite, run on the sample's rows
// and compared with rows worked out by hand from samples/orders.json.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "engine_schema.h"

namespace zl::translate {
namespace {

using Rows = std::vector<std::vector<std::string>>;

struct ExpectedView {
    const char* query;
    bool ordered;  // the first column's order is fixed by the query's ORDER BY
    Rows rows;
};

const char* const N = zl::testing::kNullText;

// Worked out from the sample's rows, independently of any translation.
const std::vector<ExpectedView>& expectedViews() {
    static const std::vector<ExpectedView> views = {
        {"Customer Orders",
         true,
         {{"Alfreds Futterkiste", "10249", "2024-01-05 00:00:00", "11.61"},
          {"Bottom-Dollar Markets", "10250", "2024-01-08 00:00:00", "65.83"},
          {"Comércio Mineiro", "10251", "2024-01-08 00:00:00", "41.34"},
          {"Ernst Handel", "10252", "2024-01-09 00:00:00", "51.30"},
          {"Ernst Handel", "10248", "2024-01-04 00:00:00", "32.38"}}},
        {"Sales by Category",
         true,
         {{"Condiments", "1766.20"}, {"Confections", "1696.00"}, {"Beverages", "329.21"}}},
        {"Ten Most Expensive Products",
         true,
         {{"Chef Anton's Cajun Seasoning", "22.00"},
          {"Chang", "19.00"},
          {"Chai", "18.00"},
          {"Aniseed Syrup", "10.00"},
          {"Teatime Chocolate Biscuits", "9.20"}}},
        {"Customer and Supplier Countries",
         true,
         {{"Austria", "Ernst Handel"},
          {"Brazil", "Comércio Mineiro"},
          {"Canada", "Bottom-Dollar Markets"},
          {"Germany", "Alfreds Futterkiste"},
          {"Germany", "Drachenblut Delikatessen"},
          {"Japan", "Tokyo Traders"},
          {"UK", "Exotic Liquids"},
          {"USA", "New Orleans Cajun Delights"}}},
        {"Products Below Reorder Level",
         false,
         {{"Chang", "17.00", "25.00"}, {"Aniseed Syrup", "13.00", "25.00"}}},
        {"Quantities by Product, First Quarter",
         false,
         {{"Chai", "18.00", N, N},
          {"Chang", "10.00", N, N},
          {"Aniseed Syrup", "25.00", N, N},
          {"Chef Anton's Cajun Seasoning", "9.00", N, N},
          {"Gumbo Mix", "35.00", N, N},
          {"Teatime Chocolate Biscuits", "40.00", N, N}}},
        {"Orders by Country and Shipper",
         false,
         {{"Austria", N, "1.00", "1.00"},
          {"Germany", "1.00", N, N},
          {"Canada", N, "1.00", N},
          {"Brazil", "1.00", N, N}}},
    };
    return views;
}

void expectRows(const Rows& actualRaw, const ExpectedView& expected) {
    Rows actual;
    for (const auto& row : actualRaw) actual.push_back(testing::normalizeRow(row));
    Rows want;
    for (const auto& row : expected.rows) want.push_back(testing::normalizeRow(row));
    if (expected.ordered) {
        ASSERT_EQ(actual.size(), want.size());
        for (std::size_t i = 0; i < actual.size(); ++i) EXPECT_EQ(actual[i][0], want[i][0]) << i;
    }
    std::sort(actual.begin(), actual.end());
    std::sort(want.begin(), want.end());
    EXPECT_EQ(actual, want);
}

class SampleViewsTest : public ::testing::Test {
protected:
    void SetUp() override {
        schema = testing::readAccessSchema(ZLGEN_SAMPLE_DB);
        ASSERT_FALSE(schema.queries.empty());
    }
    testing::AccessSchema schema;
    QuotingNameMapper names;
};

std::string tablesSql(Target target, const testing::AccessSchema& schema) {
    std::string sql;
    for (const TableColumns& t : schema.tables) sql += testing::createTableSql(target, t);
    return sql + testing::sampleRowsSql(target, "samples/orders.json");
}

TEST_F(SampleViewsTest, ViewsGiveTheRowsAccessGives) {
    for (Target target : {Target::Sqlite, Target::PostgreSql}) {
        SCOPED_TRACE(targetName(target));
        testing::TargetDb db(target);
        ASSERT_EQ(db.setupError(), "");
        std::string script = tablesSql(target, schema);
        std::map<std::string, QueryTranslation> byName;
        for (QueryTranslation& t : translateQueries(target, schema.queries, schema.map, names)) {
            if (t.ok) script += t.sql;
            byName[t.name] = std::move(t);
        }
        ASSERT_EQ(db.run(script), "");
        for (const ExpectedView& view : expectedViews()) {
            SCOPED_TRACE(view.query);
            const QueryTranslation& t = byName[view.query];
            ASSERT_TRUE(t.ok) << t.reason;
            const auto rows = db.query("SELECT * FROM " + names.object(view.query));
            ASSERT_TRUE(rows.ok) << rows.error;
            expectRows(rows.rows, view);
        }
    }
}

TEST_F(SampleViewsTest, ParameterQueryIsAFunctionInPostgreSqlOnly) {
    const auto query =
        std::find_if(schema.queries.begin(), schema.queries.end(),
                     [](const SavedQuery& q) { return q.name == "Orders by Date Range"; });
    ASSERT_NE(query, schema.queries.end());
    EXPECT_FALSE(translateQuery(Target::Sqlite, *query, schema.map, names).ok);
    const QueryTranslation t = translateQuery(Target::PostgreSql, *query, schema.map, names);
    ASSERT_TRUE(t.ok) << t.reason;
    EXPECT_TRUE(t.isFunction);
    testing::TargetDb db(Target::PostgreSql);
    ASSERT_EQ(db.setupError(), "");
    ASSERT_EQ(db.run(tablesSql(Target::PostgreSql, schema) + t.sql), "");
    // The bounds in either order, as Access's Between takes them.
    for (const char* call : {"('2024-01-05', '2024-01-08')", "('2024-01-08', '2024-01-05')"}) {
        const auto rows = db.query("SELECT * FROM \"Orders by Date Range\"" + std::string(call));
        ASSERT_TRUE(rows.ok) << rows.error;
        expectRows(rows.rows, {"",
                               true,
                               {{"10249", "Alfreds Futterkiste", "2024-01-05 00:00:00"},
                                {"10250", "Bottom-Dollar Markets", "2024-01-08 00:00:00"},
                                {"10251", "Comércio Mineiro", "2024-01-08 00:00:00"}}});
    }
}

TEST_F(SampleViewsTest, EveryQueryNotTranslatedSaysWhy) {
    for (Target target : {Target::PostgreSql, Target::Sqlite}) {
        for (const QueryTranslation& t :
             translateQueries(target, schema.queries, schema.map, names)) {
            if (!t.ok) {
                EXPECT_FALSE(t.reason.empty()) << t.name;
            }
        }
    }
    // Action, pass-through, parameter and data-dependent crosstab queries are never views.
    for (const char* name :
         {"Raise Prices", "Archive Shipped Orders", "Delete Discontinued Products",
          "Make Customer Phone List", "Server Stock Levels", "Add Country Index",
          "Orders by Date Range", "Quantities by Product and Month"}) {
        const auto it = std::find_if(schema.queries.begin(), schema.queries.end(),
                                     [&](const SavedQuery& q) { return q.name == name; });
        ASSERT_NE(it, schema.queries.end()) << name;
        EXPECT_FALSE(translateQuery(Target::Sqlite, *it, schema.map, names).ok) << name;
    }
}

}  // namespace
}  // namespace zl::translate
