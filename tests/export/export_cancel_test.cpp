// Stopping an export half way (Ctrl+C sets the same flag): nothing is left behind, neither a
// SQLite file nor PostgreSQL tables; and the command line's exit statuses.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <atomic>
#include <cstdlib>
#include <fstream>

#include "common/pg_cluster.h"
#include "export/export_plan.h"
#include "export/exporter.h"
#include "export_databases.h"
#include "jetwrite/database_writer.h"
#include "schema/jet/jet_engine.h"
#include "schema/schema_model.h"

namespace zl::exporter::testing {
namespace {

// A table of 5,000 rows, so that the export passes the progress report several times.
jetwrite::DatabaseDescription manyRows() {
    jetwrite::TableDescription table;
    table.name = "Numbers";
    jetwrite::FieldDescription id;
    id.name = "ID";
    id.type = jetwrite::FieldType::Long;
    table.fields = {id};
    table.generatedRows = jetwrite::RowGenerator{
        5000, [](std::size_t i) { return std::vector<jetwrite::Value>{std::int64_t(i)}; }};
    jetwrite::DatabaseDescription database;
    database.tables.push_back(table);
    return database;
}

// Exports with a progress report that asks to stop once rows are being written (a database
// whose rows keep the rules is checked while it is written).
ExportResult exportAndCancel(const std::filesystem::path& file, ExportRequest request) {
    schema::jet::JetEngine engine;
    const auto db = engine.openDatabase(file.string());
    schema::SchemaModel model;
    model.addEntry("Numbers", false);
    model.ResetSelection();
    const ExportPlan plan = planExport(*db, model);
    std::atomic<bool> cancel{false};
    return runExport(*db, plan, request, cancel,
                     [&](const std::string&, std::uint64_t done, std::uint64_t) {
                         if (done > 0) cancel.store(true);
                     });
}

TEST(ExportCancel, SqliteLeavesNoFile) {
    TemporaryFolder folder;
    const auto source = folder.path() / "many.mdb";
    jetwrite::writeDatabase(manyRows(), source);
    ExportRequest request;
    request.destination = (folder.path() / "out.sqlite").string();
    EXPECT_EQ(exportAndCancel(source, request).status, ExportStatus::Cancelled);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(ExportCancel, PostgresRollsBack) {
    zl::testing::PgCluster& cluster = zl::testing::PgCluster::shared();
    ASSERT_TRUE(cluster.ok()) << cluster.error();
    TemporaryFolder folder;
    const auto source = folder.path() / "many.mdb";
    jetwrite::writeDatabase(manyRows(), source);
    const std::string database = cluster.createDatabase();
    ExportRequest request;
    request.target = Target::Postgresql;
    request.destination = cluster.conninfo(database);
    request.schema = "partial";
    EXPECT_EQ(exportAndCancel(source, request).status, ExportStatus::Cancelled);
    const auto tables =
        cluster.query(database, "SELECT count(*) FROM pg_namespace WHERE nspname = 'partial'");
    ASSERT_TRUE(tables.ok) << tables.error;
    EXPECT_EQ(tables.rows.at(0).at(0), "0");
}

int run(const std::string& arguments) {
    const int status =
        std::system((std::string(ZLGEN_CLI) + " " + arguments + " 2>/dev/null").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ExportCommand, ExitStatuses) {
    TemporaryFolder folder;
    const std::string target = (folder.path() / "orders.sqlite").string();
    const std::string sample = ZLGEN_SAMPLE_DB;
    EXPECT_EQ(run("export " + sample + " --to sqlite " + target), 0);
    EXPECT_EQ(run("export " + sample + " --to sqlite " + target), 1);  // exists, no --force
    EXPECT_EQ(run("export " + sample + " --to sqlite " + target + " --force"), 0);
    EXPECT_EQ(run("export " + sample + " --to csv " + target), 2);
    EXPECT_EQ(run("export " + sample + " --to sqlite " + target +
                  " --skip-invalid-rows --no-constraints"),
              2);
    EXPECT_EQ(run("export " + (folder.path() / "missing.mdb").string() + " --to sqlite " + target +
                  " --force"),
              3);
}

// The sample through the real program into PostgreSQL: the target's own schema, views
// included, in a schema of its own, with the rows behind the views.
TEST(ExportCommand, SampleIntoPostgresAnswersFromAView) {
    zl::testing::PgCluster& cluster = zl::testing::PgCluster::shared();
    ASSERT_TRUE(cluster.ok()) << cluster.error();
    const std::string database = cluster.createDatabase();
    EXPECT_EQ(run(std::string("export ") + ZLGEN_SAMPLE_DB + " --to postgresql '" +
                  cluster.conninfo(database) + "' --schema sample"),
              0);
    const auto rows =
        cluster.query(database, "SELECT count(*) FROM sample.\"Ten Most Expensive Products\"");
    ASSERT_TRUE(rows.ok) << rows.error;
    EXPECT_EQ(rows.rows.at(0).at(0), "5");
}

}  // namespace
}  // namespace zl::exporter::testing
