// Rows that break the database's own rules, or the target's: a NULL in a Required field, a
// duplicate under a unique index, a child without its parent (also one whose text key differs
// from its parent's only in case, which Access accepts and the targets do not). By default
// nothing is written; --skip-invalid-rows leaves them out; --no-constraints loads them without
// the broken constraints.
#include <gtest/gtest.h>

#include "common/pg_cluster.h"
#include "common/sqlite_db.h"
#include "export/exporter.h"
#include "export_databases.h"
#include "jetwrite/database_writer.h"
#include "jetwrite/edge_databases.h"
#include "schema/jet/jet_engine.h"

namespace zl::exporter::testing {
namespace {

using jetwrite::FieldType;
using jetwrite::Value;
using jetwrite::testing::field;

// The writer keeps the rules it is given, so the broken ones are laid over the real file here:
// the rows come from the file through the cursor, the extra indexes and relations from this
// wrapper, as a damaged file would present them.
class RulesOverlay final : public schema::Database {
public:
    RulesOverlay(std::unique_ptr<schema::Database> inner,
                 std::map<std::string, std::vector<schema::Index>> indexes,
                 std::vector<schema::Relation> relations)
        : m_inner(std::move(inner)),
          m_indexes(std::move(indexes)),
          m_relations(std::move(relations)) {}

    std::string name() const override { return m_inner->name(); }
    int collatingOrder() const override { return m_inner->collatingOrder(); }
    std::vector<schema::TableListRow> listTables() const override { return m_inner->listTables(); }
    std::unique_ptr<schema::TableDef> tableDef(const std::string& table) const override {
        auto found = m_indexes.find(table);
        return std::make_unique<Table>(m_inner->tableDef(table), found == m_indexes.end()
                                                                     ? std::vector<schema::Index>()
                                                                     : found->second);
    }
    std::unique_ptr<schema::QueryDef> openQueryDef(const std::string& query) const override {
        return m_inner->openQueryDef(query);
    }
    std::vector<schema::Relation> relations() const override { return m_relations; }
    std::unique_ptr<schema::Recordset> openRecordset(const std::string& table) const override {
        return m_inner->openRecordset(table);
    }
    void close() override { m_inner->close(); }

private:
    class Table final : public schema::TableDef {
    public:
        Table(std::unique_ptr<schema::TableDef> inner, std::vector<schema::Index> extra)
            : m_inner(std::move(inner)), m_extra(std::move(extra)) {}
        int fieldCount() const override { return m_inner->fieldCount(); }
        schema::Field field(int position) const override { return m_inner->field(position); }
        int indexCount() const override {
            return m_inner->indexCount() + static_cast<int>(m_extra.size());
        }
        schema::Index index(int position) const override {
            if (position < m_inner->indexCount()) return m_inner->index(position);
            return m_extra.at(static_cast<std::size_t>(position - m_inner->indexCount()));
        }

    private:
        std::unique_ptr<schema::TableDef> m_inner;
        std::vector<schema::Index> m_extra;
    };

    std::unique_ptr<schema::Database> m_inner;
    std::map<std::string, std::vector<schema::Index>> m_indexes;
    std::vector<schema::Relation> m_relations;
};

// Parent(Code text, unique by overlay; Serial unique by overlay) and Child(Code -> Parent.Code,
// Label Required). Rows: Child 2 is under 'abc' while the parent is 'ABC'; Child 3 has no
// parent at all; Child 4 has a NULL Label; Parent rows 2 and 3 share Serial 7.
jetwrite::DatabaseDescription brokenRules() {
    jetwrite::TableDescription parent;
    parent.name = "Parent";
    parent.fields = {field("ID", FieldType::Long), field("Code", FieldType::Text, 20),
                     field("Serial", FieldType::Long)};
    parent.indexes = {{"PrimaryKey", {{"ID", false}}, true, true, true, false}};
    parent.rows = {{std::int64_t{1}, std::string("ABC"), std::int64_t{1}},
                   {std::int64_t{2}, std::string("XYZ"), std::int64_t{7}},
                   {std::int64_t{3}, std::string("QQQ"), std::int64_t{7}}};
    jetwrite::TableDescription child;
    child.name = "Child";
    child.fields = {field("ID", FieldType::Long), field("Code", FieldType::Text, 20),
                    field("Label", FieldType::Text, 20)};
    child.fields[2].required = true;
    child.indexes = {{"PrimaryKey", {{"ID", false}}, true, true, true, false}};
    child.rows = {{std::int64_t{1}, std::string("ABC"), std::string("fine")},
                  {std::int64_t{2}, std::string("abc"), std::string("case")},
                  {std::int64_t{3}, std::string("NONE"), std::string("orphan")},
                  {std::int64_t{4}, std::string("XYZ"), Value()},
                  {std::int64_t{5}, Value(), std::string("no key")}};
    jetwrite::DatabaseDescription database;
    database.tables = {parent, child};
    return database;
}

class ExportRules : public ::testing::Test {
protected:
    void SetUp() override {
        m_source = m_folder.path() / "rules.mdb";
        jetwrite::writeDatabase(brokenRules(), m_source);
    }

    ExportResult run(ExportRequest request) {
        schema::jet::JetEngine engine;
        schema::Index code{"Code", "+Code", false, true, false, false, false};
        schema::Index serial{"Serial", "+Serial", false, true, false, false, false};
        schema::Relation relation{"ParentChild", "Parent", "Child", 0, {{"Code", "Code"}}};
        RulesOverlay db(engine.openDatabase(m_source.string()), {{"Parent", {code, serial}}},
                        {relation});
        if (request.destination.empty()) request.destination = m_target.string();
        return exportTables(db, request, {"Child", "Parent"});
    }

    std::vector<std::string> childIds() {
        zl::testing::SqliteDb db(m_target.string());
        std::vector<std::string> ids;
        for (const auto& row : db.query("SELECT ID FROM Child ORDER BY ID").rows) {
            ids.push_back(row.at(0));
        }
        return ids;
    }

    TemporaryFolder m_folder;
    std::filesystem::path m_source;
    std::filesystem::path m_target = m_folder.path() / "out.sqlite";
};

TEST_F(ExportRules, ReportsEveryBrokenRuleAndWritesNothing) {
    const ExportResult result = run({});
    ASSERT_EQ(result.status, ExportStatus::RulesBroken) << result.message;
    EXPECT_FALSE(std::filesystem::exists(m_target));
    std::vector<std::string> found;
    for (const RuleViolation& violation : result.check.violations) {
        found.push_back(std::to_string(static_cast<int>(violation.kind)) + " " + violation.rowKey);
    }
    std::sort(found.begin(), found.end());
    // NULL Label in Child 4; Serial 7 again in Parent 3; orphans Child 2 ('abc') and 3.
    EXPECT_EQ(found, (std::vector<std::string>{"0 ID=4", "1 ID=3", "2 ID=2", "2 ID=3"}));
}

TEST_F(ExportRules, SkipInvalidRowsLeavesThemOutAndListsThem) {
    ExportRequest request;
    request.skipInvalidRows = true;
    const ExportResult result = run(request);
    ASSERT_EQ(result.status, ExportStatus::Ok) << result.message;
    // Parent 3 (the duplicate) is left out, so Child rows under it would be orphans too; none is.
    EXPECT_EQ(childIds(), (std::vector<std::string>{"1", "5"}));
    EXPECT_EQ(result.rowsSkipped, 4u);
    EXPECT_EQ(result.ledger.count(), 4u);
}

TEST_F(ExportRules, NoConstraintsLoadsEveryRowWithoutTheBrokenRules) {
    ExportRequest request;
    request.noConstraints = true;
    const ExportResult result = run(request);
    ASSERT_EQ(result.status, ExportStatus::Ok) << result.message;
    EXPECT_EQ(childIds(), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
    // NOT NULL on Label, the unique Serial index and the foreign key are listed as left off.
    EXPECT_EQ(result.ledger.count(), 3u);
    zl::testing::SqliteDb db(m_target.string());
    EXPECT_TRUE(db.query("PRAGMA foreign_key_list(Child)").rows.empty());
}

TEST_F(ExportRules, PostgresGetsTheForeignKeyAfterTheRowsAndEnforcesIt) {
    zl::testing::PgCluster& cluster = zl::testing::PgCluster::shared();
    ASSERT_TRUE(cluster.ok()) << cluster.error();
    const std::string database = cluster.createDatabase();
    ExportRequest request;
    request.target = Target::Postgresql;
    request.destination = cluster.conninfo(database);
    request.skipInvalidRows = true;
    const ExportResult result = run(request);
    ASSERT_EQ(result.status, ExportStatus::Ok) << result.message;
    const auto rows = cluster.query(database, "SELECT \"ID\" FROM \"Child\" ORDER BY 1");
    ASSERT_TRUE(rows.ok) << rows.error;
    EXPECT_EQ(rows.rows, (std::vector<std::vector<std::string>>{{"1"}, {"5"}}));
    // 'abc' has no parent in PostgreSQL, which compares text keys with case.
    const auto orphan =
        cluster.query(database, "INSERT INTO \"Child\" VALUES (9, 'abc', 'x') RETURNING \"ID\"");
    EXPECT_FALSE(orphan.ok);
    EXPECT_NE(orphan.error.find("foreign key"), std::string::npos) << orphan.error;
}

// Integer keys counting up with the rows are kept as runs, not row by row: a duplicate inside a
// run, and children under the first, a middle and the last parent of a run or just outside it,
// are told apart as exactly as under any other key; with --skip-invalid-rows a child whose
// parent is left out goes too.
TEST(ExportRulesRuns, IntegerKeysCountingUpWithTheRowsAreCheckedExactly) {
    jetwrite::TableDescription parent;
    parent.name = "Parent";
    parent.fields = {field("ID", FieldType::Long), field("Serial", FieldType::Long)};
    parent.indexes = {{"PrimaryKey", {{"ID", false}}, true, true, true, false}};
    for (std::int64_t id = 1; id <= 40; ++id) {
        parent.rows.push_back({id, std::int64_t{id == 30 ? 110 : 100 + id}});  // 110 twice
    }
    jetwrite::TableDescription child;
    child.name = "Child";
    child.fields = {field("ID", FieldType::Long), field("ParentID", FieldType::Long)};
    child.indexes = {{"PrimaryKey", {{"ID", false}}, true, true, true, false}};
    for (const std::int64_t parentId : {1, 20, 40, 41, 0, 30}) {
        child.rows.push_back({static_cast<std::int64_t>(child.rows.size() + 1), parentId});
    }
    jetwrite::DatabaseDescription database;
    database.tables = {parent, child};
    TemporaryFolder folder;
    const std::filesystem::path source = folder.path() / "runs.mdb";
    const std::filesystem::path target = folder.path() / "out.sqlite";
    jetwrite::writeDatabase(database, source);
    auto run = [&](ExportRequest request) {
        schema::jet::JetEngine engine;
        schema::Index serial{"Serial", "+Serial", false, true, false, false, false};
        schema::Relation relation{"ParentChild", "Parent", "Child", 0, {{"ID", "ParentID"}}};
        RulesOverlay db(engine.openDatabase(source.string()), {{"Parent", {serial}}}, {relation});
        request.destination = target.string();
        return exportTables(db, request, {"Parent", "Child"});
    };

    const ExportResult report = run({});
    ASSERT_EQ(report.status, ExportStatus::RulesBroken) << report.message;
    std::vector<std::string> found;
    for (const RuleViolation& violation : report.check.violations) {
        found.push_back(std::to_string(static_cast<int>(violation.kind)) + " " + violation.rowKey);
    }
    std::sort(found.begin(), found.end());
    // Serial 110 again in Parent 30; Child 4 and 5 under parents 41 and 0, which do not exist.
    EXPECT_EQ(found, (std::vector<std::string>{"1 ID=30", "2 ID=4", "2 ID=5"}));

    ExportRequest skip;
    skip.skipInvalidRows = true;
    const ExportResult skipped = run(skip);
    ASSERT_EQ(skipped.status, ExportStatus::Ok) << skipped.message;
    zl::testing::SqliteDb db(target.string());
    EXPECT_EQ(db.query("SELECT ID FROM Child ORDER BY ID").rows,
              (std::vector<std::vector<std::string>>{{"1"}, {"2"}, {"3"}}));
    EXPECT_EQ(db.query("SELECT count(*) FROM Parent").rows.at(0).at(0), "39");
}

}  // namespace
}  // namespace zl::exporter::testing
