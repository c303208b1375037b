// Builds the schema model of an open database and applies the user's selection flags to it.
#pragma once

#include <string>

#include "cli/cli_options.h"
#include "support/result.h"

namespace zl::schema {
class Database;
class SchemaModel;
}  // namespace zl::schema

namespace zl::cli {

// Fills `model` from the table listing as the main window does when it opens a database:
// non-system rows in listing order, every entry selected with all its fields and indexes.
// Throws EngineError when the listing cannot be read.
void fillModel(schema::SchemaModel& model, const schema::Database& db);

// Applies --only, --exclude, --exclude-field and --exclude-index through the model's own
// operations. Fails (ErrorKind::Usage) with a message naming the first name that matches
// nothing. Engine errors while looking up fields or indexes pass to the caller.
[[nodiscard]] support::Status applySelection(schema::SchemaModel& model, const schema::Database& db,
                                             const SelectionRequest& request);

}  // namespace zl::cli
