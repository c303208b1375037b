// CREATE TABLE statements in the MS Access and SQL Server dialects. The texts are appended to
// one buffer, since a script of a large schema holds millions of characters.
#include "sqlgen/sql_table.h"

#include <memory>
#include <vector>

#include "schema/engine.h"
#include "schema/schema_model.h"
#include "sqlgen/sql_index.h"
#include "support/encoding.h"

namespace zl::sqlgen {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// Type name and the size that follows it, by DAO type number.
struct ColumnType {
    std::string_view name;
    std::int32_t size = 0;
};

ColumnType columnType(SqlDialect dialect, const schema::Field& field) {
    namespace dao = schema::dao;
    const bool access = dialect == SqlDialect::MsAccess;
    switch (field.type) {
        case dao::kBoolean:
            return {"Bit"};
        case dao::kByte:
            return {access ? "Byte" : "Tinyint"};
        case dao::kInteger:
            return {access ? "Short" : "Smallint"};
        case dao::kLong:
            if ((field.attributes & dao::kAutoIncrField) != 0) {
                return {access ? "Counter" : "Integer Identity(1,1)"};
            }
            return {access ? "Long" : "Integer"};
        case dao::kCurrency:
            return {access ? "Currency" : "Money"};
        case dao::kSingle:
            return access ? ColumnType{"Single"} : ColumnType{"Float", 7};
        case dao::kDouble:
            return access ? ColumnType{"Double"} : ColumnType{"Float", 15};
        case dao::kDate:
            return {access ? "Date" : "Datetime"};
        case dao::kText:
            return {access ? "Text" : "Character Varying", field.size};
        case dao::kLongBinary:
            return {access ? "LongBinary" : "Image"};
        case dao::kMemo:
            return {access ? "Memo" : "Text"};
        default:
            return {"<Unknown Field Type>"};
    }
}

// The key constraints of a SQL Server table: every unique index that is not a foreign key,
// whether or not the user's selection includes it.
void appendKeyConstraints(std::string& out, SqlDialect dialect,
                          const std::vector<schema::Index>& indexes) {
    for (const schema::Index& index : indexes) {
        if (index.unique && !index.foreign) {
            out.append(",").append(kCrLf).append("  ");
            appendKeyConstraint(out, dialect, index);
        }
    }
    out.append(kCrLf);
}

}  // namespace

void appendQuotedSqlName(std::string& out, SqlDialect dialect, std::string_view name) {
    // The closing mark inside a name is doubled, so that the name cannot end early.
    const char close = dialect == SqlDialect::MsAccess ? ']' : '"';
    out.push_back(dialect == SqlDialect::MsAccess ? '[' : '"');
    bool plain = true;
    for (char c : name) plain = plain && c != close && static_cast<unsigned char>(c) >= 0x20;
    if (plain) {
        out.append(name);
    } else {
        for (char c : name) {
            if (c == close) out.push_back(close);
            out.push_back(static_cast<unsigned char>(c) < 0x20 ? ' ' : c);
        }
    }
    out.push_back(close);
}

std::string QuoteSqlName(SqlDialect dialect, std::string_view name) {
    std::string quoted;
    appendQuotedSqlName(quoted, dialect, name);
    return quoted;
}

void appendColumnDefinition(std::string& out, SqlDialect dialect, const schema::Field& field) {
    ColumnType type = columnType(dialect, field);
    out.append(type.name);
    if (type.size > 0) out.append("(").append(std::to_string(type.size)).append(")");
    if (dialect == SqlDialect::SqlServer) out.append(field.required ? " NOT NULL" : " NULL");
    if (!field.defaultValue.empty()) {
        out.append(" DEFAULT ");
        support::appendControlsToSpaces(out, field.defaultValue);
    }
}

void appendCreateTableStatement(std::string& out, const SqlContext& context,
                                std::size_t entryIndex) {
    const SqlDialect dialect = context.dialect;
    const std::string& tableName = context.model.entry(entryIndex).name;
    std::unique_ptr<schema::TableDef> table = context.db.tableDef(tableName);

    out.append("CREATE TABLE ");
    appendQuotedSqlName(out, dialect, tableName);
    out.append(" (").append(kCrLf);
    // Every column line but the last one written ends with ", ".
    bool firstColumn = true;
    const int fieldCount = table->fieldCount();
    for (int j = 0; j < fieldCount; ++j) {
        if (!context.model.IsFieldIncluded(entryIndex, j)) continue;
        schema::Field field = table->field(j);
        if (!firstColumn) out.append(", ").append(kCrLf);
        firstColumn = false;
        out.append("  ");
        appendQuotedSqlName(out, dialect, field.name);
        out.append(" ");
        appendColumnDefinition(out, dialect, field);
    }
    if (!firstColumn) out.append(kCrLf);

    // SQL Server reads every index for the key constraints; MS Access only the included ones.
    const int indexCount = table->indexCount();
    std::vector<schema::Index> indexes;
    if (dialect == SqlDialect::SqlServer) {
        indexes.reserve(static_cast<std::size_t>(indexCount));
        for (int k = 0; k < indexCount; ++k) indexes.push_back(table->index(k));
        appendKeyConstraints(out, dialect, indexes);
    }
    out.append(");").append(kCrLf);

    for (int k = 0; k < indexCount; ++k) {
        if (!context.model.IsIndexIncluded(entryIndex, k)) continue;
        schema::Index index = dialect == SqlDialect::SqlServer
                                  ? indexes[static_cast<std::size_t>(k)]
                                  : table->index(k);
        // SQL Server has its unique indexes as key constraints already.
        if (index.foreign || (dialect == SqlDialect::SqlServer && index.unique)) continue;
        appendCreateIndexStatement(out, dialect, index, tableName);
        out.append(kCrLf);
    }
}

}  // namespace zl::sqlgen
