// Reads a whole schema from fuzzer input.
#include "jet_fuzz_body.h"

#include "schema/jet/jet_database.h"
#include "schema/jet/page_source.h"
#include "schema/schema_model.h"
#include "sqlgen/sql_script.h"
#include "vbgen/module_writer.h"

namespace zl::schema::jet {
namespace {

void readTable(const Database& database, const std::string& name) {
    const std::unique_ptr<TableDef> table = database.tableDef(name);
    for (int i = 0; i < table->fieldCount(); ++i) {
        (void)table->field(i);
    }
    for (int i = 0; i < table->indexCount(); ++i) {
        (void)table->index(i);
    }
}

// Whatever the reader delivers from a damaged file, the generators must turn into text or a
// clean error: names with control characters, odd types, empty index field lists.
void generateEverything(const Database& database, const std::vector<TableListRow>& rows) {
    SchemaModel model;
    for (const TableListRow& row : rows) {
        if (!row.isSystemObject()) model.addEntry(row.name, row.isQueryDef());
    }
    model.ResetSelection();
    for (const auto dialect : {sqlgen::SqlDialect::MsAccess, sqlgen::SqlDialect::SqlServer}) {
        try {
            (void)sqlgen::GenerateSqlScript(dialect, model, &database);
        } catch (const EngineError&) {
            // A failing entry abandons the script; that is the expected outcome.
        }
    }
    try {
        std::string lastError;
        (void)vbgen::ModuleText(vbgen::ModuleOptions{}, model, database, "2000-01-01", lastError);
    } catch (const EngineError&) {
        // Only the module header's reads throw; entry failures end their own function.
    }
}

// Every row of a local table through the cursor: damage ends in EngineError, never a crash or a
// hang.
void readRows(const Database& database, const TableListRow& row) {
    if (row.isQueryDef() || row.tableType != dao::kTableTypeTable) {
        return;
    }
    const std::unique_ptr<Recordset> recordset = database.openRecordset(row.name);
    while (recordset->moveNext()) {
        (void)recordset->values();
    }
}

}  // namespace

void exerciseDatabase(const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<JetDatabase> database;
    try {
        database = openJetDatabase(std::make_unique<MemoryPageSource>(data, size), "fuzz.mdb");
    } catch (const EngineError&) {
        return;
    }
    std::vector<TableListRow> rows;
    try {
        rows = database->listTables();
        (void)database->collatingOrder();
    } catch (const EngineError&) {
        return;
    }
    for (const TableListRow& row : rows) {
        try {
            if (row.isQueryDef()) {
                (void)database->openQueryDef(row.name)->sql();
            } else {
                readTable(*database, row.name);
            }
        } catch (const EngineError&) {
            // Damaged entries fail one by one; the others must still be readable.
        }
        try {
            readRows(*database, row);
        } catch (const EngineError&) {
            // Damaged rows end the table's cursor with a message.
        }
    }
    generateEverything(*database, rows);
    database->close();
}

}  // namespace zl::schema::jet
