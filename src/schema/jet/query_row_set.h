// The rows of one saved query, checked and filed by what they describe.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "schema/jet/query_format.h"
#include "schema/jet/query_row.h"

namespace zl::schema::jet {

class QueryRowSet {
public:
    // Files `rows` (all rows of one query, in storage order) by attribute, each attribute's rows
    // sorted by the column "Order" with ties kept in the given order. Throws EngineError when a
    // row lacks its attribute or has one outside the known set, when the rows belong to several
    // queries, or when there is not exactly one Type row with a known query kind.
    explicit QueryRowSet(const std::vector<QueryRow>& rows);

    QueryKind kind() const { return m_kind; }
    const QueryRow& typeRow() const { return rows(QueryAttribute::Type).front(); }

    // Every row of `attribute`, in sequence.
    const std::vector<QueryRow>& rows(QueryAttribute attribute) const;
    // The row of an attribute that a query has at most once; nullptr when it has none. Throws
    // EngineError when it has several.
    const QueryRow* singleRow(QueryAttribute attribute) const;

    // Whether the Flags row sets `bit` (no Flags row sets nothing).
    bool hasFlag(int bit) const { return (m_flags & bit) != 0; }

    // The value of a text column that the row must have; throws EngineError naming `what`
    // when it is NULL.
    const std::string& text(const std::optional<std::string>& value, std::string_view what) const;
    // The Flag column of a row that must have one; throws EngineError naming `what` when NULL.
    int flag(const QueryRow& row, std::string_view what) const;

    // The one way a query's rows are reported as unusable: throws EngineError naming the query
    // by its object id and saying what is wrong.
    [[noreturn]] void fail(const std::string& what) const;

private:
    void file(const QueryRow& row);
    void readKind();
    void readFlags();

    std::int32_t m_objectId = 0;
    QueryKind m_kind = QueryKind::Select;
    int m_flags = 0;
    std::array<std::vector<QueryRow>, kClauseAttributeCount> m_byAttribute;
};

}  // namespace zl::schema::jet
