// The desktop's data export: what the user asked for, the PostgreSQL connection string, and the
// run itself with its progress, cancel flag and the texts shown at the end.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace zl::schema {
class Database;
class SchemaModel;
}  // namespace zl::schema

namespace zl::controller {

enum class ExportTarget { Sqlite, Postgresql };

// The connection dialog's fields. The password lives only as long as one export.
struct PostgresConnection {
    std::string host;
    std::string port;
    std::string database;
    std::string user;
    std::string password;
    std::string schema;  // empty: the server's default schema
};

// One export as the user asked for it: the selected tables into a SQLite file (replaced when it
// exists; the file dialog asked) or into PostgreSQL. The two flags answer rows that break rules:
// leave them out, or load every row with the broken rules left off; both are listed.
struct ExportJob {
    ExportTarget target = ExportTarget::Sqlite;
    std::string sqliteFile;
    PostgresConnection postgres;
    bool skipInvalidRows = false;
    bool noConstraints = false;
};

enum class ExportOutcomeKind { Ok, Failed, RulesBroken, Cancelled };

// What the run ended with: the text for the user and the ledger, one entry a line. A SQLite
// export also leaves the whole ledger as JSON beside its file (ledgerFileName).
struct ExportOutcome {
    ExportOutcomeKind kind = ExportOutcomeKind::Ok;
    std::string summary;
    std::string ledger;
};

// "orders.sqlite.ledger.json" for "orders.sqlite".
std::string ledgerFileName(const std::string& sqliteFile);

// Table, rows done, rows in the table; called from the thread that runs the export.
using ExportProgress = std::function<void(const std::string&, std::uint64_t, std::uint64_t)>;

// A libpq connection string of the non-empty fields, every value single-quoted with quotes
// and backslashes escaped, so that spaces and quotes in a password cannot add keywords.
std::string postgresConninfo(const PostgresConnection& connection);

// Exports the model's selection from `db`. Never throws: engine and target failures end in
// Failed with their message; `cancel` turning true ends in Cancelled with nothing left behind.
ExportOutcome runDataExport(const schema::Database& db, const schema::SchemaModel& model,
                            const ExportJob& job, const std::atomic<bool>& cancel,
                            const ExportProgress& progress);

}  // namespace zl::controller
