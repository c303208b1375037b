// Schema reads through the engine on databases the writer makes: a large schema, and a table
// of a million rows against the same table empty. Reading the schema never touches the data
// pages, so the two should cost about the same.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "jetwrite/database_writer.h"
#include "jetwrite_databases.h"
#include "schema/jet/jet_engine.h"

namespace {

using zl::jetwrite::DatabaseDescription;

// The benchmark databases, written once into a temporary folder and removed at exit.
class BenchDatabases {
public:
    static const BenchDatabases& instance() {
        static const BenchDatabases databases;
        return databases;
    }
    std::filesystem::path largeSchema() const { return m_folder / "large_schema.mdb"; }
    std::filesystem::path millionRows() const { return m_folder / "million_rows.mdb"; }
    std::filesystem::path emptyRows() const { return m_folder / "empty_rows.mdb"; }

    BenchDatabases(const BenchDatabases&) = delete;
    BenchDatabases& operator=(const BenchDatabases&) = delete;

private:
    BenchDatabases() {
        std::random_device random;
        m_folder = std::filesystem::temp_directory_path() /
                   ("zljetwrite-bench-" + std::to_string(random()));
        std::filesystem::create_directories(m_folder);
        zl::jetwrite::writeDatabase(zl::jetwrite::bench::largeSchemaDatabase(), largeSchema());
        zl::jetwrite::writeDatabase(zl::jetwrite::bench::largeDataDatabase(1'000'000),
                                    millionRows());
        zl::jetwrite::writeDatabase(zl::jetwrite::bench::largeDataDatabase(0), emptyRows());
    }
    ~BenchDatabases() {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }

    std::filesystem::path m_folder;
};

// Opens the database, lists it, and reads every TableDef (all fields and indexes) and every
// QueryDef's SQL, as the program does when it fills its lists and generates everything.
std::size_t readWholeSchema(const std::filesystem::path& path) {
    zl::schema::jet::JetEngine engine;
    const auto database = engine.openDatabase(path.string());
    std::size_t items = 0;
    for (const zl::schema::TableListRow& row : database->listTables()) {
        if (row.isSystemObject()) continue;
        if (row.isQueryDef()) {
            items += database->openQueryDef(row.name)->sql().size();
            continue;
        }
        const auto table = database->tableDef(row.name);
        for (int i = 0; i < table->fieldCount(); ++i) items += table->field(i).name.size();
        for (int i = 0; i < table->indexCount(); ++i) items += table->index(i).fields.size();
    }
    return items;
}

void runSchemaRead(benchmark::State& state, const std::filesystem::path& path) {
    state.counters["file MiB"] =
        static_cast<double>(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
    for (auto _ : state) benchmark::DoNotOptimize(readWholeSchema(path));
}

void BM_SchemaRead_LargeSchema(benchmark::State& state) {
    runSchemaRead(state, BenchDatabases::instance().largeSchema());
}
void BM_SchemaRead_MillionRows(benchmark::State& state) {
    runSchemaRead(state, BenchDatabases::instance().millionRows());
}
void BM_SchemaRead_SameSchemaEmpty(benchmark::State& state) {
    runSchemaRead(state, BenchDatabases::instance().emptyRows());
}

BENCHMARK(BM_SchemaRead_LargeSchema)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SchemaRead_MillionRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SchemaRead_SameSchemaEmpty)->Unit(benchmark::kMillisecond);

}  // namespace
