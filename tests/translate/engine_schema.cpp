// Tables and rows for loading translated SQL into the real engines in tests.
#include "engine_schema.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>

#include "schema/engine.h"
#include "schema/jet/jet_engine.h"

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
            table.columns.push_back({f.name, f.type, f.size});
        }
        out.map.addTable(table);
        out.tables.push_back(std::move(table));
    }
    for (const SavedQuery& q : out.queries) out.map.addQuery(q.name);
    return out;
}

std::string columnType(Target target, const Column& c) {
    const bool pg = target == Target::PostgreSql;
    switch (c.daoType) {
        case dao::kBoolean:
            return pg ? "boolean" : "INTEGER";
        case dao::kByte:
        case dao::kInteger:
            return pg ? "smallint" : "INTEGER";
        case dao::kLong:
            return pg ? "integer" : "INTEGER";
        case dao::kBigInt:
            return pg ? "bigint" : "INTEGER";
        case dao::kCurrency:
            return pg ? "numeric(19,4)" : "TEXT";
        case dao::kDecimal:
            return pg ? "numeric" : "TEXT";
        case dao::kSingle:
            return pg ? "real" : "REAL";
        case dao::kDouble:
            return pg ? "double precision" : "REAL";
        case dao::kDate:
        case dao::kExtendedDate:
            return pg ? "timestamp" : "TEXT";
        case dao::kText:
            return pg ? "varchar(" + std::to_string(c.size > 0 ? c.size : 255) + ")" : "TEXT";
        case dao::kGuid:
            return pg ? "uuid" : "TEXT";
        case dao::kBinary:
        case dao::kLongBinary:
            return pg ? "bytea" : "BLOB";
        default:
            return pg ? "text" : "TEXT";
    }
}

namespace {

std::string quote(const std::string& name) {
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
