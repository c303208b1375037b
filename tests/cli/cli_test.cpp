// zlgen-cli as a user runs it: exit statuses, messages, output files and selection flags.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/selection.h"
#include "common/temporary_folder.h"
#include "run_process.h"
#include "schema/jet/jet_engine.h"
#include "schema/schema_model.h"
#include "sqlgen/sql_script.h"

namespace fs = std::filesystem;
using zl::testing::readFile;
using zl::testing::runProcess;

namespace {

// The sample database the build makes: always present, with tables, relationships and
// QueryDefs of every kind.
const fs::path kSampleDatabase = ZLGEN_SAMPLE_DB;

class CliTest : public ::testing::Test {
protected:
    zl::testing::ProcessResult run(const std::vector<std::string>& args) const {
        return runProcess(ZLGEN_CLI, args, m_env);
    }

    zl::testing::TemporaryFolder m_folder;
    fs::path m_dir = m_folder.path();
    std::vector<std::string> m_env = {"ZLGEN_INI=" + (m_dir / "ZLGEN.INI").string()};
};

TEST_F(CliTest, VersionAndHelpSucceed) {
    auto version = run({"--version"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_NE(version.out.find("1.1.05"), std::string::npos);
    auto help = run({"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.out.find("sql"), std::string::npos);
}

TEST_F(CliTest, UsageErrorsExitWithTwo) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {},
             {"frobnicate"},
             {"sql", "x.mdb"},
             {"sql", "x.mdb", "--dialect", "oracle"},
             {"sql", "x.mdb", "--dialect", "sqlserver", "--ledger", "l.json"},
             {"vb", "x.mdb"},
             {"vb", "x.mdb", "-o", "x.bas", "--private", "--public"},
         }) {
        auto result = run(args);
        EXPECT_EQ(result.exitStatus, 2) << ::testing::PrintToString(args) << result.err;
        EXPECT_FALSE(result.err.empty());
    }
}

TEST_F(CliTest, UnreadableDatabaseExitsWithThreeAndTheReason) {
    const fs::path garbage = m_dir / "garbage.mdb";
    std::ofstream(garbage) << std::string(5000, 'x');
    for (const fs::path& db : {m_dir / "missing.mdb", garbage}) {
        auto result = run({"sql", db.string(), "--dialect", "access"});
        EXPECT_EQ(result.exitStatus, 3) << db;
        EXPECT_NE(result.err.find("Couldn't open database"), std::string::npos) << result.err;
        EXPECT_TRUE(result.out.empty());
    }
}

TEST_F(CliTest, UnknownSelectionNameIsAUsageErrorNamingIt) {
    for (const auto& flag : {"--only", "--exclude", "--exclude-field", "--exclude-index"}) {
        auto result =
            run({"sql", kSampleDatabase.string(), "--dialect", "access", flag, "NoSuch.Thing"});
        EXPECT_EQ(result.exitStatus, 2) << flag;
        EXPECT_NE(result.err.find("NoSuch"), std::string::npos) << result.err;
    }
}

TEST_F(CliTest, ModuleThatCannotBeWrittenExitsWithOne) {
    auto result =
        run({"vb", kSampleDatabase.string(), "-o", (m_dir / "no" / "such" / "x.bas").string()});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_FALSE(result.err.empty());
}

TEST_F(CliTest, OutputFileReplacesTheOldOneCompletely) {
    const fs::path target = m_dir / "script.sql";
    std::ofstream(target) << std::string(100000, 'z');
    auto toFile =
        run({"sql", kSampleDatabase.string(), "--dialect", "sqlserver", "-o", target.string()});
    ASSERT_EQ(toFile.exitStatus, 0) << toFile.err;
    auto toStdout = run({"sql", kSampleDatabase.string(), "--dialect", "sqlserver"});
    EXPECT_EQ(readFile(target), toStdout.out);
    EXPECT_NE(toStdout.out.find("CREATE TABLE \""), std::string::npos);
}

TEST_F(CliTest, LoadableTargetsWriteTheLedgerAndASummaryLine) {
    for (const std::string dialect : {"postgresql", "sqlite"}) {
        const fs::path ledger = m_dir / (dialect + ".json");
        auto result = run({"sql", kSampleDatabase.string(), "--dialect", dialect, "--ledger",
                           ledger.string(), "--exclude", "Order Archive"});
        ASSERT_EQ(result.exitStatus, 0) << dialect << result.err;
        EXPECT_NE(result.out.find("CREATE TABLE \"Orders\""), std::string::npos);
        EXPECT_EQ(result.out.find("CREATE TABLE \"Order Archive\""), std::string::npos);
        // One line on standard error, also the script's last comment.
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        EXPECT_NE(result.err.find("queries became views"), std::string::npos) << result.err;
        EXPECT_TRUE(result.out.ends_with("-- " + result.err));
        const nlohmann::json json = nlohmann::json::parse(readFile(ledger));
        EXPECT_EQ(json.at("target"), dialect);
        EXPECT_FALSE(json.at("items").empty());

        auto unwritable = run({"sql", kSampleDatabase.string(), "--dialect", dialect, "--ledger",
                               (m_dir / "no" / "such" / "l.json").string()});
        EXPECT_EQ(unwritable.exitStatus, 1);
        EXPECT_NE(unwritable.err.find("Cannot write"), std::string::npos);
    }
}

TEST_F(CliTest, ModuleAndDbCreateAreWritten) {
    const fs::path module = m_dir / "orders.bas";
    auto vb =
        run({"vb", kSampleDatabase.string(), "-o", module.string(), "--dbcreate", "--public"});
    ASSERT_EQ(vb.exitStatus, 0) << vb.err;
    const std::string text = readFile(module);
    EXPECT_NE(text.find("' Needs DBCREATE.BAS to work\r\n"), std::string::npos);
    EXPECT_EQ(text.find("Private Function"), std::string::npos);
    const fs::path dbcreate = m_dir / "DBCREATE.BAS";
    auto aux = run({"dbcreate", "-o", dbcreate.string()});
    ASSERT_EQ(aux.exitStatus, 0) << aux.err;
    const std::string auxText = readFile(dbcreate);
    for (const char* line :
         {"Const dbCounter = -10\r\n", "Sub AddField (", "Sub AddIndex (", "Sub AddQueryDef ("}) {
        EXPECT_NE(auxText.find(line), std::string::npos) << line;
    }
}

TEST_F(CliTest, JsonListingSurvivesAFileNameThatIsNotUtf8) {
    const fs::path copy = m_dir / "caf\xE9\xFF.mdb";
    fs::copy_file(kSampleDatabase, copy);
    auto result = run({"list", copy.string(), "--json"});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.out.find("caf\xEF\xBF\xBD"), std::string::npos) << "U+FFFD in the name";
}

// The flags must give what the same clicks in the main window give: the model operations.
TEST_F(CliTest, SelectionFlagsEqualModelOperations) {
    zl::schema::jet::JetEngine engine;
    auto db = engine.openDatabase(kSampleDatabase.string());
    zl::schema::SchemaModel model;
    zl::cli::fillModel(model, *db);
    ASSERT_GE(model.size(), 2u);
    std::size_t table = 0;
    while (model.entry(table).isQueryDef) ++table;
    const auto tableDef = db->tableDef(model.entry(table).name);
    ASSERT_GE(tableDef->fieldCount(), 2);
    const std::string tableName = model.entry(table).name;
    const std::string fieldName = tableDef->field(1).name;
    const std::size_t other = table == 0 ? 1 : 0;
    const std::string otherName = model.entry(other).name;

    model.setEntrySelected(other, false);
    model.StoreFieldSelection(table, 1, false);
    const std::string expected =
        zl::sqlgen::GenerateSqlScript(zl::sqlgen::SqlDialect::SqlServer, model, db.get());

    auto result = run({"sql", kSampleDatabase.string(), "--dialect", "sqlserver", "--exclude",
                       otherName, "--exclude-field", tableName + "." + fieldName});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, expected);
}

}  // namespace
