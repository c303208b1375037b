// The database engine interface in DAO terms: every operation the program uses to read a schema.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace zl::schema {

// The one error type of the engine interface. Every failing operation throws it; what() is the
// engine's description text, shown to the user as it stands.
class EngineError : public std::runtime_error {
public:
    explicit EngineError(const std::string& description) : std::runtime_error(description) {}
    std::string description() const { return what(); }
};

// DAO data type numbers (Field.Type).
namespace dao {
inline constexpr int kBoolean = 1;
inline constexpr int kByte = 2;
inline constexpr int kInteger = 3;
inline constexpr int kLong = 4;
inline constexpr int kCurrency = 5;
inline constexpr int kSingle = 6;
inline constexpr int kDouble = 7;
inline constexpr int kDate = 8;
inline constexpr int kBinary = 9;
inline constexpr int kText = 10;
inline constexpr int kLongBinary = 11;
inline constexpr int kMemo = 12;
inline constexpr int kGuid = 15;
inline constexpr int kBigInt = 16;
inline constexpr int kDecimal = 20;
inline constexpr int kExtendedDate = 26;
inline constexpr int kComplex = 101;

// Field.Attributes bits.
inline constexpr std::int32_t kFixedField = 1;
inline constexpr std::int32_t kVariableField = 2;
inline constexpr std::int32_t kAutoIncrField = 16;
inline constexpr std::int32_t kUpdatableField = 32;
inline constexpr std::int32_t kHyperlinkField = 32768;

// Table listing: "TableType" values and "Attributes" bits.
inline constexpr std::int32_t kTableTypeTable = 1;
inline constexpr std::int32_t kTableTypeOdbcLink = 4;
inline constexpr std::int32_t kTableTypeQueryDef = 5;
inline constexpr std::int32_t kTableTypeAccessLink = 6;
inline constexpr std::int32_t kSystemObjectMask = static_cast<std::int32_t>(0x80000002u);

// QueryDef.Type values (the high nibble of the query's catalog flags).
inline constexpr int kQuerySelect = 0;
inline constexpr int kQueryCrosstab = 16;
inline constexpr int kQueryDelete = 32;
inline constexpr int kQueryUpdate = 48;
inline constexpr int kQueryAppend = 64;
inline constexpr int kQueryMakeTable = 80;
inline constexpr int kQueryDataDefinition = 96;
inline constexpr int kQueryPassThrough = 112;
inline constexpr int kQueryUnion = 128;

// Relation.Attributes bits.
inline constexpr std::int32_t kRelationUnique = 1;
inline constexpr std::int32_t kRelationDontEnforce = 2;
inline constexpr std::int32_t kRelationUpdateCascade = 256;
inline constexpr std::int32_t kRelationDeleteCascade = 4096;
inline constexpr std::int32_t kRelationDeleteSetNull = 0x2000;
inline constexpr std::int32_t kRelationLeft = 0x1000000;
inline constexpr std::int32_t kRelationRight = 0x2000000;
}  // namespace dao

// One row of Database.ListTables: the columns "Name", "TableType" and "Attributes".
struct TableListRow {
    std::string name;
    std::int32_t tableType = 0;
    std::int32_t attributes = 0;

    bool isSystemObject() const { return (attributes & dao::kSystemObjectMask) != 0; }
    // DAO's test for a QueryDef row: TableType masked with 5 equals 5.
    bool isQueryDef() const { return (tableType & 5) == 5; }
    bool operator==(const TableListRow&) const = default;
};

// A Field of TableDef.Fields, with every property the generators read. Texts are UTF-8.
// The small members come first and the texts most often read after them, so that a reader of
// many fields touches few cache lines of each.
struct Field {
    std::string name;
    int type = 0;                 // DAO data type number
    std::int32_t attributes = 0;  // dbFixedField, dbVariableField, dbAutoIncrField, ...
    std::int32_t size = 0;        // Text and Binary: declared length in characters
    bool required = false;
    bool allowZeroLength = false;
    bool calculated = false;       // a calculated column; `type` is its result type
    std::optional<int> precision;  // Decimal fields only; unset when the file does not say
    std::optional<int> scale;      // Decimal fields only
    std::string defaultValue;
    std::string validationRule;
    std::string description;  // the Description property, "" when absent
    std::string expression;   // calculated columns: the Access expression
    std::string validationText;
    bool operator==(const Field&) const = default;
};

// An Index of TableDef.Indexes. `fields` is the text form of Index.Fields: "+" or "-" and the
// column name for each key column, joined by ";".
struct Index {
    std::string name;
    std::string fields;
    bool primary = false;
    bool unique = false;
    bool foreign = false;
    bool required = false;
    bool ignoreNulls = false;
    bool operator==(const Index&) const = default;
};

// A TableDef fetched by name. Collections are addressed by 0-based position; a position outside
// 0..count-1, or an entry the engine cannot read, throws EngineError.
class TableDef {
public:
    virtual ~TableDef() = default;
    virtual int fieldCount() const = 0;
    virtual Field field(int position) const = 0;
    // Every field at once, when the engine holds them read in full: valid as long as the
    // TableDef, and without a copy of each. Null where fields are read one by one (field()).
    virtual const std::vector<Field>* fields() const { return nullptr; }
    virtual int indexCount() const = 0;
    virtual Index index(int position) const = 0;
    // TableDef.ValidationRule, ValidationText and the Description property; "" when absent.
    virtual std::string validationRule() const { return {}; }
    virtual std::string validationText() const { return {}; }
    virtual std::string description() const { return {}; }
};

// A QueryDef fetched by name. sql() separates lines with CR LF and ends with CR LF.
class QueryDef {
public:
    virtual ~QueryDef() = default;
    virtual std::string sql() const = 0;
    // QueryDef.Type: one of the dao::kQuery* values.
    virtual int type() const { return dao::kQuerySelect; }
    // QueryDef.Close; releasing the object closes it too.
    virtual void close() {}
};

// One key column of a Relation: `name` in Relation.Table, `foreignName` in Relation.ForeignTable.
struct RelationField {
    std::string name;
    std::string foreignName;
    bool operator==(const RelationField&) const = default;
};

// A Relation of Database.Relations. `table` is the "one" side whose key is referenced;
// `foreignTable` holds the foreign key. Fields come in key order.
struct Relation {
    std::string name;
    std::string table;
    std::string foreignTable;
    std::int32_t attributes = 0;  // dao::kRelation* bits
    std::vector<RelationField> fields;
    bool operator==(const Relation&) const = default;
};

// The kind of one value a Recordset yields.
enum class ValueKind {
    Null,
    Boolean,       // `integer` 0 or 1
    Integer,       // Byte, Integer, Long, BigInt and complex columns' keys: `integer`
    Currency,      // `integer` in ten-thousandths, exact
    Decimal,       // `text`: the exact decimal ("-12.3400"), never through a double
    Single,        // `real`: the stored float, widened exactly
    Double,        // `real`
    Date,          // `real`: days since 1899-12-30 as stored; before that day the fraction
                   // is the time of day whatever the sign ("-1.25" is 1899-12-29 06:00)
    ExtendedDate,  // `text`: "YYYY-MM-DD HH:MM:SS.fffffff", exact to 100 ns
    Text,          // `text`: UTF-8 (Text, Memo)
    Binary,        // `bytes`: Binary, OLE / LongBinary
    Guid,          // `bytes`: 16 bytes in the order the text form writes them
};

// One column value of a row. `inexact` is set when the stored text held a lone UTF-16
// surrogate, which UTF-8 cannot carry: it became U+FFFD.
struct Value {
    ValueKind kind = ValueKind::Null;
    std::int64_t integer = 0;
    double real = 0;
    std::string text;
    std::vector<std::byte> bytes;
    bool inexact = false;

    bool isNull() const { return kind == ValueKind::Null; }
};

// A forward-only cursor over the rows of one table (DAO's Database.OpenRecordset with
// dbOpenForwardOnly). Only the current row is held.
class Recordset {
public:
    virtual ~Recordset() = default;
    // Moves to the next live row; false after the last. Throws EngineError naming the table
    // and the data page when a page is damaged.
    virtual bool moveNext() = 0;
    // The current row: one Value per field, in TableDef.Fields order.
    virtual const std::vector<Value>& values() const = 0;
    // The row count the table definition records (a hint for progress; may be stale).
    virtual std::uint64_t recordedCount() const = 0;
    // Decodes only the fields whose flag is true (by TableDef.Fields position); the others read
    // as Null. Saves work for passes that look at keys only. All fields by default.
    virtual void restrictTo(const std::vector<bool>& wanted) { (void)wanted; }
    // Hands the current row's values to `into`, for a caller that keeps rows past moveNext();
    // `into`'s old values may be reused for the next row, so values() is unspecified until then.
    virtual void takeValues(std::vector<Value>& into) { into = values(); }
};

// An open database. Every operation may throw EngineError with the engine's description.
class Database {
public:
    virtual ~Database() = default;
    // Database.Name: the full (absolute) path of the open file.
    virtual std::string name() const = 0;
    // Database.CollatingOrder: 1033 General, 1053 Swedish/Finnish, ...
    virtual int collatingOrder() const = 0;
    // Database.ListTables: one row per table, linked table and QueryDef, system objects included.
    virtual std::vector<TableListRow> listTables() const = 0;
    // Database.TableDefs(name).
    virtual std::unique_ptr<TableDef> tableDef(const std::string& name) const = 0;
    // Database.OpenQueryDef(name).
    virtual std::unique_ptr<QueryDef> openQueryDef(const std::string& name) const = 0;
    // Database.QueryDefs(name); the same object as openQueryDef for every provider we have.
    virtual std::unique_ptr<QueryDef> queryDef(const std::string& name) const {
        return openQueryDef(name);
    }
    // Database.Relations: every relationship of the file, system tables included, sorted by name
    // like the table listing.
    virtual std::vector<Relation> relations() const { return {}; }
    // Database.OpenRecordset(table, dbOpenForwardOnly). Throws EngineError when the table does
    // not exist, is linked or a query, or its definition cannot be read.
    virtual std::unique_ptr<Recordset> openRecordset(const std::string& table) const {
        throw EngineError("The engine cannot read the rows of \"" + table + "\".");
    }
    // Database.Close. Closing twice is harmless.
    virtual void close() = 0;
};

// DBEngine: opens databases.
class Engine {
public:
    virtual ~Engine() = default;
    // DBEngine.OpenDatabase(name, shared, read-only). Throws EngineError with a description
    // of why the file cannot be opened (missing, not a database, encrypted, damaged).
    virtual std::unique_ptr<Database> openDatabase(const std::string& fileName) = 0;
};

}  // namespace zl::schema
