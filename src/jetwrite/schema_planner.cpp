// Schema planning: field types to column types, logical indexes to shared physical indexes.
#include "jetwrite/schema_planner.h"

#include <algorithm>

#include "jetwrite/description_checker.h"
#include "jetwrite/write_error.h"
#include "support/text.h"

namespace zl::jetwrite {

namespace {

using jet::ColumnType;

struct TypeInfo {
    ColumnType type;
    std::uint16_t length;
    bool fixed;
};

TypeInfo typeInfo(FieldType type) {
    switch (type) {
        case FieldType::Boolean:
            return {ColumnType::Boolean, 1, true};
        case FieldType::Byte:
            return {ColumnType::Byte, 1, true};
        case FieldType::Integer:
            return {ColumnType::Integer, 2, true};
        case FieldType::Long:
            return {ColumnType::Long, 4, true};
        case FieldType::Currency:
            return {ColumnType::Currency, 8, true};
        case FieldType::Single:
            return {ColumnType::Single, 4, true};
        case FieldType::Double:
            return {ColumnType::Double, 8, true};
        case FieldType::Date:
            return {ColumnType::Date, 8, true};
        case FieldType::Binary:
            return {ColumnType::Binary, 0, false};
        case FieldType::Text:
            return {ColumnType::Text, 0, false};
        case FieldType::LongBinary:
            return {ColumnType::LongBinary, 0, false};
        case FieldType::Memo:
            return {ColumnType::Memo, 0, false};
        case FieldType::Guid:
            return {ColumnType::Guid, 16, true};
        case FieldType::Decimal:
            return {ColumnType::Numeric, 17, true};
        case FieldType::BigInt:
            return {ColumnType::BigInt, 8, true};
        case FieldType::DateTimeExtended:
            return {ColumnType::ExtendedDate, 42, true};
    }
    return {ColumnType::Long, 4, true};
}

std::size_t fieldPosition(const TableDescription& table, const std::string& field,
                          const std::string& user) {
    for (std::size_t i = 0; i < table.fields.size(); ++i) {
        if (support::equalsIgnoringAsciiCase(table.fields[i].name, field)) return i;
    }
    throw WriteError(user + " names field \"" + field + "\", which table \"" + table.name +
                     "\" does not have");
}

std::size_t tablePosition(const DatabaseDescription& database, const std::string& name,
                          const std::string& user) {
    for (std::size_t i = 0; i < database.tables.size(); ++i) {
        if (support::equalsIgnoringAsciiCase(database.tables[i].name, name)) return i;
    }
    throw WriteError(user + " names table \"" + name + "\", which the database does not have");
}

std::uint32_t findOrAddPhysical(TableSchema& schema, const PhysicalIndexLayout& wanted) {
    const auto found =
        std::find(schema.physicalIndexes.begin(), schema.physicalIndexes.end(), wanted);
    if (found != schema.physicalIndexes.end()) {
        return static_cast<std::uint32_t>(found - schema.physicalIndexes.begin());
    }
    schema.physicalIndexes.push_back(wanted);
    return static_cast<std::uint32_t>(schema.physicalIndexes.size() - 1);
}

void planIndexes(const TableDescription& table, TableSchema& schema) {
    for (const IndexDescription& index : table.indexes) {
        PhysicalIndexLayout physical;
        for (const IndexColumn& column : index.columns) {
            physical.columns.push_back(
                {fieldPosition(table, column.field, "index \"" + index.name + "\""),
                 !column.descending});
        }
        if (index.primary || index.unique) physical.flags |= jet::kIndexUnique;
        if (index.primary || index.required) physical.flags |= jet::kIndexRequired;
        if (index.ignoreNulls) physical.flags |= jet::kIndexIgnoreNulls;
        LogicalIndexLayout logical;
        logical.name = index.name;
        logical.kind = index.primary ? jet::kIndexKindPrimary : jet::kIndexKindNormal;
        logical.physical = findOrAddPhysical(schema, physical);
        schema.logicalIndexes.push_back(logical);
    }
}

bool hasIndexNamed(const TableSchema& schema, const std::string& name) {
    return std::any_of(schema.logicalIndexes.begin(), schema.logicalIndexes.end(),
                       [&](const LogicalIndexLayout& index) {
                           return support::equalsIgnoringAsciiCase(index.name, name);
                       });
}

std::string nextPrimarySideName(const TableSchema& schema) {
    for (std::size_t n = 0;; ++n) {
        std::string name = primarySideIndexName(n);
        if (!hasIndexNamed(schema, name)) return name;
    }
}

PhysicalIndexLayout relationshipKey(const DatabaseDescription& database, std::size_t table,
                                    const RelationshipDescription& relationship, bool primarySide) {
    PhysicalIndexLayout key;
    const std::string user = "relationship \"" + relationshipName(relationship) + "\"";
    for (const RelationshipDescription::FieldPair& pair : relationship.fields) {
        const std::string& field = primarySide ? pair.primaryField : pair.foreignField;
        key.columns.push_back({fieldPosition(database.tables[table], field, user), true});
    }
    return key;
}

// The physical index on the "one" side: a unique index over exactly the related fields.
std::uint32_t primarySidePhysical(const TableSchema& schema, const PhysicalIndexLayout& key,
                                  const RelationshipDescription& relationship) {
    for (std::size_t i = 0; i < schema.physicalIndexes.size(); ++i) {
        const PhysicalIndexLayout& candidate = schema.physicalIndexes[i];
        PhysicalIndexLayout sameColumns = key;
        sameColumns.flags = candidate.flags;
        if ((candidate.flags & jet::kIndexUnique) != 0 && candidate == sameColumns) {
            return static_cast<std::uint32_t>(i);
        }
    }
    throw WriteError("relationship \"" + relationshipName(relationship) + "\": table \"" +
                     relationship.primaryTable + "\" has no unique index over the related fields");
}

void planRelationship(const DatabaseDescription& database,
                      const RelationshipDescription& relationship,
                      std::vector<TableSchema>& schemas) {
    const std::string user = "relationship \"" + relationshipName(relationship) + "\"";
    const std::size_t primary = tablePosition(database, relationship.primaryTable, user);
    const std::size_t foreign = tablePosition(database, relationship.foreignTable, user);
    if (relationship.fields.empty()) throw WriteError(user + " has no fields");
    LogicalIndexLayout one;
    one.name = relationship.primaryIndexName.value_or(nextPrimarySideName(schemas[primary]));
    one.kind = jet::kIndexKindForeign;
    one.physical = primarySidePhysical(
        schemas[primary], relationshipKey(database, primary, relationship, true), relationship);
    one.hasReference = true;
    one.reference = {foreign, 0, true, relationship.cascadeUpdates, relationship.cascadeDeletes};
    schemas[primary].logicalIndexes.push_back(one);
    const auto oneNumber = static_cast<std::uint32_t>(schemas[primary].logicalIndexes.size() - 1);

    LogicalIndexLayout many;
    many.name = relationship.foreignIndexName.value_or(relationshipName(relationship));
    many.kind = jet::kIndexKindForeign;
    many.physical = findOrAddPhysical(schemas[foreign],
                                      relationshipKey(database, foreign, relationship, false));
    many.hasReference = true;
    many.reference = {primary, oneNumber, false, relationship.cascadeUpdates,
                      relationship.cascadeDeletes};
    schemas[foreign].logicalIndexes.push_back(many);
    schemas[primary].logicalIndexes[oneNumber].reference.otherIndex =
        static_cast<std::uint32_t>(schemas[foreign].logicalIndexes.size() - 1);
}

}  // namespace

std::string primarySideIndexName(std::size_t n) {
    // ".rC" .. ".rZ", then ".ra" .. ".rz"; past that a number keeps the names unique.
    constexpr std::size_t kUpper = 'Z' - 'C' + 1;
    constexpr std::size_t kLower = 26;
    if (n < kUpper) return std::string(".r") + static_cast<char>('C' + n);
    if (n < kUpper + kLower) return std::string(".r") + static_cast<char>('a' + (n - kUpper));
    return ".rz" + std::to_string(n - kUpper - kLower + 1);
}

ColumnLayout columnForField(const FieldDescription& field) {
    const TypeInfo info = typeInfo(field.type);
    ColumnLayout column;
    column.name = field.name;
    column.type = info.type;
    column.length = info.length;
    column.fixed = info.fixed;
    if (field.type == FieldType::Text) {
        column.length = static_cast<std::uint16_t>(2 * (field.size > 0 ? field.size : 50));
        column.fixed = field.fixedLength;
    } else if (field.type == FieldType::Binary) {
        column.length = static_cast<std::uint16_t>(field.size > 0 ? field.size : 50);
        column.fixed = field.fixedLength;
    }
    column.autoNumber = field.autoNumber;
    column.hyperlink = field.hyperlink;
    if (field.type == FieldType::Decimal) {
        column.precision = static_cast<std::uint8_t>(field.precision);
        column.scale = static_cast<std::uint8_t>(field.scale);
    }
    return column;
}

std::vector<TableSchema> planSchemas(const DatabaseDescription& database) {
    std::vector<TableSchema> schemas;
    for (const TableDescription& table : database.tables) {
        TableSchema schema;
        schema.name = table.name;
        for (const FieldDescription& field : table.fields)
            schema.columns.push_back(columnForField(field));
        assignColumnLayout(schema.columns);
        planIndexes(table, schema);
        schemas.push_back(std::move(schema));
    }
    for (const RelationshipDescription& relationship : database.relationships) {
        if (relationship.enforce) planRelationship(database, relationship, schemas);
    }
    return schemas;
}

}  // namespace zl::jetwrite
