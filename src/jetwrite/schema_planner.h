// Turns the table, index and relationship descriptions into the on-disk shape of every user
// table: columns, physical indexes, and logical indexes with their foreign-key references.
#pragma once

#include <vector>

#include "jetwrite/database_description.h"
#include "jetwrite/table_schema.h"

namespace zl::jetwrite {

// The column that stores `field`.
ColumnLayout columnForField(const FieldDescription& field);

// One schema per table of `database`, in the same order. Relationships that enforce referential
// integrity add a foreign-key logical index on both sides: on the "one" side it shares the
// physical index of the unique index over the related fields. Throws WriteError when a
// relationship's "one" side has no such unique index.
std::vector<TableSchema> planSchemas(const DatabaseDescription& database);

// The name Access gives the n-th (0-based) foreign-key index on a relationship's "one" side:
// ".rC", ".rD", ... skipping to lower case after "Z".
std::string primarySideIndexName(std::size_t n);

}  // namespace zl::jetwrite
