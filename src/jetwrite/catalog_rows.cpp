// Catalog rows. Ids: a table's id is its definition page; containers and the database object
// have fixed ids; queries and relationships count up from 0x80000008.
#include "jetwrite/catalog_rows.h"

#include "jetwrite/description_checker.h"
#include "jetwrite/property_blob.h"
#include "jetwrite/query_rows.h"
#include "jetwrite/system_tables.h"

namespace zl::jetwrite {

namespace {

constexpr std::int64_t kSystemFlags = static_cast<std::int32_t>(0x80000000u);
constexpr std::int64_t kHiddenFlag = 0x08;
// The system bit Access sets on the system tables and queries it adds after creating a file.
constexpr std::int64_t kLateSystemFlag = 0x02;

struct CatalogEntry {
    std::int64_t id;
    std::int64_t parent;
    std::string name;
    std::int64_t type;
    std::int64_t flags;
};

std::vector<Value> row(const CatalogEntry& entry, const DateTime& created) {
    std::vector<Value> values(catalog::kColumnCount);
    values[catalog::kId] = entry.id;
    values[catalog::kParentId] = entry.parent;
    values[catalog::kName] = entry.name;
    values[catalog::kType] = entry.type;
    values[catalog::kDateCreate] = created;
    values[catalog::kDateUpdate] = created;
    values[catalog::kFlags] = entry.flags;
    return values;
}

Value bytesValue(const Bytes& bytes) {
    std::vector<std::uint8_t> raw;
    raw.reserve(bytes.size());
    for (const std::byte b : bytes) raw.push_back(static_cast<std::uint8_t>(b));
    return raw;
}

Bytes databaseProperties() {
    // The format version of Access 2002-2003 files.
    return encodePropertyBlob(
        {PropertyBlock{"", false, {Property::text("AccessVersion", "09.50", false)}}});
}

void addSystemEntries(std::vector<std::vector<Value>>& rows, const DateTime& created) {
    const CatalogEntry containers[] = {
        {kTablesContainerId, kRootId, "Tables", kTypeContainer, kSystemFlags},
        {kDatabasesContainerId, kRootId, "Databases", kTypeContainer, kSystemFlags},
        {kRelationshipsContainerId, kRootId, "Relationships", kTypeContainer, kSystemFlags},
    };
    for (const CatalogEntry& entry : containers) rows.push_back(row(entry, created));
    std::vector<Value> database = row(
        {kDatabaseObjectId, kDatabasesContainerId, "MSysDb", kTypeDatabase, kSystemFlags}, created);
    database[catalog::kLvProp] = bytesValue(databaseProperties());
    rows.push_back(std::move(database));
    const CatalogEntry systemTables[] = {
        {kCatalogPage, kTablesContainerId, "MSysObjects", kTypeTable, kSystemFlags},
        {kAccessControlPage, kTablesContainerId, "MSysACEs", kTypeTable, kSystemFlags},
        {kQueriesPage, kTablesContainerId, "MSysQueries", kTypeTable, kSystemFlags},
        {kRelationshipsPage, kTablesContainerId, "MSysRelationships", kTypeTable, kSystemFlags},
    };
    for (const CatalogEntry& entry : systemTables) rows.push_back(row(entry, created));
    // The containers Access keeps for the objects of its user interface.
    const char* const interfaceContainers[] = {"Forms",   "Reports", "Scripts",
                                               "Modules", "SysRel",  "DataAccessPages"};
    std::int64_t id = static_cast<std::int32_t>(0x80000002u);
    for (const char* name : interfaceContainers)
        rows.push_back(row({id++, kRootId, name, kTypeContainer, 0}, created));
}

void addColumnProperties(std::vector<PropertyBlock>& blocks, const FieldDescription& field) {
    PropertyBlock block{field.name, true, {}};
    block.properties.push_back(Property::boolean("Required", field.required, true));
    if (field.type == FieldType::Text || field.type == FieldType::Memo) {
        block.properties.push_back(
            Property::boolean("AllowZeroLength", field.allowZeroLength, true));
    }
    if (field.defaultValue)
        block.properties.push_back(Property::memo("DefaultValue", *field.defaultValue, true));
    if (field.validationRule)
        block.properties.push_back(Property::text("ValidationRule", *field.validationRule, true));
    if (field.validationText)
        block.properties.push_back(Property::text("ValidationText", *field.validationText, true));
    if (field.description)
        block.properties.push_back(Property::memo("Description", *field.description, false));
    blocks.push_back(std::move(block));
}

}  // namespace

std::int32_t documentId(std::size_t n) {
    return static_cast<std::int32_t>(kFirstDocumentId + static_cast<std::uint32_t>(n));
}

Bytes tablePropertyBlob(const TableDescription& table) {
    std::vector<PropertyBlock> blocks;
    PropertyBlock own{"", false, {}};
    if (table.validationRule)
        own.properties.push_back(Property::text("ValidationRule", *table.validationRule, true));
    if (table.validationText)
        own.properties.push_back(Property::text("ValidationText", *table.validationText, true));
    if (table.description)
        own.properties.push_back(Property::memo("Description", *table.description, false));
    blocks.push_back(std::move(own));
    for (const FieldDescription& field : table.fields) addColumnProperties(blocks, field);
    return encodePropertyBlob(blocks);
}

std::vector<std::vector<Value>> catalogRows(const DatabaseDescription& database,
                                            const std::vector<PageNumber>& tablePages) {
    std::vector<std::vector<Value>> rows;
    addSystemEntries(rows, database.created);
    for (std::size_t i = 0; i < database.tables.size(); ++i) {
        const TableDescription& table = database.tables[i];
        const std::int64_t flags =
            (table.hidden ? kHiddenFlag : 0) | (table.system ? kLateSystemFlag : 0);
        std::vector<Value> values =
            row({tablePages.at(i), kTablesContainerId, table.name, kTypeTable, flags},
                database.created);
        values[catalog::kLvProp] = bytesValue(tablePropertyBlob(table));
        rows.push_back(std::move(values));
    }
    std::size_t document = 0;
    for (const QueryDescription& query : database.queries) {
        rows.push_back(row({documentId(document++), kTablesContainerId, query.name, kTypeQuery,
                            queryCatalogFlags(query)},
                           database.created));
    }
    for (const RelationshipDescription& relationship : database.relationships) {
        rows.push_back(row({documentId(document++), kRelationshipsContainerId,
                            relationshipName(relationship), kTypeRelationship, 0},
                           database.created));
    }
    return rows;
}

}  // namespace zl::jetwrite
