// Writer-made databases for the export tests.
#include "export_databases.h"

#include <sqlite3.h>

#include <atomic>
#include <charconv>
#include <cmath>
#include <limits>

#include "export/export_plan.h"
#include "export/value_text.h"
#include "jetwrite/edge_databases.h"
#include "jetwrite/value_encoder.h"
#include "schema/jet/jet_engine.h"
#include "schema/schema_model.h"
#include "sqlgen/target_names.h"
#include "sqlgen/target_schema.h"
#include "sqlgen/target_script.h"

namespace zl::exporter::testing {
namespace {

using jetwrite::FieldType;
using jetwrite::Value;
using jetwrite::testing::field;

std::string repeated(const std::string& unit, std::size_t count) {
    std::string text;
    text.reserve(unit.size() * count);
    for (std::size_t i = 0; i < count; ++i) text += unit;
    return text;
}

std::vector<std::uint8_t> bytesUpTo(std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(i * 37 + 1);
    return bytes;
}

}  // namespace

jetwrite::DatabaseDescription everyTypeDatabase() {
    jetwrite::TableDescription table;
    table.name = "Every Type";
    auto id = field("ID", FieldType::Long);
    id.autoNumber = true;
    auto decimal = field("Dec", FieldType::Decimal);
    decimal.precision = 28;
    decimal.scale = 10;
    table.fields = {id,
                    field("Flag", FieldType::Boolean),
                    field("Tiny", FieldType::Byte),
                    field("Small", FieldType::Integer),
                    field("Whole", FieldType::Long),
                    field("Money", FieldType::Currency),
                    field("Float", FieldType::Single),
                    field("Real", FieldType::Double),
                    field("When", FieldType::Date),
                    field("Name", FieldType::Text, 255),
                    field("Notes", FieldType::Memo),
                    field("Raw", FieldType::Binary, 20),
                    field("Blob", FieldType::LongBinary),
                    field("Key", FieldType::Guid),
                    decimal,
                    field("Big", FieldType::BigInt),
                    field("Stamp", FieldType::DateTimeExtended)};
    table.indexes = {{"PrimaryKey", {{"ID", false}}, true, true, true, false}};
    const Value null;
    table.rows = {
        {std::int64_t{1}, true, std::int64_t{255}, std::int64_t{-32768},
         std::int64_t{std::numeric_limits<std::int32_t>::min()},
         std::string("-922337203685477.5808"), 3.4028234663852886e38, 1.7976931348623157e308,
         jetwrite::DateTime{1753, 1, 1, 0, 0, 0}, repeated("x", 255), repeated("memo ", 820),
         std::vector<std::uint8_t>{}, bytesUpTo(100),
         std::string("{6B29FC40-CA47-1067-B31D-00DD010662DA}"),
         std::string("-123456789012345678.1234567891"),
         std::int64_t{std::numeric_limits<std::int64_t>::min()},
         std::string("9999-12-31 23:59:59.9999999")},
        {std::int64_t{2}, false, std::int64_t{0}, std::int64_t{32767},
         std::int64_t{std::numeric_limits<std::int32_t>::max()},
         std::string("922337203685477.5807"), 1.401298464324817e-45, -4.9406564584124654e-324, -1.5,
         std::string(), std::string(), bytesUpTo(20), bytesUpTo(5000),
         std::string("{00000000-0000-0000-0000-000000000000}"),
         std::string("999999999999999999.9999999999"),
         std::int64_t{std::numeric_limits<std::int64_t>::max()},
         std::string("0001-01-01 00:00:00")},
        {std::int64_t{3}, true, std::int64_t{7}, std::int64_t{0}, std::int64_t{0},
         std::string("0.0001"), 0.1, 0.1, jetwrite::DateTime{100, 1, 1, 23, 59, 59},
         std::string("a\xF0\x9F\x98\x80z \xC3\xA9"), repeated("\xE2\x82\xAC", 5 * 1024 * 1024 / 3),
         bytesUpTo(1), bytesUpTo(5 * 1024 * 1024),
         std::string("{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF}"), std::string("0.0000000001"),
         std::int64_t{0}, std::string("2024-02-29 13:14:15.1234567")},
        {std::int64_t{4}, false, null, null, null, null, null, null, null, null, null, null, null,
         null, null, null, null},
        {std::int64_t{5}, false, std::int64_t{1}, std::int64_t{1}, std::int64_t{1},
         std::string("1"), -0.0, 1e-300, jetwrite::DateTime{2024, 2, 29, 13, 14, 15},
         std::string("tab\there\nline\\slash\x01"), std::string("nul\x00inside", 10), null, null,
         null, std::string("-0.5"), std::int64_t{-1}, std::string("1899-12-30 00:00:00.0000001")},
    };
    jetwrite::DatabaseDescription database;
    database.tables.push_back(std::move(table));
    return database;
}

std::shared_ptr<const SchemaScript> targetScript(Target target, const schema::SchemaModel& model,
                                                 const schema::Database& db) {
    const translate::Target dialect =
        target == Target::Sqlite ? translate::Target::Sqlite : translate::Target::PostgreSql;
    const sqlgen::TargetSchema schema = sqlgen::readTargetSchema(model, &db);
    auto script = std::make_shared<SchemaScript>();
    script->script = sqlgen::generateTargetScript(dialect, schema).text;
    script->names = std::make_shared<sqlgen::TargetNames>(dialect, schema);
    return script;
}

std::string expectedText(FieldType type, const Value& value, bool postgres) {
    if (std::holds_alternative<std::monostate>(value)) return "<null>";
    switch (type) {
        case FieldType::Boolean:
            return std::get<bool>(value) ? "1" : "0";
        case FieldType::Byte:
        case FieldType::Integer:
        case FieldType::Long:
        case FieldType::BigInt:
            return std::to_string(std::get<std::int64_t>(value));
        case FieldType::DateTimeExtended: {
            // SQLite: six digits of fraction, none when zero, a 7th when not zero; PostgreSQL's
            // timestamp(6) cuts the 7th and shows no zeros at the end.
            std::string text = std::get<std::string>(value);
            if (text.size() == 19) text += ".";
            text.resize(27, '0');
            if (!postgres && text.back() != '0') return text;
            text.pop_back();
            if (!postgres) return text.substr(20) == "000000" ? text.substr(0, 19) : text;
            while (text.back() == '0') text.pop_back();
            if (text.back() == '.') text.pop_back();
            return text;
        }
        case FieldType::Currency:
        case FieldType::Decimal: {
            // Every decimal of the scale, as numeric(p,s) and the SQLite text both write it.
            const std::size_t scale = type == FieldType::Currency ? 4 : 10;
            std::string text = std::get<std::string>(value);
            const std::size_t point = text.find('.');
            const std::size_t decimals = point == std::string::npos ? 0 : text.size() - point - 1;
            if (point == std::string::npos) text += ".";
            return text + std::string(scale - decimals, '0');
        }
        case FieldType::Single:
            if (!postgres && std::get<double>(value) == 0) return "0";  // SQLite: no -0
            return realText(static_cast<double>(static_cast<float>(std::get<double>(value))),
                            false);
        case FieldType::Double:
            return realText(std::get<double>(value), false);
        case FieldType::Date: {
            const double days = std::holds_alternative<jetwrite::DateTime>(value)
                                    ? jetwrite::dateToDays(std::get<jetwrite::DateTime>(value))
                                    : std::get<double>(value);
            return dateText(days).value_or("?");
        }
        case FieldType::Text:
        case FieldType::Memo: {
            std::string text = std::get<std::string>(value);
            if (postgres) std::erase(text, '\0');
            return text;
        }
        case FieldType::Binary:
        case FieldType::LongBinary: {
            static constexpr char kHex[] = "0123456789abcdef";
            std::string text = "\\x";
            for (const std::uint8_t b : std::get<std::vector<std::uint8_t>>(value)) {
                text += kHex[b >> 4];
                text += kHex[b & 15];
            }
            return text;
        }
        case FieldType::Guid: {
            std::string text;
            for (const char c : std::get<std::string>(value)) {
                if (c == '{' || c == '}') continue;
                text += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
            return text;
        }
    }
    return "?";
}

ExportResult exportTables(const schema::Database& db, ExportRequest request,
                          const std::vector<std::string>& tables, bool withScript) {
    schema::SchemaModel model;
    if (tables.empty()) {
        for (const schema::TableListRow& row : db.listTables()) {
            if (!row.isSystemObject()) model.addEntry(row.name, row.isQueryDef());
        }
    }
    for (const std::string& table : tables) model.addEntry(table, false);
    model.ResetSelection();
    const ExportPlan plan = planExport(db, model);
    if (withScript) request.schemaScript = targetScript(request.target, model, db);
    std::atomic<bool> cancel{false};
    return runExport(db, plan, request, cancel, nullptr);
}

ExportResult exportFile(const std::filesystem::path& file, const ExportRequest& request,
                        const std::vector<std::string>& tables, bool withScript) {
    schema::jet::JetEngine engine;
    return exportTables(*engine.openDatabase(file.string()), request, tables, withScript);
}

// Every value of `table` ordered by its first column, in the compared form.
Table readSqlite(const std::filesystem::path& file, const std::string& table) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    const std::string sql = "SELECT * FROM \"" + table + "\" ORDER BY 1";
    sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
    Table rows;
    while (statement && sqlite3_step(statement) == SQLITE_ROW) {
        std::vector<std::string> row;
        for (int c = 0; c < sqlite3_column_count(statement); ++c) {
            switch (sqlite3_column_type(statement, c)) {
                case SQLITE_NULL:
                    row.push_back("<null>");
                    break;
                case SQLITE_INTEGER:
                    row.push_back(std::to_string(sqlite3_column_int64(statement, c)));
                    break;
                case SQLITE_FLOAT:
                    row.push_back(realText(sqlite3_column_double(statement, c), false));
                    break;
                case SQLITE_BLOB: {
                    static constexpr char kHex[] = "0123456789abcdef";
                    const auto* bytes =
                        static_cast<const unsigned char*>(sqlite3_column_blob(statement, c));
                    std::string text = "\\x";
                    for (int i = 0; i < sqlite3_column_bytes(statement, c); ++i) {
                        text += kHex[bytes[i] >> 4];
                        text += kHex[bytes[i] & 15];
                    }
                    row.push_back(text);
                    break;
                }
                default:
                    row.emplace_back(
                        reinterpret_cast<const char*>(sqlite3_column_text(statement, c)),
                        static_cast<std::size_t>(sqlite3_column_bytes(statement, c)));
            }
        }
        rows.push_back(std::move(row));
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

}  // namespace zl::exporter::testing
