// Translating every default, validation rule and saved query of the 1,000-table benchmark schema
// (the one the generator benchmarks use: 50 fields and 5 indexes per table, 500 QueryDefs), beside
// the time of generating the scripts. The translation may add at most 20% to the script that
// carries it: BM_TranslateEverything/0 against BM_Script/3 less itself (PostgreSQL), /1 against
// BM_Script/4 (SQLite). BM_Script/2, the SQL Server script, gives the scale.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "benchmark_schema.h"
#include "schema/schema_model.h"
#include "sqlgen/sql_script.h"
#include "translate/translate.h"

namespace {

namespace dao = zl::schema::dao;
namespace tr = zl::translate;

constexpr int kTables = 1000;
using zl::bench::Schema;

Schema buildSchema() { return zl::bench::buildSchema(kTables); }

// What the translator is given: the typed columns, the field texts and the queries.
struct Inputs {
    tr::ColumnMap map;
    std::vector<std::pair<tr::TableColumns, std::vector<zl::schema::Field>>> tables;
    std::vector<tr::SavedQuery> queries;
};

Inputs readInputs(const Schema& schema) {
    Inputs in;
    for (const auto& entry : schema.model.entries()) {
        if (entry.isQueryDef) {
            const auto q = schema.db->openQueryDef(entry.name);
            in.queries.push_back({entry.name, q->sql(), q->type()});
            continue;
        }
        const auto def = schema.db->tableDef(entry.name);
        tr::TableColumns columns{entry.name, {}};
        std::vector<zl::schema::Field> fields;
        for (int j = 0; j < def->fieldCount(); ++j) {
            fields.push_back(def->field(j));
            columns.columns.push_back(
                {columns.keep(fields.back().name), fields.back().type, fields.back().size});
        }
        in.map.addTable(columns);
        in.tables.emplace_back(std::move(columns), std::move(fields));
    }
    return in;
}

// The field expressions in the forms the scripts use: each appended to the table's text.
std::size_t translateFields(tr::Target target, const Inputs& in) {
    const tr::QuotingNameMapper names;
    std::size_t bytes = 0;
    std::string text;
    for (const auto& [columns, fields] : in.tables) {
        text.clear();
        for (std::size_t j = 0; j < fields.size(); ++j) {
            const zl::schema::Field& f = fields[j];
            const tr::Column& c = columns.columns[j];
            if (!f.defaultValue.empty()) {
                tr::appendDefault(text, " DEFAULT ", target, f.defaultValue, c, columns, names);
            }
            if (!f.validationRule.empty()) {
                tr::appendFieldRule(text, " ", target, f.validationRule, c, columns, names);
            }
            if (f.type == dao::kText && !f.allowZeroLength) {
                tr::appendAllowZeroLengthCheck(text, " ", target, c, columns, names);
            }
        }
        bytes += text.size();
    }
    return bytes;
}

std::size_t translateQueries(tr::Target target, const Inputs& in) {
    const tr::QuotingNameMapper names;
    std::size_t bytes = 0;
    for (const auto& t : tr::translateQueries(target, in.queries, in.map, names)) {
        bytes += t.sql.size();
    }
    return bytes;
}

void BM_TranslateEverything(benchmark::State& state) {
    const Schema schema = buildSchema();
    const Inputs in = readInputs(schema);
    const auto target = state.range(0) == 0 ? tr::Target::PostgreSql : tr::Target::Sqlite;
    for (auto _ : state) {
        benchmark::DoNotOptimize(translateFields(target, in) + translateQueries(target, in));
    }
}
// 0 PostgreSQL, 1 SQLite.
BENCHMARK(BM_TranslateEverything)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The two shares of the figure above: field expressions, and saved queries.
void BM_TranslateFields(benchmark::State& state) {
    const Schema schema = buildSchema();
    const Inputs in = readInputs(schema);
    for (auto _ : state) benchmark::DoNotOptimize(translateFields(tr::Target::PostgreSql, in));
}
BENCHMARK(BM_TranslateFields)->Unit(benchmark::kMillisecond);

void BM_TranslateQueries(benchmark::State& state) {
    const Schema schema = buildSchema();
    const Inputs in = readInputs(schema);
    for (auto _ : state) benchmark::DoNotOptimize(translateQueries(tr::Target::PostgreSql, in));
}
BENCHMARK(BM_TranslateQueries)->Unit(benchmark::kMillisecond);

// The scripts: 2 SQL Server; 3 PostgreSQL and 4 SQLite, which carry the translations.
void BM_Script(benchmark::State& state) {
    const Schema schema = buildSchema();
    const auto dialect = static_cast<zl::sqlgen::SqlDialect>(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            zl::sqlgen::GenerateSqlScript(dialect, schema.model, schema.db.get()));
    }
}
BENCHMARK(BM_Script)->Arg(2)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);

}  // namespace
