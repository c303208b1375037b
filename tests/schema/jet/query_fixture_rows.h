// Saved queries of the fixture databases: their rows in MSysQueries and the SQL Access shows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "schema/jet/query_row.h"
#include "schema/jet/query_sql.h"

namespace zl::schema::jet::test {

// One row of MSysQueries in a compact form; std::nullopt stands for NULL, as do left-out
// trailing columns.
struct RowLiteral {
    RowLiteral(int attributeValue, std::optional<int> flagValue = std::nullopt,
               std::optional<std::string_view> name1Value = std::nullopt,
               std::optional<std::string_view> name2Value = std::nullopt,
               std::optional<std::string_view> expressionValue = std::nullopt)
        : attribute(attributeValue),
          flag(flagValue),
          name1(name1Value),
          name2(name2Value),
          expression(expressionValue) {}

    int attribute;
    std::optional<int> flag;
    std::optional<std::string_view> name1;
    std::optional<std::string_view> name2;
    std::optional<std::string_view> expression;
    std::optional<std::int32_t> extra;  // LvExtra
};

struct FixtureQuery {
    std::string_view file;  // the fixture database
    std::string_view name;  // the QueryDef's name
    std::int32_t objectId;
    std::vector<RowLiteral> rows;  // in storage order
    std::string_view sql;          // QueryDef.SQL as the fixture's JSON gives it
};

// Every saved query of the fixtures queryTestV1997.mdb and queryTestV2003.mdb.
const std::vector<FixtureQuery>& fixtureQueries();

// The literals as rows of the query `objectId`.
std::vector<QueryRow> toRows(const std::vector<RowLiteral>& literals, std::int32_t objectId);

// The literals as rows of the query `objectId`, between the start and end rows that Access
// writes around every query.
std::vector<QueryRow> framed(std::vector<RowLiteral> literals, std::int32_t objectId = 42);

// The rebuilt SQL of `rows`, or "error: " and the failure's message.
inline std::string sqlOf(const std::vector<QueryRow>& rows, std::int32_t catalogFlags = 0) {
    Result<SavedQuery> query = rebuildSavedQuery(rows, catalogFlags);
    return query.ok() ? query->sql : "error: " + query.error().message;
}

}  // namespace zl::schema::jet::test
