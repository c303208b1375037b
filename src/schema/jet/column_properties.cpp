// Column properties, with the multi-value indirection.
#include "schema/jet/column_properties.h"

#include "schema/jet/long_value.h"
#include "schema/jet/table_scan.h"

namespace zl::schema::jet {
namespace {

constexpr char kComplexColumnsTable[] = "MSysComplexColumns";
constexpr char kValueColumn[] = "value";

// The stored properties the engine reports; the rest (formats, captions, widths) stay undecoded.
constexpr std::string_view kReportedProperties[] = {
    "AllowZeroLength", "DefaultValue", "Description",    "Expression",
    "Required",        "ResultType",   "ValidationRule", "ValidationText",
};

const CatalogEntry* findTable(const std::vector<CatalogEntry>& catalog, const std::string& name) {
    for (const CatalogEntry& entry : catalog) {
        if (entry.type == object_type::kTable && entry.name == name) {
            return &entry;
        }
    }
    return nullptr;
}

const CatalogEntry* findTable(const std::vector<CatalogEntry>& catalog, std::int32_t id) {
    for (const CatalogEntry& entry : catalog) {
        if (entry.type == object_type::kTable && entry.id == id) {
            return &entry;
        }
    }
    return nullptr;
}

// The hidden tables behind a complex column.
struct ComplexTables {
    std::int64_t flatTable = 0;   // holds the values, one row per value
    std::int64_t typeObject = 0;  // template whose columns tell the kind of column
};

// ComplexID -> its tables, for every row of MSysComplexColumns.
Result<std::map<std::int64_t, ComplexTables>> readComplexTables(const ReadContext& context,
                                                                const CatalogEntry& complexTable) {
    JET_ASSIGN_OR_RETURN(const TableDefinition table,
                         readTableDefinition(context.reader, context.format, context.text,
                                             complexTable.definitionPage()));
    const ColumnDef* complexId = table.columnByName("ComplexID");
    const ColumnDef* flatTableId = table.columnByName("FlatTableID");
    const ColumnDef* typeObjectId = table.columnByName("ComplexTypeObjectID");
    std::map<std::int64_t, ComplexTables> tables;
    if (complexId == nullptr || flatTableId == nullptr || typeObjectId == nullptr) {
        return tables;
    }
    const RecordReader record(context.reader, context.format, context.text);
    JET_TRY(scanRows(context.reader, context.format, table, [&](const RowView& row) -> Status {
        JET_ASSIGN_OR_RETURN(const auto id, record.integer(row, complexId));
        JET_ASSIGN_OR_RETURN(const auto flat, record.integer(row, flatTableId));
        JET_ASSIGN_OR_RETURN(const auto type, record.integer(row, typeObjectId));
        if (id && flat && type) {
            tables.emplace(*id, ComplexTables{*flat, *type});
        }
        return {};
    }));
    return tables;
}

// A multi-value column's template holds exactly one column of a simple type; attachments and
// version histories have several.
Result<bool> isMultiValue(const ReadContext& context, const CatalogEntry& typeObject) {
    JET_ASSIGN_OR_RETURN(const TableDefinition table,
                         readTableDefinition(context.reader, context.format, context.text,
                                             typeObject.definitionPage()));
    if (table.columns.size() != 1) {
        return false;
    }
    switch (table.columns.front().type) {
        case column_type::kByte:
        case column_type::kInteger:
        case column_type::kLong:
        case column_type::kSingle:
        case column_type::kDouble:
        case column_type::kGuid:
        case column_type::kNumeric:
        case column_type::kText:
            return true;
        default:
            return false;
    }
}

Status addValueColumnProperties(const ReadContext& context,
                                const std::vector<CatalogEntry>& catalog,
                                const TableDefinition& table, PropertySet& properties) {
    const CatalogEntry* complexTable = findTable(catalog, kComplexColumnsTable);
    if (complexTable == nullptr) {
        return {};
    }
    JET_ASSIGN_OR_RETURN(const auto complexTables, readComplexTables(context, *complexTable));
    for (const ColumnDef& column : table.columns) {
        const auto found = complexTables.find(column.complexId);
        if (column.type != column_type::kComplex || found == complexTables.end()) {
            continue;
        }
        const CatalogEntry* flatEntry =
            findTable(catalog, static_cast<std::int32_t>(found->second.flatTable));
        const CatalogEntry* typeEntry =
            findTable(catalog, static_cast<std::int32_t>(found->second.typeObject));
        if (flatEntry == nullptr || typeEntry == nullptr) {
            continue;
        }
        JET_ASSIGN_OR_RETURN(const bool multiValue, isMultiValue(context, *typeEntry));
        if (!multiValue) {
            continue;
        }
        JET_ASSIGN_OR_RETURN(const PropertySet flatProperties,
                             readPropertySet(context, *flatEntry, kReportedProperties));
        if (const PropertyMap* value = flatProperties.child(kValueColumn)) {
            properties.childFor(column.name).addMissing(*value);  // the column's own win
        }
    }
    return {};
}

}  // namespace

Result<PropertySet> readPropertySet(const ReadContext& context, const CatalogEntry& entry,
                                    std::span<const std::string_view> only) {
    if (entry.properties.empty()) {
        return PropertySet();
    }
    JET_ASSIGN_OR_RETURN(const std::vector<std::byte> blob,
                         readLongValue(context.reader, context.format, entry.properties,
                                       entry.propertiesOrigin, kMaxSystemLongValue));
    return PropertySet::parse(blob, Origin("property blob of " + entry.name), context.text, only);
}

Result<PropertySet> readTableProperties(const ReadContext& context,
                                        const std::vector<CatalogEntry>& catalog,
                                        const CatalogEntry& entry, const TableDefinition& table) {
    JET_ASSIGN_OR_RETURN(PropertySet properties,
                         readPropertySet(context, entry, kReportedProperties));
    bool hasComplex = false;
    for (const ColumnDef& column : table.columns) {
        hasComplex = hasComplex || column.type == column_type::kComplex;
    }
    if (hasComplex) {
        JET_TRY(addValueColumnProperties(context, catalog, table, properties));
    }
    return properties;
}

}  // namespace zl::schema::jet
