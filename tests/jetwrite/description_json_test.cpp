// The JSON form of descriptions: values convert by field type, and mistakes fail with the JSON
// path of the offending value.
#include "description_json.h"

#include <gtest/gtest.h>

#include "jetwrite/write_error.h"

namespace zl::jetwrite {
namespace {

TEST(DescriptionJson, ConvertsValuesByFieldType) {
    const DatabaseDescription d = parseDescriptionJson(R"({"tables": [{"name": "T", "fields": [
        {"name": "When", "type": "Date"}, {"name": "Raw", "type": "LongBinary"}, {"name": "Price", "type": "Currency"},
        {"name": "Flag", "type": "Boolean"}, {"name": "Ratio", "type": "Double"}],
        "rows": [["2024-02-29 13:45:30", {"hex": "00ff"}, "12.34", true, 0.5], [null, null, 7, false, 1]]}]})");
    const std::vector<Value>& row = d.tables.at(0).rows.at(0);
    EXPECT_EQ(std::get<DateTime>(row[0]), (DateTime{2024, 2, 29, 13, 45, 30}));
    EXPECT_EQ(std::get<std::vector<std::uint8_t>>(row[1]), (std::vector<std::uint8_t>{0x00, 0xff}));
    EXPECT_EQ(std::get<std::string>(row[2]), "12.34");
    EXPECT_TRUE(std::get<bool>(row[3]));
    EXPECT_DOUBLE_EQ(std::get<double>(row[4]), 0.5);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(d.tables[0].rows[1][0]));
    EXPECT_EQ(std::get<std::int64_t>(d.tables[0].rows[1][2]), 7);
}

struct JsonErrorCase {
    const char* json;
    const char* messagePart;
};

class JsonErrors : public ::testing::TestWithParam<JsonErrorCase> {};

TEST_P(JsonErrors, NameWhereTheMistakeIs) {
    try {
        parseDescriptionJson(GetParam().json);
        FAIL() << "no error";
    } catch (const WriteError& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().messagePart), std::string::npos)
            << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Mistakes, JsonErrors,
    ::testing::Values(
        JsonErrorCase{"{", "not valid JSON"},
        JsonErrorCase{R"({"tabels": []})", "description: unknown member \"tabels\""},
        JsonErrorCase{R"({"tables": [{"name": "T", "fields": [{"name": "A", "type": "Txt"}]}]})",
                      "tables[0].fields[0].type: unknown field type \"Txt\""},
        JsonErrorCase{
            R"({"tables": [{"name": "T", "fields": [{"name": "A", "type": "Long", "size": "x"}]}]})",
            "tables[0].fields[0].size: expected a whole number"},
        JsonErrorCase{R"({"tables": [{"name": "T", "fields": [{"type": "Long"}]}]})",
                      "tables[0].fields[0]: missing member \"name\""},
        JsonErrorCase{
            R"({"tables": [{"name": "T", "fields": [{"name": "A", "type": "Long"}], "rows": [[1, 2]]}]})",
            "tables[0].rows[0]: a row has 2 values for 1 fields"},
        JsonErrorCase{
            R"({"tables": [{"name": "T", "fields": [{"name": "D", "type": "Date"}], "rows": [["31.12.2024"]]}]})",
            "tables[0].rows[0][0]: expected a date"},
        JsonErrorCase{R"({"queries": [{"name": "Q", "kind": "pivot"}]})",
                      "queries[0].kind: unknown query kind"},
        JsonErrorCase{
            R"({"queries": [{"name": "Q", "joins": [{"left": "a", "right": "b", "kind": "outer", "on": "x"}]}]})",
            "queries[0].joins[0].kind: unknown join kind"}));

}  // namespace
}  // namespace zl::jetwrite
