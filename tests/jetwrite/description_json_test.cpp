// The JSON form of descriptions: the committed sample parses into what it says, and mistakes
// fail with the JSON path of the offending value.
#include "description_json.h"

#include <gtest/gtest.h>

#include <set>

#include "jetwrite/write_error.h"

namespace zl::jetwrite {
namespace {

TEST(DescriptionJson, SampleCoversWhatTheGeneratorsName) {
    const DatabaseDescription sample = readDescriptionFile("samples/orders.json");
    EXPECT_GE(sample.tables.size(), 8u);
    EXPECT_GE(sample.queries.size(), 8u);
    EXPECT_FALSE(sample.relationships.empty());
    std::set<FieldType> types;
    bool autoNumber = false;
    bool fixedText = false;
    bool descending = false;
    bool validation = false;
    bool defaults = false;
    for (const TableDescription& table : sample.tables) {
        for (const FieldDescription& field : table.fields) {
            types.insert(field.type);
            autoNumber |= field.autoNumber;
            fixedText |= field.type == FieldType::Text && field.fixedLength;
            validation |= field.validationRule.has_value();
            defaults |= field.defaultValue.has_value();
        }
        for (const IndexDescription& index : table.indexes) {
            for (const IndexColumn& column : index.columns) descending |= column.descending;
        }
    }
    for (const FieldType type :
         {FieldType::Boolean, FieldType::Byte, FieldType::Integer, FieldType::Long,
          FieldType::Currency, FieldType::Single, FieldType::Double, FieldType::Date,
          FieldType::Text, FieldType::LongBinary, FieldType::Memo}) {
        EXPECT_TRUE(types.count(type)) << static_cast<int>(type);
    }
    EXPECT_TRUE(autoNumber && fixedText && descending && validation && defaults);
    std::set<QueryKind> kinds;
    bool parameters = false;
    bool joins = false;
    for (const QueryDescription& query : sample.queries) {
        kinds.insert(query.kind);
        parameters |= !query.parameters.empty();
        joins |= !query.joins.empty();
    }
    EXPECT_TRUE(parameters && joins);
    EXPECT_TRUE(kinds.count(QueryKind::Union) && kinds.count(QueryKind::Crosstab) &&
                kinds.count(QueryKind::Update));
}

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

TEST(DescriptionJson, ReadsIndexDirectionsAndQueryForms) {
    const DatabaseDescription d = parseDescriptionJson(R"({
        "tables": [{"name": "T", "fields": [{"name": "A", "type": "Long"}, {"name": "B", "type": "Text"}],
                    "indexes": [{"name": "I", "fields": ["-A", "+B"], "unique": true}]}],
        "queries": [{"name": "Q", "kind": "crosstab", "top": 5, "tables": ["T", {"name": "T", "alias": "U"}],
                     "columns": ["T.A", {"expression": "T.B", "role": "columnHeading"}],
                     "orderBy": [{"expression": "T.A", "descending": true}]}]})");
    const IndexDescription& index = d.tables[0].indexes[0];
    EXPECT_TRUE(index.columns[0].descending);
    EXPECT_EQ(index.columns[1].field, "B");
    EXPECT_FALSE(index.columns[1].descending);
    const QueryDescription& q = d.queries[0];
    EXPECT_EQ(q.kind, QueryKind::Crosstab);
    EXPECT_EQ(q.top, "5");
    EXPECT_EQ(q.tables[1].alias, "U");
    EXPECT_EQ(q.columns[1].role, CrosstabRole::ColumnHeading);
    EXPECT_TRUE(q.orderBy[0].descending);
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
