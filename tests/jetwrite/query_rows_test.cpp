// Saved queries become MSysQueries rows as Access stores them: one row per clause item, numbered
// per attribute, with the flags of each query kind.
#include "jetwrite/query_rows.h"

#include <gtest/gtest.h>

#include "jetwrite/edge_databases.h"

namespace zl::jetwrite::testing {
namespace {

// "attribute order name1 name2 expression flag extra", "~" for NULL.
std::string render(const std::vector<Value>& row) {
    std::string text;
    for (std::size_t i = 1; i < row.size(); ++i) {
        if (i > 1) text += ' ';
        const Value& value = row[i];
        if (std::holds_alternative<std::monostate>(value)) {
            text += '~';
        } else if (const auto* n = std::get_if<std::int64_t>(&value)) {
            text += std::to_string(*n);
        } else if (const auto* s = std::get_if<std::string>(&value)) {
            text += "'" + *s + "'";
        } else if (const auto* b = std::get_if<std::vector<std::uint8_t>>(&value)) {
            text +=
                std::to_string((b->at(0) << 24) | (b->at(1) << 16) | (b->at(2) << 8) | b->at(3));
        }
    }
    return text;
}

std::vector<std::string> rendered(const QueryDescription& description) {
    std::vector<std::string> rows;
    for (const std::vector<Value>& row : queryRows(description, 42)) {
        EXPECT_EQ(std::get<std::int64_t>(row[0]), 42);
        rows.push_back(render(row));
    }
    return rows;
}

TEST(QueryRows, SelectStoresEveryClause) {
    QueryDescription q = query("Q");
    q.distinct = true;
    q.top = "5";
    q.topPercent = true;
    q.parameters = {{"Since", FieldType::Date, 0},
                    {"City", FieldType::Text, 30},
                    {"Anything", std::nullopt, 0}};
    q.tables = {{"Customers", "C"}, {"Orders", ""}};
    q.joins = {{"C", "Orders", JoinKind::Right, "C.ID = Orders.CustomerID"}};
    q.columns = {{"C.Name", "", "", CrosstabRole::RowHeading},
                 {"Count(*)", "N", "", CrosstabRole::RowHeading}};
    q.where = "Orders.Placed > [Since]";
    q.groupBy = {{"C.Name", "", "", CrosstabRole::RowHeading}};
    q.having = "Count(*) > 1";
    q.orderBy = {{"C.Name", false}, {"Count(*)", true}};
    EXPECT_EQ(rendered(q), (std::vector<std::string>{
                               "0 1 ~ ~ ~ 0 ~",
                               "1 1 ~ ~ ~ 1 ~",
                               "2 1 'Since' ~ ~ 8 ~",
                               "2 2 'City' ~ ~ 10 30",
                               "2 3 'Anything' ~ ~ 0 ~",
                               "3 1 '5' ~ ~ 50 ~",
                               "5 1 'Customers' 'C' ~ ~ ~",
                               "5 2 'Orders' ~ ~ ~ ~",
                               "6 1 ~ ~ 'C.Name' 0 ~",
                               "6 2 'N' ~ 'Count(*)' 0 ~",
                               "7 1 'C' 'Orders' 'C.ID = Orders.CustomerID' 3 ~",
                               "8 1 ~ ~ 'Orders.Placed > [Since]' ~ ~",
                               "9 1 ~ ~ 'C.Name' 0 ~",
                               "10 1 ~ ~ 'Count(*) > 1' ~ ~",
                               "11 1 ~ ~ 'C.Name' ~ ~",
                               "11 2 'D' ~ 'Count(*)' ~ ~",
                               "255 1 ~ ~ ~ ~ ~",
                           }));
}

TEST(QueryRows, UnionStoresBothPartsAndWhetherItKeepsDuplicates) {
    QueryDescription q = query("U", QueryKind::Union);
    q.unionParts = {"SELECT A FROM T", "SELECT B FROM S"};
    const std::vector<std::string> distinctRows = rendered(q);
    EXPECT_EQ(distinctRows[2], "3 1 ~ ~ ~ 3 ~");
    EXPECT_EQ(distinctRows[3], "5 1 ~ 'X7YZ_____1' 'SELECT A FROM T' ~ ~");
    EXPECT_EQ(distinctRows[4], "5 2 ~ 'X7YZ_____2' 'SELECT B FROM S' ~ ~");
    q.unionAll = true;
    EXPECT_EQ(rendered(q)[2], "3 1 ~ ~ ~ 1 ~");
}

TEST(QueryRows, CrosstabMarksRolesAndGroupsByTheColumnHeading) {
    QueryDescription q = query("X", QueryKind::Crosstab);
    q.tables = {{"T", ""}};
    q.columns = {{"T.Row", "", "", CrosstabRole::RowHeading},
                 {"T.Col", "", "", CrosstabRole::ColumnHeading},
                 {"Sum(T.V)", "Total", "", CrosstabRole::Transform}};
    q.groupBy = {{"T.Row", "", "", CrosstabRole::RowHeading}};
    const std::vector<std::string> rows = rendered(q);
    EXPECT_EQ(rows[1], "1 1 ~ ~ ~ 6 ~");
    EXPECT_EQ(std::vector<std::string>(rows.begin() + 4, rows.end()),
              (std::vector<std::string>{"6 1 ~ ~ 'T.Row' 2 ~", "6 2 ~ ~ 'T.Col' 1 ~",
                                        "6 3 'Total' ~ 'Sum(T.V)' 0 ~", "9 1 ~ ~ 'T.Row' 2 ~",
                                        "9 2 ~ ~ 'T.Col' 1 ~", "255 1 ~ ~ ~ ~ ~"}));
}

TEST(QueryRows, AppendNamesItsTargetsAndHasNoFlagRowWithoutOptions) {
    QueryDescription q = query("A", QueryKind::Append);
    q.targetTable = "Archive";
    q.tables = {{"Orders", ""}};
    q.columns = {{"Orders.ID", "", "OrderID", CrosstabRole::RowHeading}};
    EXPECT_EQ(rendered(q), (std::vector<std::string>{
                               "0 1 ~ ~ ~ 0 ~", "1 1 'Archive' ~ ~ 3 ~", "5 1 'Orders' ~ ~ ~ ~",
                               "6 1 ~ 'OrderID' 'Orders.ID' 0 ~", "255 1 ~ ~ ~ ~ ~"}));
    q.distinct = true;
    EXPECT_EQ(rendered(q)[2], "3 1 ~ ~ ~ 2 ~");
}

TEST(QueryRows, PassThroughAndDataDefinitionKeepTheirTextEvenWhenEmpty) {
    QueryDescription pass = query("P", QueryKind::PassThrough);
    pass.connect = "ODBC;DSN=x";
    pass.sqlText = "EXEC p";
    EXPECT_EQ(rendered(pass),
              (std::vector<std::string>{"0 1 ~ ~ ~ 0 ~", "1 1 'ODBC;DSN=x' ~ 'EXEC p' 8 ~",
                                        "255 1 ~ ~ ~ ~ ~"}));
    QueryDescription ddl = query("D", QueryKind::DataDefinition);
    EXPECT_EQ(rendered(ddl)[1], "1 1 ~ ~ '' 7 ~");
}

TEST(QueryRows, CatalogFlagsSayTheKindAndHiddenness) {
    const std::pair<QueryKind, std::int32_t> kinds[] = {
        {QueryKind::Select, 0},          {QueryKind::Crosstab, 16},     {QueryKind::Delete, 32},
        {QueryKind::Update, 48},         {QueryKind::Append, 64},       {QueryKind::MakeTable, 80},
        {QueryKind::DataDefinition, 96}, {QueryKind::PassThrough, 112}, {QueryKind::Union, 128}};
    for (const auto& [kind, flags] : kinds) {
        QueryDescription q = query("Q", kind);
        EXPECT_EQ(queryCatalogFlags(q), flags);
        q.hidden = true;
        EXPECT_EQ(queryCatalogFlags(q), flags | 8);
    }
}

}  // namespace
}  // namespace zl::jetwrite::testing
