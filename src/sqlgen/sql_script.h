// Builds the SQL data-definition script for the selected schema.
#pragma once

#include <string>

namespace zl::schema {
class Database;
class SchemaModel;
}  // namespace zl::schema

namespace zl::sqlgen {

// 1 MS Access, 2 SQL Server: the number of the menu entry. PostgreSQL and SQLite are the targets
// whose scripts load as they are (sqlgen/target_script.h).
enum class SqlDialect { MsAccess = 1, SqlServer = 2, PostgreSql = 3, Sqlite = 4 };

// The caption of the window that shows the script.
inline constexpr const char* kSqlScriptCaption = "SQL Create Table Statements";

// Returns the whole script (UTF-8, CR LF line ends) for the selected entries of `model`.
// `db` may be null only when the model has no entries. A failing engine operation abandons the
// script: the EngineError passes to the caller. The PostgreSQL and SQLite scripts (LF line ends)
// end with their ledger summary as a comment; they carry what cannot be read as comments.
std::string GenerateSqlScript(SqlDialect dialect, const schema::SchemaModel& model,
                              const schema::Database* db);

}  // namespace zl::sqlgen
