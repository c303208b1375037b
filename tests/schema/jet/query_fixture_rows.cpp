// Rows of MSysQueries for the saved queries of the query fixtures, dumped with a development
// tool and kept here so that the rebuilder is tested without the files. Texts are as stored:
// pass-through and data-definition texts end with the NUL that Access writes.
#include "schema/jet/query_fixture_rows.h"

namespace zl::schema::jet::test {

using namespace std::string_view_literals;

namespace {
constexpr std::nullopt_t kNull = std::nullopt;
}  // namespace

const std::vector<FixtureQuery>& fixtureQueries() {
    // clang-format off
    static const std::vector<FixtureQuery> kQueries = {
        {"queryTestV1997.mdb", "AppendQuery", -2147483640,
         {
             {0, 0, kNull, kNull, kNull},
             {255, kNull, kNull, kNull, kNull},
             {1, 3, "Table3", kNull, kNull},
             {5, kNull, "Table3", kNull, kNull},
             {5, kNull, "Table1", kNull, kNull},
             {5, kNull, "Table2", kNull, kNull},
             {6, 0, kNull, "col2", "[Table1].[col2]"},
             {6, 0, kNull, "col2", "[Table2].[col2]"},
             {6, 0, kNull, "col3", "[Table2].[col3]"},
             {7, 1, "Table1", "Table2", "[Table1].[col1]=[Table2].[col1]"},
         },
         "INSERT INTO Table3 (col2, col2, col3)\r\n"
         "SELECT [Table1].[col2], [Table2].[col2], [Table2].[col3]\r\n"
         "FROM Table3, Table1 INNER JOIN Table2 ON [Table1].[col1]=[Table2].[col1];\r\n"},
        {"queryTestV1997.mdb", "CrosstabQuery", -2147483639,
         {
             {0, 0, kNull, kNull, kNull},
             {255, kNull, kNull, kNull, kNull},
             {1, 6, kNull, kNull, kNull},
             {5, kNull, "Table1", kNull, kNull},
             {5, kNull, "Table2", kNull, kNull},
             {5, kNull, "Table2", "Table2_1", kNull},
             {6, 0, "CountOfcol2", kNull, "Count([Table2].[col2])"},
             {6, 2, kNull, kNull, "Table2_1.col1"},
             {6, 2, kNull, kNull, "[Table2].[col3]"},
             {6, 2, "AvgOfcol2", kNull, "Avg(Table2_1.col2)"},
             {6, 1, kNull, kNull, "[Table1].[col1]"},
             {7, 1, "Table1", "Table2", "[Table1].[col1]=[Table2].[col1]"},
             {7, 1, "Table2", "Table2_1", "[Table2].[col1]=Table2_1.col3"},
             {8, kNull, kNull, kNull,
              "((([Table1].[col1])>\"10\") And ((Table2_1.col1) Is Not Null) And "
              "((Avg(Table2_1.col2))>\"10\"))"},
             {9, 2, kNull, kNull, "Table2_1.col1"},
             {9, 2, kNull, kNull, "[Table2].[col3]"},
             {9, 1, kNull, kNull, "[Table1].[col1]"},
             {11, kNull, kNull, kNull, "[Table2].[col3]"},
         },
         "TRANSFORM Count([Table2].[col2]) AS CountOfcol2\r\n"
         "SELECT Table2_1.col1, [Table2].[col3], Avg(Table2_1.col2) AS AvgOfcol2\r\n"
         "FROM (Table1 INNER JOIN Table2 ON [Table1].[col1]=[Table2].[col1]) INNER JOIN Table2 "
         "AS Table2_1 ON [Table2].[col1]=Table2_1.col3\r\n"
         "WHERE ((([Table1].[col1])>\"10\") And ((Table2_1.col1) Is Not Null) And "
         "((Avg(Table2_1.col2))>\"10\"))\r\n"
         "GROUP BY Table2_1.col1, [Table2].[col3]\r\n"
         "ORDER BY [Table2].[col3]\r\n"
         "PIVOT [Table1].[col1];\r\n"},
        {"queryTestV1997.mdb", "DataDefinitionQuery", -2147483638,
         {
             {0, 0, kNull, kNull, kNull},
             {255, kNull, kNull, kNull, kNull},
             {1, 7, kNull, kNull, "CREATE TABLE Table5 (col1 CHAR, col2 CHAR);\0"sv},
         },
         "CREATE TABLE Table5 (col1 CHAR, col2 CHAR);\r\n"},
        {"queryTestV1997.mdb", "DeleteQuery", -2147483637,
         {
             {0, 0, kNull, kNull, kNull},
             {255, kNull, kNull, kNull, kNull},
             {1, 5, kNull, kNull, kNull},
             {3, 0, kNull, kNull, kNull},
             {5, kNull, "Table1", kNull, kNull},
             {6, 0, kNull, kNull, "Table1.col1"},
             {6, 0, kNull, kNull, "Table1.col2"},
             {6, 0, kNull, kNull, "Table1.col3"},
             {8, kNull, kNull, kNull, "(((Table1.col1)>\"blah\"))"},
         },
         "DELETE Table1.col1, Table1.col2, Table1.col3\r\n"
         "FROM Table1\r\n"
         "WHERE (((Table1.col1)>\"blah\"));\r\n"},
        {"queryTestV1997.mdb", "MakeTableQuery", -2147483636,
         {
             {0, 0, kNull, kNull, kNull},
             {255, kNull, kNull, kNull, kNull},
             {1, 2, "Table4", kNull, kNull},
             {3, 0, kNull, kNull, kNull},
             {5, kNull, "Table2", kNull, kNull},
             {5, kNull, "Table1", kNull, kNull},
             {5, kNull, "Table3", kNull, kNull},
             {6, 0, "MaxOfcol1", kNull, "Max(Table2.col1)"},
             {6, 0, kNull, kNull, "Table2.col2"},
             {6, 0, kNull, kNull, "Table3.col2"},
             {7, 1, "Table2", "Table1", "Table2.col1 = Table1.col2"},
             {7, 3, "Table1", "Table3", "Table1.col2 = Table3.col3"},
             {9, 0, kNull, kNull, "Table2.col2"},
             {9, 0, kNull, kNull, "Table3.col2"},
             {10, kNull, kNull, kNull,
              "(((Max(Table2.col1))=\"buzz\") AND ((Table2.col2)<>\"blah\"))"},
         },
         "SELECT Max(Table2.col1) AS MaxOfcol1, Table2.col2, Table3.col2 INTO Table4\r\n"
         "FROM (Table2 INNER JOIN Table1 ON Table2.col1 = Table1.col2) RIGHT JOIN Table3 ON "
         "Table1.col2 = Table3.col3\r\n"
         "GROUP BY Table2.col2, Table3.col2\r\n"
         "HAVING (((Max(Table2.col1))=\"buzz\") AND ((Table2.col2)<>\"blah\"));\r\n"},
        {"queryTestV1997.mdb", "PassthroughQuery", -2147483635,
         {
             {0, 0, kNull, kNull, kNull},
             {255, kNull, kNull, kNull, kNull},
             {1, 8, "ODBC;", kNull, "ALTER TABLE Table4 DROP COLUMN col5;\0"sv},
         },
         "ALTER TABLE Table4 DROP COLUMN col5;\r\n"},
        {"queryTestV1997.mdb", "SelectQuery", -2147483634,
         {
             {0, 0, kNull, kNull, kNull},
             {255, kNull, kNull, kNull, kNull},
             {1, 1, kNull, kNull, kNull},
             {3, 2, kNull, kNull, kNull},
             {5, kNull, "Table1", kNull, kNull},
             {5, kNull, "Table2", kNull, kNull},
             {5, kNull, "Table3", kNull, kNull},
             {6, 0, kNull, kNull, "Table1.*"},
             {6, 0, kNull, kNull, "Table2.col1"},
             {6, 0, kNull, kNull, "Table2.col2"},
             {6, 0, kNull, kNull, "Table3.col3"},
             {7, 2, "Table1", "Table3", "Table1.col1 = Table3.col1"},
             {7, 1, "Table3", "Table2", "Table3.col1 = Table2.col1"},
             {7, 1, "Table3", "Table2", "Table3.col1 = Table2.col2"},
             {8, kNull, kNull, kNull,
              "(((Table2.col2)=\"foo\" Or (Table2.col2) In (\"buzz\",\"bazz\")))"},
             {11, kNull, kNull, kNull, "Table2.col1"},
         },
         "SELECT DISTINCT Table1.*, Table2.col1, Table2.col2, Table3.col3\r\n"
         "FROM (Table1 LEFT JOIN Table3 ON Table1.col1 = Table3.col1) INNER JOIN Table2 ON "
         "(Table3.col1 = Table2.col2) AND (Table3.col1 = Table2.col1)\r\n"
         "WHERE (((Table2.col2)=\"foo\" Or (Table2.col2) In (\"buzz\",\"bazz\")))\r\n"
         "ORDER BY Table2.col1;\r\n"},
        {"queryTestV1997.mdb", "UnionQuery", -2147483633,
         {
             {0, 0, kNull, kNull, kNull},
             {255, kNull, kNull, kNull, kNull},
             {1, 9, kNull, kNull, kNull},
             {3, 1, kNull, kNull, kNull},
             {5, kNull, kNull, "X7YZ_____1",
              "Select Table1.col1, Table1.col2\r\n"
              "where Table1.col1 = \"foo\"\r\n"
              "UNION\r\n"
              "Select Table2.col1, Table2.col2\r\n"},
             {5, kNull, kNull, "X7YZ_____2",
              "Select Table3.col1, Table3.col2\r\n"
              "where Table3.col3 > \"blah\""},
         },
         "Select Table1.col1, Table1.col2\r\n"
         "where Table1.col1 = \"foo\"\r\n"
         "UNION\r\n"
         "Select Table2.col1, Table2.col2\r\n"
         "UNION ALL Select Table3.col1, Table3.col2\r\n"
         "where Table3.col3 > \"blah\";\r\n"},
        {"queryTestV1997.mdb", "UpdateQuery", -2147483632,
         {
             {0, 0, kNull, kNull, kNull},
             {255, kNull, kNull, kNull, kNull},
             {1, 4, kNull, kNull, kNull},
             {2, 10, "User Name", kNull, kNull},
             {3, 0, kNull, kNull, kNull},
             {5, kNull, "Table1", kNull, kNull},
             {6, 0, kNull, "Table1.col1", "\"foo\""},
             {6, 0, kNull, "Table1.col2", "[Table2].[col3]"},
             {6, 0, kNull, "[Table2].[col1]", "[User Name]"},
             {8, kNull, kNull, kNull, "((([Table2].[col1]) Is Not Null))"},
         },
         "PARAMETERS User Name Text;\r\n"
         "UPDATE Table1\r\n"
         "SET Table1.col1 = \"foo\", Table1.col2 = [Table2].[col3], [Table2].[col1] = [User "
         "Name]\r\n"
         "WHERE ((([Table2].[col1]) Is Not Null));\r\n"},
        {"queryTestV2003.mdb", "AppendQuery", -2147483638,
         {
             {0, 0, kNull, kNull, kNull},
             {255, kNull, kNull, kNull, kNull},
             {1, 3, "Table3", kNull, kNull},
             {6, 0, kNull, "col2", "[Table1].[col2]"},
             {6, 0, kNull, "col2", "[Table2].[col2]"},
             {6, 0, kNull, "col3", "[Table2].[col3]"},
             {5, kNull, "Table3", kNull, kNull},
             {7, 1, "Table1", "Table2", "[Table1].[col1]=[Table2].[col1]"},
             {5, kNull, "Table1", kNull, kNull},
             {5, kNull, "Table2", kNull, kNull},
         },
         "INSERT INTO Table3 (col2, col2, col3)\r\n"
         "SELECT [Table1].[col2], [Table2].[col2], [Table2].[col3]\r\n"
         "FROM Table3, Table1 INNER JOIN Table2 ON [Table1].[col1]=[Table2].[col1];\r\n"},
        {"queryTestV2003.mdb", "CrosstabQuery", -2147483634,
         {
             {0, 0, kNull, kNull, kNull},
             {255, kNull, kNull, kNull, kNull},
             {1, 6, kNull, kNull, kNull},
             {6, 0, "CountOfcol2", kNull, "Count([Table2].[col2])"},
             {6, 2, kNull, kNull, "Table2_1.col1"},
             {6, 2, kNull, kNull, "[Table2].[col3]"},
             {6, 2, "AvgOfcol2", kNull, "Avg(Table2_1.col2)"},
             {7, 1, "Table1", "Table2", "[Table1].[col1]=[Table2].[col1]"},
             {7, 1, "Table2", "Table2_1", "[Table2].[col1]=Table2_1.col3"},
             {5, kNull, "Table1", kNull, kNull},
             {5, kNull, "Table2", kNull, kNull},
             {5, kNull, "Table2", "Table2_1", kNull},
             {8, kNull, kNull, kNull,
              "((([Table1].[col1])>\"10\") And ((Table2_1.col1) Is Not Null) And "
              "((Avg(Table2_1.col2))>\"10\"))"},
             {9, 2, kNull, kNull, "Table2_1.col1"},
             {9, 2, kNull, kNull, "[Table2].[col3]"},
             {11, kNull, kNull, kNull, "[Table2].[col3]"},
             {9, 1, kNull, kNull, "[Table1].[col1]"},
             {6, 1, kNull, kNull, "[Table1].[col1]"},
         },
         "TRANSFORM Count([Table2].[col2]) AS CountOfcol2\r\n"
         "SELECT Table2_1.col1, [Table2].[col3], Avg(Table2_1.col2) AS AvgOfcol2\r\n"
         "FROM (Table1 INNER JOIN Table2 ON [Table1].[col1]=[Table2].[col1]) INNER JOIN Table2 "
         "AS Table2_1 ON [Table2].[col1]=Table2_1.col3\r\n"
         "WHERE ((([Table1].[col1])>\"10\") And ((Table2_1.col1) Is Not Null) And "
         "((Avg(Table2_1.col2))>\"10\"))\r\n"
         "GROUP BY Table2_1.col1, [Table2].[col3]\r\n"
         "ORDER BY [Table2].[col3]\r\n"
         "PIVOT [Table1].[col1];\r\n"},
        {"queryTestV2003.mdb", "DataDefinitionQuery", -2147483631,
         {
             {0, 0, kNull, kNull, kNull},
             {255, kNull, kNull, kNull, kNull},
             {1, 7, kNull, kNull, "CREATE TABLE Table5 (col1 CHAR, col2 CHAR);\0"sv},
         },
         "CREATE TABLE Table5 (col1 CHAR, col2 CHAR);\r\n"},
        {"queryTestV2003.mdb", "DeleteQuery", -2147483636,
         {
             {0, 0, kNull, kNull, kNull},
             {255, kNull, kNull, kNull, kNull},
             {1, 5, kNull, kNull, kNull},
             {3, 0, kNull, kNull, kNull},
             {5, kNull, "Table1", kNull, kNull},
             {6, 0, kNull, kNull, "Table1.col1"},
             {6, 0, kNull, kNull, "Table1.col2"},
             {6, 0, kNull, kNull, "Table1.col3"},
             {8, kNull, kNull, kNull, "(((Table1.col1)>\"blah\"))"},
         },
         "DELETE Table1.col1, Table1.col2, Table1.col3\r\n"
         "FROM Table1\r\n"
         "WHERE (((Table1.col1)>\"blah\"));\r\n"},
        {"queryTestV2003.mdb", "MakeTableQuery", -2147483635,
         {
             {0, 0, kNull, kNull, kNull},
             {255, kNull, kNull, kNull, kNull},
             {1, 2, "Table4", kNull, kNull},
             {3, 0, kNull, kNull, kNull},
             {5, kNull, "Table2", kNull, kNull},
             {5, kNull, "Table1", kNull, kNull},
             {5, kNull, "Table3", kNull, kNull},
             {6, 0, "MaxOfcol1", kNull, "Max(Table2.col1)"},
             {9, 0, kNull, kNull, "Table2.col2"},
             {6, 0, kNull, kNull, "Table2.col2"},
             {9, 0, kNull, kNull, "Table3.col2"},
             {6, 0, kNull, kNull, "Table3.col2"},
             {7, 1, "Table2", "Table1", "Table2.col1 = Table1.col2"},
             {7, 3, "Table1", "Table3", "Table1.col2 = Table3.col3"},
             {10, kNull, kNull, kNull,
              "(((Max(Table2.col1))=\"buzz\") AND ((Table2.col2)<>\"blah\"))"},
         },
         "SELECT Max(Table2.col1) AS MaxOfcol1, Table2.col2, Table3.col2 INTO Table4\r\n"
         "FROM (Table2 INNER JOIN Table1 ON Table2.col1 = Table1.col2) RIGHT JOIN Table3 ON "
         "Table1.col2 = Table3.col3\r\n"
         "GROUP BY Table2.col2, Table3.col2\r\n"
         "HAVING (((Max(Table2.col1))=\"buzz\") AND ((Table2.col2)<>\"blah\"));\r\n"},
        {"queryTestV2003.mdb", "PassthroughQuery", -2147483632,
         {
             {0, 0, kNull, kNull, kNull},
             {255, kNull, kNull, kNull, kNull},
             {1, 8, "ODBC;", kNull, "ALTER TABLE Table4 DROP COLUMN col5;\0"sv},
         },
         "ALTER TABLE Table4 DROP COLUMN col5;\r\n"},
        {"queryTestV2003.mdb", "SelectQuery", -2147483640,
         {
             {0, 0, kNull, kNull, kNull},
             {255, kNull, kNull, kNull, kNull},
             {1, 1, kNull, kNull, kNull},
             {3, 2, kNull, kNull, kNull},
             {5, kNull, "Table1", kNull, kNull},
             {5, kNull, "Table2", kNull, kNull},
             {5, kNull, "Table3", kNull, kNull},
             {6, 0, kNull, kNull, "Table1.*"},
             {6, 0, kNull, kNull, "Table2.col1"},
             {6, 0, kNull, kNull, "Table2.col2"},
             {6, 0, kNull, kNull, "Table3.col3"},
             {7, 2, "Table1", "Table3", "Table1.col1 = Table3.col1"},
             {7, 1, "Table3", "Table2", "Table3.col1 = Table2.col1"},
             {7, 1, "Table3", "Table2", "Table3.col1 = Table2.col2"},
             {11, kNull, kNull, kNull, "Table2.col1"},
             {8, kNull, kNull, kNull,
              "(((Table2.col2)=\"foo\" Or (Table2.col2) In (\"buzz\",\"bazz\")))"},
         },
         "SELECT DISTINCT Table1.*, Table2.col1, Table2.col2, Table3.col3\r\n"
         "FROM (Table1 LEFT JOIN Table3 ON Table1.col1 = Table3.col1) INNER JOIN Table2 ON "
         "(Table3.col1 = Table2.col2) AND (Table3.col1 = Table2.col1)\r\n"
         "WHERE (((Table2.col2)=\"foo\" Or (Table2.col2) In (\"buzz\",\"bazz\")))\r\n"
         "ORDER BY Table2.col1;\r\n"},
        {"queryTestV2003.mdb", "UnionQuery", -2147483633,
         {
             {0, 0, kNull, kNull, kNull},
             {255, kNull, kNull, kNull, kNull},
             {5, kNull, kNull, "X7YZ_____1",
              "Select Table1.col1, Table1.col2\r\n"
              "where Table1.col1 = \"foo\"\r\n"
              "UNION\r\n"
              "Select Table2.col1, Table2.col2\r\n"},
             {1, 9, kNull, kNull, kNull},
             {5, kNull, kNull, "X7YZ_____2",
              "Select Table3.col1, Table3.col2\r\n"
              "where Table3.col3 > \"blah\""},
             {3, 1, kNull, kNull, kNull},
         },
         "Select Table1.col1, Table1.col2\r\n"
         "where Table1.col1 = \"foo\"\r\n"
         "UNION\r\n"
         "Select Table2.col1, Table2.col2\r\n"
         "UNION ALL Select Table3.col1, Table3.col2\r\n"
         "where Table3.col3 > \"blah\";\r\n"},
        {"queryTestV2003.mdb", "UpdateQuery", -2147483639,
         {
             {0, 0, kNull, kNull, kNull},
             {255, kNull, kNull, kNull, kNull},
             {1, 4, kNull, kNull, kNull},
             {3, 0, kNull, kNull, kNull},
             {5, kNull, "Table1", kNull, kNull},
             {6, 0, kNull, "Table1.col1", "\"foo\""},
             {6, 0, kNull, "Table1.col2", "[Table2].[col3]"},
             {6, 0, kNull, "[Table2].[col1]", "[User Name]"},
             {8, kNull, kNull, kNull, "((([Table2].[col1]) Is Not Null))"},
             {2, 10, "User Name", kNull, kNull},
         },
         "PARAMETERS User Name Text;\r\n"
         "UPDATE Table1\r\n"
         "SET Table1.col1 = \"foo\", Table1.col2 = [Table2].[col3], [Table2].[col1] = [User "
         "Name]\r\n"
         "WHERE ((([Table2].[col1]) Is Not Null));\r\n"},
    };
    // clang-format on
    return kQueries;
}

std::vector<QueryRow> toRows(const std::vector<RowLiteral>& literals, std::int32_t objectId) {
    const auto text = [](std::optional<std::string_view> value) {
        return value ? std::optional<std::string>(std::string(*value)) : std::nullopt;
    };
    std::vector<QueryRow> rows;
    for (const RowLiteral& literal : literals) {
        QueryRow row;
        row.attribute = literal.attribute;
        row.flag = literal.flag;
        row.name1 = text(literal.name1);
        row.name2 = text(literal.name2);
        row.expression = text(literal.expression);
        row.extra = literal.extra;
        row.objectId = objectId;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<QueryRow> framed(std::vector<RowLiteral> literals, std::int32_t objectId) {
    literals.insert(literals.begin(), RowLiteral(0, 0));
    literals.emplace_back(255);
    return toRows(literals, objectId);
}

}  // namespace zl::schema::jet::test
