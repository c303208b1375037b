// The benchmark schema of the generator benchmarks (1,000 tables of 50 fields with a text default
// and a number rule per six fields, 4 indexes each, 500 QueryDefs) written as a real Jet 4 file,
// and each SQL script generated from it the way a user gets it: the file opened, the selection
// read through our own reader, the script written. The in-memory figures of generators_bench
// leave the reading out; these show what it adds to each dialect alike.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "jetwrite/database_writer.h"
#include "schema/jet/jet_database.h"
#include "schema/jet/page_source.h"
#include "schema/schema_model.h"
#include "sqlgen/sql_script.h"

namespace {

namespace jw = zl::jetwrite;

jw::FieldDescription field(int t, int j) {
    jw::FieldDescription f;
    f.name = "Field " + std::to_string(j) + " of T" + std::to_string(t);
    switch (j % 6) {
        case 0:
            f.type = jw::FieldType::Long;
            f.autoNumber = j == 0;
            break;
        case 1:
            f.type = jw::FieldType::Text;
            f.size = 50;
            f.defaultValue = "\"n/a\"";
            f.validationText = "Must not be \"empty\"";
            break;
        case 2:
            f.type = jw::FieldType::Currency;
            break;
        case 3:
            f.type = jw::FieldType::Date;
            break;
        case 4:
            f.type = jw::FieldType::Memo;
            break;
        default:
            f.type = jw::FieldType::Double;
            f.validationRule = ">= 0";
    }
    return f;
}

jw::DatabaseDescription benchDatabase(int tables) {
    jw::DatabaseDescription database;
    for (int t = 0; t < tables; ++t) {
        jw::TableDescription table;
        table.name = "Table " + std::to_string(t);
        for (int j = 0; j < 50; ++j) table.fields.push_back(field(t, j));
        const std::string f0 = table.fields[0].name;
        const std::string f1 = table.fields[1].name;
        const std::string f2 = table.fields[2].name;
        const std::string f3 = table.fields[3].name;
        table.indexes = {{"PrimaryKey", {{f0, false}}, true, true, true, false},
                         {"ByText", {{f1, false}}, false, true, false, false},
                         {"ByTwo", {{f1, false}, {f2, true}}, false, false, false, false},
                         {"ByDate", {{f3, true}}, false, false, false, false}};
        database.tables.push_back(std::move(table));
    }
    for (int q = 0; q < tables / 2; ++q) {
        jw::QueryDescription query;
        const std::string n = std::to_string(q);
        query.name = "Query " + n;
        query.selectStar = true;
        query.tables = {{"Table " + n, ""}};
        query.where = "[Field 2 of T" + n + "] > 100";
        query.orderBy = {{"[Field 3 of T" + n + "]", true}};
        database.queries.push_back(std::move(query));
    }
    return database;
}

// The file's bytes, written once into a temporary folder and read back.
std::shared_ptr<const std::vector<std::byte>> benchBytes() {
    static const auto bytes = [] {
        std::random_device random;
        const auto folder = std::filesystem::temp_directory_path() /
                            ("zl-target-file-bench-" + std::to_string(random()));
        std::filesystem::create_directories(folder);
        const auto path = folder / "bench.mdb";
        jw::writeDatabase(benchDatabase(1000), path);
        std::ifstream in(path, std::ios::binary);
        const std::vector<char> chars{std::istreambuf_iterator<char>(in),
                                      std::istreambuf_iterator<char>()};
        std::filesystem::remove_all(folder);
        auto read = std::make_shared<std::vector<std::byte>>(chars.size());
        for (std::size_t i = 0; i < chars.size(); ++i) (*read)[i] = std::byte(chars[i]);
        return std::shared_ptr<const std::vector<std::byte>>(std::move(read));
    }();
    return bytes;
}

// 2 SQL Server, 3 PostgreSQL, 4 SQLite: open, list, select everything, generate.
void BM_ScriptFromFile(benchmark::State& state) {
    const auto bytes = benchBytes();
    const auto dialect = static_cast<zl::sqlgen::SqlDialect>(state.range(0));
    for (auto _ : state) {
        const auto db = zl::schema::jet::openJetDatabase(
            std::make_unique<zl::schema::jet::MemoryPageSource>(bytes), "bench");
        zl::schema::SchemaModel model;
        for (const zl::schema::TableListRow& row : db->listTables()) {
            if (!row.isSystemObject()) model.addEntry(row.name, row.isQueryDef());
        }
        model.ResetSelection();
        benchmark::DoNotOptimize(zl::sqlgen::GenerateSqlScript(dialect, model, db.get()));
    }
}
BENCHMARK(BM_ScriptFromFile)->Arg(2)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);

}  // namespace
