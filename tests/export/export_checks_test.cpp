// Rows that break a CHECK of the target's script: a field rule and a table rule added in Access
// after the rows were in. By default the export writes nothing and names each row and rule;
// --skip-invalid-rows leaves them out with the rows that hang on them; --no-constraints loads
// them without the CHECKs they break, keeping every other CHECK. On both engines.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "common/pg_cluster.h"
#include "common/sqlite_db.h"
#include "export/check_clauses.h"
#include "export/exporter.h"
#include "export_databases.h"
#include "jetwrite/database_writer.h"
#include "jetwrite/edge_databases.h"

namespace zl::exporter::testing {
namespace {

using jetwrite::FieldType;
using jetwrite::testing::field;
using Rows = std::vector<std::vector<std::string>>;

// Item(ID, Name not empty, Qty > 0, Low <= High, Weight < 100) and Note(ID, ItemID -> Item). Item 2
// breaks the rule of Qty, Item 3 the table rule, Item 5 the rules of Qty and Weight (the targets
// name only the first); Note 2 hangs on Item 2.
jetwrite::DatabaseDescription brokenChecks() {
    jetwrite::TableDescription item;
    item.name = "Item";
    item.fields = {field("ID", FieldType::Long),   field("Name", FieldType::Text, 10),
                   field("Qty", FieldType::Long),  field("Low", FieldType::Long),
                   field("High", FieldType::Long), field("Weight", FieldType::Long)};
    item.fields[2].validationRule = ">0";
    item.fields[5].validationRule = "<100";
    item.validationRule = "[Low]<=[High]";
    item.indexes = {{"PrimaryKey", {{"ID", false}}, true, true, true, false}};
    auto row = [](std::int64_t id, std::int64_t qty, std::int64_t low, std::int64_t high,
                  std::int64_t weight = 1) {
        return std::vector<jetwrite::Value>{id, std::string("n"), qty, low, high, weight};
    };
    item.rows = {row(1, 5, 1, 2), row(2, 0, 1, 2), row(3, 5, 5, 1), row(4, 1, 0, 0),
                 row(5, 0, 1, 2, 200)};
    jetwrite::TableDescription note;
    note.name = "Note";
    note.fields = {field("ID", FieldType::Long), field("ItemID", FieldType::Long)};
    note.indexes = {{"PrimaryKey", {{"ID", false}}, true, true, true, false}};
    note.rows = {{std::int64_t{1}, std::int64_t{1}},
                 {std::int64_t{2}, std::int64_t{2}},
                 {std::int64_t{3}, std::int64_t{4}}};
    jetwrite::RelationshipDescription relation;
    relation.primaryTable = "Item";
    relation.foreignTable = "Note";
    relation.fields = {{"ID", "ItemID"}};
    jetwrite::DatabaseDescription database;
    database.tables = {item, note};
    database.relationships = {relation};
    return database;
}

enum class Mode { Default, Skip, NoConstraints };

struct Case {
    Target target;
    Mode mode;
};

class ExportChecks : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        m_source = m_folder.path() / "checks.mdb";
        jetwrite::writeDatabase(brokenChecks(), m_source);
        if (GetParam().target == Target::Postgresql) {
            zl::testing::PgCluster& cluster = zl::testing::PgCluster::shared();
            ASSERT_TRUE(cluster.ok()) << cluster.error();
            m_pgDatabase = cluster.createDatabase();
        }
    }

    ExportResult run() {
        ExportRequest request;
        request.target = GetParam().target;
        request.skipInvalidRows = GetParam().mode == Mode::Skip;
        request.noConstraints = GetParam().mode == Mode::NoConstraints;
        request.destination =
            postgres() ? zl::testing::PgCluster::shared().conninfo(m_pgDatabase) : m_file.string();
        return exportFile(m_source, request, {"Item", "Note"}, true);
    }

    bool postgres() const { return GetParam().target == Target::Postgresql; }

    zl::testing::QueryRows query(const std::string& sql) {
        if (postgres()) return zl::testing::PgCluster::shared().query(m_pgDatabase, sql);
        zl::testing::SqliteDb db(m_file.string());
        return db.query(sql);
    }
    Rows ids(const std::string& table) {
        const auto result = query(R"(SELECT "ID" FROM ")" + table + R"(" ORDER BY 1)");
        EXPECT_TRUE(result.ok) << result.error;
        return result.rows;
    }
    // Whether Item takes the row (ID 9), which is deleted again.
    bool takes(const std::string& values) {
        if (!query("INSERT INTO \"Item\" VALUES " + values).ok) return false;
        EXPECT_TRUE(query("DELETE FROM \"Item\" WHERE \"ID\" = 9").ok);
        return true;
    }

    TemporaryFolder m_folder;
    std::filesystem::path m_source;
    std::filesystem::path m_file = m_folder.path() / "out.sqlite";
    std::string m_pgDatabase;
};

TEST_P(ExportChecks, RowsBreakingCheckAreReportedLeftOutOrLoadedWithoutIt) {
    const ExportResult result = run();
    const Mode mode = GetParam().mode;
    if (mode == Mode::Default) {
        ASSERT_EQ(result.status, ExportStatus::RulesBroken) << result.message;
        std::vector<std::string> found;
        for (const RuleViolation& violation : result.check.violations) {
            EXPECT_EQ(violation.kind, RuleKind::CheckFailed);
            found.push_back(violation.rowKey + " " + describeViolation({}, violation));
        }
        ASSERT_EQ(found.size(), 3u);
        EXPECT_NE(found[0].find("ID=2 breaks the target's CHECK"), std::string::npos) << found[0];
        EXPECT_NE(found[0].find("Qty"), std::string::npos) << found[0];
        EXPECT_NE(found[1].find("ID=3 breaks the target's CHECK"), std::string::npos) << found[1];
        EXPECT_NE(found[1].find("High"), std::string::npos) << found[1];
        EXPECT_NE(found[2].find("ID=5 breaks the target's CHECK"), std::string::npos) << found[2];
        if (postgres()) {
            EXPECT_TRUE(query("SELECT 1 FROM \"Item\"").error.find("does not exist") !=
                        std::string::npos);
        } else {
            EXPECT_FALSE(std::filesystem::exists(m_file));
            EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_folder.path()), {}), 1);
        }
        return;
    }
    ASSERT_EQ(result.status, ExportStatus::Ok) << result.message;
    if (mode == Mode::Skip) {
        // Items 2, 3 and 5 are left out, and Note 2 under Item 2 with them; every CHECK stays.
        EXPECT_EQ(ids("Item"), (Rows{{"1"}, {"4"}}));
        EXPECT_EQ(ids("Note"), (Rows{{"1"}, {"3"}}));
        EXPECT_EQ(result.rowsSkipped, 4u);
        EXPECT_EQ(result.ledger.count(), 4u);
        EXPECT_FALSE(takes("(9, 'n', 0, 1, 2, 1)"));
        EXPECT_FALSE(takes("(9, 'n', 5, 5, 1, 1)"));
    } else {
        // Every row loads; the three broken CHECKs are off and listed (Weight's found only once
        // Qty's was off), the others stay.
        EXPECT_EQ(ids("Item"), (Rows{{"1"}, {"2"}, {"3"}, {"4"}, {"5"}}));
        EXPECT_EQ(ids("Note"), (Rows{{"1"}, {"2"}, {"3"}}));
        ASSERT_EQ(result.ledger.count(), 3u);
        for (const LedgerItem& item : result.ledger.items()) {
            EXPECT_EQ(item.table, "Item");
            EXPECT_EQ(item.property, "Check");
        }
        EXPECT_TRUE(takes("(9, 'n', 0, 5, 1, 200)"));
        EXPECT_FALSE(takes("(9, '', 1, 1, 2, 1)")) << "the CHECK no row breaks was left off too";
        const auto foreignKey = query(postgres() ? "SELECT 1 FROM pg_constraint WHERE contype = 'f'"
                                                 : "PRAGMA foreign_key_list(\"Note\")");
        EXPECT_EQ(foreignKey.rows.size(), 1u) << "the foreign key was left off";
    }
}

// The command line: exit 4 with each refused row named, or 0 with the rows or CHECKs listed in
// the ledger.
TEST(ExportChecksCommand, ExitStatusReportAndLedger) {
    TemporaryFolder folder;
    const std::filesystem::path source = folder.path() / "checks.mdb";
    jetwrite::writeDatabase(brokenChecks(), source);
    auto run = [&](const std::string& options, std::string& output) {
        const std::filesystem::path err = folder.path() / "err.txt";
        const std::string command =
            std::string(ZLGEN_CLI) + " export " + source.string() + " --to sqlite " +
            (folder.path() / "out.sqlite").string() + " --force --ledger " +
            (folder.path() / "ledger.json").string() + " " + options + " 2>" + err.string();
        const int status = std::system(command.c_str());
        std::ifstream in(options.empty() ? err : folder.path() / "ledger.json");
        output.assign(std::istreambuf_iterator<char>(in), {});
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    std::string output;
    EXPECT_EQ(run("", output), 4);
    EXPECT_NE(output.find(R"(Item (ID=2): breaks the target's CHECK (("Qty" > 0)))"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("Item (ID=3): breaks the target's CHECK"), std::string::npos) << output;
    EXPECT_EQ(run("--skip-invalid-rows", output), 0);
    EXPECT_NE(output.find("left out (--skip-invalid-rows): no parent row"), std::string::npos)
        << output;
    EXPECT_EQ(run("--no-constraints", output), 0);
    EXPECT_NE(output.find(R"("property": "Check")"), std::string::npos) << output;
}

// SQLite takes rows many at a time; a refused row ends such a statement wherever it stands:
// first, last, next to another, or among the table's last few rows. Each is named, and with
// --skip-invalid-rows every other row arrives.
TEST(ExportChecksSqlite, RefusedRowsAnywhereAmongManyAreFoundAndTheOthersLoad) {
    const std::vector<std::int64_t> refused = {1, 41, 42, 71, 128, 131};  // IDs, Qty 0
    jetwrite::TableDescription item;
    item.name = "Item";
    item.fields = {field("ID", FieldType::Long), field("Qty", FieldType::Long)};
    item.fields[1].validationRule = ">0";
    item.indexes = {{"PrimaryKey", {{"ID", false}}, true, true, true, false}};
    Rows kept;
    for (std::int64_t id = 1; id <= 140; ++id) {
        const bool bad = std::find(refused.begin(), refused.end(), id) != refused.end();
        item.rows.push_back({id, std::int64_t{bad ? 0 : 1}});
        if (!bad) kept.push_back({std::to_string(id)});
    }
    jetwrite::DatabaseDescription database;
    database.tables = {item};
    TemporaryFolder folder;
    const std::filesystem::path source = folder.path() / "many.mdb";
    const std::filesystem::path target = folder.path() / "out.sqlite";
    jetwrite::writeDatabase(database, source);
    ExportRequest request;
    request.destination = target.string();

    const ExportResult report = exportFile(source, request, {"Item"}, true);
    ASSERT_EQ(report.status, ExportStatus::RulesBroken) << report.message;
    std::vector<std::string> named;
    for (const RuleViolation& violation : report.check.violations) {
        named.push_back(violation.rowKey);
    }
    EXPECT_EQ(named,
              (std::vector<std::string>{"ID=1", "ID=41", "ID=42", "ID=71", "ID=128", "ID=131"}));
    EXPECT_FALSE(std::filesystem::exists(target));

    request.skipInvalidRows = true;
    const ExportResult skipped = exportFile(source, request, {"Item"}, true);
    ASSERT_EQ(skipped.status, ExportStatus::Ok) << skipped.message;
    EXPECT_EQ(skipped.rowsSkipped, refused.size());
    zl::testing::SqliteDb db(target.string());
    const auto rows = db.query(R"(SELECT "ID" FROM "Item" ORDER BY 1)");
    ASSERT_TRUE(rows.ok) << rows.error;
    EXPECT_EQ(rows.rows, kept);
}

// Taking CHECKs out of SQLite DDL: quotes, comments and nesting do not fool the scan, and a
// table's own CHECK leaves with its comma.
TEST(CheckClauses, RemovesExactlyTheNamedChecks) {
    struct Removal {
        const char* sql;
        std::vector<std::string> checks;
        const char* expected;
    };
    const Removal cases[] = {
        {"CREATE TABLE \"t\" (\n  \"a\" INTEGER CHECK (\"a\" > 0) CHECK (\"a\" < 9)\n);",
         {R"("a" < 9)"},
         "CREATE TABLE \"t\" (\n  \"a\" INTEGER CHECK (\"a\" > 0) \n);"},
        {"CREATE TABLE \"t\" (\n  \"a\" TEXT,\n  -- CHECK (no)\n  CHECK ( (a IN ('(', 'CHECK "
         "(x)')) ),\n"
         "  \"b\" TEXT\n);",
         {"(a IN ('(', 'CHECK (x)'))"},
         "CREATE TABLE \"t\" (\n  \"a\" TEXT,\n  \"b\" TEXT\n);"},
        {"CREATE TABLE \"t\" (\n  \"a\" TEXT,\n  CHECK (\"a\" <> '')\n);",
         {R"("a" <> '')"},
         "CREATE TABLE \"t\" (\n  \"a\" TEXT\n);"},
        {R"(CREATE TABLE "t" (CHECK (1), "a" TEXT);)", {"1"}, R"(CREATE TABLE "t" ( "a" TEXT);)"},
    };
    for (const Removal& c : cases) {
        std::string sql = c.sql;
        EXPECT_TRUE(removeChecks(sql, 0, c.checks).empty()) << c.sql;
        EXPECT_EQ(sql, c.expected);
    }
    std::string sql = R"(CREATE TABLE "t" ("a" TEXT DEFAULT 'CHECK (1)');)";
    EXPECT_EQ(removeChecks(sql, 0, {"1"}), std::vector<std::string>{"1"});
}

std::string caseName(const ::testing::TestParamInfo<Case>& param) {
    static const char* const kModes[] = {"Default", "Skip", "NoConstraints"};
    return std::string(param.param.target == Target::Sqlite ? "Sqlite" : "Postgres") +
           kModes[static_cast<int>(param.param.mode)];
}

INSTANTIATE_TEST_SUITE_P(BothEngines, ExportChecks,
                         ::testing::Values(Case{Target::Sqlite, Mode::Default},
                                           Case{Target::Sqlite, Mode::Skip},
                                           Case{Target::Sqlite, Mode::NoConstraints},
                                           Case{Target::Postgresql, Mode::Default},
                                           Case{Target::Postgresql, Mode::Skip},
                                           Case{Target::Postgresql, Mode::NoConstraints}),
                         caseName);

}  // namespace
}  // namespace zl::exporter::testing

namespace zl::exporter::testing {
namespace {

// A CHECK whose evaluation fails for a row (CLng of 1e10 is out of PostgreSQL's integer range)
// refuses that row like a false one: named by default, loaded without the CHECK on request.
TEST(ExportChecksPostgres, ACheckThatFailsOnARowRefusesIt) {
    jetwrite::TableDescription table;
    table.name = "Big";
    table.fields = {field("ID", FieldType::Long), field("Amount", FieldType::Double)};
    table.fields[1].validationRule = "CLng([Amount]) > 0";
    table.indexes = {{"PrimaryKey", {{"ID", false}}, true, true, true, false}};
    table.rows = {{std::int64_t{1}, 1.0}, {std::int64_t{2}, 1e10}};
    jetwrite::DatabaseDescription database;
    database.tables = {table};
    TemporaryFolder folder;
    const std::filesystem::path source = folder.path() / "big.mdb";
    jetwrite::writeDatabase(database, source);
    zl::testing::PgCluster& cluster = zl::testing::PgCluster::shared();
    ASSERT_TRUE(cluster.ok()) << cluster.error();
    for (const bool noConstraints : {false, true}) {
        const std::string name = cluster.createDatabase();
        ExportRequest request;
        request.target = Target::Postgresql;
        request.noConstraints = noConstraints;
        request.destination = cluster.conninfo(name);
        const ExportResult result = exportFile(source, request, {"Big"}, true);
        if (!noConstraints) {
            ASSERT_EQ(result.status, ExportStatus::RulesBroken) << result.message;
            ASSERT_EQ(result.check.violations.size(), 1u);
            EXPECT_EQ(result.check.violations[0].rowKey, "ID=2");
            continue;
        }
        ASSERT_EQ(result.status, ExportStatus::Ok) << result.message;
        EXPECT_EQ(cluster.query(name, R"(SELECT count(*) FROM "Big")").rows, (Rows{{"2"}}));
    }
}

}  // namespace
}  // namespace zl::exporter::testing
