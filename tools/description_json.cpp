// JSON description reader: every object and member is checked against the documented format, so
// that a typing error in a description fails with its location instead of being ignored.
#include "description_json.h"

#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "jetwrite/write_error.h"
#include "json_values.h"

namespace zl::jetwrite {

namespace {

using nlohmann::json;

FieldDescription readField(const JsonNode& node) {
    node.allowOnly({"name", "type", "size", "fixedLength", "autoNumber", "hyperlink", "required",
                    "allowZeroLength", "defaultValue", "validationRule", "validationText",
                    "description", "precision", "scale"});
    FieldDescription field;
    field.name = node.text("name");
    field.type = fieldTypeNamed(node.member("type"));
    field.size = node.integer("size", 0);
    field.fixedLength = node.flag("fixedLength");
    field.autoNumber = node.flag("autoNumber");
    field.hyperlink = node.flag("hyperlink");
    field.required = node.flag("required");
    field.allowZeroLength = node.flag("allowZeroLength");
    field.defaultValue = node.optionalText("defaultValue");
    field.validationRule = node.optionalText("validationRule");
    field.validationText = node.optionalText("validationText");
    field.description = node.optionalText("description");
    field.precision = node.integer("precision", 18);
    field.scale = node.integer("scale", 0);
    return field;
}

IndexDescription readIndex(const JsonNode& node) {
    node.allowOnly({"name", "fields", "primary", "unique", "required", "ignoreNulls"});
    IndexDescription index;
    index.name = node.text("name");
    for (const JsonNode& field : node.member("fields").elements()) {
        const std::string text = field.asText();
        IndexColumn column;
        column.descending = !text.empty() && text.front() == '-';
        column.field =
            (!text.empty() && (text.front() == '-' || text.front() == '+')) ? text.substr(1) : text;
        index.columns.push_back(column);
    }
    index.primary = node.flag("primary");
    index.unique = node.flag("unique");
    index.required = node.flag("required");
    index.ignoreNulls = node.flag("ignoreNulls");
    return index;
}

TableDescription readTable(const JsonNode& node) {
    node.allowOnly({"name", "hidden", "system", "description", "validationRule", "validationText",
                    "fields", "indexes", "rows"});
    TableDescription table;
    table.name = node.text("name");
    table.hidden = node.flag("hidden");
    table.system = node.flag("system");
    table.description = node.optionalText("description");
    table.validationRule = node.optionalText("validationRule");
    table.validationText = node.optionalText("validationText");
    for (const JsonNode& field : node.member("fields").elements())
        table.fields.push_back(readField(field));
    if (node.has("indexes")) {
        for (const JsonNode& index : node.member("indexes").elements())
            table.indexes.push_back(readIndex(index));
    }
    if (node.has("rows")) {
        for (const JsonNode& row : node.member("rows").elements())
            table.rows.push_back(rowValues(row, table.fields));
    }
    return table;
}

RelationshipDescription readRelationship(const JsonNode& node) {
    node.allowOnly({"name", "primaryTable", "foreignTable", "fields", "enforce", "cascadeUpdates",
                    "cascadeDeletes", "primaryIndexName", "foreignIndexName", "oneToOne",
                    "cascadeToNull", "leftJoin", "rightJoin"});
    RelationshipDescription relationship;
    relationship.name = node.optionalText("name").value_or("");
    relationship.primaryTable = node.text("primaryTable");
    relationship.foreignTable = node.text("foreignTable");
    for (const JsonNode& pair : node.member("fields").elements()) {
        pair.allowOnly({"primary", "foreign"});
        relationship.fields.push_back({pair.text("primary"), pair.text("foreign")});
    }
    relationship.enforce = node.flag("enforce", true);
    relationship.cascadeUpdates = node.flag("cascadeUpdates");
    relationship.cascadeDeletes = node.flag("cascadeDeletes");
    relationship.oneToOne = node.flag("oneToOne");
    relationship.cascadeToNull = node.flag("cascadeToNull");
    relationship.leftJoin = node.flag("leftJoin");
    relationship.rightJoin = node.flag("rightJoin");
    relationship.primaryIndexName = node.optionalText("primaryIndexName");
    relationship.foreignIndexName = node.optionalText("foreignIndexName");
    return relationship;
}

}  // namespace

DatabaseDescription parseDescriptionJson(std::string_view text) {
    json document;
    try {
        document = json::parse(text);
    } catch (const json::parse_error& error) {
        throw WriteError(std::string("description is not valid JSON: ") + error.what());
    }
    const JsonNode root(document, "");
    root.allowOnly({"collatingOrder", "created", "tables", "relationships", "queries"});
    DatabaseDescription database;
    database.collatingOrder = root.integer("collatingOrder", 1033);
    if (root.has("created")) database.created = dateTimeFrom(root.member("created"));
    if (root.has("tables")) {
        for (const JsonNode& table : root.member("tables").elements())
            database.tables.push_back(readTable(table));
    }
    if (root.has("relationships")) {
        for (const JsonNode& relationship : root.member("relationships").elements()) {
            database.relationships.push_back(readRelationship(relationship));
        }
    }
    if (root.has("queries")) {
        for (const JsonNode& query : root.member("queries").elements())
            database.queries.push_back(readQuery(query));
    }
    return database;
}

DatabaseDescription readDescriptionFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw WriteError("cannot read the description " + path.string());
    std::ostringstream text;
    text << in.rdbuf();
    return parseDescriptionJson(text.str());
}

}  // namespace zl::jetwrite
