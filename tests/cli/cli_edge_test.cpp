// The module and both scripts end to end: zlgen-cli on databases made for the awkward cases
// that real files rarely hold (many entries, very wide tables, many indexes, odd names, long,
// empty and multi-line QueryDefs).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "jetwrite/edge_databases.h"
#include "jetwrite/reader_edge_databases.h"
#include "run_process.h"

namespace fs = std::filesystem;
namespace edge = zl::jetwrite::testing;

namespace {

std::size_t countOf(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
    return count;
}

// The lines of one generated function, from its heading comment to its End Function.
std::string functionText(const std::string& module, const std::string& heading) {
    const auto start = module.find(heading);
    if (start == std::string::npos) return {};
    return module.substr(start, module.find("End Function", start) - start);
}

class CliEdgeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = fs::temp_directory_path() / ("zlgen-cli-edge-" + std::to_string(::getpid()));
        fs::create_directories(s_dir);
    }
    static void TearDownTestSuite() { fs::remove_all(s_dir); }

    static std::string make(const edge::EdgeDatabase& db) {
        return edge::writeEdgeDatabase(db, s_dir).string();
    }
    static std::string run(const std::vector<std::string>& args, int expectedStatus = 0) {
        const auto result = zl::testing::runProcess(
            ZLGEN_CLI, args, {"ZLGEN_INI=" + (s_dir / "ZLGEN.INI").string()});
        EXPECT_EQ(result.exitStatus, expectedStatus) << result.err;
        return result.out;
    }
    static std::string module(const std::string& db, std::vector<std::string> extra = {}) {
        const fs::path target = s_dir / "module.bas";
        std::vector<std::string> args{"vb", db, "-o", target.string()};
        args.insert(args.end(), extra.begin(), extra.end());
        run(args);
        std::ifstream in(target, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static std::string script(const std::string& db, const std::string& dialect) {
        return run({"sql", db, "--dialect", dialect});
    }

    static inline fs::path s_dir;
};

TEST_F(CliEdgeTest, EveryOneOfTwoHundredFiftyEntriesIsGenerated) {
    const std::string db = make(edge::manyEntriesDatabase());
    const std::string text = module(db);
    EXPECT_EQ(countOf(text, "\r\n' Creates a table called '"), 125u);
    EXPECT_EQ(countOf(text, "\r\n' Creates a QueryDef called '"), 125u);
    EXPECT_EQ(countOf(text, "\r\nElseIf C"), 250u);
    EXPECT_EQ(countOf(script(db, "access"), "CREATE TABLE ["), 125u);
    EXPECT_EQ(countOf(script(db, "sqlserver"), "CREATE VIEW \""), 125u);
}

TEST_F(CliEdgeTest, WideTablesKeepEveryFieldAndTheSelectionLimit) {
    const std::string db = make(edge::wideTablesDatabase());
    const std::string wide = functionText(module(db), "' Creates a table called 'Wide501'");
    EXPECT_EQ(countOf(wide, "AddField td, "), 501u);
    const std::string sql = script(db, "access");
    const std::string table = sql.substr(sql.find("CREATE TABLE [Wide501]"));
    EXPECT_EQ(countOf(table, "\r\n  [Field"), 501u);

    const std::string fewer = functionText(module(db, {"--exclude-field", "Wide501.Field500"}),
                                           "' Creates a table called 'Wide501'");
    EXPECT_EQ(countOf(fewer, "AddField td, "), 500u);
    EXPECT_EQ(countOf(fewer, "\"Field500\""), 0u);
    run({"sql", db, "--dialect", "access", "--exclude-field", "Wide501.Field501"}, 2);
}

TEST_F(CliEdgeTest, SixtyIndexesAreAllWritten) {
    const std::string db = make(edge::manyIndexesDatabase());
    EXPECT_EQ(countOf(module(db), "\r\nAddIndex td, "), 60u);
    const std::string sql = script(db, "access");
    EXPECT_EQ(countOf(sql, "\r\nCREATE INDEX [") + countOf(sql, "\r\nCREATE UNIQUE INDEX ["), 60u);
}

TEST_F(CliEdgeTest, AwkwardNamesAreQuotedSafelyInEveryOutput) {
    const std::string db = make(edge::awkwardNamesDatabase());
    const std::string text = module(db);
    EXPECT_NE(text.find("td.Name = \"Order \"\"Details\"\"\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("Function CTable_OrderDetails (db as Database)"), std::string::npos);
    EXPECT_NE(text.find("AddField td, \"Gr\xF6\xDF"
                        "e\", dbLong, 4, "),
              std::string::npos)
        << "Windows-1252 bytes for letters outside ASCII";
    EXPECT_NE(text.find("AddField td, \"??\", dbText, 10, "), std::string::npos)
        << "characters Windows-1252 cannot hold become question marks";
    EXPECT_NE(script(db, "access").find("  [Price [EUR]]] Currency"), std::string::npos);
    EXPECT_NE(script(db, "sqlserver").find("CREATE TABLE \"Order \"\"Details\"\"\" ("),
              std::string::npos);
}

TEST_F(CliEdgeTest, ModuleCanBeWrittenInUtf8) {
    const std::string db = make(edge::awkwardNamesDatabase());
    std::ofstream(s_dir / "utf8.ini") << "[Code]\nEncoding=UTF-8\n";
    const std::string text = module(db, {"--settings", (s_dir / "utf8.ini").string()});
    EXPECT_NE(text.find("AddField td, \"名前\", dbText, 10, "), std::string::npos);
}

TEST_F(CliEdgeTest, QueryDefTextsSplitByTheLineRule) {
    const std::string longText = module(make(edge::longQueryDatabase()));
    const auto where = longText.find("SQL = SQL & \"WHERE Numbers.N In (0,1,2,");
    ASSERT_NE(where, std::string::npos);
    EXPECT_GT(longText.find("\r\n", where) - where, 39000u) << "a long line stays one line";

    const std::string empty = module(make(edge::emptyQueryDatabase()));
    EXPECT_NE(functionText(empty, "' Creates a QueryDef called 'Empty Pass-Through'")
                  .find("SQL = \" \"\r\n\r\nAddQueryDef db, \"Empty Pass-Through\", SQL\r\n"),
              std::string::npos);

    const std::string spaced = module(make(edge::emptyLineQueryDatabase()));
    EXPECT_NE(functionText(spaced, "' Creates a QueryDef called 'Two Statements'")
                  .find("SQL = \"SELECT 1 \"\r\n\r\nAddQueryDef"),
              std::string::npos)
        << "an empty line ends the split";
}

// A damaged QueryDef is listed with its error in place of its SQL and reported on standard
// error; the rest of the listing is whole, and the exit status says something failed.
TEST_F(CliEdgeTest, DamagedQueriesAreListedWithTheirErrorAndTheRestIsWhole) {
    const edge::DamagedEdgeDatabase db = edge::documentedDatabase();
    const std::string file = make(db.database);
    const auto result = zl::testing::runProcess(ZLGEN_CLI, {"list", file, "--json"},
                                                {"ZLGEN_INI=" + (s_dir / "ZLGEN.INI").string()});
    EXPECT_EQ(result.exitStatus, 1);
    const nlohmann::json listing = nlohmann::json::parse(result.out);
    std::size_t failed = 0;
    for (const auto& query : listing.at("queries")) {
        const std::string name = query.at("name");
        if (db.damagedQueries.count(name) != 0) {
            ++failed;
            EXPECT_FALSE(query.contains("sql")) << name;
            EXPECT_NE(query.value("error", "").find("\"" + name + "\""), std::string::npos);
            EXPECT_NE(result.err.find("\"" + name + "\""), std::string::npos) << result.err;
        } else {
            EXPECT_EQ(query.at("sql"), db.database.expectedSql.at(name)) << name;
        }
    }
    EXPECT_EQ(failed, db.damagedQueries.size());
    EXPECT_EQ(listing.at("queries").size(), db.database.description.queries.size());
    ASSERT_EQ(listing.at("tables").size(), 2u);
    EXPECT_EQ(listing.at("tables")[0].at("description"), "Every booking, one row each");
}

}  // namespace
