// Index statements, key constraints and index column lists.
#include "sqlgen/sql_index.h"

#include <gtest/gtest.h>

#include "common/memory_engine.h"
#include "schema/engine.h"

namespace {

using zl::sqlgen::SqlDialect;
namespace zt = zl::testing;

TEST(SqlIndexTest, IndexFieldListTokens) {
    struct Case {
        const char* stored;
        const char* access;
    };
    const Case cases[] = {
        {"+ID", "[ID] Asc"},
        {"+LastName;-Born", "[LastName] Asc,[Born] Desc"},
        {"Code", "[Code] Asc"},
        {" +A ; -B ", "[A] Asc,[B] Desc"},
        {"+ A", "[ A] Asc"},
        {"A;", "[A] Asc"},
        {"A;;B", "[A] Asc,[B] Asc"},
        {";A", "[A] Asc"},
        {"", ""},
        {"  ", ""},
        {"-", "[] Desc"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(zl::sqlgen::IndexFieldList(SqlDialect::MsAccess, c.stored), c.access) << c.stored;
    }
    EXPECT_EQ(zl::sqlgen::IndexFieldList(SqlDialect::SqlServer, "+LastName;-Born"),
              "\"LastName\" Asc,\"Born\" Desc");
}

TEST(SqlIndexTest, MsAccessIndexOptions) {
    struct Case {
        bool primary, unique, required;
        const char* expected;
    };
    const Case cases[] = {
        {true, true, true, "CREATE UNIQUE INDEX [I] ON [T] ([A] Asc) WITH PRIMARY;"},
        {true, false, false, "CREATE INDEX [I] ON [T] ([A] Asc) WITH PRIMARY;"},
        {false, false, true, "CREATE INDEX [I] ON [T] ([A] Asc) WITH DISALLOW NULL;"},
        {false, false, false, "CREATE INDEX [I] ON [T] ([A] Asc) WITH IGNORE NULL;"},
        {false, true, false, "CREATE UNIQUE INDEX [I] ON [T] ([A] Asc) WITH IGNORE NULL;"},
        {false, true, true, "CREATE UNIQUE INDEX [I] ON [T] ([A] Asc) WITH DISALLOW NULL;"},
    };
    for (const Case& c : cases) {
        zl::schema::Index index = zt::index("I", "+A", c.primary, c.unique);
        index.required = c.required;
        index.ignoreNulls = true;  // never consulted
        EXPECT_EQ(zl::sqlgen::CreateIndexStatement(SqlDialect::MsAccess, index, "T"), c.expected);
    }
}

TEST(SqlIndexTest, SqlServerIndexHasNoOptionAndBlankBeforeSemicolon) {
    zl::schema::Index index = zt::index("I", "-A;+B");
    index.required = true;
    EXPECT_EQ(zl::sqlgen::CreateIndexStatement(SqlDialect::SqlServer, index, "T"),
              "CREATE INDEX \"I\" ON \"T\" (\"A\" Desc,\"B\" Asc) ;");
    EXPECT_EQ(zl::sqlgen::CreateIndexStatement(SqlDialect::SqlServer,
                                               zt::index("P", "+A", true, true), "T"),
              "CREATE UNIQUE CLUSTERED INDEX \"P\" ON \"T\" (\"A\" Asc) ;");
}

TEST(SqlIndexTest, EmptyFieldListGivesEmptyParentheses) {
    EXPECT_EQ(zl::sqlgen::KeyConstraint(SqlDialect::SqlServer, zt::index("U", "", false, true)),
              "CONSTRAINT \"U\" UNIQUE  () ");
}

}  // namespace
