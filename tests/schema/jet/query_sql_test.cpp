// Tests rebuilding QueryDef.SQL from the rows of MSysQueries: real fixture queries, each
// feature of each kind of query, and damaged rows.
#include "schema/jet/query_sql.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "schema/jet/query_fixture_rows.h"

namespace zl::schema::jet {
namespace {

using namespace std::string_view_literals;
using test::framed;
using test::RowLiteral;

constexpr std::nullopt_t kNull = std::nullopt;
const std::filesystem::path kFixtures = "../shared/fixtures";

// Attribute numbers, short enough for tables of rows.
constexpr int kType = 1, kParameter = 2, kFlags = 3, kRemote = 4, kTable = 5, kColumn = 6,
              kJoin = 7, kWhere = 8, kGroupBy = 9, kHaving = 10, kOrderBy = 11;
constexpr int kValueRow = -32768;  // Flag 0x8000 as the signed Integer column holds it

RowLiteral textParameter(std::string_view name, std::int32_t size) {
    RowLiteral row(kParameter, 10, name);
    row.extra = size;
    return row;
}

// The fixtures' own SQL is compared end to end by the CLI's fixture test; here the rows of each
// real query are shuffled by attribute, as a file may store them.
TEST(QuerySqlFixtureTest, RowsOfDifferentAttributesMayComeInAnyOrder) {
    const std::vector<test::FixtureQuery> queries = test::fixtureQueries();
    if (queries.empty()) {
        GTEST_SKIP() << "no saved queries: fixtures not found at " << kFixtures;
    }
    for (const test::FixtureQuery& query : queries) {
        const std::string stored = test::sqlOf(query.rows);
        EXPECT_EQ(stored.rfind("error: ", 0), std::string::npos) << query.file << ": " << stored;
        std::vector<QueryRow> rows = query.rows;
        std::stable_sort(rows.begin(), rows.end(), [](const QueryRow& a, const QueryRow& b) {
            return a.attribute.value_or(0) > b.attribute.value_or(0);
        });
        EXPECT_EQ(test::sqlOf(rows), stored) << query.file << " object " << query.objectId;
    }
}

struct SqlCase {
    std::string_view feature;
    std::vector<RowLiteral> rows;
    std::string_view sql;
};

// clang-format off
const std::vector<SqlCase> kSelectCases = {
    {"select star",
     {{kType, 1}, {kFlags, 1}, {kTable, kNull, "T"}},
     "SELECT *\r\nFROM T;\r\n"},
    {"DISTINCT, aliases bracketed only when needed",
     {{kType, 1}, {kFlags, 2}, {kTable, kNull, "T"},
      {kColumn, 0, "Some.Alias", kNull, "T.a"}, {kColumn, 0, "Total", kNull, "T.b+1"}},
     "SELECT DISTINCT T.a AS [Some.Alias], T.b+1 AS Total\r\nFROM T;\r\n"},
    {"DISTINCTROW",
     {{kType, 1}, {kFlags, 8}, {kTable, kNull, "T"}, {kColumn, 0, kNull, kNull, "T.*"}},
     "SELECT DISTINCTROW T.*\r\nFROM T;\r\n"},
    {"TOP n and ORDER BY DESC",
     {{kType, 1}, {kFlags, 0x10, "5"}, {kTable, kNull, "T"}, {kColumn, 0, kNull, kNull, "T.a"},
      {kOrderBy, kNull, "D", kNull, "T.a"}},
     "SELECT TOP 5 T.a\r\nFROM T\r\nORDER BY T.a DESC;\r\n"},
    {"DISTINCT with TOP n PERCENT",
     {{kType, 1}, {kFlags, 0x32, "25"}, {kTable, kNull, "T"}, {kColumn, 0, kNull, kNull, "T.a"}},
     "SELECT DISTINCT TOP 25 PERCENT T.a\r\nFROM T;\r\n"},
    {"WITH OWNERACCESS OPTION",
     {{kType, 1}, {kFlags, 5}, {kTable, kNull, "T"}},
     "SELECT *\r\nFROM T\r\nWITH OWNERACCESS OPTION;\r\n"},
    {"PARAMETERS with their types and a Text size",
     {{kType, 1}, {kParameter, 3, "INT_VAL"}, textParameter("TextVal", 50),
      {kParameter, 0, "[Some Value]"}, {kParameter, 8, "Start Date"}, {kFlags, 1},
      {kTable, kNull, "T"}},
     "PARAMETERS INT_VAL Short, TextVal Text(50), [Some Value] Value, Start Date DateTime;\r\n"
     "SELECT *\r\nFROM T;\r\n"},
    {"tables: bracketed name, alias, source database, stored subquery",
     {{kType, 1}, {kFlags, 1}, {kTable, kNull, "My Table"},
      {kTable, kNull, "Table2", "Another Table"}, {kTable, kNull, "Orders", kNull, "C:\\old.mdb"},
      {kTable, kNull, kNull, "Q", "SELECT x FROM T"}},
     "SELECT *\r\nFROM [My Table], Table2 AS [Another Table], [C:\\old.mdb].Orders, "
     "[SELECT x FROM T]. AS Q;\r\n"},
    {"IN an external database",
     {{kType, 1}, {kFlags, 1}, {kTable, kNull, "T"}, {kRemote, kNull, "other.mdb"}},
     "SELECT *\r\nFROM T IN 'other.mdb';\r\n"},
    {"IN an external database with a connect string",
     {{kType, 1}, {kFlags, 1}, {kTable, kNull, "T"},
      {kRemote, kNull, "C:\\dbf", kNull, "dBASE IV;"}},
     "SELECT *\r\nFROM T IN 'C:\\dbf' [dBASE IV;];\r\n"},
    {"IN with only a connect string",
     {{kType, 1}, {kFlags, 1}, {kTable, kNull, "T"}, {kRemote, kNull, kNull, kNull, "ODBC;DSN=x;"}},
     "SELECT *\r\nFROM T IN '' [ODBC;DSN=x;];\r\n"},
    {"a join chain nests the earlier join on the left",
     {{kType, 1}, {kFlags, 1}, {kTable, kNull, "A"}, {kTable, kNull, "B"}, {kTable, kNull, "C"},
      {kJoin, 1, "A", "B", "A.id = B.id"}, {kJoin, 2, "B", "C", "B.id = C.id"}},
     "SELECT *\r\nFROM (A INNER JOIN B ON A.id = B.id) LEFT JOIN C ON B.id = C.id;\r\n"},
    {"a join to an earlier join nests it on the right",
     {{kType, 1}, {kFlags, 1}, {kTable, kNull, "A"}, {kTable, kNull, "B"}, {kTable, kNull, "C"},
      {kJoin, 1, "A", "B", "A.id = B.id"}, {kJoin, 3, "C", "A", "C.id = A.id"}},
     "SELECT *\r\nFROM C RIGHT JOIN (A INNER JOIN B ON A.id = B.id) ON C.id = A.id;\r\n"},
    {"separate joins follow the unjoined tables",
     {{kType, 1}, {kFlags, 1}, {kTable, kNull, "E"}, {kTable, kNull, "A"}, {kTable, kNull, "B"},
      {kTable, kNull, "C"}, {kTable, kNull, "D"}, {kJoin, 1, "A", "B", "A.x = B.x"},
      {kJoin, 2, "C", "D", "C.y = D.y"}},
     "SELECT *\r\nFROM E, A INNER JOIN B ON A.x = B.x, C LEFT JOIN D ON C.y = D.y;\r\n"},
    {"a join on two columns, names matched ignoring case",
     {{kType, 1}, {kFlags, 1}, {kTable, kNull, "A"}, {kTable, kNull, "B"},
      {kJoin, 1, "A", "B", "A.x = B.x"}, {kJoin, 1, "a", "b", "A.y = B.y"}},
     "SELECT *\r\nFROM A INNER JOIN B ON (A.y = B.y) AND (A.x = B.x);\r\n"},
    {"a self-join through aliases",
     {{kType, 1}, {kFlags, 1}, {kTable, kNull, "T", "T1"}, {kTable, kNull, "T", "T2"},
      {kJoin, 1, "T1", "T2", "T1.parent = T2.id"}},
     "SELECT *\r\nFROM T AS T1 INNER JOIN T AS T2 ON T1.parent = T2.id;\r\n"},
    {"WHERE, GROUP BY, HAVING, ORDER BY",
     {{kType, 1}, {kTable, kNull, "T"}, {kColumn, 0, kNull, kNull, "T.k"},
      {kColumn, 0, "Total", kNull, "Sum(T.v)"}, {kWhere, kNull, kNull, kNull, "(T.v>0)"},
      {kGroupBy, 0, kNull, kNull, "T.k"}, {kHaving, kNull, kNull, kNull, "(Sum(T.v)>10)"},
      {kOrderBy, kNull, kNull, kNull, "T.k"}, {kOrderBy, kNull, "d", kNull, "Sum(T.v)"}},
     "SELECT T.k, Sum(T.v) AS Total\r\nFROM T\r\nWHERE (T.v>0)\r\nGROUP BY T.k\r\n"
     "HAVING (Sum(T.v)>10)\r\nORDER BY T.k, Sum(T.v) DESC;\r\n"},
};

const std::vector<SqlCase> kOtherKindCases = {
    {"UNION with ORDER BY; halves trimmed, their line breaks made CR LF",
     {{kType, 9}, {kFlags, 3}, {kTable, kNull, kNull, "X7YZ_____1", "SELECT a FROM T\r\n"},
      {kTable, kNull, kNull, "X7YZ_____2", "  SELECT a\nFROM U\n\n"},
      {kOrderBy, kNull, kNull, kNull, "a"}},
     "SELECT a FROM T\r\nUNION SELECT a\r\nFROM U\r\nORDER BY a;\r\n"},
    {"UNION ALL when the Flags row is missing, with PARAMETERS",
     {{kType, 9}, {kParameter, 4, "n"}, {kTable, kNull, kNull, "X7YZ_____2", "SELECT a FROM U"},
      {kTable, kNull, kNull, "X7YZ_____1", "SELECT a FROM T WHERE a>[n]"}},
     "PARAMETERS n Long;\r\nSELECT a FROM T WHERE a>[n]\r\nUNION ALL SELECT a FROM U;\r\n"},
    {"crosstab with fixed column headings",
     {{kType, 6}, {kTable, kNull, "T"}, {kColumn, 2, kNull, kNull, "T.region"},
      {kColumn, 1, kNull, kNull, "T.month In (\"Jan\",\"Feb\")"},
      {kColumn, 0, "Total", kNull, "Sum(T.amount)"}, {kGroupBy, 2, kNull, kNull, "T.region"},
      {kGroupBy, 1, kNull, kNull, "T.month"}},
     "TRANSFORM Sum(T.amount) AS Total\r\nSELECT T.region\r\nFROM T\r\nGROUP BY T.region\r\n"
     "PIVOT T.month In (\"Jan\",\"Feb\");\r\n"},
    {"append with VALUES",
     {{kType, 3, "Log"}, {kColumn, kValueRow, kNull, "When", "Now()"},
      {kColumn, kValueRow, kNull, "What", "\"start\""}},
     "INSERT INTO Log (When, What)\r\nVALUES (Now(), \"start\");\r\n"},
    {"append into an external database with bracketed target columns",
     {{kType, 3, "Archive", "C:\\old.mdb"}, {kTable, kNull, "T"},
      {kColumn, 0, kNull, "id", "T.id"}, {kColumn, 0, kNull, "Full Name", "T.name"}},
     "INSERT INTO Archive (id, [Full Name]) IN 'C:\\old.mdb'\r\nSELECT T.id, T.name\r\n"
     "FROM T;\r\n"},
    {"make-table into an external database",
     {{kType, 2, "New Table", "C:\\x.mdb"}, {kTable, kNull, "T"},
      {kColumn, 0, kNull, kNull, "T.*"}},
     "SELECT T.* INTO [New Table] IN 'C:\\x.mdb'\r\nFROM T;\r\n"},
    {"update over a join, DISTINCTROW",
     {{kType, 4}, {kFlags, 8}, {kTable, kNull, "A"}, {kTable, kNull, "B"},
      {kJoin, 1, "A", "B", "A.id = B.id"}, {kColumn, 0, kNull, "A.total", "[B].[amount]"},
      {kColumn, 0, kNull, "[A].[note]", "\"x\""}, {kWhere, kNull, kNull, kNull, "(B.amount>0)"}},
     "UPDATE DISTINCTROW A INNER JOIN B ON A.id = B.id\r\n"
     "SET A.total = [B].[amount], [A].[note] = \"x\"\r\nWHERE (B.amount>0);\r\n"},
    {"delete, DISTINCTROW",
     {{kType, 5}, {kFlags, 8}, {kTable, kNull, "T"}, {kColumn, 0, kNull, kNull, "T.*"},
      {kWhere, kNull, kNull, kNull, "(T.old=True)"}},
     "DELETE DISTINCTROW T.*\r\nFROM T\r\nWHERE (T.old=True);\r\n"},
    {"pass-through already ending in CR LF, several NULs, flags unread",
     {{kType, 8, "ODBC;DSN=x", kNull, "SELECT 1\r\n\0\0"sv}, {kFlags, 0x100}},
     "SELECT 1\r\n"},
    {"data definition without a NUL",
     {{kType, 7, kNull, kNull, "DROP TABLE T"}},
     "DROP TABLE T\r\n"},
};

// clang-format on

void PrintTo(const SqlCase& sqlCase, std::ostream* out) { *out << sqlCase.feature; }

class QuerySqlCaseTest : public testing::TestWithParam<SqlCase> {};

TEST_P(QuerySqlCaseTest, RebuildsTheTextAccessShows) {
    EXPECT_EQ(test::sqlOf(framed(GetParam().rows)), GetParam().sql) << GetParam().feature;
}

INSTANTIATE_TEST_SUITE_P(Select, QuerySqlCaseTest, testing::ValuesIn(kSelectCases));
INSTANTIATE_TEST_SUITE_P(OtherKinds, QuerySqlCaseTest, testing::ValuesIn(kOtherKindCases));

TEST(QuerySqlTest, OrderColumnRanksRowsOfOneAttribute) {
    std::vector<QueryRow> rows = framed({{kType, 1},
                                         {kTable, kNull, "T"},
                                         {kColumn, 0, kNull, kNull, "T.c"},
                                         {kColumn, 0, kNull, kNull, "T.b"},
                                         {kColumn, 0, kNull, kNull, "T.a"}});
    rows[3].order = {0x00, 0x02};
    rows[4].order = {0x00, 0x02};  // ties keep the given order
    rows[5].order = {0x00, 0x01};
    EXPECT_EQ(test::sqlOf(rows), "SELECT T.a, T.c, T.b\r\nFROM T;\r\n");
}

// QueryDef.Type and the kind the text is rebuilt as: the catalog's flags first, the Type row
// where they say 0, the catalog's kind where the Type row or its Flag is missing.
struct KindCase {
    std::string_view situation;
    std::int32_t catalogFlags;
    std::vector<RowLiteral> rows;
    int type;
    std::string_view sql;
};

void PrintTo(const KindCase& kindCase, std::ostream* out) { *out << kindCase.situation; }

// clang-format off
const std::vector<KindCase> kKindCases = {
    {"no Type and no Flags row: plain SELECT", 0,
     {{kTable, kNull, "T"}, {kColumn, kNull, kNull, kNull, "T.a"}}, 0, "SELECT T.a\r\nFROM T;\r\n"},
    {"no Type row, the catalog says delete", 0x20,
     {{kTable, kNull, "T"}, {kColumn, 0, kNull, kNull, "T.*"}}, 32, "DELETE T.*\r\nFROM T;\r\n"},
    {"no Type row, the catalog says update", 0x30,
     {{kTable, kNull, "T"}, {kColumn, 0, kNull, "T.a", "1"}}, 48, "UPDATE T\r\nSET T.a = 1;\r\n"},
    {"Type row without its Flag, the catalog says union", 0x80,
     {{kType}, {kTable, kNull, kNull, "X7YZ_____1", "SELECT a FROM T"},
      {kTable, kNull, kNull, "X7YZ_____2", "SELECT a FROM U"}},
     128, "SELECT a FROM T\r\nUNION ALL SELECT a FROM U;\r\n"},
    {"catalog 0: the Type row decides", 0,
     {{kType, 5}, {kTable, kNull, "T"}, {kColumn, 0, kNull, kNull, "T.*"}}, 32,
     "DELETE T.*\r\nFROM T;\r\n"},
    {"catalog flags of another nibble bit and the Type row agree", 0x36,
     {{kType, 4}, {kTable, kNull, "T"}, {kColumn, 0, kNull, "T.a", "2"}}, 48,
     "UPDATE T\r\nSET T.a = 2;\r\n"},
    {"attribute 12 (later Access versions) is skipped", 0,
     {{kType, 1}, {12, 3}, {kTable, kNull, "T"}, {kColumn, 0, kNull, kNull, "T.a"}}, 0,
     "SELECT T.a\r\nFROM T;\r\n"},
    {"no Type row, the catalog says crosstab", 0x10,
     {{kTable, kNull, "T"}, {kColumn, 2, kNull, kNull, "T.r"}, {kColumn, 1, kNull, kNull, "T.c"},
      {kColumn, 0, kNull, kNull, "Count(*)"}, {kGroupBy, 2, kNull, kNull, "T.r"}},
     16, "TRANSFORM Count(*)\r\nSELECT T.r\r\nFROM T\r\nGROUP BY T.r\r\nPIVOT T.c;\r\n"},
};
// clang-format on

class QueryKindTest : public testing::TestWithParam<KindCase> {};

TEST_P(QueryKindTest, TakesTheKindFromCatalogThenTypeRow) {
    const Result<SavedQuery> query =
        rebuildSavedQuery(framed(GetParam().rows), GetParam().catalogFlags);
    ASSERT_TRUE(query.ok()) << query.error().message;
    EXPECT_EQ(query->type, GetParam().type);
    EXPECT_EQ(query->sql, GetParam().sql);
}

INSTANTIATE_TEST_SUITE_P(Kinds, QueryKindTest, testing::ValuesIn(kKindCases));

TEST(QuerySqlTest, DamageNamesThePageAndOffsetOfTheRow) {
    std::vector<QueryRow> rows = framed({{kType, 1}, {kTable, kNull, "T"}, {kFlags, 0x40}});
    rows[3].page = 7;
    rows[3].offset = 0x1F0;
    const Result<SavedQuery> query = rebuildSavedQuery(rows, 0);
    ASSERT_FALSE(query.ok());
    EXPECT_EQ(query.error().message,
              "page 7 +0x1F0: the Flags row has flags 0x40, expected bits within 0x3F");
}

}  // namespace
}  // namespace zl::schema::jet
