// The description of a Jet 4 database that the writer turns into a file: tables with fields,
// indexes and rows, relationships, and saved queries in structured form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace zl::jetwrite {

// The field types DAO knows, by their DAO names.
enum class FieldType {
    Boolean,
    Byte,
    Integer,
    Long,
    Currency,
    Single,
    Double,
    Date,
    Binary,
    Text,
    LongBinary,
    Memo,
    Guid,
    Decimal,
    BigInt,            // 8-byte signed integer
    DateTimeExtended,  // date and time to 100 ns, 0001-01-01 .. 9999-12-31
};

// A calendar date and time of day, as stored in a Date field (no time zone).
struct DateTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool operator==(const DateTime&) const = default;
};

// One value of a data row. std::monostate is NULL. Texts are UTF-8. Numbers convert to the
// field's type; Currency and Decimal also take a decimal text ("12.34"), Guid takes
// "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}", Date takes DateTime or a day number,
// DateTimeExtended takes "YYYY-MM-DD HH:MM:SS" with up to 7 digits of fraction after a '.'.
using Value = std::variant<std::monostate, bool, std::int64_t, double, std::string,
                           std::vector<std::uint8_t>, DateTime>;

struct FieldDescription {
    std::string name;
    FieldType type = FieldType::Text;
    // Text: length in characters (1..255, default 50); Binary: length in bytes (1..255,
    // default 50); ignored for other types.
    int size = 0;
    bool fixedLength = false;  // Text and Binary: stored with fixed length
    bool autoNumber = false;   // Long only: AutoNumber (incrementing)
    bool hyperlink = false;    // Memo only
    bool required = false;
    bool allowZeroLength = false;  // stored for Text and Memo fields
    std::optional<std::string> defaultValue;
    std::optional<std::string> validationRule;
    std::optional<std::string> validationText;
    std::optional<std::string> description;
    int precision = 18;  // Decimal only: 1..28
    int scale = 0;       // Decimal only: 0..precision
};

struct IndexColumn {
    std::string field;
    bool descending = false;
};

// A logical index. A primary index is always unique and required. Logical indexes with the
// same key columns and flags share one physical index, as Jet does.
struct IndexDescription {
    std::string name;
    std::vector<IndexColumn> columns;  // 1..10 key columns
    bool primary = false;
    bool unique = false;
    bool required = false;
    bool ignoreNulls = false;
};

// Rows produced on demand, for tables too large to hold as values: `make(i)` returns row i
// (one value per field, in field order) for i in 0..count-1.
struct RowGenerator {
    std::size_t count = 0;
    std::function<std::vector<Value>(std::size_t)> make;
};

struct TableDescription {
    std::string name;
    std::vector<FieldDescription> fields;  // 1..kMaxFields
    std::vector<IndexDescription> indexes;
    bool hidden = false;                     // catalog flag "hidden"
    bool system = false;                     // catalog flag "system object" (as on USys tables)
    std::optional<std::string> description;  // table properties
    std::optional<std::string> validationRule;
    std::optional<std::string> validationText;
    std::vector<std::vector<Value>> rows;       // data rows, one value per field
    std::optional<RowGenerator> generatedRows;  // written after `rows`
};

// A relationship between a table on the "one" side (primaryTable, whose fields must carry a
// unique index) and a table on the "many" side (foreignTable).
struct RelationshipDescription {
    std::string name;  // default: primaryTable + foreignTable
    std::string primaryTable;
    std::string foreignTable;
    struct FieldPair {
        std::string primaryField;
        std::string foreignField;
    };
    std::vector<FieldPair> fields;
    bool enforce = true;  // referential integrity: adds the foreign-key indexes
    bool cascadeUpdates = false;
    bool cascadeDeletes = false;
    bool oneToOne = false;       // attribute bit 1
    bool cascadeToNull = false;  // deletes set the foreign key to NULL (later Access versions)
    bool leftJoin = false;       // the join shown in query design: all rows of primaryTable
    bool rightJoin = false;      // all rows of foreignTable
    std::optional<std::string> foreignIndexName;  // many side; default: the relationship's name
    std::optional<std::string> primaryIndexName;  // one side; default ".rC", ".rD", ...
};

enum class QueryKind {
    Select,
    Union,
    Crosstab,
    Append,
    Update,
    Delete,
    MakeTable,
    PassThrough,
    DataDefinition,
};

enum class JoinKind { Inner, Left, Right };

// The part a column plays in a crosstab query (ignored by other kinds).
enum class CrosstabRole { RowHeading, ColumnHeading, Transform };

struct QueryParameter {
    std::string name;
    std::optional<FieldType> type;  // empty: "Value"
    int size = 0;                   // Text only
};

// A table or query in FROM, with an optional alias.
struct QueryTable {
    std::string name;
    std::string alias;
};

// left JOIN right ON condition; left and right are table names or aliases from `tables`.
struct QueryJoin {
    std::string left;
    std::string right;
    JoinKind kind = JoinKind::Inner;
    std::string condition;
};

// An output column. `expression` is stored as written ("[Orders].[Total]", "Sum(Qty)").
// `alias` adds "AS alias". `target` is the destination field of Append and Update queries.
struct QueryColumn {
    std::string expression;
    std::string alias;
    std::string target;
    CrosstabRole role = CrosstabRole::RowHeading;
};

struct QueryOrder {
    std::string expression;
    bool descending = false;
};

// A row of MSysQueries stored as given after a query's own rows: what Access writes rarely (rows
// of attribute 12 that carry only a Flag) or what damage leaves behind. Empty names and a missing
// expression or flag are NULL.
struct RawQueryRow {
    int attribute = 0;  // 0..255
    std::optional<std::int64_t> flag;
    std::string name1;
    std::string name2;
    std::optional<std::string> expression;
};

// A saved query in the structured form in which the system table of queries holds it.
struct QueryDescription {
    std::string name;
    QueryKind kind = QueryKind::Select;
    bool hidden = false;
    bool system = false;  // catalog flag "system object" (as on the ~sq_ queries of forms)
    bool distinct = false;
    bool distinctRow = false;
    bool selectStar = false;  // "SELECT *" (after any columns)
    bool ownerAccess = false;
    std::string top;  // "TOP n" when not empty
    bool topPercent = false;
    std::vector<QueryParameter> parameters;
    std::vector<QueryTable> tables;
    std::vector<QueryJoin> joins;
    std::vector<QueryColumn> columns;
    std::string where;
    std::vector<QueryColumn> groupBy;  // expression (and crosstab role) only
    std::string having;
    std::vector<QueryOrder> orderBy;
    std::string targetTable;              // Append and MakeTable
    std::vector<std::string> unionParts;  // Union: two SELECT texts
    bool unionAll = false;
    std::string sqlText;  // PassThrough and DataDefinition: the statement as stored
    std::string connect;  // PassThrough: connect string, e.g. "ODBC;DSN=x"
    // Access 2007 leaves the Type row (attribute 1) and the Flags row (attribute 3) out of some
    // queries; the catalog flags still give the kind.
    bool writeTypeRow = true;
    bool writeFlagsRow = true;
    std::vector<RawQueryRow> extraRows;
};

struct DatabaseDescription {
    std::vector<TableDescription> tables;
    std::vector<QueryDescription> queries;
    std::vector<RelationshipDescription> relationships;
    int collatingOrder = 1033;  // sort order in the header page
    DateTime created{2024, 1, 1,
                     12,   0, 0};  // creation date of every object, for reproducible files
};

// Limits of the writer (and of Jet 4 where they coincide).
inline constexpr std::size_t kMaxFields = 1000;  // Jet allows 255; tests need more
inline constexpr std::size_t kMaxIndexColumns = 10;
inline constexpr std::size_t kMaxNameLength = 64;  // characters

}  // namespace zl::jetwrite
