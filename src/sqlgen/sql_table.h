// CREATE TABLE statements: the statement group of one table, its column lines and name quoting.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "sqlgen/sql_script.h"

namespace zl::schema {
class Database;
class SchemaModel;
struct Field;
}  // namespace zl::schema

namespace zl::sqlgen {

// What one script is generated from; fixed from its start to its end.
struct SqlContext {
    SqlDialect dialect = SqlDialect::MsAccess;
    const schema::Database& db;
    const schema::SchemaModel& model;
};

// Each text below also has an append form that adds it to `out`.

// `name` quoted for the dialect: "[name]" for MS Access with "]" doubled, "\"name\"" for SQL
// Server with '"' doubled. Control characters become spaces.
std::string QuoteSqlName(SqlDialect dialect, std::string_view name);
void appendQuotedSqlName(std::string& out, SqlDialect dialect, std::string_view name);

// What follows a column's name and one blank: type and size, nullability (SQL Server), default.
void appendColumnDefinition(std::string& out, SqlDialect dialect, const schema::Field& field);

// The CREATE TABLE statement of entry `entryIndex` followed by its index statements, every line
// ending with CR LF. Throws EngineError when the engine cannot give the table.
void appendCreateTableStatement(std::string& out, const SqlContext& context,
                                std::size_t entryIndex);

}  // namespace zl::sqlgen
