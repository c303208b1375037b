// The ledger's JSON shape, and its comments loaded into both engines without breaking out.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "common/pg_cluster.h"
#include "common/sqlite_db.h"
#include "translate/translate.h"

namespace zl::translate {
namespace {

TEST(LedgerTest, JsonHasEveryKeyWithNullForAbsentObjects) {
    Ledger ledger;
    ledger.target = Target::Sqlite;
    ledger.items.push_back(
        {"Orders", "OrderDate", std::nullopt, "ValidationRule", "<=Date()", "Date() in a CHECK"});
    ledger.items.push_back({std::nullopt, std::nullopt, "Q\xff", "SQL", "DELETE *", "action"});
    // Every character JSON must escape, and some it must not.
    const std::string awkward = "\"q\" \\ \b\f\n\r\t \x01\x1f\x7f / \xc3\xa9";
    ledger.items.push_back({"T", std::nullopt, std::nullopt, "DefaultValue", awkward, awkward});
    const std::string text = ledger.toJson();
    const auto doc = nlohmann::json::parse(text);
    // The layout stays the one tools have read: sorted keys, two-space indentation.
    EXPECT_EQ(text, doc.dump(2));
    EXPECT_EQ(Ledger().toJson(), nlohmann::json::parse(Ledger().toJson()).dump(2));
    EXPECT_EQ(doc["target"], "sqlite");
    ASSERT_EQ(doc["items"].size(), 3u);
    EXPECT_EQ(doc["items"][2]["original"], awkward);
    EXPECT_EQ(doc["items"][2]["reason"], awkward);
    EXPECT_EQ(doc["items"][0]["table"], "Orders");
    EXPECT_TRUE(doc["items"][0]["query"].is_null());
    EXPECT_TRUE(doc["items"][1]["table"].is_null());
    EXPECT_EQ(doc["items"][1]["query"], "Q\xEF\xBF\xBD");  // invalid UTF-8 replaced, not thrown
    EXPECT_EQ(doc["items"][1]["original"], "DELETE *");
}

// Texts that would end a comment early if copied as they stand.
const char* const kHostileTexts[] = {
    "a */ DROP TABLE t; /*",
    "line1\nDROP TABLE t;",
    "line1\rDROP TABLE t;",
    "line1\r\nDROP TABLE t;",
    "x\x0b\x0c\x85 DROP TABLE t;",
    "\\! echo hi\nDROP TABLE t;",
    "\xc3 broken UTF-8 \nDROP TABLE t;",
};

TEST(LedgerTest, CommentsNeverLetTheOriginalEscapeInEitherEngine) {
    auto& pg = testing::PgCluster::shared();
    ASSERT_TRUE(pg.ok()) << pg.error();
    const std::string db = pg.createDatabase();
    for (const char* text : kHostileTexts) {
        SCOPED_TRACE(text);
        LedgerItem item{"t", "f", std::nullopt, "DefaultValue", text, "reason */ \n DROP TABLE t;"};
        const std::string script =
            "CREATE TABLE t (a integer);\n" + ledgerComment(item) + "DROP TABLE t;\n";
        // The comment is fine as long as the one real DROP succeeds and nothing else ran.
        testing::SqliteDb lite;
        EXPECT_EQ(lite.exec(script), "");
        const auto res = pg.psqlText(db, script);
        EXPECT_EQ(res.status, 0) << res.output;
        EXPECT_FALSE(testing::hasPsqlDiagnostics(res.output)) << res.output;
    }
}

}  // namespace
}  // namespace zl::translate
