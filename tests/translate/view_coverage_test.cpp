// How many of the saved queries Access can run without parameters become working views: those of
// the bundled sample and of the fixtures, loaded into both engines over their own tables.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine_schema.h"
#include "schema/engine.h"
#include "translate/query_parser.h"

namespace zl::translate {
namespace {

using testing::TargetDb;

namespace fs = std::filesystem;
namespace dao = schema::dao;

bool readsForm(const Node& node) {
    if (node.kind == NodeKind::Name && !node.owner.empty()) {
        const std::string owner = lowerAscii(node.owner);
        if (owner.rfind("forms", 0) == 0 || owner.rfind("reports", 0) == 0) return true;
    }
    for (const auto& arg : node.args) {
        if (readsForm(*arg)) return true;
    }
    return false;
}

// SELECT, UNION and crosstab-with-IN queries that Access runs without asking for anything: every
// part has a FROM, there are no PARAMETERS and no references to forms.
bool runnableWithoutParameters(const SavedQuery& q) {
    if (q.daoType != dao::kQuerySelect && q.daoType != dao::kQueryUnion &&
        q.daoType != dao::kQueryCrosstab) {
        return false;
    }
    try {
        const QueryStatement s = parseQuery(q.sql);
        if (!s.parameters.empty()) return false;
        if (s.crosstab && s.headings.empty()) return false;
        for (const SelectStatement& part : s.parts) {
            if (part.from.empty() || part.into) return false;
            for (const SelectItem& item : part.items) {
                if (readsForm(*item.expr)) return false;
            }
            if (part.where && readsForm(*part.where)) return false;
        }
        return true;
    } catch (const SyntaxError&) {
        return false;  // an action query or one Access shows in another dialect
    }
}

struct Coverage {
    int runnable = 0;
    int working = 0;
};

void loadAndCount(Target target, const std::string& path, const std::string& rowsJson,
                  Coverage& coverage) {
    SCOPED_TRACE(path + (target == Target::Sqlite ? " (SQLite)" : " (PostgreSQL)"));
    // The reader's QueryDef.Type; the command line's fixture test holds it to the recorded one.
    const testing::AccessSchema schema = testing::readAccessSchema(path);
    const QuotingNameMapper names;
    std::string tables;
    for (const TableColumns& t : schema.tables) tables += testing::createTableSql(target, t);
    if (!rowsJson.empty()) tables += testing::sampleRowsSql(target, rowsJson);
    TargetDb db(target);
    ASSERT_EQ(db.setupError(), "");
    ASSERT_EQ(db.run(tables), "");
    const auto translations = translateQueries(target, schema.queries, schema.map, names);
    for (const QueryTranslation& t : translations) {
        const auto query = std::find_if(schema.queries.begin(), schema.queries.end(),
                                        [&](const SavedQuery& q) { return q.name == t.name; });
        const bool runnable = runnableWithoutParameters(*query);
        coverage.runnable += runnable ? 1 : 0;
        if (!t.ok) {
            if (runnable) ADD_FAILURE() << t.name << " was not translated: " << t.reason;
            continue;
        }
        // Each view on its own, so that one failure does not hide the rest; a parameter query's
        // function is called with its arguments elsewhere.
        const std::string error = db.run(t.sql);
        EXPECT_EQ(error, "") << t.sql;
        const bool works =
            error.empty() && (t.isFunction || db.query("SELECT * FROM " + names.object(t.name)).ok);
        EXPECT_TRUE(works) << t.name;
        coverage.working += works && runnable ? 1 : 0;
    }
}

TEST(ViewCoverageTest, RunnableQueriesOfSampleAndFixturesBecomeWorkingViews) {
    std::vector<std::string> files = {ZLGEN_SAMPLE_DB};
    const fs::path fixtures = "../shared/fixtures";
    if (fs::exists(fixtures)) {
        for (const auto& entry : fs::directory_iterator(fixtures)) {
            const std::string ext = entry.path().extension().string();
            if (ext == ".mdb" || ext == ".accdb") files.push_back(entry.path().string());
        }
    } else {
        std::cout << "fixtures not found in " << fixtures << "; only the sample is counted\n";
    }
    for (Target target : {Target::PostgreSql, Target::Sqlite}) {
        Coverage coverage;
        for (const std::string& file : files) {
            testing::AccessSchema probe;
            try {
                probe = testing::readAccessSchema(file);
            } catch (const schema::EngineError&) {
                continue;  // a fixture the reader refuses (encrypted, ...) has nothing to count
            }
            if (probe.queries.empty()) continue;
            loadAndCount(target, file, file == ZLGEN_SAMPLE_DB ? "samples/orders.json" : "",
                         coverage);
        }
        std::cout << targetName(target) << ": " << coverage.working << " of " << coverage.runnable
                  << " runnable queries became working views\n";
        EXPECT_GE(coverage.working * 10, coverage.runnable * 9);
        EXPECT_GT(coverage.runnable, 0);
    }
}

}  // namespace
}  // namespace zl::translate
