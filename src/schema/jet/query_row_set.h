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

// How a query's rows fail to describe a query: raised inside the rebuild only, and turned into
// a Corrupt Error (with the page and offset of `row` where known) at its boundary
// (rebuildSavedQuery), so that no caller of the rebuild sees it.
struct QueryRowsDamage {
    std::string what;
    // Where the offending row is stored, copied: the rows may be gone when this is caught.
    std::uint32_t page = QueryRow{}.page;
    std::uint16_t offset = 0;
};

class QueryRowSet {
public:
    // Files `rows` (all rows of one query, in storage order) by attribute, each attribute's rows
    // sorted by the column "Order" with ties kept in the given order. Rows of attributes the
    // reader does not know are skipped. The kind is the Type row's; without a Type row it is
    // `catalogKind` (from the query's catalog flags). Raises QueryRowsDamage when there are no
    // rows, a row lacks its attribute, the rows belong to several queries, or the Type row is
    // repeated or has an unknown kind.
    QueryRowSet(const std::vector<QueryRow>& rows, QueryKind catalogKind);

    QueryKind kind() const { return m_kind; }
    // The Type row; a row of NULLs when the query has none.
    const QueryRow& typeRow() const;

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

    // The one way a query's rows are reported as unusable: raises QueryRowsDamage saying what
    // is wrong, located at `row` (or at the query's first row).
    [[noreturn]] void fail(const std::string& what, const QueryRow* row = nullptr) const;

private:
    void file(const QueryRow& row);
    void readKind(QueryKind catalogKind);
    void readFlags();

    std::int32_t m_objectId = 0;
    const QueryRow* m_first = nullptr;
    QueryKind m_kind = QueryKind::Select;
    int m_flags = 0;
    std::array<std::vector<QueryRow>, kClauseAttributeCount> m_byAttribute;
};

}  // namespace zl::schema::jet
