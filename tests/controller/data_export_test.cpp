// The File menu's exports through the controller, over a writer-made file and the real engines:
// the selection applies, Cancel leaves nothing, failures are shown, and the connection dialog's
// values reach libpq intact.
#include "controller/data_export.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/pg_cluster.h"
#include "common/sqlite_db.h"
#include "common/temporary_folder.h"
#include "controller_fixture.h"
#include "jetwrite/database_writer.h"
#include "schema/jet/jet_engine.h"

namespace zl::testing {
namespace {

// Kept: 3,000 numbered rows, so that progress is reported several times; Dropped: one row;
// Strict: a NULL in a Required field.
jetwrite::DatabaseDescription threeTables() {
    jetwrite::FieldDescription id;
    id.name = "ID";
    id.type = jetwrite::FieldType::Long;
    jetwrite::FieldDescription name;
    name.name = "Name";
    jetwrite::TableDescription kept;
    kept.name = "Kept";
    kept.fields = {id, name};
    kept.generatedRows = jetwrite::RowGenerator{
        3000, [](std::size_t i) {
            return std::vector<jetwrite::Value>{std::int64_t(i), "it's " + std::to_string(i)};
        }};
    jetwrite::TableDescription dropped;
    dropped.name = "Dropped";
    dropped.fields = {id};
    dropped.rows = {{std::int64_t(1)}};
    jetwrite::TableDescription strict;
    strict.name = "Strict";
    name.required = true;
    strict.fields = {id, name};
    strict.rows = {{std::int64_t(1), "one"}, {std::int64_t(2), std::monostate()}};
    jetwrite::DatabaseDescription database;
    database.tables = {kept, dropped, strict};
    return database;
}

class DataExportTest : public ::testing::Test {
protected:
    DataExportTest() {
        view.onToggle = [this](ListId list, int row, bool selected) {
            controller.rowToggled(list, row, selected);
        };
        services.tutorialSetting = false;
        jetwrite::writeDatabase(threeTables(), source);
        controller.start({source.string()});
        toggle("Dropped");
        toggle("Strict");
    }

    // Toggles a table's selection, as a click in the list does.
    void toggle(const std::string& table) {
        const std::vector<std::string> tables = view.texts(ListId::Tables);
        const auto row = std::find(tables.begin(), tables.end(), table) - tables.begin();
        view.click(ListId::Tables, static_cast<int>(row));
    }

    std::size_t filesInFolder() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(folder.path()), {}));
    }

    TemporaryFolder folder;
    std::filesystem::path source = folder.path() / "two.mdb";
    schema::jet::JetEngine engine;
    FakeMainView view;
    FakeServices services;
    controller::MainController controller{engine, view, services};
};

TEST_F(DataExportTest, SqliteExportWritesTheSelectionAndShowsTheSummary) {
    ASSERT_TRUE(controller.connection().isOpen());
    const std::string target = (folder.path() / "out.sqlite").string();
    controller.exportToSqlite();  // the file dialog is cancelled: nothing runs
    EXPECT_TRUE(view.progressCaptions.empty());
    view.saveAnswers.push_back(target);
    controller.exportToSqlite();
    ASSERT_EQ(view.saveRequests.size(), 2u);
    EXPECT_TRUE(view.saveRequests.back().confirmOverwrite);
    EXPECT_GT(view.progressReports, 2);
    ASSERT_TRUE(view.messages.empty()) << view.messages[0].text;
    ASSERT_EQ(view.viewerShows.size(), 1u);
    EXPECT_EQ(view.viewerShows[0].first, "Export to SQLite database");
    EXPECT_NE(view.viewerShows[0].second.find("1 table, 3,000 rows written"), std::string::npos)
        << view.viewerShows[0].second;

    SqliteDb db(target);
    ASSERT_TRUE(db.ok()) << db.error();
    const QueryRows tables =
        db.query("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name");
    ASSERT_TRUE(tables.ok) << tables.error;
    EXPECT_EQ(tables.rows, (std::vector<std::vector<std::string>>{{"Kept"}}));
    const QueryRows last = db.query("SELECT count(*), max(\"Name\") FROM \"Kept\"");
    ASSERT_TRUE(last.ok) << last.error;
    EXPECT_EQ(last.rows, (std::vector<std::vector<std::string>>{{"3000", "it's 999"}}));

    // A second export over the same file (the dialog asked) replaces it and its ledger.
    view.saveAnswers.push_back(target);
    controller.exportToSqlite();
    EXPECT_EQ(view.viewerShows.size(), 2u);
    EXPECT_EQ(filesInFolder(), 3u);
    EXPECT_TRUE(std::filesystem::exists(controller::ledgerFileName(target)));
}

// A row that breaks a rule stops the export with nothing written, and the user chooses: leave
// it out, load it without the rule, or cancel. The ledger lists the row, or the rule left off.
TEST_F(DataExportTest, RowsBreakingRulesAreLeftOutOrLoadedAsTheUserChooses) {
    toggle("Strict");
    const std::string target = (folder.path() / "out.sqlite").string();
    const auto exportAnswering = [&](int answer) {
        view.saveAnswers.push_back(target);
        view.choiceAnswers.push_back(answer);
        controller.exportToSqlite();
    };
    exportAnswering(2);
    ASSERT_EQ(view.choices.size(), 1u);
    EXPECT_NE(view.choices[0].first.find("Strict (row 2): NULL in the Required field \"Name\""),
              std::string::npos)
        << view.choices[0].first;
    EXPECT_EQ(view.choices[0].second.size(), 3u);
    EXPECT_EQ(filesInFolder(), 1u);

    for (const int answer : {0, 1}) {
        exportAnswering(answer);
        ASSERT_EQ(view.viewerShows.size(), static_cast<std::size_t>(answer + 1));
        SqliteDb db(target);
        const QueryRows rows = db.query("SELECT count(*) FROM \"Strict\"");
        ASSERT_TRUE(rows.ok) << rows.error;
        EXPECT_EQ(rows.rows[0][0], answer == 0 ? "1" : "2");
        std::ifstream ledger(controller::ledgerFileName(target));
        const std::string json((std::istreambuf_iterator<char>(ledger)), {});
        EXPECT_NE(json.find(answer == 0 ? "\"row 2\"" : "\"NOT NULL\""), std::string::npos) << json;
    }
    EXPECT_EQ(view.choices.size(), 3u);
}

TEST_F(DataExportTest, CancelLeavesNoFileAndFailuresAreShown) {
    view.cancelAtReport = 3;
    view.saveAnswers.push_back((folder.path() / "out.sqlite").string());
    controller.exportToSqlite();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, "Export cancelled; nothing was written.");
    EXPECT_EQ(filesInFolder(), 1u);  // the source only

    view.cancelAtReport = 0;
    view.saveAnswers.push_back((folder.path() / "missing" / "out.sqlite").string());
    controller.exportToSqlite();
    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_EQ(view.messages[1].icon, MessageIcon::Exclamation);
    EXPECT_NE(view.messages[1].text.find("Nothing was written."), std::string::npos);
    EXPECT_TRUE(view.viewerShows.empty());
}

TEST_F(DataExportTest, PostgresExportUsesTheDialogsFieldsAndForgetsThePassword) {
    PgCluster& cluster = PgCluster::shared();
    ASSERT_TRUE(cluster.ok()) << cluster.error();
    const std::string database = cluster.createDatabase();
    ASSERT_FALSE(database.empty()) << cluster.error();
    controller::PostgresConnection connection;
    connection.host = cluster.folder();
    connection.port = "5432";
    connection.database = database;
    connection.user = "postgres";
    connection.password = "not used on the socket";
    connection.schema = "desk top";
    view.postgresAnswer = connection;
    controller.exportToPostgresql();
    ASSERT_TRUE(view.messages.empty()) << view.messages[0].text;
    ASSERT_EQ(view.viewerShows.size(), 1u);
    EXPECT_EQ(view.viewerShows[0].first, "Export to PostgreSQL");
    const QueryRows rows =
        cluster.query(database, "SELECT count(*), max(\"Name\") FROM \"desk top\".\"Kept\"");
    ASSERT_TRUE(rows.ok) << rows.error;
    EXPECT_EQ(rows.rows, (std::vector<std::vector<std::string>>{{"3000", "it's 999"}}));

    // The next dialog opens with the fields entered, the password left empty; Cancel runs
    // nothing.
    view.postgresAnswer.reset();
    controller.exportToPostgresql();
    ASSERT_EQ(view.postgresShown.size(), 2u);
    EXPECT_EQ(view.postgresShown[1].database, database);
    EXPECT_EQ(view.postgresShown[1].schema, "desk top");
    EXPECT_TRUE(view.postgresShown[1].password.empty());
    EXPECT_EQ(view.progressCaptions.size(), 1u);
}

// Spaces, quotes and backslashes stay inside their value instead of adding keywords.
TEST(PostgresConninfo, QuotesEveryValueAndLeavesOutEmptyFields) {
    controller::PostgresConnection connection;
    connection.host = "/run/pg";
    connection.database = "my db";
    connection.user = "o'brien";
    connection.password = "a\\b' host=evil";
    EXPECT_EQ(controller::postgresConninfo(connection),
              "host='/run/pg' dbname='my db' user='o\\'brien' password='a\\\\b\\' host=evil'");
    EXPECT_EQ(controller::postgresConninfo({}), "");
}

}  // namespace
}  // namespace zl::testing
