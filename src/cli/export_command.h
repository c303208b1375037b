// zlgen-cli export: the rows of the selected tables into SQLite or PostgreSQL.
#pragma once

#include <iosfwd>

#include "cli/cli_options.h"

namespace zl::schema {
class Database;
class SchemaModel;
}  // namespace zl::schema

namespace zl::cli {

// Runs the export of `request` from `db` with the selection of `model`; the progress line (on a
// terminal only), the report and the summary go to `err`. Returns 0, 1 (failed, nothing left),
// 4 (rows break the rules, nothing written) or 130 (interrupted, nothing left).
int runExportCommand(const CliRequest& request, const schema::Database& db,
                     const schema::SchemaModel& model, std::ostream& err);

}  // namespace zl::cli
