// The numbers and marker names with which the system table of saved queries (MSysQueries)
// describes a query, one row per clause item.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zl::schema::jet {

// Column "Attribute": what a row describes. What the other columns hold in each kind of row:
//
//   ATTRIBUTE      NAME1              NAME2              EXPRESSION          FLAG
//   1  Type        target table;      target database    target connect;     QueryKind
//                  pass-through:                         pass-through and
//                  connect string                        data definition:
//                                                        the stored SQL text
//   2  Parameter   name               -                  -                   DAO data type
//                                                                            (LvExtra: Text size)
//   3  Flags       TOP value          -                  -                   kFlag* bits
//   4  RemoteDb    database path      -                  connect string      -
//   5  Table       table or query     alias; union:      source database;    -
//                                     part marker        union: part text
//   6  Column      alias              target column      value expression    kAppendValueFlag,
//                                     (append, update)                       kCrosstab* bits
//   7  Join        left table         right table        ON condition        kJoin* type
//   8  Where       -                  -                  condition           -
//   9  GroupBy     -                  -                  expression          kCrosstab* bits
//   10 Having      -                  -                  condition           -
//   11 OrderBy     "D": descending    -                  expression          -
//
// Rows 0 (start) and 255 (end) frame every query and carry nothing the text needs. Rows of one
// attribute keep their sequence through the column "Order" and, where that is empty (as in
// every file we have seen), through the table's storage order.
enum class QueryAttribute : int {
    Start = 0,
    Type = 1,
    Parameter = 2,
    Flags = 3,
    RemoteDatabase = 4,
    Table = 5,
    Column = 6,
    Join = 7,
    Where = 8,
    GroupBy = 9,
    Having = 10,
    OrderBy = 11,
    End = 255,
};

// Attributes 0..11 are the ones that describe clauses; 255 only ends the query. Later Access
// versions write rows of other attributes (12, with only a Flag); they say nothing the SQL text
// needs and are skipped.
inline constexpr int kClauseAttributeCount = 12;

// Flag of the Type row: the kind of query.
enum class QueryKind : int {
    Select = 1,
    MakeTable = 2,
    Append = 3,
    Update = 4,
    Delete = 5,
    Crosstab = 6,
    DataDefinition = 7,
    PassThrough = 8,
    Union = 9,
};

// DAO's QueryDef.Type of a query kind, and the kind of a QueryDef.Type (nullopt for a number
// that is no kind). MSysObjects.Flags & 0xF0 holds the same numbers.
int daoQueryType(QueryKind kind);
std::optional<QueryKind> kindOfDaoQueryType(int type);
inline constexpr std::int32_t kCatalogQueryTypeMask = 0xF0;

// Bits of the Flags row.
inline constexpr int kFlagSelectStar = 0x01;   // "*" ends the select list (Output All Fields)
inline constexpr int kFlagDistinct = 0x02;     // DISTINCT; in a union query: UNION without ALL
inline constexpr int kFlagOwnerAccess = 0x04;  // WITH OWNERACCESS OPTION
inline constexpr int kFlagDistinctRow = 0x08;  // DISTINCTROW
inline constexpr int kFlagTop = 0x10;          // TOP n, n in Name1 of the Flags row
inline constexpr int kFlagPercent = 0x20;      // TOP n PERCENT
inline constexpr int kKnownFlags = 0x3F;

// Flag of a Column row of an append query: the row is one of its VALUES, not a SELECT column.
inline constexpr int kAppendValueFlag = 0x8000;

// Flag of Column and GroupBy rows of a crosstab query: the role of the expression. A Column
// row with neither bit is the value (TRANSFORM).
inline constexpr int kCrosstabPivot = 0x01;       // column heading: PIVOT
inline constexpr int kCrosstabRowHeading = 0x02;  // row heading: SELECT and GROUP BY

// Flag of a Join row.
inline constexpr int kJoinInner = 1;
inline constexpr int kJoinLeft = 2;
inline constexpr int kJoinRight = 3;

// Name2 of the two Table rows that hold the SQL text of a union query's halves.
inline constexpr std::string_view kUnionFirstPart = "X7YZ_____1";
inline constexpr std::string_view kUnionSecondPart = "X7YZ_____2";

// Name1 of an OrderBy row that sorts descending, in either case.
inline constexpr std::string_view kDescending = "D";
inline constexpr std::string_view kDescendingLower = "d";

}  // namespace zl::schema::jet
