// The SQL script: selection, types, quoting and failures (whole scripts are compared byte for
// byte with an independent rendering by render_cross_check).
#include "sqlgen/sql_script.h"

#include <gtest/gtest.h>

#include "common/memory_engine.h"
#include "schema/schema_model.h"
#include "sqlgen/sql_table.h"

namespace {

using zl::schema::EngineError;
using zl::schema::SchemaModel;
using zl::sqlgen::GenerateSqlScript;
using zl::sqlgen::SqlDialect;
namespace dao = zl::schema::dao;
namespace zt = zl::testing;

using zt::modelFor;

std::string script(SqlDialect dialect, const zt::MemoryDatabaseContent& content,
                   const SchemaModel& model) {
    auto db = zt::openMemoryDatabase(content);
    return GenerateSqlScript(dialect, model, db.get());
}

std::string script(SqlDialect dialect, const zt::MemoryDatabaseContent& content) {
    return script(dialect, content, modelFor(content));
}

TEST(SqlScriptTest, UnknownTypeKeepsNullabilityAndDefault) {
    zl::schema::Field f = zt::typedField("F", 9, 50);
    f.required = true;
    f.defaultValue = "0x00";
    std::string server;
    std::string access;
    appendColumnDefinition(server, SqlDialect::SqlServer, f);
    appendColumnDefinition(access, SqlDialect::MsAccess, f);
    EXPECT_EQ(server, "<Unknown Field Type> NOT NULL DEFAULT 0x00");
    EXPECT_EQ(access, "<Unknown Field Type> DEFAULT 0x00");
}

TEST(SqlScriptTest, LastWrittenColumnHasNoCommaWhenLastFieldUnselected) {
    zt::MemoryDatabaseContent content;
    content.table({"T", {zt::longField("A"), zt::longField("B"), zt::longField("C")}, {}});
    SchemaModel model = modelFor(content);
    model.StoreFieldSelection(0, 2, false);
    EXPECT_EQ(script(SqlDialect::MsAccess, content, model),
              "CREATE TABLE [T] (\r\n  [A] Long, \r\n  [B] Long\r\n);\r\n\r\n");
}

TEST(SqlScriptTest, NoSelectedFields) {
    zt::MemoryDatabaseContent content;
    content.table({"T", {zt::longField("A")}, {}});
    SchemaModel model = modelFor(content);
    model.StoreFieldSelection(0, 0, false);
    EXPECT_EQ(script(SqlDialect::MsAccess, content, model), "CREATE TABLE [T] (\r\n);\r\n\r\n");
    EXPECT_EQ(script(SqlDialect::SqlServer, content, model),
              "CREATE TABLE \"T\" (\r\n\r\n);\r\n\r\n");
}

TEST(SqlScriptTest, IndexSelectionAndForeignKeys) {
    zl::schema::Index foreign = zt::index("FK", "+B");
    foreign.foreign = true;
    zl::schema::Index foreignUnique = zt::index("FKU", "+B", false, true);
    foreignUnique.foreign = true;
    zt::MemoryDatabaseContent content;
    content.table({"T",
                   {zt::longField("A"), zt::longField("B")},
                   {zt::index("PK", "+A", true, true), zt::index("UB", "-B", false, true),
                    zt::index("IB", "+B"), foreign, foreignUnique}});
    SchemaModel model = modelFor(content);
    model.StoreIndexSelection(0, 1, false);  // UB unselected
    // MS Access: every included, non-foreign index as a statement; UB left out.
    EXPECT_EQ(script(SqlDialect::MsAccess, content, model),
              "CREATE TABLE [T] (\r\n  [A] Long, \r\n  [B] Long\r\n);\r\n"
              "CREATE UNIQUE INDEX [PK] ON [T] ([A] Asc) WITH PRIMARY;\r\n"
              "CREATE INDEX [IB] ON [T] ([B] Asc) WITH IGNORE NULL;\r\n\r\n");
    // SQL Server: every unique, non-foreign index as a constraint, selected or not.
    EXPECT_EQ(script(SqlDialect::SqlServer, content, model),
              "CREATE TABLE \"T\" (\r\n  \"A\" Integer NULL, \r\n  \"B\" Integer NULL\r\n"
              ",\r\n"
              "  CONSTRAINT \"PK\" PRIMARY KEY CLUSTERED  (\"A\" Asc) ,\r\n"
              "  CONSTRAINT \"UB\" UNIQUE  (\"B\" Desc) \r\n"
              ");\r\n"
              "CREATE INDEX \"IB\" ON \"T\" (\"B\" Asc) ;\r\n\r\n");
}

TEST(SqlScriptTest, EmptyScripts) {
    zt::MemoryDatabaseContent content;
    content.table({"T", {zt::longField("A")}, {}});
    content.query("Q", "SELECT 1;\r\n");
    SchemaModel model = modelFor(content);
    model.setEntrySelected(0, false);
    EXPECT_EQ(script(SqlDialect::MsAccess, content, model), "") << "only a QueryDef selected";
    model.setEntrySelected(1, false);
    EXPECT_EQ(script(SqlDialect::SqlServer, content, model), "");
    EXPECT_EQ(GenerateSqlScript(SqlDialect::SqlServer, SchemaModel{}, nullptr), "")
        << "no database open";
}

TEST(SqlScriptTest, NamesAndTextsFromTheDatabaseCannotBreakOut) {
    zl::schema::Field f = zt::textField("a]b\"c", 5);
    f.defaultValue = "1\r\nDROP TABLE x";
    zl::schema::Index i = zt::index("i]\"x", "+a]b\"c");
    zt::MemoryDatabaseContent content;
    content.table({"T]\"\n", {f}, {i}});
    content.query("V\"", "SELECT 1\tAS x\r\nFROM T;\r\n");
    EXPECT_EQ(script(SqlDialect::MsAccess, content),
              "CREATE TABLE [T]]\" ] (\r\n"
              "  [a]]b\"c] Text(5) DEFAULT 1  DROP TABLE x\r\n"
              ");\r\n"
              "CREATE INDEX [i]]\"x] ON [T]]\" ] ([a]]b\"c] Asc) WITH IGNORE NULL;\r\n\r\n");
    EXPECT_EQ(script(SqlDialect::SqlServer, content),
              "CREATE TABLE \"T]\"\" \" (\r\n"
              "  \"a]b\"\"c\" Character Varying(5) NULL DEFAULT 1  DROP TABLE x\r\n"
              "\r\n"
              ");\r\n"
              "CREATE INDEX \"i]\"\"x\" ON \"T]\"\" \" (\"a]b\"\"c\" Asc) ;\r\n\r\n"
              "CREATE VIEW \"V\"\"\" AS SELECT 1 AS x\r\nFROM T;\r\n\r\n\r\n");
}

// Any failing engine operation abandons the whole script.
TEST(SqlScriptTest, FailingOperationAbandonsTheScript) {
    struct Case {
        zt::Op op;
        std::string target;
        int position;
        SqlDialect dialect;
    };
    const Case cases[] = {
        {zt::Op::TableDef, "T2", -1, SqlDialect::MsAccess},
        {zt::Op::FieldCount, "T2", -1, SqlDialect::MsAccess},
        {zt::Op::Field, "T2", 1, SqlDialect::SqlServer},
        {zt::Op::IndexCount, "T1", -1, SqlDialect::SqlServer},
        {zt::Op::Index, "T1", 0, SqlDialect::MsAccess},
        {zt::Op::QueryDefs, "Q", -1, SqlDialect::SqlServer},
    };
    for (const Case& c : cases) {
        zt::MemoryDatabaseContent content;
        content.table({"T1", {zt::longField("A")}, {zt::index("IA", "+A")}});
        content.table({"T2", {zt::longField("A"), zt::longField("B")}, {}});
        content.query("Q", "SELECT 1;\r\n");
        content.fail(c.op, c.target, c.position, "Disk error");
        try {
            script(c.dialect, content);
            ADD_FAILURE() << "no error for op " << static_cast<int>(c.op);
        } catch (const EngineError& e) {
            EXPECT_STREQ(e.what(), "Disk error");
        }
    }
}

TEST(SqlScriptTest, UnselectedFieldIsNotRead) {
    zt::MemoryDatabaseContent content;
    content.table({"T", {zt::longField("A"), zt::longField("B")}, {}});
    content.fail(zt::Op::Field, "T", 1);
    SchemaModel model = modelFor(content);
    model.StoreFieldSelection(0, 1, false);
    EXPECT_EQ(script(SqlDialect::MsAccess, content, model),
              "CREATE TABLE [T] (\r\n  [A] Long\r\n);\r\n\r\n");
}

}  // namespace
