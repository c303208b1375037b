// zlgen-cli on made databases, for what the byte-for-byte comparison with the independent
// rendering (render_cross_check, which also covers many entries, wide tables, many indexes, odd
// names and QueryDef line rules) does not see: refused selections and damaged QueryDefs.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "common/temporary_folder.h"
#include "jetwrite/edge_databases.h"
#include "jetwrite/reader_edge_databases.h"
#include "run_process.h"

namespace edge = zl::jetwrite::testing;

namespace {

using zl::testing::TemporaryFolder;

class CliEdgeTest : public ::testing::Test {
protected:
    std::string make(const edge::EdgeDatabase& db) {
        return edge::writeEdgeDatabase(db, m_folder.path()).string();
    }
    zl::testing::ProcessResult run(const std::vector<std::string>& args) {
        return zl::testing::runProcess(ZLGEN_CLI, args,
                                       {"ZLGEN_INI=" + (m_folder.path() / "ZLGEN.INI").string()});
    }

    TemporaryFolder m_folder;
};

// Fields past the listed ones are always generated; leaving one out is a usage error.
TEST_F(CliEdgeTest, FieldPastTheSelectionLimitCannotBeLeftOut) {
    const std::string db = make(edge::wideTablesDatabase());
    const auto result =
        run({"sql", db, "--dialect", "access", "--exclude-field", "Wide501.Field501"});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_NE(result.err.find("cannot be left out"), std::string::npos) << result.err;
}

// A damaged QueryDef is listed with its error in place of its SQL and reported on standard
// error; the rest of the listing is whole, and the exit status says something failed.
TEST_F(CliEdgeTest, DamagedQueriesAreListedWithTheirErrorAndTheRestIsWhole) {
    const edge::DamagedEdgeDatabase db = edge::documentedDatabase();
    const auto result = run({"list", make(db.database), "--json"});
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
