// Damaged rows of MSysQueries: every fault is reported as a Corrupt error that says what is
// wrong and where, never a crash or an exception.
#include <gtest/gtest.h>

#include "schema/engine.h"
#include "schema/jet/query_fixture_rows.h"
#include "schema/jet/query_sql.h"

namespace zl::schema::jet {
namespace {

using test::framed;
using test::RowLiteral;

constexpr std::nullopt_t kNull = std::nullopt;
constexpr int kType = 1, kParameter = 2, kFlags = 3, kTable = 5, kColumn = 6, kJoin = 7, kWhere = 8;

// The message of the error that rebuilding `rows` reports, or a note that none came.
std::string failureOf(const std::vector<QueryRow>& rows) {
    Result<SavedQuery> query = rebuildSavedQuery(rows, 0);
    if (query.ok()) {
        return "no error, SQL: " + query->sql;
    }
    EXPECT_EQ(query.error().kind, ErrorKind::Corrupt);
    return query.error().message;
}

struct DamageCase {
    std::string_view fault;
    std::vector<RowLiteral> rows;
    std::string_view message;  // part of the error's description
};

void PrintTo(const DamageCase& damage, std::ostream* out) { *out << damage.fault; }

const RowLiteral kTableA(kTable, kNull, "A");
const RowLiteral kTableB(kTable, kNull, "B");

// clang-format off
const std::vector<DamageCase> kDamageCases = {
    {"two Type rows", {{kType, 1}, {kType, 1}}, "2 rows have Attribute 1"},
    {"unknown query kind", {{kType, 12}}, "query kind 12, expected 1 to 9"},
    {"query kind 0", {{kType, 0}}, "query kind 0"},
    {"unknown flag bits", {{kType, 1}, {kFlags, 0x41}}, "flags 0x41"},
    {"negative flags", {{kType, 1}, {kFlags, -1}}, "flags 0xFFFFFFFF"},
    {"two Flags rows", {{kType, 1}, {kFlags, 0}, {kFlags, 0}}, "2 rows have Attribute 3"},
    {"TOP without a value", {{kType, 1}, {kFlags, 0x10}, kTableA}, "TOP value (Name1) is NULL"},
    {"TOP with an empty value", {{kType, 1}, {kFlags, 0x10, ""}, kTableA}, "TOP value"},
    {"unknown join type", {{kType, 1}, kTableA, kTableB, {kJoin, 5, "A", "B", "A.x=B.x"}},
     "join type 5"},
    {"join type NULL", {{kType, 1}, kTableA, kTableB, {kJoin, kNull, "A", "B", "A.x=B.x"}},
     "Flag of a Join row is NULL"},
    {"join to a table the query lacks", {{kType, 1}, kTableA, {kJoin, 1, "A", "Bogus", "x"}},
     "\"Bogus\", which is not among the query's tables"},
    {"join from a table the query lacks", {{kType, 1}, kTableA, {kJoin, 1, "Bogus", "A", "x"}},
     "\"Bogus\""},
    {"table joined to itself", {{kType, 1}, kTableA, {kJoin, 1, "A", "A", "x"}}, "to itself"},
    {"one pair joined two ways",
     {{kType, 1}, kTableA, kTableB, {kJoin, 1, "A", "B", "x"}, {kJoin, 2, "B", "A", "y"}},
     "join types 1 and 2"},
    {"join without its left table", {{kType, 1}, kTableA, kTableB, {kJoin, 1, kNull, "B", "x"}},
     "left table (Name1) of a Join row is NULL"},
    {"join without a condition", {{kType, 1}, kTableA, kTableB, {kJoin, 1, "A", "B"}},
     "ON condition"},
    {"column without an expression", {{kType, 1}, kTableA, {kColumn, 0}}, "Column row is NULL"},
    {"table row without a name", {{kType, 1}, {kTable}}, "neither a table name"},
    {"unknown parameter type", {{kType, 1}, {kParameter, 99, "p"}, kTableA},
     "\"p\" has data type 99"},
    {"parameter without a name", {{kType, 1}, {kParameter, 10}, kTableA}, "name (Name1)"},
    {"two WHERE rows",
     {{kType, 1}, kTableA, {kWhere, kNull, kNull, kNull, "a"}, {kWhere, kNull, kNull, kNull, "b"}},
     "2 rows have Attribute 8"},
    {"WHERE without a condition", {{kType, 1}, kTableA, {kWhere}}, "WHERE row is NULL"},
    {"crosstab without PIVOT", {{kType, 6}, kTableA, {kColumn, 0, kNull, kNull, "Count(*)"}},
     "no column heading (PIVOT)"},
    {"crosstab without a value", {{kType, 6}, kTableA, {kColumn, 1, kNull, kNull, "A.m"}},
     "no value column (TRANSFORM)"},
    {"crosstab with two values",
     {{kType, 6}, kTableA, {kColumn, 0, kNull, kNull, "x"}, {kColumn, 0, kNull, kNull, "y"}},
     "two value columns"},
    {"crosstab column of unknown role", {{kType, 6}, kTableA, {kColumn, 7, kNull, kNull, "x"}},
     "role 7"},
    {"union missing its second half",
     {{kType, 9}, {kTable, kNull, kNull, "X7YZ_____1", "SELECT 1"}}, "X7YZ_____2"},
    {"union half without text", {{kType, 9}, {kTable, kNull, kNull, "X7YZ_____1"}},
     "SQL text of a union part is NULL"},
    {"update without a target column", {{kType, 4}, kTableA, {kColumn, 0, kNull, kNull, "1"}},
     "target column (Name2)"},
    {"update without a table", {{kType, 4}, {kColumn, 0, kNull, "A.x", "1"}}, "no Table row"},
    {"make-table without a target", {{kType, 2}, kTableA}, "target table (Name1)"},
    {"append without a target", {{kType, 3}, kTableA}, "target table (Name1)"},
    {"data definition without text", {{kType, 7}}, "SQL text (Expression) is NULL"},
    {"pass-through without text", {{kType, 8, "ODBC;"}}, "SQL text (Expression) is NULL"},
};

// clang-format on

class QuerySqlDamageTest : public testing::TestWithParam<DamageCase> {};

TEST_P(QuerySqlDamageTest, ReportsWhatIsWrong) {
    const std::string message = failureOf(framed(GetParam().rows));
    EXPECT_NE(message.find(GetParam().message), std::string::npos)
        << GetParam().fault << ": " << message;
}

INSTANTIATE_TEST_SUITE_P(Rows, QuerySqlDamageTest, testing::ValuesIn(kDamageCases));

TEST(QuerySqlDamageTest, RejectsRowsThatNameNoQuery) {
    std::vector<QueryRow> rows = framed({{kType, 1}, kTableA});
    EXPECT_NE(failureOf({}).find("no rows"), std::string::npos);

    std::vector<QueryRow> noAttribute = rows;
    noAttribute[2].attribute.reset();
    EXPECT_NE(failureOf(noAttribute).find("a row has no Attribute"), std::string::npos);

    std::vector<QueryRow> twoQueries = rows;
    twoQueries[2].objectId = 43;
    EXPECT_NE(failureOf(twoQueries).find("a row belongs to query 43"), std::string::npos);
}

TEST(QuerySqlDamageTest, BoundsTheNumberOfJoins) {
    std::vector<RowLiteral> literals = {{kType, 1}, kTableA, kTableB};
    literals.insert(literals.end(), 1025, RowLiteral(kJoin, 1, "A", "B", "A.x = B.x"));
    EXPECT_NE(failureOf(framed(literals)).find("1025 Join rows"), std::string::npos);
}

// Damages each column of each row of every fixture query in turn: whatever the result, it is
// SQL text or an EngineError that says what is wrong.
TEST(QuerySqlDamageTest, SurvivesEveryColumnOfEveryFixtureRowDamaged) {
    const std::vector<void (*)(QueryRow&)> damages = {
        [](QueryRow& r) { r.attribute.reset(); },
        [](QueryRow& r) { r.attribute = 200; },
        [](QueryRow& r) { r.attribute = 12; },
        [](QueryRow& r) { r.flag.reset(); },
        [](QueryRow& r) { r.flag = -1; },
        [](QueryRow& r) { r.flag = 0x7FFF; },
        [](QueryRow& r) { r.name1.reset(); },
        [](QueryRow& r) { r.name2.reset(); },
        [](QueryRow& r) { r.expression.reset(); },
        [](QueryRow& r) { r.name1 = "Z"; },
        [](QueryRow& r) { r.name2 = "X7YZ_____1"; },
        [](QueryRow& r) { r.expression = std::string("\r\n\0", 3); },
        [](QueryRow& r) { r.order = {0xFF}; },
    };
    const std::vector<test::FixtureQuery> queries = test::fixtureQueries();
    if (queries.empty()) {
        GTEST_SKIP() << "no saved queries: fixtures not found at ../shared/fixtures";
    }
    for (const test::FixtureQuery& query : queries) {
        const std::vector<QueryRow>& intact = query.rows;
        for (std::size_t i = 0; i < intact.size(); ++i) {
            for (const auto& damage : damages) {
                std::vector<QueryRow> rows = intact;
                damage(rows[i]);
                const auto rebuilt = rebuildSavedQuery(rows, 0);
                if (rebuilt.ok()) {
                    EXPECT_FALSE(rebuilt->sql.empty())
                        << query.file << " object " << query.objectId << " row " << i;
                } else {
                    EXPECT_FALSE(rebuilt.error().message.empty())
                        << query.file << " object " << query.objectId << " row " << i;
                }
            }
        }
    }
}

}  // namespace
}  // namespace zl::schema::jet
