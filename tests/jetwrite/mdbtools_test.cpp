// The independent check: Debian's mdbtools reads the writer's files with the same tables,
// columns, types and sizes, rows, properties, queries, indexes and relationships. Skips where
// mdbtools is not installed.
#include "jetwrite/mdbtools.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "common/temporary_folder.h"
#include "description_json.h"
#include "jetwrite/edge_databases.h"

namespace zl::jetwrite::testing {
namespace {

using zl::testing::TemporaryFolder;

// The type text of mdb-schema's "access" backend for `field`.
std::string mdbType(const FieldDescription& field) {
    switch (field.type) {
        case FieldType::Boolean:
            return "Boolean";
        case FieldType::Byte:
            return "Byte";
        case FieldType::Integer:
            return "Integer";
        case FieldType::Long:
            return "Long Integer";
        case FieldType::Currency:
            return "Currency";
        case FieldType::Single:
            return "Single";
        case FieldType::Double:
            return "Double";
        case FieldType::Date:
            return "DateTime";
        case FieldType::Binary:
            return "Binary";
        case FieldType::Text:
            return "Text (" + std::to_string(field.size > 0 ? field.size : 50) + ")";
        case FieldType::LongBinary:
            return "OLE (255)";
        case FieldType::Memo:
            return "Memo/Hyperlink (255)";
        case FieldType::Guid:
            return "Replication ID";
        case FieldType::Decimal:
            return "Numeric (" + std::to_string(field.precision) + ", " +
                   std::to_string(field.scale) + ")";
        case FieldType::BigInt:
        case FieldType::DateTimeExtended:
            break;  // types that mdb-schema does not name
    }
    return "?";
}

std::vector<std::string> sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

class MdbtoolsCheck : public ::testing::Test {
protected:
    void SetUp() override {
        if (!mdbtoolsInstalled()) GTEST_SKIP() << "mdbtools is not installed";
    }

    // Writes `database` and checks what every mdbtools program reports for it.
    void expectReadable(const DatabaseDescription& database) {
        const std::filesystem::path path = m_folder.path() / "checked.mdb";
        writeDatabase(database, path);
        EXPECT_EQ(runMdbTool("mdb-ver", {path.string()}), "JET4\n");
        // mdbtools leaves tables with the system flag out unless asked for system tables.
        std::vector<std::string> userTables;
        std::vector<std::string> allTables{"MSysObjects", "MSysACEs", "MSysQueries",
                                           "MSysRelationships"};
        for (const TableDescription& table : database.tables) {
            if (!table.system) userTables.push_back(table.name);
            allTables.push_back(table.name);
        }
        EXPECT_EQ(lines(runMdbTool("mdb-tables", {"-1", path.string()})), userTables);
        EXPECT_EQ(lines(runMdbTool("mdb-tables", {"-1", "-S", path.string()})), allTables);
        for (const TableDescription& table : database.tables) expectColumns(path, table);
        std::vector<std::string> queryNames;
        for (const QueryDescription& query : database.queries) queryNames.push_back(query.name);
        EXPECT_EQ(sorted(lines(runMdbTool("mdb-queries", {"-1", path.string()}))),
                  sorted(queryNames));
    }

    void expectColumns(const std::filesystem::path& path, const TableDescription& table) {
        SCOPED_TRACE("table " + table.name);
        const std::vector<MdbColumn> columns = mdbSchemaColumns(path, table.name);
        std::vector<std::string> got;
        std::vector<std::string> expected;
        for (const MdbColumn& column : columns) got.push_back(column.name + " " + column.type);
        for (const FieldDescription& field : table.fields)
            expected.push_back(field.name + " " + mdbType(field));
        // mdbtools orders columns by the low byte of the column number, so past 256 columns
        // only the set of columns can be compared.
        if (table.fields.size() > 256) {
            got = sorted(got);
            expected = sorted(expected);
        }
        EXPECT_EQ(got, expected);
    }

    TemporaryFolder m_folder;
};

TEST_F(MdbtoolsCheck, ReadsEveryEdgeDatabase) {
    for (const EdgeDatabase& db : allEdgeDatabases()) {
        SCOPED_TRACE(db.name);
        expectReadable(db.description);
    }
}

TEST_F(MdbtoolsCheck, ReadsTheSampleDatabase) {
    expectReadable(readDescriptionFile("samples/orders.json"));
}

TEST_F(MdbtoolsCheck, ExportsEveryValueOfEveryType) {
    const std::filesystem::path path = writeEdgeDatabase(fieldTypesDatabase(), m_folder.path());
    const std::vector<std::string> exported =
        lines(runMdbTool("mdb-export", {"-b", "hex", "-D", "%Y-%m-%d", "-T", "%Y-%m-%d %H:%M:%S",
                                        path.string(), "AllTypes"}));
    ASSERT_EQ(exported.size(), 3u);
    EXPECT_EQ(exported[0],
              "Counter,Flag,Tiny,Small,Number,Money,Real,Precise,Moment,Raw,Label,Code,Blob,Notes,"
              "Link,Key,Exact,RawFixed");
    const std::string expectedStart =
        "1,1,200,-1234,123456789,1234.5678,1.5,2.25,\"2024-02-29 "
        "13:45:30\",\"DEADBEEF\",\"Grüße\",\"AB   \",\"5A5A";
    EXPECT_EQ(exported[1].substr(0, expectedStart.size()), expectedStart);
    EXPECT_NE(exported[1].find(",\"#http://example.com#\","), std::string::npos);
    EXPECT_NE(exported[1].find(",-123456.789,"), std::string::npos);
    EXPECT_NE(exported[1].find("\"" + std::string(5000, 'm') + "\""), std::string::npos)
        << "memo on LVAL pages";
    // The second row is all NULL but for the AutoNumber and the Boolean (False).
    EXPECT_EQ(exported[2], "2,0,,,,,,,,,,,,,,,,");
}

TEST_F(MdbtoolsCheck, ReadsColumnProperties) {
    const std::filesystem::path path = writeEdgeDatabase(fieldTypesDatabase(), m_folder.path());
    const std::string properties = runMdbTool("mdb-prop", {path.string(), "AllTypes"});
    for (const char* expected :
         {"\tDefaultValue: \"unnamed\"\n", "\tValidationRule: Len([Label]) > 0\n",
          "\tValidationText: A label cannot be empty.\n", "\tAllowZeroLength: yes\n",
          "\tDefaultValue: Now()\n", "\tRequired: yes\n"}) {
        EXPECT_NE(properties.find(expected), std::string::npos) << expected;
    }
}

TEST_F(MdbtoolsCheck, ReadsIndexesAndRelationships) {
    const DatabaseDescription sample = readDescriptionFile("samples/orders.json");
    const std::filesystem::path path = m_folder.path() / "orders.mdb";
    writeDatabase(sample, path);
    const std::string schema =
        runMdbTool("mdb-schema", {"--indexes", "--relations", path.string(), "postgres"});
    std::size_t enforced = 0;
    for (const RelationshipDescription& relationship : sample.relationships)
        enforced += relationship.enforce ? 1 : 0;
    std::size_t foreignKeys = 0;
    for (const std::string& line : lines(schema))
        foreignKeys += line.find("FOREIGN KEY") != std::string::npos ? 1 : 0;
    EXPECT_EQ(foreignKeys, enforced);
    for (const char* expected :
         {"PRIMARY KEY (\"orderid\", \"productid\")", "ON \"employees\" (\"hiredate\" DESC)",
          "CREATE UNIQUE INDEX \"order archive_orderid_idx\"",
          "REFERENCES \"Orders\"(\"orderid\") ON DELETE CASCADE",
          "REFERENCES \"Shippers\"(\"shipperid\") ON UPDATE CASCADE"}) {
        EXPECT_NE(schema.find(expected), std::string::npos) << expected;
    }
}

TEST_F(MdbtoolsCheck, ReadsSixtyIndexes) {
    const std::filesystem::path path = writeEdgeDatabase(manyIndexesDatabase(), m_folder.path());
    const std::string schema = runMdbTool("mdb-schema", {"--indexes", path.string(), "postgres"});
    std::set<std::string> named;
    for (const std::string& line : lines(schema)) {
        const std::size_t at = line.find("\"indexed_index");
        if (at != std::string::npos) named.insert(line.substr(at, 17));
        if (line.find("PRIMARY KEY (\"col01\")") != std::string::npos) named.insert("primary");
    }
    EXPECT_EQ(named.size(), 60u);
}

TEST_F(MdbtoolsCheck, ExportsATableWiderThanAnInlinePageMap) {
    // 30,000 rows of about 100 bytes fill some 750 data pages: more than an inline usage map
    // covers, so the table's page map refers to bitmap pages.
    DatabaseDescription database;
    TableDescription numbers =
        table("Numbers", {field("N", FieldType::Long), field("Square", FieldType::Double),
                          field("Label", FieldType::Text, 60)});
    numbers.indexes = {index("PrimaryKey", {"N"}, true)};
    numbers.generatedRows = RowGenerator{
        30000, [](std::size_t i) {
            return std::vector<Value>{
                static_cast<std::int64_t>(i), static_cast<double>(i) * static_cast<double>(i),
                "Row number " + std::to_string(i) + " of the generated table"};
        }};
    database.tables = {numbers};
    const std::filesystem::path path = m_folder.path() / "numbers.mdb";
    writeDatabase(database, path);
    ASSERT_GT(std::filesystem::file_size(path) / 4096, 600u);
    const std::vector<std::string> exported =
        lines(runMdbTool("mdb-export", {path.string(), "Numbers"}));
    ASSERT_EQ(exported.size(), 30001u);
    EXPECT_EQ(exported[1], "0,0,\"Row number 0 of the generated table\"");
    EXPECT_EQ(exported.back(), "29999,899940001,\"Row number 29999 of the generated table\"");
}

}  // namespace
}  // namespace zl::jetwrite::testing
