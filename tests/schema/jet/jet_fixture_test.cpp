// What the engine does with the real databases in ../shared/fixtures beyond what their listing
// records (the listing itself is compared by the CLI's fixture test): linked tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "schema/jet/jet_engine.h"

namespace zl::schema::jet {
namespace {

namespace fs = std::filesystem;

const fs::path kFixtureFolder = "../shared/fixtures";
constexpr char kNoFixtures[] = "none";

// The database files of the folder; a placeholder when the folder is missing, so that the
// suite reports a skip instead of nothing.
std::vector<std::string> fixtureNames() {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& item : fs::directory_iterator(kFixtureFolder, error)) {
        const fs::path path = item.path();
        if (path.extension() == ".mdb" || path.extension() == ".accdb") {
            names.push_back(path.filename().string());
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

class JetFixtureTest : public testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        if (GetParam() == kNoFixtures) {
            GTEST_SKIP() << "no fixtures in " << kFixtureFolder;
        }
        JetEngine engine;
        ASSERT_NO_THROW(m_database = engine.openDatabase((kFixtureFolder / GetParam()).string()))
            << GetParam();
    }

    std::unique_ptr<Database> m_database;
};

TEST_P(JetFixtureTest, LinkedTablesNameTheirTarget) {
    for (const TableListRow& row : m_database->listTables()) {
        if (row.tableType != dao::kTableTypeAccessLink) {
            continue;
        }
        try {
            (void)m_database->tableDef(row.name);
            ADD_FAILURE() << "linked table " << row.name << " gave a definition";
        } catch (const EngineError& error) {
            EXPECT_NE(error.description().find("linked"), std::string::npos) << error.description();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, JetFixtureTest, testing::ValuesIn(fixtureNames()), testName);

}  // namespace
}  // namespace zl::schema::jet
