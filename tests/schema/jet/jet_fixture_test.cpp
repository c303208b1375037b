// Every real database in ../shared/fixtures against the values recorded beside it: collating
// order, the full listing, every field and index of every local table, and every query's SQL.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "schema/jet/jet_engine.h"

namespace zl::schema::jet {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const fs::path kFixtureFolder = "../shared/fixtures";
constexpr char kNoFixtures[] = "none";

// The database files that have a recorded .json beside them; a placeholder when the folder is
// missing, so that the suite reports a skip instead of nothing.
std::vector<std::string> fixtureNames() {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& item : fs::directory_iterator(kFixtureFolder, error)) {
        const fs::path path = item.path();
        if (path.extension() == ".json" && fs::exists(fs::path(path).replace_extension(""))) {
            names.push_back(path.stem().string());
        }
    }
    std::sort(names.begin(), names.end());
    if (names.empty()) {
        names.push_back(kNoFixtures);
    }
    return names;
}

std::string testName(const testing::TestParamInfo<std::string>& info) {
    std::string name = info.param;
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return std::isalnum(static_cast<unsigned char>(c)) == 0; }, '_');
    return name;
}

json fieldJson(const Field& field) {
    return json{{"name", field.name},
                {"type", field.type},
                {"size", field.size},
                {"attributes", field.attributes},
                {"required", field.required},
                {"allowZeroLength", field.allowZeroLength},
                {"defaultValue", field.defaultValue},
                {"validationRule", field.validationRule},
                {"validationText", field.validationText}};
}

json indexJson(const Index& index) {
    return json{{"name", index.name},           {"fields", index.fields},
                {"primary", index.primary},     {"unique", index.unique},
                {"foreign", index.foreign},     {"required", index.required},
                {"ignoreNulls", index.ignoreNulls}};
}

class JetFixtureTest : public testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        if (GetParam() == kNoFixtures) {
            GTEST_SKIP() << "no fixtures in " << kFixtureFolder;
        }
        const fs::path database = kFixtureFolder / GetParam();
        std::ifstream in(fs::path(database).concat(".json"));
        ASSERT_TRUE(in) << "cannot read the .json of " << GetParam();
        m_expected = json::parse(in);
        JetEngine engine;
        ASSERT_NO_THROW(m_database = engine.openDatabase(database.string())) << GetParam();
    }

    json m_expected;
    std::unique_ptr<Database> m_database;
};

TEST_P(JetFixtureTest, NameIsTheAbsolutePath) {
    EXPECT_EQ(m_database->name(),
              fs::absolute(kFixtureFolder / GetParam()).lexically_normal().string());
}

TEST_P(JetFixtureTest, CollatingOrderAndListingMatch) {
    EXPECT_EQ(m_database->collatingOrder(), m_expected["collatingOrder"].get<int>());
    json listing = json::array();
    for (const TableListRow& row : m_database->listTables()) {
        listing.push_back({{"name", row.name}, {"tableType", row.tableType},
                           {"attributes", row.attributes}});
    }
    EXPECT_EQ(listing, m_expected["listing"]);
}

TEST_P(JetFixtureTest, EveryFieldAndIndexMatches) {
    for (const json& table : m_expected["tables"]) {
        const std::string name = table["name"];
        SCOPED_TRACE("table " + name);
        std::unique_ptr<TableDef> def;
        ASSERT_NO_THROW(def = m_database->tableDef(name));
        ASSERT_EQ(def->fieldCount(), static_cast<int>(table["fields"].size()));
        for (int i = 0; i < def->fieldCount(); ++i) {
            json expected = table["fields"][static_cast<std::size_t>(i)];
            json actual = fieldJson(def->field(i));
            if (expected.value("calculated", false)) {
                // Calculated columns: their result type is not part of the record.
                for (const char* key : {"calculated", "type", "size"}) {
                    expected.erase(key);
                    actual.erase(key);
                }
            }
            EXPECT_EQ(actual, expected) << "field " << i;
        }
        ASSERT_EQ(def->indexCount(), static_cast<int>(table["indexes"].size()));
        for (int i = 0; i < def->indexCount(); ++i) {
            EXPECT_EQ(indexJson(def->index(i)), table["indexes"][static_cast<std::size_t>(i)])
                << "index " << i;
        }
    }
}

TEST_P(JetFixtureTest, LinkedTablesNameTheirTarget) {
    for (const TableListRow& row : m_database->listTables()) {
        if (row.tableType != dao::kTableTypeAccessLink) {
            continue;
        }
        try {
            (void)m_database->tableDef(row.name);
            ADD_FAILURE() << "linked table " << row.name << " gave a definition";
        } catch (const EngineError& error) {
            EXPECT_NE(error.description().find("linked"), std::string::npos)
                << error.description();
        }
    }
}

TEST_P(JetFixtureTest, EveryQuerySqlMatches) {
    for (const json& query : m_expected["queries"]) {
        const std::string name = query["name"];
        const std::string expected = query["sql"];
        std::string actual;
        try {
            actual = m_database->openQueryDef(name)->sql();
        } catch (const EngineError& error) {
            actual = "<EngineError: " + error.description() + ">";
        }
        EXPECT_EQ(actual, expected) << "query " << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, JetFixtureTest, testing::ValuesIn(fixtureNames()), testName);

}  // namespace
}  // namespace zl::schema::jet
