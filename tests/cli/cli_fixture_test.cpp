// zlgen-cli list --json --system on every real Access file equals the fuller schema recorded for
// it (full/X.json): collating order, listing, every field and index of every local table with
// its documentation and rules, every query's type and SQL, and every relation. This is the one
// comparison with the recorded schemas; it covers the reader and the listing together.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "common/test_names.h"
#include "run_process.h"

namespace fs = std::filesystem;
// Ordered, so that key order counts as the recorded files have it.
using json = nlohmann::ordered_json;

namespace {

const fs::path kFixtures = "../shared/fixtures";
constexpr char kNoFixtures[] = "none";

// The database files of the folder; a placeholder when there are none, so that the suite reports
// a skip instead of vanishing.
std::vector<std::string> fixtureFiles() {
    std::vector<std::string> files;
    if (!fs::is_directory(kFixtures)) return {kNoFixtures};
    for (const auto& entry : fs::directory_iterator(kFixtures)) {
        const std::string ext = entry.path().extension().string();
        if (ext == ".mdb" || ext == ".accdb") files.push_back(entry.path().filename().string());
    }
    std::sort(files.begin(), files.end());
    if (files.empty()) files.push_back(kNoFixtures);
    return files;
}

// Calculated columns are recorded with a result type that is not checked: the type and size of
// the field at the same place are dropped from both documents, and precision and scale are
// compared only where both documents give them.
void dropCalculatedTypes(json& expected, json& actual) {
    for (std::size_t t = 0; t < expected["tables"].size() && t < actual["tables"].size(); ++t) {
        json& expectedFields = expected["tables"][t]["fields"];
        json& actualFields = actual["tables"][t]["fields"];
        for (std::size_t f = 0; f < expectedFields.size() && f < actualFields.size(); ++f) {
            if (!expectedFields[f].value("calculated", false)) continue;
            const bool bothDecimal =
                expectedFields[f].contains("precision") && actualFields[f].contains("precision");
            for (json* field : {&expectedFields[f], &actualFields[f]}) {
                field->erase("type");
                field->erase("size");
                if (!bothDecimal) {
                    field->erase("precision");
                    field->erase("scale");
                }
            }
        }
    }
}

class CliFixtureTest : public ::testing::TestWithParam<std::string> {};

TEST_P(CliFixtureTest, JsonListingEqualsRecordedSchema) {
    if (GetParam() == kNoFixtures) GTEST_SKIP() << "no fixtures in " << kFixtures;
    const fs::path file = kFixtures / GetParam();
    std::ifstream expectedStream(kFixtures / "full" / (GetParam() + ".json"));
    ASSERT_TRUE(expectedStream) << "no full/" << GetParam() << ".json";
    json expected = json::parse(expectedStream);
    const auto result =
        zl::testing::runProcess(ZLGEN_CLI, {"list", file.string(), "--json", "--system"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    json actual = json::parse(result.out);
    ASSERT_FALSE(actual.empty());
    EXPECT_EQ(actual.begin().key(), "name");
    EXPECT_EQ(actual["name"], fs::absolute(file).lexically_normal().string());
    actual.erase("name");
    dropCalculatedTypes(expected, actual);
    for (const char* key : {"collatingOrder", "listing", "tables", "queries", "relations"}) {
        EXPECT_TRUE(actual[key] == expected[key])
            << key << " differs; patch from expected to actual: "
            << json::diff(expected[key], actual[key]).dump();
    }
    EXPECT_EQ(actual.size(), expected.size()) << "top-level keys differ";
}

std::string fixtureName(const ::testing::TestParamInfo<std::string>& file) {
    return testNameOf(file.param);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, CliFixtureTest, ::testing::ValuesIn(fixtureFiles()),
                         fixtureName);

}  // namespace
