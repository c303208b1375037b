// Every database the writer makes reads back through the project's own engine exactly as
// described: listing, fields with every DAO property, indexes, and QueryDef SQL.
#include <gtest/gtest.h>

#include <set>

#include "common/temporary_folder.h"
#include "description_json.h"
#include "jetwrite/edge_databases.h"
#include "jetwrite/expected_dao.h"
#include "jetwrite/reader_edge_databases.h"
#include "schema/jet/jet_engine.h"

namespace zl::jetwrite::testing {
namespace {

using zl::testing::TemporaryFolder;

std::string describe(const schema::Field& f) {
    return f.name + " type " + std::to_string(f.type) + " size " + std::to_string(f.size) +
           " attributes " + std::to_string(f.attributes) + " required " +
           std::to_string(f.required) + " allowZeroLength " + std::to_string(f.allowZeroLength) +
           " default [" + f.defaultValue + "] rule [" + f.validationRule + "] text [" +
           f.validationText + "] description [" + f.description + "] precision " +
           (f.precision ? std::to_string(*f.precision) : "-") + " scale " +
           (f.scale ? std::to_string(*f.scale) : "-");
}

std::string describe(const schema::Relation& r) {
    std::string text = r.name + ": " + r.table + " -> " + r.foreignTable + " attributes " +
                       std::to_string(r.attributes) + " fields";
    for (const schema::RelationField& f : r.fields) text += " " + f.name + "=" + f.foreignName;
    return text;
}

std::string describe(const schema::Index& i) {
    return i.name + " " + i.fields + " primary " + std::to_string(i.primary) + " unique " +
           std::to_string(i.unique) + " foreign " + std::to_string(i.foreign) + " required " +
           std::to_string(i.required) + " ignoreNulls " + std::to_string(i.ignoreNulls);
}

std::string describe(const schema::TableListRow& r) {
    return r.name + " " + std::to_string(r.tableType) + " " + std::to_string(r.attributes);
}

void expectTable(const schema::Database& opened, const DatabaseDescription& database,
                 std::size_t position) {
    const TableDescription& table = database.tables[position];
    SCOPED_TRACE("table " + table.name);
    const std::unique_ptr<schema::TableDef> def = opened.tableDef(table.name);
    EXPECT_EQ(def->description(), table.description.value_or(""));
    EXPECT_EQ(def->validationRule(), table.validationRule.value_or(""));
    EXPECT_EQ(def->validationText(), table.validationText.value_or(""));
    const std::vector<schema::Field> fields = expectedFields(table);
    ASSERT_EQ(def->fieldCount(), static_cast<int>(fields.size()));
    for (std::size_t i = 0; i < fields.size(); ++i) {
        EXPECT_EQ(describe(def->field(static_cast<int>(i))), describe(fields[i]));
    }
    const std::vector<schema::Index> indexes = expectedIndexes(database, position);
    ASSERT_EQ(def->indexCount(), static_cast<int>(indexes.size()));
    for (std::size_t i = 0; i < indexes.size(); ++i) {
        EXPECT_EQ(describe(def->index(static_cast<int>(i))), describe(indexes[i]));
    }
}

// Opening each of `damaged` fails with a message naming it; everything else reads as described.
void expectDatabase(const std::filesystem::path& path, const DatabaseDescription& database,
                    const std::map<std::string, std::string>& expectedSql,
                    const std::set<std::string>& damaged = {}) {
    schema::jet::JetEngine engine;
    const std::unique_ptr<schema::Database> opened = engine.openDatabase(path.string());
    EXPECT_EQ(opened->collatingOrder(), database.collatingOrder);
    const std::vector<schema::TableListRow> listing = opened->listTables();
    const std::vector<schema::TableListRow> expected = expectedListing(database);
    ASSERT_EQ(listing.size(), expected.size());
    for (std::size_t i = 0; i < listing.size(); ++i)
        EXPECT_EQ(describe(listing[i]), describe(expected[i]));
    for (std::size_t i = 0; i < database.tables.size(); ++i) expectTable(*opened, database, i);
    for (const auto& [name, sql] : expectedSql) {
        EXPECT_EQ(opened->openQueryDef(name)->sql(), sql) << "QueryDef " << name;
    }
    for (const QueryDescription& query : database.queries) {
        if (damaged.count(query.name) != 0) {
            try {
                (void)opened->openQueryDef(query.name);
                ADD_FAILURE() << "damaged QueryDef " << query.name << " opened";
            } catch (const schema::EngineError& error) {
                EXPECT_NE(error.description().find("\"" + query.name + "\" is damaged"),
                          std::string::npos)
                    << error.description();
                EXPECT_NE(error.description().find("page "), std::string::npos)
                    << error.description();
            }
            continue;
        }
        EXPECT_EQ(opened->openQueryDef(query.name)->type(), expectedQueryType(query))
            << "QueryDef " << query.name;
    }
    const std::vector<schema::Relation> relations = opened->relations();
    const std::vector<schema::Relation> expectedRelationList = expectedRelations(database);
    ASSERT_EQ(relations.size(), expectedRelationList.size());
    for (std::size_t i = 0; i < relations.size(); ++i) {
        EXPECT_EQ(describe(relations[i]), describe(expectedRelationList[i]));
    }
}

class EdgeDatabaseRoundTrip : public ::testing::TestWithParam<std::string> {};

EdgeDatabase edgeDatabaseNamed(const std::string& name) {
    for (EdgeDatabase& db : allEdgeDatabases()) {
        if (db.name == name) return db;
    }
    throw std::logic_error("no edge database " + name);
}

TEST_P(EdgeDatabaseRoundTrip, ReadsBackAsDescribed) {
    TemporaryFolder folder;
    const EdgeDatabase db = edgeDatabaseNamed(GetParam());
    expectDatabase(writeEdgeDatabase(db, folder.path()), db.description, db.expectedSql);
}

INSTANTIATE_TEST_SUITE_P(All, EdgeDatabaseRoundTrip,
                         ::testing::Values("many_entries", "wide_tables", "many_indexes",
                                           "field_types", "awkward_names", "long_query",
                                           "empty_queries", "empty_line_queries",
                                           "hidden_and_system"));

TEST(ReaderEdgeDatabases, EveryRelationAttributeCombinationReadsBack) {
    TemporaryFolder folder;
    const EdgeDatabase db = relationsDatabase();
    expectDatabase(writeEdgeDatabase(db, folder.path()), db.description, db.expectedSql);
}

TEST(ReaderEdgeDatabases, DocumentedTablesBareQueriesAndDamagedQueriesBesideThem) {
    TemporaryFolder folder;
    const DamagedEdgeDatabase db = documentedDatabase();
    expectDatabase(writeEdgeDatabase(db.database, folder.path()), db.database.description,
                   db.database.expectedSql, db.damagedQueries);
}

TEST(SampleDatabase, ReadsBackAsDescribed) {
    TemporaryFolder folder;
    const DatabaseDescription sample = readDescriptionFile("samples/orders.json");
    writeDatabase(sample, folder.path() / "orders.mdb");
    const std::map<std::string, std::string> sql = {
        {"Customer Orders",
         "SELECT Customers.CompanyName, Orders.OrderID, Orders.OrderDate, Orders.Freight\r\n"
         "FROM Customers INNER JOIN Orders ON Customers.CustomerID = Orders.CustomerID\r\n"
         "ORDER BY Customers.CompanyName, Orders.OrderDate DESC;\r\n"},
        {"Ten Most Expensive Products",
         "SELECT DISTINCT TOP 10 Products.ProductName, Products.UnitPrice\r\nFROM Products\r\n"
         "WHERE Products.Discontinued = No\r\nORDER BY Products.UnitPrice DESC;\r\n"},
        {"Customer and Supplier Countries",
         "SELECT Country, CompanyName FROM Customers\r\nUNION SELECT Country, CompanyName FROM "
         "Suppliers\r\n"
         "ORDER BY Country;\r\n"},
        {"Raise Prices",
         "PARAMETERS Percent IEEEDouble;\r\nUPDATE Products\r\nSET Products.UnitPrice = "
         "[UnitPrice]*(1+[Percent]/100)\r\n"
         "WHERE Products.Discontinued = No;\r\n"},
        {"Delete Discontinued Products",
         "DELETE Products.*\r\nFROM Products\r\nWHERE Products.Discontinued = Yes;\r\n"},
        {"Make Customer Phone List",
         "SELECT Customers.CompanyName, Customers.Phone INTO [Customer Phone List]\r\nFROM "
         "Customers\r\n"
         "WHERE Customers.IsActive = Yes;\r\n"},
        {"Server Stock Levels",
         "SELECT product_id, on_hand FROM stock_levels WHERE on_hand < reorder_level\r\n"},
        {"Add Country Index", "CREATE INDEX Country ON Customers (Country)\r\n"},
        {"Archive Shipped Orders",
         "INSERT INTO [Order Archive] (OrderID, CustomerID, OrderDate, ShipCountry, Freight)\r\n"
         "SELECT Orders.OrderID, Orders.CustomerID, Orders.OrderDate, Orders.ShipCountry, "
         "Orders.Freight\r\n"
         "FROM Orders\r\nWHERE Orders.ShippedDate Is Not Null;\r\n"},
        {"Sales by Category",
         "SELECT Categories.CategoryName, Sum([Order Details].UnitPrice*[Order "
         "Details].Quantity*(1-[Order "
         "Details].Discount)) AS Sales\r\n"
         "FROM (Categories INNER JOIN Products ON Categories.CategoryID = Products.CategoryID) "
         "INNER JOIN "
         "[Order Details] ON Products.ProductID = [Order Details].ProductID\r\n"
         "GROUP BY Categories.CategoryName\r\nHAVING Sum([Order Details].Quantity) > 5\r\n"
         "ORDER BY Sum([Order Details].UnitPrice*[Order Details].Quantity*(1-[Order "
         "Details].Discount)) DESC;\r\n"},
        {"Quantities by Product and Month",
         "TRANSFORM Sum([Order Details].Quantity) AS SumOfQuantity\r\nSELECT "
         "Products.ProductName\r\n"
         "FROM Orders INNER JOIN (Products INNER JOIN [Order Details] ON Products.ProductID = "
         "[Order "
         "Details].ProductID) ON Orders.OrderID = [Order Details].OrderID\r\n"
         "GROUP BY Products.ProductName\r\nPIVOT Format([OrderDate],\"mmm\");\r\n"},
        {"Products Below Reorder Level",
         "SELECT Products.ProductName, Products.UnitsInStock, Products.ReorderLevel\r\nFROM "
         "Products\r\n"
         "WHERE Products.UnitsInStock < Products.ReorderLevel;\r\n"},
    };
    expectDatabase(folder.path() / "orders.mdb", sample, sql);
}

}  // namespace
}  // namespace zl::jetwrite::testing
