// Writes the benchmark schema's PostgreSQL and SQLite scripts (with their summaries) and ledgers
// into a folder, so that a change meant to make them faster can be shown to leave every byte as
// it was: run it before and after, and compare the folders.
#include <fstream>
#include <string>

#include "benchmark_schema.h"
#include "schema/schema_model.h"
#include "sqlgen/target_script.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string folder = argv[1];
    const zl::bench::Schema schema = zl::bench::buildSchema(1000);
    for (const auto target : {zl::translate::Target::PostgreSql, zl::translate::Target::Sqlite}) {
        const zl::sqlgen::TargetScript script =
            zl::sqlgen::generateTargetScript(target, schema.model, schema.db.get());
        const std::string stem =
            folder + (target == zl::translate::Target::PostgreSql ? "/bench.pg" : "/bench.sqlite");
        std::ofstream(stem + ".sql") << script.text << "\n--summary " << script.summary();
        std::ofstream(stem + ".ledger.json") << script.ledger.toJson();
    }
    return 0;
}
