// Tables and rows for loading translated SQL into the real engines in tests.
#include "engine_schema.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>

#include "schema/engine.h"
#include "schema/jet/jet_engine.h"
#include "sqlgen/target_script.h"

namespace zl::translate::testing {

namespace dao = schema::dao;

AccessSchema readAccessSchema(const std::string& path) {
    schema::jet::JetEngine engine;
    const auto db = engine.openDatabase(path);
    AccessSchema out;
    for (const schema::TableListRow& row : db->listTables()) {
        if (row.isSystemObject()) continue;
        if (row.isQueryDef()) {
            const auto q = db->openQueryDef(row.name);
            out.queries.push_back({row.name, q->sql(), q->type()});
            continue;
        }
        if (row.tableType != dao::kTableTypeTable) continue;
        const auto def = db->tableDef(row.name);
        TableColumns table{row.name, {}};
        for (int i = 0; i < def->fieldCount(); ++i) {
            const schema::Field f = def->field(i);
            table.columns.push_back({table.keep(f.name), f.type, f.size});
        }
        out.map.addTable(table);
        out.tables.push_back(std::move(table));
    }
    for (const SavedQuery& q : out.queries) out.map.addQuery(q.name);
    return out;
}

std::string columnType(Target target, const Column& c) {
    schema::Field field;
    field.type = c.daoType;
    field.size = c.size;
    // The generator's own types, so that views run over the tables its scripts make; a type the
    // scripts do not carry becomes text.
    const std::string type = sqlgen::targetColumnType(target, field);
    return !type.empty() ? type : target == Target::PostgreSql ? "text" : "TEXT";
}

namespace {

std::string quote(std::string_view name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

}  // namespace

std::string createTableSql(Target target, const TableColumns& table) {
    std::string sql = "CREATE TABLE " + quote(table.name) + " (";
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        sql += (i ? ", " : "") + quote(table.columns[i].name) + " " +
               columnType(target, table.columns[i]);
    }
    return sql + ");\n";
}

std::string sampleRowsSql(Target target, const std::string& jsonPath) {
    std::ifstream in(jsonPath);
    const nlohmann::json doc = nlohmann::json::parse(in);
    const bool pg = target == Target::PostgreSql;
    std::string sql;
    for (const auto& table : doc["tables"]) {
        if (!table.contains("rows")) continue;
        const auto& fields = table["fields"];
        for (const auto& row : table["rows"]) {
            std::string values;
            for (std::size_t i = 0; i < row.size(); ++i) {
                const auto& v = row[i];
                std::string lit;
                if (v.is_null()) {
                    lit = "NULL";
                } else if (v.is_boolean()) {
                    lit = pg ? (v.get<bool>() ? "true" : "false") : (v.get<bool>() ? "1" : "0");
                } else if (v.is_number()) {
                    lit = v.dump();
                } else if (v.is_object()) {
                    const std::string hex = v["hex"].get<std::string>();
                    lit = pg ? "'\\x" + hex + "'::bytea" : "X'" + hex + "'";
                } else {
                    std::string text = v.get<std::string>();
                    if (fields[i]["type"] == "Date" && text.size() == 10) text += " 00:00:00";
                    lit = "'";
                    for (char c : text) {
                        if (c == '\'') lit += '\'';
                        lit += c;
                    }
                    lit += "'";
                }
                values += (i ? ", " : "") + lit;
            }
            sql += "INSERT INTO " + quote(table["name"].get<std::string>()) + " VALUES (" + values +
                   ");\n";
        }
    }
    return sql;
}

TargetDb::TargetDb(Target target) {
    if (target == Target::Sqlite) {
        m_lite = std::make_unique<zl::testing::SqliteDb>();
        return;
    }
    auto& pg = zl::testing::PgCluster::shared();
    if (!pg.ok()) {
        m_error = "PostgreSQL 15 is needed: " + pg.error();
        return;
    }
    m_pgDb = pg.createDatabase();
    if (m_pgDb.empty()) m_error = pg.error();
}

TargetDb::~TargetDb() = default;

std::string TargetDb::run(const std::string& script) {
    if (m_lite) return m_lite->exec(script);
    const zl::testing::CommandResult result =
        zl::testing::PgCluster::shared().psqlText(m_pgDb, script);
    if (result.status == 0 && !zl::testing::hasPsqlDiagnostics(result.output)) return {};
    return "psql status " + std::to_string(result.status) + ": " + result.output;
}

zl::testing::QueryRows TargetDb::query(const std::string& sql) {
    return m_lite ? m_lite->query(sql) : zl::testing::PgCluster::shared().query(m_pgDb, sql);
}

std::vector<std::string> normalizeRow(const std::vector<std::string>& row) {
    std::vector<std::string> out;
    for (const std::string& v : row) {
        if (v == "t" || v == "f") {
            out.push_back(v == "t" ? "1.00" : "0.00");
            continue;
        }
        char* end = nullptr;
        const double d = std::strtod(v.c_str(), &end);
        if (!v.empty() && end != nullptr && *end == '\0') {
            char buffer[64];
            std::snprintf(buffer, sizeof buffer, "%.2f", d);
            out.emplace_back(buffer);
        } else {
            out.push_back(v);
        }
    }
    return out;
}

}  // namespace zl::translate::testing
