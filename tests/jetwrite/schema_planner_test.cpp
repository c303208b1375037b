// Logical indexes share a physical index when Jet would: same key and flags, and the
// foreign-key indexes of relationships.
#include "jetwrite/schema_planner.h"

#include <gtest/gtest.h>

#include "jetwrite/edge_databases.h"

namespace zl::jetwrite::testing {
namespace {

DatabaseDescription customersAndOrders() {
    DatabaseDescription database;
    TableDescription customers =
        table("Customers", {field("ID", FieldType::Long), field("Name", FieldType::Text, 40)});
    customers.indexes = {index("PrimaryKey", {"ID"}, true), index("ID", {"ID"}),
                         index("SameAsID", {"ID"}), index("NameDesc", {"-Name"})};
    TableDescription orders =
        table("Orders", {field("OrderID", FieldType::Long), field("CustomerID", FieldType::Long)});
    orders.indexes = {index("PrimaryKey", {"OrderID"}, true), index("CustomerID", {"CustomerID"})};
    database.tables = {customers, orders};
    RelationshipDescription relationship;
    relationship.primaryTable = "Customers";
    relationship.foreignTable = "Orders";
    relationship.fields = {{"ID", "CustomerID"}};
    relationship.cascadeDeletes = true;
    database.relationships = {relationship};
    return database;
}

TEST(SchemaPlanner, IdenticalIndexesShareOnePhysicalIndex) {
    const std::vector<TableSchema> schemas = planSchemas(customersAndOrders());
    const TableSchema& customers = schemas[0];
    ASSERT_EQ(customers.logicalIndexes.size(), 5u);
    EXPECT_EQ(customers.physicalIndexes.size(), 3u) << "primary key, plain ID, Name descending";
    EXPECT_EQ(customers.logicalIndexes[1].physical, customers.logicalIndexes[2].physical);
    EXPECT_NE(customers.logicalIndexes[0].physical, customers.logicalIndexes[1].physical)
        << "unique differs";
    EXPECT_FALSE(
        customers.physicalIndexes[customers.logicalIndexes[3].physical].columns[0].ascending);
}

TEST(SchemaPlanner, RelationshipIndexesShareTheKeysTheyUse) {
    const std::vector<TableSchema> schemas = planSchemas(customersAndOrders());
    const LogicalIndexLayout& one = schemas[0].logicalIndexes.back();
    EXPECT_EQ(one.name, ".rC");
    EXPECT_EQ(one.kind, jet::kIndexKindForeign);
    EXPECT_EQ(one.physical, schemas[0].logicalIndexes[0].physical) << "shares the primary key";
    EXPECT_TRUE(one.reference.thisIsPrimarySide);
    EXPECT_EQ(one.reference.otherTable, 1u);
    EXPECT_EQ(one.reference.otherIndex, 2u);
    EXPECT_TRUE(one.reference.cascadeDeletes);
    const LogicalIndexLayout& many = schemas[1].logicalIndexes.back();
    EXPECT_EQ(many.name, "CustomersOrders");
    EXPECT_EQ(many.physical, schemas[1].logicalIndexes[1].physical)
        << "shares the plain CustomerID index";
    EXPECT_EQ(schemas[1].physicalIndexes.size(), 2u);
    EXPECT_FALSE(many.reference.thisIsPrimarySide);
    EXPECT_EQ(many.reference.otherIndex, 4u);
}

TEST(SchemaPlanner, OneSideIndexNamesFollowAccess) {
    EXPECT_EQ(primarySideIndexName(0), ".rC");
    EXPECT_EQ(primarySideIndexName(23), ".rZ");
    EXPECT_EQ(primarySideIndexName(24), ".ra");
    EXPECT_EQ(primarySideIndexName(49), ".rz");
    EXPECT_EQ(primarySideIndexName(50), ".rz1");
}

TEST(SchemaPlanner, FieldsBecomeColumnsOfTheirSize) {
    FieldDescription text = field("T", FieldType::Text, 30);
    EXPECT_EQ(columnForField(text).length, 60u) << "two bytes per character";
    EXPECT_FALSE(columnForField(text).fixed);
    text.fixedLength = true;
    EXPECT_TRUE(columnForField(text).fixed);
    EXPECT_EQ(columnForField(field("B", FieldType::Binary)).length, 50u) << "default size";
    EXPECT_EQ(columnForField(field("D", FieldType::Decimal)).length, 17u);
    EXPECT_EQ(columnForField(field("M", FieldType::Memo)).length, 0u);
}

}  // namespace
}  // namespace zl::jetwrite::testing
