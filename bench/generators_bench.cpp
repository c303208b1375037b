// Generation time of the module text and both SQL scripts for schemas of growing size. The
// full-size schema is 1,000 tables of 50 fields and 5 indexes each, and 500 QueryDefs.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "benchmark_schema.h"
#include "schema/schema_model.h"
#include "sqlgen/sql_script.h"
#include "sqlgen/target_names.h"
#include "sqlgen/target_schema.h"
#include "sqlgen/target_script.h"
#include "support/encoding.h"
#include "vbgen/module_writer.h"

namespace {

using zl::bench::buildSchema;
using zl::bench::Schema;

// All three texts together, as a user generating everything would.
void BM_AllThree(benchmark::State& state) {
    Schema schema = buildSchema(static_cast<int>(state.range(0)));
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string error;
        std::string module = zl::vbgen::ModuleText(zl::vbgen::ModuleOptions{}, schema.model,
                                                   *schema.db, "06/12/2026", error);
        std::string access = zl::sqlgen::GenerateSqlScript(zl::sqlgen::SqlDialect::MsAccess,
                                                           schema.model, schema.db.get());
        std::string server = zl::sqlgen::GenerateSqlScript(zl::sqlgen::SqlDialect::SqlServer,
                                                           schema.model, schema.db.get());
        bytes = module.size() + access.size() + server.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetComplexityN(state.range(0));
    state.counters["output_MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_AllThree)
    ->Arg(125)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void BM_ModuleText(benchmark::State& state) {
    Schema schema = buildSchema(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::string error;
        benchmark::DoNotOptimize(zl::vbgen::ModuleText(zl::vbgen::ModuleOptions{}, schema.model,
                                                       *schema.db, "06/12/2026", error));
    }
}
BENCHMARK(BM_ModuleText)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_SqlScript(benchmark::State& state) {
    Schema schema = buildSchema(static_cast<int>(state.range(1)));
    const auto dialect = static_cast<zl::sqlgen::SqlDialect>(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            zl::sqlgen::GenerateSqlScript(dialect, schema.model, schema.db.get()));
    }
}
// 1 MS Access, 2 SQL Server, 3 PostgreSQL, 4 SQLite, for 1,000 tables: each loadable script in
// at most twice the time of the SQL Server one. Smaller schemas, which fit in the caches, show
// how much of the difference is work rather than memory traffic.
BENCHMARK(BM_SqlScript)->ArgsProduct({{1, 2, 3, 4}, {1000}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SqlScript)->ArgsProduct({{2, 3}, {20, 100}})->Unit(benchmark::kMillisecond);

// The engine reads the three generators make, without generating: the in-memory engine's share
// of the figures above.
void BM_EngineReadsOnly(benchmark::State& state) {
    Schema schema = buildSchema(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::size_t count = 0;
        for (int pass = 0; pass < 3; ++pass) {
            for (const auto& entry : schema.model.entries()) {
                if (entry.isQueryDef) {
                    if (pass < 2) count += schema.db->openQueryDef(entry.name)->sql().size();
                    continue;
                }
                auto table = schema.db->tableDef(entry.name);
                for (int j = 0; j < table->fieldCount(); ++j) count += table->field(j).name.size();
                for (int k = 0; k < table->indexCount(); ++k) count += table->index(k).name.size();
            }
        }
        benchmark::DoNotOptimize(count);
    }
}
BENCHMARK(BM_EngineReadsOnly)
    ->Arg(125)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond);

// The module's conversion to Windows-1252 before it is written.
void BM_Windows1252(benchmark::State& state) {
    Schema schema = buildSchema(1000);
    std::string error;
    const std::string module = zl::vbgen::ModuleText(zl::vbgen::ModuleOptions{}, schema.model,
                                                     *schema.db, "06/12/2026", error);
    for (auto _ : state) benchmark::DoNotOptimize(zl::support::toWindows1252(module));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(module.size()));
}
BENCHMARK(BM_Windows1252)->Unit(benchmark::kMillisecond);

// The three phases of the PostgreSQL script above: reading the selection, assigning names, and
// writing from what was read (names again included).
void BM_TargetPhase(benchmark::State& state) {
    Schema schema = buildSchema(1000);
    const auto read = zl::sqlgen::readTargetSchema(schema.model, schema.db.get());
    const auto target = zl::translate::Target::PostgreSql;
    for (auto _ : state) {
        switch (state.range(0)) {
            case 0:
                benchmark::DoNotOptimize(
                    zl::sqlgen::readTargetSchema(schema.model, schema.db.get()));
                break;
            case 1: {
                const zl::sqlgen::TargetNames names(target, read);
                benchmark::DoNotOptimize(names.renames().size());
                break;
            }
            default:
                benchmark::DoNotOptimize(zl::sqlgen::generateTargetScript(target, read));
        }
    }
}
// 0 read, 1 names, 2 write.
BENCHMARK(BM_TargetPhase)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
