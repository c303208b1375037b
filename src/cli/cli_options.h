// The command line of zlgen-cli: what the user asked for, parsed with CLI11.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "sqlgen/sql_script.h"

namespace zl::cli {

enum class Command { List, Sql, Vb, DbCreate, Export };

// Exit statuses of the program.
inline constexpr int kExitOk = 0;
inline constexpr int kExitGenerationFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitCannotOpen = 3;
inline constexpr int kExitRulesBroken = 4;  // export: rows break the file's rules
inline constexpr int kExitInterrupted = 130;

// Entries, fields and indexes the user leaves out, applied as clicks in the main window would.
struct SelectionRequest {
    std::vector<std::string> only;
    std::vector<std::string> exclude;
    std::vector<std::string> excludeFields;   // "TABLE.FIELD"
    std::vector<std::string> excludeIndexes;  // "TABLE.INDEX"
};

// export: where the rows go and how rows that break the rules are treated.
struct ExportOptions {
    std::string to;           // "sqlite" or "postgresql"
    std::string destination;  // the SQLite file or the PostgreSQL connection string
    bool force = false;
    std::string schema;
    bool skipInvalidRows = false;
    bool noConstraints = false;
};

struct CliRequest {
    Command command = Command::List;
    std::string database;
    std::string outputFile;  // empty: standard output
    std::string ledgerFile;  // sql --dialect postgresql|sqlite: where the ledger's JSON goes
    bool json = false;
    bool system = false;
    sqlgen::SqlDialect dialect = sqlgen::SqlDialect::MsAccess;
    std::string settingsFile;
    std::optional<bool> privateFunctions;
    std::optional<bool> includeProcedures;
    bool nameAfterDatabase = false;
    SelectionRequest selection;
    ExportOptions exportOptions;
};

// Either a request to run, or the exit status to end with at once (help, version, usage error).
struct ParseOutcome {
    std::optional<CliRequest> request;
    int exitStatus = kExitOk;
};

// Parses argv. Help and version go to `out`; usage errors go to `err` with status 2.
ParseOutcome parseArguments(int argc, const char* const* argv, std::ostream& out,
                            std::ostream& err);

}  // namespace zl::cli
