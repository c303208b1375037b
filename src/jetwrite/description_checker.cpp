// Description checks, one function per kind of object.
#include "jetwrite/description_checker.h"

#include <algorithm>
#include <set>

#include "jetwrite/utf16.h"
#include "jetwrite/write_error.h"
#include "support/text.h"

namespace zl::jetwrite {

namespace {

void checkName(const std::string& name, const std::string& what) {
    if (name.empty()) throw WriteError(what + " has an empty name");
    if (utf16Length(name, what + " name") > kMaxNameLength) {
        throw WriteError(what + " \"" + name + "\": names are limited to 64 characters");
    }
}

// Adds `name` to `seen`; throws when a name equal but for case is there already.
void checkUnique(std::set<std::string>& seen, const std::string& name, const std::string& what) {
    if (!seen.insert(support::asciiLower(name)).second)
        throw WriteError("duplicate " + what + " name \"" + name + "\"");
}

void checkField(const FieldDescription& field, const std::string& table) {
    const std::string what = "field \"" + field.name + "\" of table \"" + table + "\"";
    checkName(field.name, "a field of table \"" + table + "\"");
    const bool sized = field.type == FieldType::Text || field.type == FieldType::Binary;
    if (sized && (field.size < 0 || field.size > 255))
        throw WriteError(what + ": size must be 1 to 255");
    if (field.fixedLength && !sized)
        throw WriteError(what + ": only Text and Binary fields have a fixed length");
    if (field.autoNumber && field.type != FieldType::Long)
        throw WriteError(what + ": only Long fields are AutoNumber");
    if (field.hyperlink && field.type != FieldType::Memo)
        throw WriteError(what + ": only Memo fields are hyperlinks");
    if (field.type == FieldType::Decimal && (field.precision < 1 || field.precision > 28 ||
                                             field.scale < 0 || field.scale > field.precision)) {
        throw WriteError(what + ": precision must be 1 to 28 and scale 0 to the precision");
    }
}

bool hasField(const TableDescription& table, const std::string& name) {
    return std::any_of(table.fields.begin(), table.fields.end(),
                       [&](const FieldDescription& field) {
                           return support::equalsIgnoringAsciiCase(field.name, name);
                       });
}

void checkIndexes(const TableDescription& table) {
    std::set<std::string> names;
    int primaries = 0;
    for (const IndexDescription& index : table.indexes) {
        const std::string what = "index \"" + index.name + "\" of table \"" + table.name + "\"";
        checkName(index.name, "an index of table \"" + table.name + "\"");
        checkUnique(names, index.name, "index");
        if (index.columns.empty() || index.columns.size() > kMaxIndexColumns) {
            throw WriteError(what + ": an index has 1 to 10 fields");
        }
        for (const IndexColumn& column : index.columns) {
            if (!hasField(table, column.field))
                throw WriteError(what + " names unknown field \"" + column.field + "\"");
        }
        primaries += index.primary ? 1 : 0;
    }
    if (primaries > 1)
        throw WriteError("table \"" + table.name + "\" has more than one primary index");
}

void checkTable(const TableDescription& table) {
    checkName(table.name, "a table");
    if (table.fields.empty() || table.fields.size() > kMaxFields) {
        throw WriteError("table \"" + table.name + "\": a table has 1 to " +
                         std::to_string(kMaxFields) + " fields");
    }
    std::set<std::string> fields;
    for (const FieldDescription& field : table.fields) {
        checkField(field, table.name);
        checkUnique(fields, field.name, "field");
    }
    checkIndexes(table);
}

const TableDescription* findTable(const DatabaseDescription& database, const std::string& name) {
    for (const TableDescription& table : database.tables) {
        if (support::equalsIgnoringAsciiCase(table.name, name)) return &table;
    }
    return nullptr;
}

void checkRelationship(const DatabaseDescription& database,
                       const RelationshipDescription& relationship) {
    const std::string what = "relationship \"" + relationshipName(relationship) + "\"";
    checkName(relationshipName(relationship), "a relationship");
    const TableDescription* primary = findTable(database, relationship.primaryTable);
    const TableDescription* foreign = findTable(database, relationship.foreignTable);
    if (primary == nullptr || foreign == nullptr)
        throw WriteError(what + " names an unknown table");
    if (relationship.fields.empty() || relationship.fields.size() > kMaxIndexColumns) {
        throw WriteError(what + ": a relationship relates 1 to 10 fields");
    }
    for (const auto& pair : relationship.fields) {
        if (!hasField(*primary, pair.primaryField) || !hasField(*foreign, pair.foreignField)) {
            throw WriteError(what + " names an unknown field");
        }
    }
}

}  // namespace

std::string relationshipName(const RelationshipDescription& relationship) {
    return relationship.name.empty() ? relationship.primaryTable + relationship.foreignTable
                                     : relationship.name;
}

void checkDescription(const DatabaseDescription& database) {
    std::set<std::string> objects{"msysobjects", "msysaces", "msysqueries", "msysrelationships"};
    for (const TableDescription& table : database.tables) {
        checkTable(table);
        checkUnique(objects, table.name, "table or query");
    }
    for (const QueryDescription& query : database.queries) {
        checkName(query.name, "a query");
        checkUnique(objects, query.name, "table or query");
    }
    std::set<std::string> relationships;
    for (const RelationshipDescription& relationship : database.relationships) {
        checkRelationship(database, relationship);
        checkUnique(relationships, relationshipName(relationship), "relationship");
    }
}

}  // namespace zl::jetwrite
