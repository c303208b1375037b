// Turns a structured query description into the rows of the system table of saved queries
// (MSysQueries), the way Access stores a query.
#pragma once

#include <cstdint>
#include <vector>

#include "jetwrite/database_description.h"

namespace zl::jetwrite {

// The MSysQueries rows of `query` (one value per column of that table) for object `objectId`.
// Throws WriteError when the description is incomplete for its kind (a union without two
// parts, a crosstab without a column heading, an append without target table, ...).
std::vector<std::vector<Value>> queryRows(const QueryDescription& query, std::int32_t objectId);

// The catalog flags of `query`: its kind in bits 4-7, plus the hidden and system bits.
std::int32_t queryCatalogFlags(const QueryDescription& query);

// The DAO type number of a query parameter's type (0 for "Value").
int parameterTypeCode(const std::optional<FieldType>& type);

}  // namespace zl::jetwrite
