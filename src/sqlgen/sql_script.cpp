// The whole SQL script: every selected table, then (SQL Server) every selected QueryDef as view.
#include "sqlgen/sql_script.h"

#include <algorithm>

#include "schema/engine.h"
#include "schema/schema_model.h"
#include "sqlgen/sql_index.h"
#include "sqlgen/sql_table.h"
#include "sqlgen/target_script.h"

namespace zl::sqlgen {

std::string GenerateSqlScript(SqlDialect dialect, const schema::SchemaModel& model,
                              const schema::Database* db) {
    if (dialect == SqlDialect::PostgreSql || dialect == SqlDialect::Sqlite) {
        const auto target = dialect == SqlDialect::PostgreSql ? translate::Target::PostgreSql
                                                              : translate::Target::Sqlite;
        return generateTargetScript(target, model, db).text;
    }
    std::string script;
    const auto& entries = model.entries();
    bool anythingToRead = false;
    for (const schema::SchemaEntry& entry : entries) {
        // MS Access scripts leave QueryDefs out.
        if (entry.selected && (!entry.isQueryDef || dialect == SqlDialect::SqlServer)) {
            anythingToRead = true;
        }
    }
    if (!anythingToRead) return script;
    if (db == nullptr) throw schema::EngineError("No database is open.");

    const SqlContext context{dialect, *db, model};
    // A rough size, so that a large script is not copied over and over while it grows.
    script.reserve(std::min(std::size_t{64} << 20, entries.size() * 2048));
    for (std::size_t e = 0; e < entries.size(); ++e) {
        if (!entries[e].selected || entries[e].isQueryDef) continue;
        appendCreateTableStatement(script, context, e);
        script.append("\r\n");
    }
    if (dialect == SqlDialect::SqlServer) {
        for (const schema::SchemaEntry& entry : entries) {
            if (!entry.selected || !entry.isQueryDef) continue;
            script.append(CreateViewStatement(dialect, *db, entry.name)).append("\r\n");
        }
    }
    return script;
}

}  // namespace zl::sqlgen
