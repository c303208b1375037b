// Stored definitions to DAO values.
#include "schema/jet/dao_mapping.h"

#include "schema/jet/column_types.h"

namespace zl::schema::jet {
namespace {

constexpr int kUnknownTypeBase = 256;
// A calculated column stores its result behind a 23-byte prefix; its stored length counts it.
constexpr std::uint16_t kCalculatedValuePrefix = 23;
constexpr int kCalculatedDecimalPrecision = 28;

// Field.Size: fixed sizes by type, declared lengths for Text (characters) and Binary.
std::int32_t daoSize(const ColumnDef& column, const JetFormat& format) {
    if (column.type == column_type::kText) {
        // Jet 4 stores the length in bytes of UCS-2, Jet 3 in bytes of the code page.
        return format.isJet3() ? column.length : column.length / 2;
    }
    const ColumnTypeTraits* traits = columnTypeTraits(column.type);
    return traits && traits->daoSize != kDeclaredLength ? traits->daoSize : column.length;
}

std::int32_t daoAttributes(const ColumnDef& column) {
    std::int32_t attributes = column.fixed() ? dao::kFixedField : dao::kVariableField;
    // Complex columns carry the auto-number bit for their hidden key; DAO does not show it.
    const bool autoIncrement =
        (column.flags & kColumnAutoNumber) != 0 && column.type == column_type::kLong;
    const bool autoGuid =
        (column.flags & kColumnAutoGuid) != 0 && column.type == column_type::kGuid;
    if (autoIncrement) {
        attributes |= dao::kAutoIncrField;
    }
    if (!autoIncrement && !autoGuid) {
        attributes |= dao::kUpdatableField;
    }
    if ((column.flags & kColumnHyperlink) != 0 && column.type == column_type::kMemo) {
        attributes |= dao::kHyperlinkField;
    }
    return attributes;
}

}  // namespace

int daoType(std::uint8_t diskType) {
    if (diskType >= column_type::kBoolean && diskType <= column_type::kMemo) {
        return diskType;  // Boolean .. Memo share their numbers with DAO
    }
    switch (diskType) {
        case column_type::kGuid:
            return dao::kGuid;
        case column_type::kNumeric:
            return dao::kDecimal;
        case column_type::kComplex:
            return dao::kComplex;
        case column_type::kBigInt:
            return dao::kBigInt;
        case column_type::kExtendedDate:
            return dao::kExtendedDate;
        default:
            return kUnknownTypeBase + diskType;
    }
}

std::string propertyText(const PropertyMap* properties, const std::string& name,
                         const TextDecoder& text) {
    if (properties == nullptr) {
        return {};
    }
    const PropertyValue* found = properties->find(name);
    if (found == nullptr) {
        return {};
    }
    switch (found->type) {
        case column_type::kText:
        case column_type::kMemo:
            return textProperty(properties, name, text).value_or("");
        case column_type::kByte:
        case column_type::kInteger:
        case column_type::kLong:
            if (const auto number = integerProperty(properties, name)) {
                return std::to_string(*number);
            }
            return {};
        default:
            return {};
    }
}

Field toDaoField(const ColumnDef& column, const PropertyMap* properties, const JetFormat& format,
                 const TextDecoder& text) {
    Field field;
    field.name = column.name;
    field.type = daoType(column.type);
    field.size = daoSize(column, format);
    const auto resultType = integerProperty(properties, "ResultType");
    if (column.calculated() && resultType && *resultType > 0 && *resultType < 256) {
        // A calculated column is shown as the type of its result, sized without the prefix.
        ColumnDef result = column;
        result.type = static_cast<std::uint8_t>(*resultType);
        result.length = column.length > kCalculatedValuePrefix
                            ? static_cast<std::uint16_t>(column.length - kCalculatedValuePrefix)
                            : 0;
        field.type = daoType(result.type);
        field.size = daoSize(result, format);
    }
    if (column.calculated()) {
        field.calculated = true;
        field.expression = propertyText(properties, "Expression", text);
    }
    if (field.type == dao::kDecimal && column.type == column_type::kNumeric) {
        field.precision = column.precision;
        field.scale = column.scale;
        if (column.calculated() && column.precision == 0) {
            // A calculated Decimal is stored at the widest precision; its descriptor says 0.
            field.precision = kCalculatedDecimalPrecision;
        }
    }
    field.attributes = daoAttributes(column);
    field.required = booleanProperty(properties, "Required").value_or(false);
    field.allowZeroLength = booleanProperty(properties, "AllowZeroLength").value_or(false);
    field.defaultValue = propertyText(properties, "DefaultValue", text);
    field.validationRule = propertyText(properties, "ValidationRule", text);
    field.validationText = propertyText(properties, "ValidationText", text);
    field.description = propertyText(properties, "Description", text);
    return field;
}

Index toDaoIndex(const LogicalIndexDef& logical, const TableDefinition& table) {
    const PhysicalIndexDef& physical = table.physicalIndexes.at(logical.physical);
    Index index;
    index.name = logical.name;
    for (const IndexKeyColumn& key : physical.keys) {
        const ColumnDef* column = table.columnByNumber(key.columnNumber);
        if (!index.fields.empty()) {
            index.fields += ';';
        }
        index.fields += key.ascending ? '+' : '-';
        index.fields += column != nullptr ? column->name : std::string();
    }
    index.primary = logical.kind == kIndexKindPrimary;
    index.foreign = logical.kind == kIndexKindForeign;
    index.unique = (physical.flags & kIndexUnique) != 0;
    index.required = (physical.flags & kIndexRequired) != 0;
    index.ignoreNulls = (physical.flags & kIndexIgnoreNulls) != 0;
    return index;
}

}  // namespace zl::schema::jet
