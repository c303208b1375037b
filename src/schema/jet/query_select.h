// Rebuilds the SELECT-shaped part that select, make-table, append, delete and crosstab
// queries share.
#pragma once

#include <string>
#include <vector>

#include "schema/jet/query_row_set.h"

namespace zl::schema::jet {

// What a SELECT-shaped statement is made of; which rows fill it depends on the kind of query.
struct SelectParts {
    std::string keyword = "SELECT";          // or "DELETE"
    std::vector<const QueryRow*> columns;    // the select list
    std::vector<const QueryRow*> groupings;  // GROUP BY
    std::string into;                        // after the select list: make-table's " INTO ..."
};

// Appends the statement's lines: keyword, predicate, select list and `into`; then FROM (with
// the external database), WHERE, GROUP BY, HAVING and ORDER BY, each only when present.
// Throws EngineError when a row needed for them is damaged.
void appendSelectLines(const QueryRowSet& rows, const SelectParts& parts,
                       std::vector<std::string>& lines);

// "DISTINCT", "DISTINCTROW", "TOP n", "TOP n PERCENT" or a predicate and a TOP; empty when the
// Flags row asks for none. Throws EngineError when TOP has no value.
std::string selectPredicate(const QueryRowSet& rows);

// The "ORDER BY ..." line, or empty when the query has no OrderBy rows.
std::string orderByLine(const QueryRowSet& rows);

// A Column row as written in a select list: its expression and " AS alias" when it has one.
std::string selectColumn(const QueryRowSet& rows, const QueryRow& column);

// Pointers to every row of `attribute`, in sequence.
std::vector<const QueryRow*> allRows(const QueryRowSet& rows, QueryAttribute attribute);

}  // namespace zl::schema::jet
