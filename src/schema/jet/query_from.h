// Rebuilds the table list of a saved query: its tables, combined into nested joins.
#pragma once

#include <string>

#include "schema/jet/query_row_set.h"

namespace zl::schema::jet {

// The text after FROM (or UPDATE): the Table rows, with every pair that a Join row links
// combined into "a INNER JOIN b ON ...", earlier joins in parentheses inside later ones, all
// sources separated by ", ". Empty when the query has no Table rows. Throws EngineError when a
// Join row names a table the query does not list, has an unknown join type, or links two
// tables already joined in a different way.
std::string rebuildFromList(const QueryRowSet& rows);

}  // namespace zl::schema::jet
