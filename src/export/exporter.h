// One export run: the schema and every row, each row checked against the target's rules, or
// nothing at all.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "export/ledger.h"
#include "export/row_rules.h"
#include "export/target_writer.h"

namespace zl::exporter {

struct ExportRequest {
    Target target = Target::Sqlite;
    std::string destination;  // SQLite: the file; PostgreSQL: the connection string
    bool force = false;       // SQLite: replace an existing file
    std::string schema;       // PostgreSQL: the schema to create the tables in
    bool skipInvalidRows = false;
    bool noConstraints = false;
    // The loadable SQL target's schema to create (else the export's own tables).
    std::shared_ptr<const SchemaScript> schemaScript;
};

enum class ExportStatus {
    Ok,           // every row written (less those skipped on request)
    Failed,       // nothing written, or everything rolled back
    RulesBroken,  // rows break the rules; nothing written
    Cancelled,    // stopped on request; nothing left behind
};

struct ExportResult {
    ExportStatus status = ExportStatus::Ok;
    std::string message;  // why it failed
    RuleCheck check;
    Ledger ledger;
    std::uint64_t rowsWritten = 0;
    std::uint64_t rowsSkipped = 0;
    std::size_t tablesWritten = 0;
};

// Runs the export of `plan` from `db`. Engine and target failures end in Failed with the
// message; `cancel` turning true ends in Cancelled. `progress` sees each table's rows while
// they are written and checked; when rows break rules, again while checking and writing.
ExportResult runExport(const schema::Database& db, const ExportPlan& plan,
                       const ExportRequest& request, const std::atomic<bool>& cancel,
                       const ProgressFn& progress);

// "2 tables, 1,000,000 rows written; 3 values noted in the ledger" and the like.
std::string summaryText(const ExportResult& result);

// The loadable target's script for the model's selection (tables, indexes, checks and views,
// under the names the script gives them), for ExportRequest::schemaScript, and the script's
// own ledger items in the export ledger's shape.
struct TargetSchemaScript {
    std::shared_ptr<const SchemaScript> script;
    std::vector<LedgerItem> ledger;
};
TargetSchemaScript targetSchemaScript(Target target, const schema::Database& db,
                                      const schema::SchemaModel& model);

}  // namespace zl::exporter
