// Descriptions the writer cannot store fail before anything is written, with a message that
// names the object.
#include "jetwrite/description_checker.h"

#include <gtest/gtest.h>

#include <functional>

#include "jetwrite/database_writer.h"
#include "jetwrite/edge_databases.h"
#include "jetwrite/write_error.h"

namespace zl::jetwrite::testing {
namespace {

DatabaseDescription validDatabase() {
    DatabaseDescription database;
    TableDescription customers =
        table("Customers", {field("ID", FieldType::Long), field("Name", FieldType::Text, 40)});
    customers.indexes = {index("PrimaryKey", {"ID"}, true)};
    TableDescription orders =
        table("Orders", {field("OrderID", FieldType::Long), field("CustomerID", FieldType::Long)});
    database.tables = {customers, orders};
    RelationshipDescription relationship;
    relationship.primaryTable = "Customers";
    relationship.foreignTable = "Orders";
    relationship.fields = {{"ID", "CustomerID"}};
    database.relationships = {relationship};
    return database;
}

struct InvalidCase {
    const char* name;
    std::function<void(DatabaseDescription&)> breakIt;
    const char* messagePart;
};

class InvalidDescription : public ::testing::TestWithParam<InvalidCase> {};

TEST_P(InvalidDescription, IsRefusedWithItsReason) {
    DatabaseDescription database = validDatabase();
    GetParam().breakIt(database);
    try {
        buildDatabase(database);
        FAIL() << "no error";
    } catch (const WriteError& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().messagePart), std::string::npos)
            << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InvalidDescription,
    ::testing::Values(
        InvalidCase{"TooLongName",
                    [](DatabaseDescription& d) { d.tables[1].name = std::string(65, 'x'); },
                    "limited to 64 characters"},
        InvalidCase{"DuplicateTableIgnoringCase",
                    [](DatabaseDescription& d) { d.tables[1].name = "CUSTOMERS"; },
                    "duplicate table or query name \"CUSTOMERS\""},
        InvalidCase{"SystemTableName",
                    [](DatabaseDescription& d) { d.tables[1].name = "MSysObjects"; }, "duplicate"},
        InvalidCase{"TextTooLong", [](DatabaseDescription& d) { d.tables[0].fields[1].size = 256; },
                    "size must be 1 to 255"},
        InvalidCase{"DecimalScale",
                    [](DatabaseDescription& d) {
                        d.tables[1].fields.push_back(field("Amount", FieldType::Decimal));
                        d.tables[1].fields.back().scale = 30;
                    },
                    "precision must be 1 to 28"},
        InvalidCase{
            "IndexOnUnknownField",
            [](DatabaseDescription& d) { d.tables[1].indexes.push_back(index("X", {"Nope"})); },
            "names unknown field \"Nope\""},
        InvalidCase{"ElevenIndexFields",
                    [](DatabaseDescription& d) {
                        d.tables[0].indexes[0].columns.assign(11, IndexColumn{"ID", false});
                    },
                    "1 to 10 fields"},
        InvalidCase{"TwoPrimaryIndexes",
                    [](DatabaseDescription& d) {
                        d.tables[0].indexes.push_back(index("Second", {"Name"}, true));
                    },
                    "more than one primary index"},
        InvalidCase{"RelationshipToUnknownTable",
                    [](DatabaseDescription& d) { d.relationships[0].foreignTable = "Invoices"; },
                    "unknown table"},
        InvalidCase{
            "RelationshipWithoutUniqueIndex",
            [](DatabaseDescription& d) { d.relationships[0].fields[0].primaryField = "Name"; },
            "has no unique index over the related fields"},
        InvalidCase{"TextIndexOverRows",
                    [](DatabaseDescription& d) {
                        d.tables[0].indexes.push_back(index("ByName", {"Name"}));
                        d.tables[0].rows.push_back({std::int64_t{1}, std::string("Smith")});
                    },
                    "indexes over data rows on field \"Name\" are not supported"},
        InvalidCase{"DuplicatePrimaryKey",
                    [](DatabaseDescription& d) {
                        d.tables[0].rows = {{std::int64_t{1}, std::string("a")},
                                            {std::int64_t{1}, std::string("b")}};
                    },
                    "duplicate key in a unique index"},
        InvalidCase{"NullPrimaryKey",
                    [](DatabaseDescription& d) {
                        d.tables[0].rows = {{Value{}, std::string("a")}};
                    },
                    "NULL in a field of a required or primary index"},
        InvalidCase{"RowTooLarge",
                    [](DatabaseDescription& d) {
                        for (int i = 0; i < 20; ++i)
                            d.tables[1].fields.push_back(
                                field("T" + std::to_string(i), FieldType::Text, 255));
                        std::vector<Value> row(22, Value{std::string(255, 'x')});
                        row[0] = std::int64_t{1};
                        row[1] = std::int64_t{1};
                        d.tables[1].rows = {row};
                    },
                    "more than the 4060 a row can hold"},
        InvalidCase{"WrongValueCount",
                    [](DatabaseDescription& d) { d.tables[1].rows = {{std::int64_t{1}}}; },
                    "1 values for 2 fields"},
        InvalidCase{"UnionWithOnePart",
                    [](DatabaseDescription& d) {
                        d.queries.push_back(query("U", QueryKind::Union));
                        d.queries.back().unionParts = {"SELECT 1"};
                    },
                    "needs exactly two union parts"},
        InvalidCase{
            "CrosstabWithoutPivot",
            [](DatabaseDescription& d) { d.queries.push_back(query("X", QueryKind::Crosstab)); },
            "exactly one column heading"},
        InvalidCase{
            "AppendWithoutTarget",
            [](DatabaseDescription& d) { d.queries.push_back(query("A", QueryKind::Append)); },
            "needs a target table"}),
    [](const ::testing::TestParamInfo<InvalidCase>& param) {
        return std::string(param.param.name);
    });

TEST(DescriptionChecker, AcceptsTheValidDatabase) {
    EXPECT_NO_THROW(buildDatabase(validDatabase()));
}

TEST(DescriptionChecker, RelationshipNameDefaultsToBothTables) {
    EXPECT_EQ(relationshipName(validDatabase().relationships[0]), "CustomersOrders");
}

}  // namespace
}  // namespace zl::jetwrite::testing
