// Index statements, key constraints, index column lists and view statements of the SQL script.
#pragma once

#include <string>
#include <string_view>

#include "sqlgen/sql_script.h"

namespace zl::schema {
class Database;
struct Index;
}  // namespace zl::schema

namespace zl::sqlgen {

// Each text below also has an append form that adds it to `out`.

// "CREATE [UNIQUE ][CLUSTERED ]INDEX name ON table (columns) " with, for MS Access, one WITH
// option, and ";". No line end.
std::string CreateIndexStatement(SqlDialect dialect, const schema::Index& index,
                                 std::string_view tableName);
void appendCreateIndexStatement(std::string& out, SqlDialect dialect, const schema::Index& index,
                                std::string_view tableName);

// "CONSTRAINT name PRIMARY KEY CLUSTERED  (columns) " or "CONSTRAINT name UNIQUE  (columns) ".
// No line end. Meant for unique indexes.
std::string KeyConstraint(SqlDialect dialect, const schema::Index& index);
void appendKeyConstraint(std::string& out, SqlDialect dialect, const schema::Index& index);

// The SQL column list of a stored index field list such as "+LastName;-Born":
// "[LastName] Asc,[Born] Desc" (names quoted for the dialect).
std::string IndexFieldList(SqlDialect dialect, std::string_view storedFields);
void appendIndexFieldList(std::string& out, SqlDialect dialect, std::string_view storedFields);

// "CREATE VIEW name AS " + the QueryDef's SQL text + CR LF. The SQL text keeps its line breaks;
// other control characters become spaces. Throws EngineError when the QueryDef cannot be read.
std::string CreateViewStatement(SqlDialect dialect, const schema::Database& db,
                                const std::string& queryDefName);

}  // namespace zl::sqlgen
