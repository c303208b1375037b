// Rebuilds a saved query's SQL text from its rows in the system table of queries.
#pragma once

#include <string>
#include <vector>

#include "schema/jet/query_row.h"
#include "schema/jet/result.h"

namespace zl::schema::jet {

// What the engine reports of a saved query.
struct SavedQuery {
    int type = 0;     // QueryDef.Type (dao::kQuery*)
    std::string sql;  // QueryDef.SQL
};

// Rebuilds the query described by `rows` (all rows of one ObjectId, in any order). The SQL has
// its clauses on separate lines joined by CR LF and ends with ";" CR LF, in the layout Access
// shows. `catalogFlags` is the query's MSysObjects.Flags: its bits 0xF0 give QueryDef.Type, and
// where they give 0 the Type row decides; without a Type row the query is of the catalog's
// kind. Rows that do not describe a query are Corrupt, located at the offending row.
Result<SavedQuery> rebuildSavedQuery(const std::vector<QueryRow>& rows, std::int32_t catalogFlags);

// The SQL alone, for a query whose catalog flags say nothing.
Result<std::string> rebuildQuerySql(const std::vector<QueryRow>& rows);

}  // namespace zl::schema::jet
