// Rebuilds the statement of a saved query, by kind, as the lines Access shows.
#pragma once

#include <string>
#include <vector>

#include "schema/jet/query_row_set.h"

namespace zl::schema::jet {

// The lines of the statement proper, without the PARAMETERS declaration, the OWNERACCESS
// option and the closing ";". For every kind except pass-through and data-definition, whose
// text is stored whole. Throws EngineError when the rows do not describe such a statement.
std::vector<std::string> rebuildStatementLines(const QueryRowSet& rows);

}  // namespace zl::schema::jet
