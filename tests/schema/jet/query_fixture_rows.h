// Rows of MSysQueries for the query rebuilder's tests: written as literals, or read from the
// fixture databases.
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

// One saved query of a fixture database: its MSysQueries rows in storage order.
struct FixtureQuery {
    std::string file;  // the fixture database
    std::int32_t objectId;
    std::vector<QueryRow> rows;
};

// Every saved query of the databases in ../shared/fixtures, read from their MSysQueries tables;
// empty when the folder is missing.
std::vector<FixtureQuery> fixtureQueries();

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
