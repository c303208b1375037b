// The one interface both export targets implement: create the schema, take the rows table by
// table, then either finish (foreign keys, commit, the file in place) or abandon (nothing left).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "export/export_plan.h"
#include "export/ledger.h"
#include "export/row_rules.h"
#include "translate/translate.h"

namespace zl::exporter {

enum class Target { Sqlite, Postgresql };

// A failure of the target (cannot create the file, server refused a statement).
class ExportError : public std::runtime_error {
public:
    explicit ExportError(const std::string& message) : std::runtime_error(message) {}
};

// Constraints to leave off because rows break them (--no-constraints); all false keeps all.
struct Relaxation {
    std::vector<std::vector<bool>> required;  // [table][column]: no NOT NULL
    std::vector<std::vector<bool>> keys;      // [table][key]: no PRIMARY KEY / UNIQUE
    std::vector<bool> relations;              // [relation]: no FOREIGN KEY
    // [table]: the CHECKs (CheckRule::name) left off; the rest of the schema stays as it is.
    std::vector<std::vector<std::string>> checks;
};

// The key of the row being written, computed only when a ledger entry needs it.
using RowKeyFn = std::function<std::string()>;

class TargetWriter {
public:
    virtual ~TargetWriter() = default;
    // Creates every planned table. Throws ExportError.
    virtual void createSchema(const ExportPlan& plan, const Relaxation& relaxation) = 0;
    // Starts the rows of `table`. `again` is the second writing of a table whose first one
    // endTable() refused: the target then only finds the rows its CHECKs refuse.
    virtual void beginTable(std::size_t table, bool again) = 0;
    // Writes one row, the `row`th in the cursor's order: `values` as the Recordset yields them.
    // The target may keep them, leaving an earlier row's storage in their place (rowKey reads
    // them only during the call). Values the target cannot hold exactly go to `ledger`; a row a
    // CHECK refuses goes to refusals() instead of the table. Throws ExportError.
    virtual void writeRow(std::vector<schema::Value>& values, std::uint64_t row,
                          const RowKeyFn& rowKey, Ledger& ledger) = 0;
    // Ends the table's rows. False when a CHECK refused a row in a way that stopped the load
    // (PostgreSQL's COPY stops at the first): the table is then to be written again. Throws
    // ExportError.
    virtual bool endTable() = 0;
    // The rows the target's CHECKs refused so far. Once there are any, finish() must not run:
    // the export is abandoned and started again without them or without the CHECKs.
    virtual const CheckRefusals& refusals() const = 0;
    // Adds what follows the rows (foreign keys, identities), checks them, commits and puts the
    // result in place. Throws ExportError, after which abandon() still cleans up.
    virtual void finish() = 0;
    // Leaves nothing behind: deletes the unfinished file or rolls the transaction back.
    virtual void abandon() noexcept = 0;
};

// A target's schema as the SQL target script writes it, with the names it gives tables and
// columns, so that the rows go into exactly those.
struct SchemaScript {
    std::string script;
    std::shared_ptr<const translate::NameMapper> names;
};

// Opens the SQLite target: a new file beside `path`, renamed over it by finish(). The tables
// come from `script` when given and no constraint is relaxed, else from the export's own
// minimal definitions. Throws ExportError when `path` exists and `force` is false, or the file
// cannot be made.
std::unique_ptr<TargetWriter> openSqliteTarget(const std::string& path, bool force,
                                               std::shared_ptr<const SchemaScript> script);

// Connects to PostgreSQL with `conninfo` and opens one transaction; tables go into `schema`
// (created when missing) or the default schema when it is empty. The tables come from `script`
// when given and no constraint is relaxed (its foreign keys run after the rows), else from the
// export's own definitions. Throws ExportError.
std::unique_ptr<TargetWriter> openPostgresTarget(const std::string& conninfo,
                                                 const std::string& schema,
                                                 std::shared_ptr<const SchemaScript> script);

// Whether `relaxation` leaves a NOT NULL, key or foreign key off (CHECKs are not counted: they
// are taken out of the script's tables, which stay otherwise whole).
bool relaxesAnything(const Relaxation& relaxation);

}  // namespace zl::exporter
