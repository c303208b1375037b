// The function of one table or QueryDef: its edge cases and what an engine failure leaves (whole
// functions are compared byte for byte with an independent rendering by render_cross_check).
#include "vbgen/entry_procedure.h"

#include <gtest/gtest.h>

#include "common/memory_engine.h"
#include "schema/schema_model.h"
#include "support/text.h"

namespace {

using zl::schema::EngineError;
using zl::schema::SchemaModel;
using zl::vbgen::ModuleOptions;
namespace dao = zl::schema::dao;
namespace zt = zl::testing;

std::string crlf(std::string_view text) { return zl::support::ReplaceAll(text, "\n", "\r\n"); }

using zt::modelFor;

// The function of entry 0; `error` receives the engine error that ended it, if any.
std::string function(const zt::MemoryDatabaseContent& content, const SchemaModel& model,
                     const ModuleOptions& options = {}, std::string* error = nullptr) {
    auto db = zt::openMemoryDatabase(content);
    std::string out;
    try {
        zl::vbgen::WriteEntryProcedure(out, model, *db, 0, options);
    } catch (const EngineError& e) {
        if (error) *error = e.what();
    }
    return out;
}

std::string function(const zt::MemoryDatabaseContent& content, const ModuleOptions& options = {}) {
    return function(content, modelFor(content), options);
}

zt::MemoryTable ordersTable() {
    zl::schema::Field id = zt::longField("ID", true);
    id.required = true;
    zl::schema::Field customer = zt::textField("Customer", 50);
    customer.allowZeroLength = true;
    customer.defaultValue = "\"none\"";
    customer.validationRule = "Like \"[A-Z]*\"";
    customer.validationText = "Too large";
    zl::schema::Index foreign = zt::index("CustomersOrders", "+Customer");
    foreign.foreign = true;
    return {"Orders",
            {id, customer, zt::typedField("Amount", dao::kCurrency, 8)},
            {zt::index("PrimaryKey", "+ID", true, true), foreign,
             zt::index("Customer", "-Customer;+Amount")}};
}

TEST(EntryProcedureTest, EmptyQueryDefSqlGivesOneBlankLiteral) {
    zt::MemoryDatabaseContent content;
    content.query("Q", "");
    EXPECT_NE(function(content).find(crlf("Dim SQL As String\n\nSQL = \" \"\n\nAddQueryDef db, ")),
              std::string::npos);
}

TEST(EntryProcedureTest, NothingIncludedLeavesThreeBlankLines) {
    zt::MemoryDatabaseContent content;
    content.table(ordersTable());
    SchemaModel model = modelFor(content);
    for (int j = 0; j < 3; ++j) model.StoreFieldSelection(0, j, false);
    for (int k = 0; k < 3; ++k) model.StoreIndexSelection(0, k, false);
    EXPECT_NE(
        function(content, model).find(crlf("td.Name = \"Orders\"\n\n\n\ndb.TableDefs.Append td\n")),
        std::string::npos);
}

// What an engine failure leaves of the function: everything up to the failing read, and not
// one line of the field or index being read.
TEST(EntryProcedureTest, FailureEndsTheFunctionWhereItHappens) {
    const std::string heading = crlf(
        "' Creates a table called 'Orders'\n"
        "Private Function CTable_Orders (db as Database) As Integer\n"
        "\n"
        "On Error Goto CTable_Orders_Error\n");
    const std::string tableStart =
        heading + crlf("Dim td as New TableDef\ntd.Name = \"Orders\"\n\n");
    const std::string idLine = crlf("AddField td, \"ID\", dbCounter, 4, True, False, , , \"\"\n");
    const std::string customerLine = crlf(
        "AddField td, \"Customer\", dbText, 50, False, True, \"\"\"none\"\"\", "
        "\"Like \"\"[A-Z]*\"\"\", \"Too large\"\n");
    const std::string amountLine =
        crlf("AddField td, \"Amount\", dbCurrency, 8, False, False, , , \"\"\n");
    const std::string fields = idLine + customerLine + amountLine + "\r\n";
    struct Case {
        zt::Op op;
        int position;
        std::string expected;
    };
    const Case cases[] = {
        {zt::Op::TableDef, -1, tableStart},
        {zt::Op::FieldCount, -1, tableStart},
        {zt::Op::Field, 1, tableStart + idLine},
        {zt::Op::IndexCount, -1, tableStart + fields},
        {zt::Op::Index, 2,
         tableStart + fields +
             crlf("AddIndex td, \"PrimaryKey\", \"+ID\", idxPrimary, idxUnique\n"
                  "' Foreign key CustomersOrders [+Customer] not generated\n")},
    };
    for (const Case& c : cases) {
        zt::MemoryDatabaseContent content;
        content.table(ordersTable());
        content.fail(c.op, "Orders", c.position, "Unreadable");
        std::string error;
        EXPECT_EQ(function(content, modelFor(content), ModuleOptions{}, &error), c.expected)
            << static_cast<int>(c.op);
        EXPECT_EQ(error, "Unreadable");
    }

    zt::MemoryDatabaseContent content;
    content.query("Q", "SELECT 1;\r\n");
    content.fail(zt::Op::OpenQueryDef, "Q");
    std::string error;
    EXPECT_EQ(function(content, modelFor(content), ModuleOptions{}, &error),
              crlf("' Creates a QueryDef called 'Q'\n"
                   "Private Function CQuery_Q (db as Database) As Integer\n"
                   "\n"
                   "On Error Goto CQuery_Q_Error\n"));
    EXPECT_FALSE(error.empty());
}

TEST(EntryProcedureTest, UnselectedFieldIsNotRead) {
    zt::MemoryDatabaseContent content;
    content.table(ordersTable());
    content.fail(zt::Op::Field, "Orders", 1);
    SchemaModel model = modelFor(content);
    model.StoreFieldSelection(0, 1, false);
    std::string error;
    function(content, model, ModuleOptions{}, &error);
    EXPECT_EQ(error, "");
}

// Names and texts from the database cannot end a literal or a comment line.
TEST(EntryProcedureTest, DatabaseTextsCannotInjectCode) {
    zl::schema::Field f = zt::textField("a\"b\r\nc", 10);
    f.defaultValue = "\"x\"\r\nKill \"*.*\"";
    f.validationRule = "<>\"\"\n";
    f.validationText = "\"\x1A";
    zl::schema::Index i = zt::index("i\"\n", "+a\"b\r\nc");
    zl::schema::Index fk = zt::index("fk\r\nKill x", "+a\r\nb");
    fk.foreign = true;
    zt::MemoryDatabaseContent content;
    content.table({"T\"\r\nKill \"x", {f}, {i, fk}});
    ModuleOptions options;
    options.TableErrorMessage = "Table \"%n\"\nfailed";
    EXPECT_EQ(function(content, options), crlf(R"VB(' Creates a table called 'T"  Kill "x'
Private Function CTable_TKillx (db as Database) As Integer

On Error Goto CTable_TKillx_Error
Dim td as New TableDef
td.Name = "T""  Kill ""x"

AddField td, "a""b  c", dbText, 10, False, False, """x""  Kill ""*.*""", "<>"""" ", """ "

AddIndex td, "i"" ", "+a""b  c", idxNonPrimary, idxNonUnique
' Foreign key fk  Kill x [+a  b] not generated

db.TableDefs.Append td

CTable_TKillx = True
Exit Function

CTable_TKillx_Error:
MsgBox Error, 48, "Table "T""  Kill ""x" failed"

End Function

)VB"));
}

TEST(EntryProcedureTest, QueryDefSqlLinesCannotInjectCode) {
    zt::MemoryDatabaseContent content;
    content.query("Q", "SELECT \"a\nb\"\r\nFROM T\twhere x=\"\r\";\r\n");
    EXPECT_NE(function(content).find(crlf("SQL = \"SELECT \"\"a b\"\" \"\n"
                                          "SQL = SQL & \"FROM T where x=\"\" \"\"; \"\n")),
              std::string::npos);
}

}  // namespace
