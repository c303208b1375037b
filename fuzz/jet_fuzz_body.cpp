// Reads a whole schema from fuzzer input.
#include "jet_fuzz_body.h"

#include "schema/jet/jet_database.h"
#include "schema/jet/page_source.h"

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
    }
    database->close();
}

}  // namespace zl::schema::jet
