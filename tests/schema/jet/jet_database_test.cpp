// The engine interface over built databases: listing, fields, indexes, properties, links,
// saved-query rows and lookups.
#include "schema/jet/jet_database.h"

#include <gtest/gtest.h>

#include "schema/jet/header_page.h"
#include "schema/jet/saved_query_reader.h"
#include "test_database.h"

namespace zl::schema::jet {
namespace {

using test::ColumnSpec;
using test::IndexSpec;
using test::PropertyBlob;
using test::TableSpec;
using test::TestDatabase;

std::unique_ptr<JetDatabase> open(const TestDatabase& database) {
    return openJetDatabase(std::make_unique<MemoryPageSource>(database.build()), "/tmp/test.mdb");
}

std::string describe(const std::function<void()>& work) {
    try {
        work();
    } catch (const EngineError& error) {
        return error.description();
    }
    return "<no error>";
}

TableSpec simpleTable(const std::string& name) {
    return TableSpec{name, 0, {{"ID", 0x04}}, {}, {}, false};
}

TEST(JetDatabaseTest, ListsTablesLinksAndQueriesInFoldedNameOrder) {
    TestDatabase builder;
    for (const char* name : {"beta", "Alpha", "alpha", "_under", "Zeta", "[x"}) {
        builder.table(simpleTable(name));
    }
    builder.link({"Linked", 6, "C:\\data\\other.mdb", "", "Remote", 0x200000});
    builder.query({"aQuery", 16, {}});
    auto database = open(builder);
    std::vector<std::string> names;
    for (const TableListRow& row : database->listTables()) {
        names.push_back(row.name);
    }
    // A-Z fold to a-z, so "[" and "_" (between Z and a) sort before the letters.
    const std::vector<std::string> expected{"[x",          "_under", "Alpha",  "alpha",
                                            "aQuery",      "beta",   "Linked", "MSysObjects",
                                            "MSysQueries", "Zeta"};
    EXPECT_EQ(names, expected);
    const std::vector<TableListRow> rows = database->listTables();
    const auto linked =
        std::find_if(rows.begin(), rows.end(), [](auto& r) { return r.name == "Linked"; });
    EXPECT_EQ(linked->tableType, dao::kTableTypeAccessLink);
    EXPECT_EQ(linked->attributes, 0x200000);
    const auto query =
        std::find_if(rows.begin(), rows.end(), [](auto& r) { return r.name == "aQuery"; });
    EXPECT_TRUE(query->isQueryDef());
    EXPECT_EQ(query->attributes, 16);
    const auto system =
        std::find_if(rows.begin(), rows.end(), [](auto& r) { return r.name == "MSysObjects"; });
    EXPECT_TRUE(system->isSystemObject());
}

TEST(JetDatabaseTest, NameAndCollatingOrderComeFromOpenAndHeader) {
    auto database = open(TestDatabase().collatingOrder(1053));
    EXPECT_EQ(database->name(), "/tmp/test.mdb");
    EXPECT_EQ(database->collatingOrder(), 1053);
}

struct FieldCase {
    ColumnSpec column;
    int type;
    std::int32_t size;
    std::int32_t attributes;
};

TEST(JetDatabaseTest, MapsTypesSizesAndAttributes) {
    const std::vector<FieldCase> cases = {
        {{"Bool", 0x01}, 1, 1, 33},
        {{"Counter", 0x04, 0, 0x02 | 0x04}, 4, 4, 17},
        {{"Money", 0x05}, 5, 8, 33},
        {{"Text50", 0x0A, 100}, 10, 50, 34},
        {{"FixedText", 0x0A, 10, 0x02, true}, 10, 5, 33},
        {{"Bin", 0x09, 255}, 9, 255, 34},
        {{"Ole", 0x0B}, 11, 0, 34},
        {{"Link", 0x0C, 0, 0x02 | 0x80}, 12, 0, 32768 + 34},
        {{"ReplicaId", 0x0F, 0, 0x02 | 0x40}, 15, 16, 1},
        {{"Dec", 0x10, 17, 0x02, false}, 20, 16, 34},
        {{"Attach", 0x12, 4, 0x07}, 101, 4, 33},
        {{"Big", 0x13}, 16, 8, 33},
        {{"When", 0x14}, 26, 42, 33},
        {{"Odd", 0x46, 510, 0x02, false}, 326, 510, 34},
    };
    TableSpec table{"Types", 0, {}, {}, {}, false};
    for (const FieldCase& c : cases) {
        table.columns.push_back(c.column);
    }
    auto def = open(TestDatabase().table(table))->tableDef("Types");
    ASSERT_EQ(def->fieldCount(), static_cast<int>(cases.size()));
    for (int i = 0; i < def->fieldCount(); ++i) {
        const Field field = def->field(i);
        const FieldCase& c = cases[static_cast<std::size_t>(i)];
        EXPECT_EQ(field.name, c.column.name);
        EXPECT_EQ(field.type, c.type) << field.name;
        EXPECT_EQ(field.size, c.size) << field.name;
        EXPECT_EQ(field.attributes, c.attributes) << field.name;
    }
}

TEST(JetDatabaseTest, ReadsColumnPropertiesFromTheBlob) {
    const auto blob = PropertyBlob()
                          .text("Description", "the table")
                          .column("Name")
                          .boolean("Required", true)
                          .boolean("AllowZeroLength", true)
                          .text("DefaultValue", "\"none\"")
                          .text("ValidationRule", "Like \"A*\"")
                          .text("ValidationText", "Starts with A, ünïcödé ✓")
                          .column("count")  // lookups ignore case
                          .byteValue("DefaultValue", 7)
                          .build();
    for (const bool ownPage : {false, true}) {
        TableSpec table{"People", 0,    {{"Name", 0x0A}, {"Count", 0x04}, {"Plain", 0x04}},
                        {},       blob, ownPage};
        auto def = open(TestDatabase().table(table))->tableDef("People");
        const Field name = def->field(0);
        EXPECT_TRUE(name.required);
        EXPECT_TRUE(name.allowZeroLength);
        EXPECT_EQ(name.defaultValue, "\"none\"");
        EXPECT_EQ(name.validationRule, "Like \"A*\"");
        EXPECT_EQ(name.validationText, "Starts with A, ünïcödé ✓");
        EXPECT_EQ(def->field(1).defaultValue, "7");
        const Field plain = def->field(2);
        EXPECT_FALSE(plain.required);
        EXPECT_FALSE(plain.allowZeroLength);
        EXPECT_EQ(plain.defaultValue, "");
    }
}

TEST(JetDatabaseTest, CalculatedColumnsShowTheirResultType) {
    const auto blob = PropertyBlob()
                          .column("Monthly")
                          .byteValue("ResultType", 0x05)
                          .column("Label")
                          .byteValue("ResultType", 0x0A)
                          .column("Plain")
                          .byteValue("ResultType", 0)
                          .build();
    TableSpec table{"Pay",
                    0,
                    {{"Monthly", 0x07, 39, 0x02, false, 0xC0},
                     {"Label", 0x0A, 509, 0x02, false, 0xC0},
                     {"Plain", 0x04}},
                    {},
                    blob,
                    false};
    auto def = open(TestDatabase().table(table))->tableDef("Pay");
    EXPECT_EQ(def->field(0).type, dao::kCurrency);
    EXPECT_EQ(def->field(0).size, 8);
    EXPECT_EQ(def->field(0).attributes, dao::kVariableField | dao::kUpdatableField);
    EXPECT_EQ(def->field(1).type, dao::kText);
    EXPECT_EQ(def->field(1).size, 243);  // 509 stored bytes less the 23-byte prefix, in characters
    EXPECT_EQ(def->field(2).type, dao::kLong);  // not calculated: ResultType 0 is ignored
}

TEST(JetDatabaseTest, IndexesFollowLogicalNumbersAndTheirPhysicalIndex) {
    TableSpec table{
        "Orders",
        0,
        {{"ID", 0x04}, {"Customer", 0x0A}, {"Placed", 0x08, 0, 0x02, std::nullopt, 0, 3}},
        {
            {"ByCustomer", {{"Customer", true}, {"Placed", false}}, 0x02, 0, 2},
            {"PrimaryKey", {{"ID", true}}, 0x01 | 0x08, 1, 0},
            {".rC", {}, 0, 2, 1, 1},
        },
        {},
        false};
    auto def = open(TestDatabase().table(table))->tableDef("Orders");
    ASSERT_EQ(def->indexCount(), 3);
    const Index primary = def->index(0);
    EXPECT_EQ(primary.name, "PrimaryKey");
    EXPECT_EQ(primary.fields, "+ID");
    EXPECT_TRUE(primary.primary && primary.unique && primary.required);
    EXPECT_FALSE(primary.foreign || primary.ignoreNulls);
    const Index foreign = def->index(1);
    EXPECT_EQ(foreign.name, ".rC");
    EXPECT_EQ(foreign.fields, "+ID");  // shares the primary key's physical index
    EXPECT_TRUE(foreign.foreign && foreign.unique && foreign.required);
    EXPECT_FALSE(foreign.primary);
    const Index byCustomer = def->index(2);
    EXPECT_EQ(byCustomer.fields, "+Customer;-Placed");  // key columns found by number
    EXPECT_TRUE(byCustomer.ignoreNulls);
    EXPECT_FALSE(byCustomer.unique);
}

TEST(JetDatabaseTest, ReadsDefinitionsSpanningSeveralPages) {
    TableSpec wide{"Wide", 0, {}, {}, {}, false};
    for (int i = 0; i < 200; ++i) {
        wide.columns.push_back(
            {"a_rather_long_column_name_for_testing_" + std::to_string(i), 0x0A});
    }
    wide.indexes.push_back({"Last", {{wide.columns.back().name, true}}, 0, 0, 0});
    TestDatabase builder;
    builder.table(wide).table(simpleTable("After"));
    ASSERT_GT(builder.tablePage(1), builder.tablePage(0) + 2);  // three or more pages
    auto database = open(builder);
    auto def = database->tableDef("Wide");
    ASSERT_EQ(def->fieldCount(), 200);
    EXPECT_EQ(def->field(199).name, wide.columns.back().name);
    EXPECT_EQ(def->index(0).fields, "+" + wide.columns.back().name);
    EXPECT_EQ(database->tableDef("After")->field(0).name, "ID");
}

TEST(JetDatabaseTest, LookupIgnoresCaseAndRejectsTheWrongKind) {
    TestDatabase builder;
    builder.table(simpleTable("Customers")).query({"Recent", 0, {}});
    auto database = open(builder);
    EXPECT_EQ(database->tableDef("CUSTOMERS")->field(0).name, "ID");
    EXPECT_NE(describe([&] { database->tableDef("Nobody"); }).find("no table named \"Nobody\""),
              std::string::npos);
    EXPECT_NE(describe([&] { database->tableDef("Recent"); }).find("saved query, not a table"),
              std::string::npos);
    EXPECT_NE(describe([&] { database->openQueryDef("Customers"); }).find("not a saved query"),
              std::string::npos);
    auto def = database->tableDef("Customers");
    EXPECT_NE(describe([&] { def->field(1); }).find("not found"), std::string::npos);
    EXPECT_NE(describe([&] { def->index(-1); }).find("not found"), std::string::npos);
}

TEST(JetDatabaseTest, LinkedTablesNameTheirTargetWithoutPasswords) {
    TestDatabase builder;
    builder.link({"Access", 6, "Z:\\share\\linkee.accdb", "", "Table1"});
    builder.link({"Server", 4, "", "ODBC;DSN=Sales;UID=sa;Pwd=secret;APP=x", "dbo.Orders"});
    auto database = open(builder);
    const std::string access = describe([&] { database->tableDef("Access"); });
    EXPECT_NE(access.find("Z:\\share\\linkee.accdb"), std::string::npos) << access;
    EXPECT_NE(access.find("\"Table1\""), std::string::npos) << access;
    const std::string odbc = describe([&] { database->tableDef("Server"); });
    EXPECT_NE(odbc.find("dbo.Orders"), std::string::npos) << odbc;
    EXPECT_NE(odbc.find("DSN=Sales"), std::string::npos) << odbc;
    EXPECT_EQ(odbc.find("secret"), std::string::npos) << odbc;
}

TEST(JetDatabaseTest, ReadsTheSavedQueryRowsOfOneQuery) {
    TestDatabase builder;
    builder.query({"First",
                   0,
                   {{1, std::nullopt, 0, std::nullopt, std::nullopt, {}},
                    {5, std::nullopt, 0, "Orders", std::nullopt, {}}}});
    builder.query(
        {"Second",
         0,
         {{1, std::nullopt, 0, std::nullopt, std::nullopt, {}},
          {6, "Orders.*", 0, std::nullopt, std::nullopt, {}},
          {11, "Amount DESC", 0, std::nullopt, std::nullopt, test::ByteVector{std::byte{7}}, 30}}});
    const test::ByteVector bytes = builder.build();
    const Result<HeaderInfo> header = parseHeader(bytes, bytes.size());
    ASSERT_TRUE(header.ok());
    const JetFormat& format = formatFor(header->version);
    PageReader reader(std::make_unique<MemoryPageSource>(bytes), format.pageSize,
                      header->pageCount);
    const TextDecoder text(header->version, header->codePage);
    // The second query is the second object after the link range (ids start at 0x80000010).
    const auto secondId = static_cast<std::int32_t>(0x80000011u);
    const Result<SavedQueryRows> all = readSavedQueryRows(reader, format, text, test::kQueriesPage);
    ASSERT_TRUE(all.ok()) << all.error().message;
    EXPECT_EQ(all->size(), 2u);
    Result<std::vector<QueryRow>> rows = rowsOfQuery(*all, secondId);
    ASSERT_TRUE(rows.ok()) << rows.error().message;
    ASSERT_EQ(rows->size(), 3u);
    EXPECT_EQ((*rows)[1].attribute, 6);
    EXPECT_EQ((*rows)[1].expression, "Orders.*");
    EXPECT_EQ((*rows)[1].objectId, secondId);
    EXPECT_FALSE((*rows)[0].name1.has_value());
    EXPECT_EQ((*rows)[2].order, std::vector<std::uint8_t>{7});
    EXPECT_EQ((*rows)[2].extra, 30);
    EXPECT_FALSE((*rows)[1].extra.has_value());
}

TEST(JetDatabaseTest, ADamagedSavedQueryRowFailsOnlyItsOwnQuery) {
    QueryRow good;
    good.attribute = 1;
    SavedQueryRows rows;
    rows[1].emplace_back(good);
    rows[2].emplace_back(good);
    rows[2].emplace_back(
        Error{ErrorKind::Corrupt, "page 6 +0x10: long value kind 0xC0 is unknown"});
    const Result<std::vector<QueryRow>> first = rowsOfQuery(rows, 1);
    ASSERT_TRUE(first.ok());
    EXPECT_EQ(first->size(), 1u);
    const Result<std::vector<QueryRow>> second = rowsOfQuery(rows, 2);
    ASSERT_FALSE(second.ok());
    EXPECT_EQ(second.error().message, "page 6 +0x10: long value kind 0xC0 is unknown");
    EXPECT_TRUE(rowsOfQuery(rows, 3)->empty());
}

TEST(JetDatabaseTest, ClosedDatabaseRefusesWorkButKeepsItsCounters) {
    TestDatabase builder;
    builder.table(simpleTable("T"));
    auto database = open(builder);
    (void)database->tableDef("T");
    const std::uint64_t read = database->readStats().pagesRead;
    EXPECT_GE(read, 4u);
    database->close();
    database->close();
    EXPECT_EQ(database->readStats().pagesRead, read);
    EXPECT_NE(describe([&] { database->listTables(); }).find("closed"), std::string::npos);
    EXPECT_NE(describe([&] { database->tableDef("T"); }).find("closed"), std::string::npos);
}

}  // namespace
}  // namespace zl::schema::jet
