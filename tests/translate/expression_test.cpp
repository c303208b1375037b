// Access expressions translated for both targets: which ones are refused, then the behaviour on
// the real engines (rules accept and refuse rows, defaults fill rows, generated
// columns compute Access's values).
#include <gtest/gtest.h>

#include <ctime>

#include "common/pg_cluster.h"
#include "common/sqlite_db.h"
#include "engine_schema.h"
#include "schema/engine.h"

namespace zl::translate {
namespace {

namespace dao = schema::dao;

const TableColumns& table() {
    static const TableColumns t{"T",
                                {{"Code", dao::kText, 10},
                                 {"Qty", dao::kLong, 0},
                                 {"Price", dao::kCurrency, 0},
                                 {"Flag", dao::kBoolean, 0},
                                 {"D", dao::kDate, 0},
                                 {"StartDate", dao::kDate, 0},
                                 {"EndDate", dao::kDate, 0},
                                 {"LastName", dao::kText, 20},
                                 {"FirstName", dao::kText, 20},
                                 {"UnitPrice", dao::kCurrency, 0},
                                 {"Quantity", dao::kInteger, 0},
                                 {"Discount", dao::kSingle, 0},
                                 {"Title", dao::kText, 5},
                                 {"Country", dao::kText, 15},
                                 {"Total", dao::kDouble, 0},
                                 {"FullName", dao::kText, 60}}};
    return t;
}

// kind: 'd' default, 'f' field rule, 't' table rule, 'c' calculated column.
Translation translateCase(Target target, char kind, const char* column, const char* text) {
    static const QuotingNameMapper names;
    const Column* c = table().find(column);
    switch (kind) {
        case 'd':
            return translateDefault(target, text, *c, table(), names);
        case 'f':
            return translateFieldRule(target, text, *c, table(), names);
        case 't':
            return translateTableRule(target, text, table(), names);
        default:
            return translateCalculated(target, text, *c, table(), names);
    }
}

// Expressions a target cannot carry are left untranslated with a reason. What the translated
// ones mean is checked on the real engines below, not their text.
struct RefusalCase {
    char kind;
    const char* column;
    const char* access;
    bool pg;      // translated for PostgreSQL
    bool sqlite;  // translated for SQLite
};

const RefusalCase kRefusalCases[] = {
    {'d', "Qty", "[Price]", false, false},
    {'f', "D", "<=Date()", false, false},
    {'t', "-", "[Missing]>0", false, false},
    {'t', "-", "[Code]=5", false, false},
    {'c', "FullName", "Format([D],\"yyyy-mm-dd\")", false, true},
    {'c', "D", "DateAdd(\"m\",1,[StartDate])", true, false},
    {'c', "FullName", "Now() & \"\"", false, false},
    {'f', "Qty", ">=", false, false},
    {'t', "-", "[Qty] > \"abc", false, false},
    {'t', "-", "Foo([Qty])", false, false},
    {'d', "D", "#13/45/2020#", false, false},
    {'t', "-", "Eval(\"1\")>0", false, false},
};

TEST(ExpressionTextTest, UntranslatableExpressionsSayWhy) {
    for (const RefusalCase& c : kRefusalCases) {
        SCOPED_TRACE(c.access);
        const Translation pg = translateCase(Target::PostgreSql, c.kind, c.column, c.access);
        const Translation lite = translateCase(Target::Sqlite, c.kind, c.column, c.access);
        EXPECT_EQ(pg.ok, c.pg) << pg.reason;
        EXPECT_EQ(lite.ok, c.sqlite) << lite.reason;
        EXPECT_TRUE(pg.ok || !pg.reason.empty());
        EXPECT_TRUE(lite.ok || !lite.reason.empty());
    }
}

TEST(ExpressionTextTest, CalculatedColumnsNeverReadThemselves) {
    for (Target target : {Target::PostgreSql, Target::Sqlite}) {
        EXPECT_FALSE(translateCase(target, 'c', "Qty", "[Qty]+1").ok);
    }
}

TEST(ExpressionTextTest, ParseErrorsGiveThePosition) {
    const Translation t = translateCase(Target::Sqlite, 't', "-", "[Qty] > (1 + ");
    ASSERT_FALSE(t.ok);
    EXPECT_NE(t.reason.find("at character 14"), std::string::npos) << t.reason;
}

// The test table with one column given a clause (DEFAULT or GENERATED) and one extra constraint.
std::string columnsSql(Target target, const std::string& extra, const std::string& clause,
                       const std::string& clauseColumn) {
    std::string sql = "CREATE TABLE \"T\" (";
    for (const Column& c : table().columns) {
        std::string type = testing::columnType(target, c);
        if (c.name == clauseColumn && clause.rfind("GENERATED", 0) == 0 &&
            type.rfind("varchar", 0) == 0) {
            type = "text";
        }
        sql += "\"" + c.name + "\" " + type + (c.name == clauseColumn ? " " + clause : "") + ", ";
    }
    sql.resize(sql.size() - 2);
    if (!extra.empty()) sql += ", " + extra;
    return sql + ");";
}

// "A, B" as "\"A\", \"B\"": PostgreSQL folds unquoted names to lower case.
std::string quoteList(const std::string& names) {
    std::string out = "\"";
    for (char c : names) {
        if (c == ' ') continue;
        out += c == ',' ? std::string("\", \"") : std::string(1, c);
    }
    return out + "\"";
}

struct RuleCase {
    char kind;
    const char* column;
    const char* rule;
    const char* columns;  // the columns the rows fill
    const char* accepted;
    const char* refused;
};

const RuleCase kRuleCases[] = {
    {'f', "Price", ">=0", "Price", "5", "-1"},
    {'f', "Discount", "Between 0 And 1", "Discount", "0.5", "1.5"},
    {'f', "Qty", "Between 10 And 1", "Qty", "5", "11"},
    {'f', "Code", "Like \"[A-Z]*\"", "Code", "'abc'", "'1abc'"},
    {'f', "Title", "In (\"Mr\",\"Ms\")", "Title", "'mr'", "'Dr'"},
    {'f', "Qty", "Is Null Or >0", "Qty", "NULL", "0"},
    {'f', "Code", "<>\"\"", "Code", "'a'", "''"},
    {'f', "Qty", "Not In (1,2)", "Qty", "3", "2"},
    {'f', "Code", "Is Not Null", "Code", "'a'", "NULL"},
    {'f', "D", ">=#1/1/1990#", "D", "'1990-01-01 00:00:00'", "'1989-12-31 00:00:00'"},
    {'f', "Code", "Like \"A?#*\"", "Code", "'ab1zz'", "'abzz'"},
    {'f', "Code", "Like \"[!0-9]*\"", "Code", "'x1'", "'1x'"},
    {'f', "Code", "Not Like \"*[*]*\"", "Code", "'ab'", "'a*b'"},
    {'f', "Code", "Like \"50%_*\"", "Code", "'50%_x'", "'50ab'"},
    {'t', "-", "[EndDate]>=[StartDate]", "StartDate, EndDate",
     "'2020-01-01 00:00:00', '2020-01-02 00:00:00'",
     "'2020-01-02 00:00:00', '2020-01-01 00:00:00'"},
    {'t', "-", "Len([Code])=5", "Code", "'abcde'", "'abc'"},
    {'t', "-", "[Flag]=True Or [Qty]>0", "Flag, Qty", "TRUE, 0", "FALSE, 0"},
    {'t', "-", "[Qty] Mod 2 = 0", "Qty", "4", "3"},
    {'t', "-", "[Qty]\\2 > 1", "Qty", "4", "3"},
    {'t', "-", "Year([D])>=2000 And Month([D])<13", "D", "'2001-05-05 00:00:00'",
     "'1999-05-05 00:00:00'"},
    {'t', "-", "[Code] & \"x\" <> \"x\" Xor [Flag]", "Code, Flag", "'a', FALSE", "'a', TRUE"},
};

void checkRule(const RuleCase& c, Target target, const std::string& pgDb) {
    SCOPED_TRACE(std::string(c.rule) + (target == Target::Sqlite ? " (SQLite)" : " (PostgreSQL)"));
    const Translation t = translateCase(target, c.kind, c.column, c.rule);
    ASSERT_TRUE(t.ok) << t.reason;
    const std::string create = columnsSql(target, t.sql, "", "");
    const std::string insert = "INSERT INTO \"T\" (" + quoteList(c.columns) + ") VALUES (";
    if (target == Target::Sqlite) {
        zl::testing::SqliteDb db;
        ASSERT_EQ(db.exec(create), "") << create;
        EXPECT_EQ(db.exec(insert + c.accepted + ");"), "");
        EXPECT_NE(db.exec(insert + c.refused + ");"), "") << "a row the rule must refuse went in";
        return;
    }
    auto& pg = zl::testing::PgCluster::shared();
    const auto made =
        pg.query(pgDb, "SET client_min_messages = warning; DROP TABLE IF EXISTS \"T\"; " + create);
    ASSERT_TRUE(made.ok) << made.error << create;
    const auto good = pg.query(pgDb, insert + c.accepted + ")");
    EXPECT_TRUE(good.ok) << good.error;
    const auto bad = pg.query(pgDb, insert + c.refused + ")");
    EXPECT_FALSE(bad.ok) << "a row the rule must refuse went in";
}

TEST(ExpressionBehaviourTest, RulesAcceptAndRefuseRowsInBothEngines) {
    auto& pg = zl::testing::PgCluster::shared();
    ASSERT_TRUE(pg.ok()) << pg.error();
    const std::string db = pg.createDatabase();
    for (const RuleCase& c : kRuleCases) {
        checkRule(c, Target::Sqlite, db);
        checkRule(c, Target::PostgreSql, db);
    }
}

std::string today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d", &local);
    return buffer;
}

struct ValueCase {
    char kind;  // 'd' default or 'c' calculated column
    const char* column;
    const char* expression;
    const char* columns;  // the row's other columns, "" for none
    const char* values;
    const char* expected;  // normalized; "TODAY" for the local date at midnight, "TODAY*" prefix
    bool pgOnly = false;
    bool sqliteOnly = false;
};

const ValueCase kValueCases[] = {
    {'d', "D", "=Date()", "", "", "TODAY"},
    {'d', "D", "Now()", "", "", "TODAY*"},
    {'d', "Country", "\"Germany\"", "", "", "Germany"},
    {'d', "Flag", "Yes", "", "", "1.00"},
    {'d', "Qty", "0", "", "", "0.00"},
    {'d', "Flag", "-1", "", "", "1.00"},
    {'d', "Code", "123", "", "", "123.00"},
    {'d', "D", "#1/31/2020#", "", "", "2020-01-31 00:00:00"},
    {'d', "D", "#2020-01-31 13:45:10#", "", "", "2020-01-31 13:45:10"},
    {'d', "D", "#1/31/2020 1:45 PM#", "", "", "2020-01-31 13:45:00"},
    {'d', "Title", "'it''s'", "", "", "it's"},
    {'d', "Qty", "=2+3", "", "", "5.00"},
    {'d', "Qty", "Yes", "", "", "-1.00"},
    {'c', "Total", "[UnitPrice]*[Quantity]*(1-[Discount])", "UnitPrice, Quantity, Discount",
     "10, 3, 0.5", "15.00"},
    {'c', "FullName", "[LastName] & \", \" & [FirstName]", "LastName, FirstName", "'Doe', 'Jane'",
     "Doe, Jane"},
    {'c', "FullName", "[LastName] & \", \" & [FirstName]", "LastName", "'Doe'", "Doe, "},
    {'c', "Qty", "Round([Price])", "Price", "2.5", "2.00"},
    {'c', "Qty", "Round([Price])", "Price", "3.5", "4.00"},
    {'c', "Total", "Round([Price],1)", "Price", "0.25", "0.20"},
    {'c', "Qty", "CInt([Discount]*10)", "Discount", "0.25", "2.00"},
    {'c', "FullName", "Format([D],\"yyyy-mm-dd\")", "D", "'2020-03-04 10:00:00'", "2020-03-04",
     false, true},
    {'c', "FullName", "UCase(Left([LastName],1)) & LCase(Mid([LastName],2))", "LastName", "'dOE'",
     "Doe"},
    {'c', "Qty", "DateDiff(\"d\",[StartDate],[EndDate])", "StartDate, EndDate",
     "'2020-01-31 23:00:00', '2020-02-01 01:00:00'", "1.00"},
    {'c', "D", "DateAdd(\"m\",1,[StartDate])", "StartDate", "'2020-01-31 00:00:00'",
     "2020-02-29 00:00:00", true},
    {'c', "D", "DateAdd(\"d\",1,[StartDate])", "StartDate", "'2020-02-28 00:00:00'",
     "2020-02-29 00:00:00"},
    {'c', "Total", "IIf([Qty]>10,[Price]*0.9,[Price])", "Qty, Price", "11, 100", "90.00"},
    {'c', "Total", "Nz([Price],0)+Sgn([Qty])", "Qty", "-5", "-1.00"},
    {'c', "Qty", "Weekday([D])", "D", "'2024-01-07 00:00:00'", "1.00"},
    {'c', "D", "DateSerial(2020,[Qty],1)", "Qty", "13", "2021-01-01 00:00:00"},
};

void checkValue(const ValueCase& c, Target target, const std::string& pgDb) {
    SCOPED_TRACE(std::string(c.expression) +
                 (target == Target::Sqlite ? " (SQLite)" : " (PostgreSQL)"));
    const Translation t = translateCase(target, c.kind, c.column, c.expression);
    ASSERT_TRUE(t.ok) << t.reason;
    const std::string create =
        columnsSql(target, "", c.kind == 'd' ? "DEFAULT " + t.sql : t.sql, c.column);
    // A row without the column: Qty is filled unless the case fills something else.
    const std::string columns =
        *c.columns != '\0' ? c.columns : (std::string(c.column) == "Qty" ? "Code" : "Qty");
    const std::string values =
        *c.values != '\0' ? c.values : (std::string(c.column) == "Qty" ? "'x'" : "1");
    const std::string insert =
        "INSERT INTO \"T\" (" + quoteList(columns) + ") VALUES (" + values + ")";
    const std::string select = std::string("SELECT \"") + c.column + "\" FROM \"T\"";
    zl::testing::QueryRows rows;
    if (target == Target::Sqlite) {
        zl::testing::SqliteDb db;
        ASSERT_EQ(db.exec(create), "") << create;
        ASSERT_EQ(db.exec(insert), "");
        rows = db.query(select);
    } else {
        auto& pg = zl::testing::PgCluster::shared();
        const auto made = pg.query(
            pgDb, "SET client_min_messages = warning; DROP TABLE IF EXISTS \"T\"; " + create);
        ASSERT_TRUE(made.ok) << made.error << create;
        const auto added = pg.query(pgDb, insert);
        ASSERT_TRUE(added.ok) << added.error;
        rows = pg.query(pgDb, select);
    }
    ASSERT_TRUE(rows.ok) << rows.error;
    ASSERT_EQ(rows.rows.size(), 1u);
    const std::string got = testing::normalizeRow(rows.rows[0])[0];
    const std::string expected = c.expected;
    if (expected == "TODAY") {
        EXPECT_EQ(got, today() + " 00:00:00");
    } else if (expected == "TODAY*") {
        EXPECT_EQ(got.substr(0, 10), today());
    } else {
        EXPECT_EQ(got, expected);
    }
}

TEST(ExpressionBehaviourTest, DefaultsAndCalculatedColumnsGiveAccessValuesInBothEngines) {
    auto& pg = zl::testing::PgCluster::shared();
    ASSERT_TRUE(pg.ok()) << pg.error();
    const std::string db = pg.createDatabase();
    for (const ValueCase& c : kValueCases) {
        if (!c.pgOnly) checkValue(c, Target::Sqlite, db);
        if (!c.sqliteOnly) checkValue(c, Target::PostgreSql, db);
    }
}

}  // namespace
}  // namespace zl::translate
