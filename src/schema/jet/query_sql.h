// Rebuilds a saved query's SQL text from its rows in the system table of queries.
#pragma once

#include <string>
#include <vector>

#include "schema/jet/query_row.h"

namespace zl::schema::jet {

// Returns QueryDef.SQL for the query described by `rows` (all rows of one ObjectId, in any
// order): clauses on separate lines joined by CR LF, the statement ending with ";" CR LF, in the
// layout Access shows. Throws EngineError when the rows do not describe a query.
std::string rebuildQuerySql(const std::vector<QueryRow>& rows);

}  // namespace zl::schema::jet
