// Queries written for the cases where Access's meaning differs from plain SQL (TOP keeps ties, Null
// sorts first, text compares and sorts without case, Between takes its bounds in either order,
// views read views), run as views on both engines against rows worked out by hand.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine_schema.h"
#include "schema/engine.h"
#include "support/text.h"

namespace zl::translate {
namespace {

namespace dao = schema::dao;
using Rows = std::vector<std::vector<std::string>>;
const char* const N = zl::testing::kNullText;

const std::vector<TableColumns>& tables() {
    static const std::vector<TableColumns> t = {
        {"P",
         {{"Id", dao::kLong, 0},
          {"Name", dao::kText, 20},
          {"Price", dao::kDouble, 0},
          {"Cat", dao::kLong, 0}}},
        {"C", {{"Cat", dao::kLong, 0}, {"Title", dao::kText, 20}}}};
    return t;
}

const char* const kRows =
    "INSERT INTO \"P\" VALUES (1, 'apple', 5, 1), (2, 'Banana', 7, 1), (3, 'cherry', 7, 2), "
    "(4, 'date', 3, NULL), (5, 'Elder', NULL, 2);\n"
    "INSERT INTO \"C\" VALUES (1, 'Fruit'), (2, 'Berry'), (3, 'Empty');\n";

struct ViewCase {
    const char* name;
    const char* sql;
    int daoType;
    bool ordered;  // the rows' order is fixed by the query
    Rows rows;
    bool anyCase = false;  // rows told apart without case: which of them stands is the engine's
};

const std::vector<ViewCase>& cases() {
    static const std::vector<ViewCase> c = {
        {"Count Cheap", "SELECT Count(*) AS N\r\nFROM Cheap;\r\n", 0, false, {{"2"}}},
        {"Cheap",
         "SELECT P.Name, P.Price\r\nFROM P\r\nWHERE P.Price < 6;\r\n",
         0,
         false,
         {{"apple", "5"}, {"date", "3"}}},
        {"Top Ties",
         "SELECT TOP 1 P.Name, P.Price\r\nFROM P\r\nORDER BY P.Price DESC;\r\n",
         0,
         false,
         {{"Banana", "7"}, {"cherry", "7"}}},
        {"Nulls First",
         "SELECT P.Name\r\nFROM P\r\nORDER BY P.Price, P.Name;\r\n",
         0,
         true,
         {{"Elder"}, {"date"}, {"apple"}, {"Banana"}, {"cherry"}}},
        {"No Case",
         "SELECT P.Id\r\nFROM P\r\nWHERE P.Name = \"BANANA\" OR P.Name Like \"e*\";\r\n",
         0,
         false,
         {{"2"}, {"5"}}},
        {"Sorted Names",
         "SELECT P.Name\r\nFROM P\r\nORDER BY P.Name DESC;\r\n",
         0,
         true,
         {{"Elder"}, {"date"}, {"cherry"}, {"Banana"}, {"apple"}}},
        {"Joined Sorted",
         "SELECT X.Name, C.Title\r\nFROM P AS X LEFT JOIN C ON X.Cat = C.Cat\r\n"
         "ORDER BY C.Title DESC, X.Id;\r\n",
         0,
         true,
         {{"apple", "Fruit"},
          {"Banana", "Fruit"},
          {"cherry", "Berry"},
          {"Elder", "Berry"},
          {"date", N}}},
        {"Per Title",
         "SELECT C.Title, Count(P.Id) AS N\r\nFROM C LEFT JOIN P ON C.Cat = P.Cat\r\n"
         "GROUP BY C.Title\r\nORDER BY C.Title;\r\n",
         0,
         true,
         {{"Berry", "2"}, {"Empty", "0"}, {"Fruit", "2"}}},
        {"Right Join",
         "SELECT P.Name, C.Title\r\nFROM C RIGHT JOIN P ON C.Cat = P.Cat\r\n"
         "WHERE C.Title Is Null;\r\n",
         0,
         false,
         {{"date", N}}},
        {"Both",
         "SELECT Name FROM P WHERE Cat = 1\r\nUNION ALL SELECT Title FROM C WHERE Cat = 1;\r\n",
         dao::kQueryUnion,
         false,
         {{"apple"}, {"Banana"}, {"Fruit"}}},
        {"Top Percent",
         "SELECT TOP 40 PERCENT P.Name\r\nFROM P\r\nORDER BY P.Id;\r\n",
         0,
         true,
         {{"apple"}, {"Banana"}}},
        {"Labels",
         "SELECT X.Name & \"-\" & X.Cat AS Label, IIf(X.Price Is Null,0,X.Price*2) AS Twice\r\n"
         "FROM P AS X\r\nWHERE X.Id In (4,5);\r\n",
         0,
         false,
         {{"date-", "6"}, {"Elder-2", "0"}}},
        {"Reversed Between",
         "SELECT P.Id\r\nFROM P\r\nWHERE P.Price Between 7 And 4;\r\n",
         0,
         false,
         {{"1"}, {"2"}, {"3"}}},
        {"Pivot",
         "TRANSFORM Sum(P.Price) AS S\r\nSELECT P.Cat\r\nFROM P\r\nGROUP BY P.Cat\r\n"
         "PIVOT P.Name In (\"apple\",\"BANANA\",\"zzz\");\r\n",
         dao::kQueryCrosstab,
         false,
         {{"1", "5", "7", N}, {"2", N, N, N}, {N, N, N, N}}},
        {"Distinct Case",
         "SELECT DISTINCT IIf(P.Id<3,\"a\",\"A\") AS L\r\nFROM P;\r\n",
         0,
         false,
         {{"a"}},
         true},
        {"Labels Case",
         "SELECT IIf(P.Id<3,\"a\",\"A\") AS L\r\nFROM P;\r\n",
         0,
         false,
         {{"a"}, {"a"}, {"A"}, {"A"}, {"A"}}},
        // One group whichever case a row has; the select list reads the group's value.
        {"Group Case",
         "SELECT UCase(L) AS U, Count(*) AS N\r\nFROM [Labels Case]\r\nGROUP BY L\r\n"
         "HAVING L = \"a\";\r\n",
         0,
         false,
         {{"A", "5"}}},
        {"Distinct Sorted",
         "SELECT DISTINCT L, Len(L) AS Size\r\nFROM [Labels Case]\r\nORDER BY L DESC;\r\n",
         0,
         true,
         {{"a", "1"}},
         true},
        {"Union Numbers",
         "SELECT Cat FROM P\r\nUNION SELECT Cat FROM C;\r\n",
         dao::kQueryUnion,
         false,
         {{N}, {"1"}, {"2"}, {"3"}}},
        {"Union Case",
         "SELECT Name FROM P WHERE Id = 2\r\nUNION SELECT \"BANANA\" FROM C WHERE Cat = 1;\r\n",
         dao::kQueryUnion,
         false,
         {{"Banana"}},
         true},
    };
    return c;
}

Rows normalized(const Rows& rows) {
    Rows out;
    for (const auto& row : rows) out.push_back(testing::normalizeRow(row));
    return out;
}

void checkRows(const ViewCase& c, const zl::testing::QueryRows& result) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(result.ok) << result.error;
    Rows actual = normalized(result.rows);
    Rows want = normalized(c.rows);
    // Which of the rows equal but for case stands for them is the engine's choice.
    for (Rows* rows : {&actual, &want}) {
        for (auto& row : *rows) {
            for (auto& value : row) {
                if (c.anyCase) value = support::asciiLower(value);
            }
        }
    }
    if (!c.ordered) {
        std::sort(actual.begin(), actual.end());
        std::sort(want.begin(), want.end());
    }
    EXPECT_EQ(actual, want);
}

std::vector<QueryTranslation> translated(Target target) {
    ColumnMap map;
    for (const TableColumns& t : tables()) map.addTable(t);
    std::vector<SavedQuery> queries;
    for (const ViewCase& c : cases()) queries.push_back({c.name, c.sql, c.daoType});
    auto result = translateQueries(target, queries, map, QuotingNameMapper());
    // "Count Cheap" reads "Cheap", so it must come after it.
    const auto at = [&](const char* name) {
        return std::find_if(result.begin(), result.end(),
                            [&](const QueryTranslation& t) { return t.name == name; });
    };
    EXPECT_LT(at("Cheap"), at("Count Cheap"));
    EXPECT_EQ(at("Count Cheap")->dependencies, std::vector<std::string>{"Cheap"});
    return result;
}

TEST(WrittenViewsTest, AccessMeaningHoldsInBothEngines) {
    for (Target target : {Target::Sqlite, Target::PostgreSql}) {
        SCOPED_TRACE(targetName(target));
        testing::TargetDb db(target);
        ASSERT_EQ(db.setupError(), "");
        std::string script;
        for (const TableColumns& t : tables()) script += testing::createTableSql(target, t);
        script += kRows;
        for (const QueryTranslation& t : translated(target)) {
            ASSERT_TRUE(t.ok) << t.name << ": " << t.reason;
            script += t.sql;
        }
        ASSERT_EQ(db.run(script), "");
        for (const ViewCase& c : cases()) {
            checkRows(c, db.query("SELECT * FROM \"" + std::string(c.name) + "\""));
        }
    }
}

}  // namespace
}  // namespace zl::translate
