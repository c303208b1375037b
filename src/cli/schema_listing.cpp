// Plain and JSON listings of a database's schema.
#include "cli/schema_listing.h"

#include <nlohmann/json.hpp>
#include <ostream>
#include <set>

#include "schema/engine.h"

namespace zl::cli {

namespace {

using Json = nlohmann::ordered_json;
using schema::TableListRow;

bool isLocalTable(const TableListRow& row) {
    return row.tableType == schema::dao::kTableTypeTable && !row.isSystemObject();
}

Json optionalNumber(const std::optional<int>& value) {
    return value ? Json(*value) : Json(nullptr);
}

Json fieldJson(const schema::Field& f) {
    Json field{{"name", f.name},
               {"type", f.type},
               {"size", f.size},
               {"attributes", f.attributes},
               {"description", f.description},
               {"required", f.required},
               {"allowZeroLength", f.allowZeroLength},
               {"defaultValue", f.defaultValue},
               {"validationRule", f.validationRule},
               {"validationText", f.validationText}};
    if (f.type == schema::dao::kDecimal) {
        field["precision"] = optionalNumber(f.precision);
        field["scale"] = optionalNumber(f.scale);
    }
    if (f.calculated) {
        field["calculated"] = true;
        field["expression"] = f.expression;
    }
    return field;
}

Json indexJson(const schema::Index& i) {
    return Json{{"name", i.name},
                {"fields", i.fields},
                {"primary", i.primary},
                {"unique", i.unique},
                {"foreign", i.foreign},
                {"required", i.required},
                {"ignoreNulls", i.ignoreNulls}};
}

Json tableJson(const schema::Database& db, const std::string& name) {
    const auto table = db.tableDef(name);
    Json fields = Json::array();
    for (int j = 0; j < table->fieldCount(); ++j) fields.push_back(fieldJson(table->field(j)));
    Json indexes = Json::array();
    for (int k = 0; k < table->indexCount(); ++k) indexes.push_back(indexJson(table->index(k)));
    return Json{{"name", name},
                {"description", table->description()},
                {"validationRule", table->validationRule()},
                {"validationText", table->validationText()},
                {"fields", std::move(fields)},
                {"indexes", std::move(indexes)}};
}

Json relationJson(const schema::Relation& r) {
    Json fields = Json::array();
    for (const schema::RelationField& f : r.fields) {
        fields.push_back(Json{{"name", f.name}, {"foreignName", f.foreignName}});
    }
    return Json{{"name", r.name},
                {"table", r.table},
                {"foreignTable", r.foreignTable},
                {"attributes", r.attributes},
                {"fields", std::move(fields)}};
}

// A QueryDef with its type and SQL; one that cannot be read is listed with its error, which
// also goes to `err`, so that one damaged query does not hide the rest.
Json queryJson(const schema::Database& db, const std::string& name, std::ostream& err,
               bool& complete) {
    try {
        const auto query = db.openQueryDef(name);
        return Json{{"name", name}, {"type", query->type()}, {"sql", query->sql()}};
    } catch (const schema::EngineError& e) {
        err << e.description() << '\n';
        complete = false;
        return Json{{"name", name}, {"error", e.description()}};
    }
}

std::string typeName(int type) {
    switch (type) {
        case schema::dao::kBoolean:
            return "Boolean";
        case schema::dao::kByte:
            return "Byte";
        case schema::dao::kInteger:
            return "Integer";
        case schema::dao::kLong:
            return "Long";
        case schema::dao::kCurrency:
            return "Currency";
        case schema::dao::kSingle:
            return "Single";
        case schema::dao::kDouble:
            return "Double";
        case schema::dao::kDate:
            return "Date/Time";
        case schema::dao::kBinary:
            return "Binary";
        case schema::dao::kText:
            return "Text";
        case schema::dao::kLongBinary:
            return "Long Binary";
        case schema::dao::kMemo:
            return "Memo";
        case schema::dao::kGuid:
            return "GUID";
        case schema::dao::kBigInt:
            return "Big Integer";
        case schema::dao::kDecimal:
            return "Decimal";
        case schema::dao::kExtendedDate:
            return "Extended Date/Time";
        case schema::dao::kComplex:
            return "Complex";
        default:
            return "Unknown type " + std::to_string(type);
    }
}

std::string fieldFlags(const schema::Field& f) {
    std::string flags;
    auto add = [&flags](const char* word) {
        flags += flags.empty() ? word : std::string(", ") + word;
    };
    if (f.attributes & schema::dao::kAutoIncrField) add("AutoNumber");
    if (f.type == schema::dao::kText && (f.attributes & schema::dao::kFixedField)) add("fixed");
    if (f.required) add("required");
    if (f.allowZeroLength) add("zero length allowed");
    return flags;
}

void writePlainField(std::ostream& out, const schema::Field& f) {
    out << "    " << f.name << "  " << typeName(f.type) << " (" << f.size << ")";
    if (const std::string flags = fieldFlags(f); !flags.empty()) out << "  [" << flags << "]";
    if (!f.defaultValue.empty()) out << "  default " << f.defaultValue;
    if (!f.validationRule.empty()) out << "  rule " << f.validationRule;
    out << '\n';
}

void writePlainIndex(std::ostream& out, const schema::Index& i) {
    out << "    " << i.name << "  " << i.fields;
    std::string flags;
    auto add = [&flags](const char* word) {
        flags += flags.empty() ? word : std::string(", ") + word;
    };
    if (i.primary) add("primary");
    if (i.unique) add("unique");
    if (i.foreign) add("foreign");
    if (i.required) add("required");
    if (i.ignoreNulls) add("ignore nulls");
    if (!flags.empty()) out << "  [" << flags << "]";
    out << '\n';
}

void writePlainTable(std::ostream& out, const schema::Database& db, const std::string& name) {
    const auto table = db.tableDef(name);
    out << "Table " << name << '\n' << "  Fields:\n";
    for (int j = 0; j < table->fieldCount(); ++j) writePlainField(out, table->field(j));
    out << "  Indexes:\n";
    for (int k = 0; k < table->indexCount(); ++k) writePlainIndex(out, table->index(k));
}

// SQL lines end with CR LF inside the engine; a terminal wants plain line ends.
std::string withoutCarriageReturns(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        result += text[i];
    }
    return result;
}

}  // namespace

bool writeJsonListing(std::ostream& out, std::ostream& err, const schema::Database& db,
                      bool includeSystem) {
    Json listing = Json::array();
    Json tables = Json::array();
    Json queries = Json::array();
    std::set<std::string> systemNames;
    bool complete = true;
    for (const TableListRow& row : db.listTables()) {
        if (row.isSystemObject()) systemNames.insert(row.name);
        if (row.isSystemObject() && !includeSystem) continue;
        listing.push_back(
            Json{{"name", row.name}, {"tableType", row.tableType}, {"attributes", row.attributes}});
        if (isLocalTable(row)) tables.push_back(tableJson(db, row.name));
        if (row.tableType == schema::dao::kTableTypeQueryDef) {
            queries.push_back(queryJson(db, row.name, err, complete));
        }
    }
    Json relations = Json::array();
    for (const schema::Relation& relation : db.relations()) {
        const bool system =
            systemNames.count(relation.table) != 0 || systemNames.count(relation.foreignTable) != 0;
        if (system && !includeSystem) continue;
        relations.push_back(relationJson(relation));
    }
    Json document{{"name", db.name()},
                  {"collatingOrder", db.collatingOrder()},
                  {"listing", std::move(listing)},
                  {"tables", std::move(tables)},
                  {"queries", std::move(queries)},
                  {"relations", std::move(relations)}};
    // A file name need not be UTF-8 on Linux; bytes that are not become U+FFFD rather than
    // ending the program.
    out << document.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
    return complete;
}

bool writePlainListing(std::ostream& out, std::ostream& err, const schema::Database& db,
                       bool includeSystem) {
    bool complete = true;
    out << "Database " << db.name() << " (collating order " << db.collatingOrder() << ")\n";
    for (const TableListRow& row : db.listTables()) {
        if (row.isSystemObject() && !includeSystem) continue;
        out << '\n';
        if (isLocalTable(row)) {
            writePlainTable(out, db, row.name);
        } else if (row.tableType == schema::dao::kTableTypeQueryDef) {
            out << "QueryDef " << row.name << '\n';
            try {
                out << withoutCarriageReturns(db.openQueryDef(row.name)->sql());
            } catch (const schema::EngineError& e) {
                out << "  (cannot be read: " << e.description() << ")\n";
                err << e.description() << '\n';
                complete = false;
            }
        } else if (row.tableType == schema::dao::kTableTypeAccessLink ||
                   row.tableType == schema::dao::kTableTypeOdbcLink) {
            out << "Linked table " << row.name << '\n';
        } else {
            out << "System table " << row.name << '\n';
        }
    }
    return complete;
}

}  // namespace zl::cli
