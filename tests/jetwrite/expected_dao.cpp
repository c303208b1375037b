// DAO expectations derived from the description by the rules of DAO, independently of how the
// writer lays the file out.
#include "jetwrite/expected_dao.h"

#include <algorithm>

namespace zl::jetwrite::testing {

namespace {

constexpr std::int32_t kSystemObject = static_cast<std::int32_t>(0x80000000u);
constexpr std::int32_t kHidden = 0x08;
constexpr std::int32_t kLateSystem = 0x02;

int daoType(FieldType type) {
    switch (type) {
        case FieldType::Boolean:
            return schema::dao::kBoolean;
        case FieldType::Byte:
            return schema::dao::kByte;
        case FieldType::Integer:
            return schema::dao::kInteger;
        case FieldType::Long:
            return schema::dao::kLong;
        case FieldType::Currency:
            return schema::dao::kCurrency;
        case FieldType::Single:
            return schema::dao::kSingle;
        case FieldType::Double:
            return schema::dao::kDouble;
        case FieldType::Date:
            return schema::dao::kDate;
        case FieldType::Binary:
            return schema::dao::kBinary;
        case FieldType::Text:
            return schema::dao::kText;
        case FieldType::LongBinary:
            return schema::dao::kLongBinary;
        case FieldType::Memo:
            return schema::dao::kMemo;
        case FieldType::Guid:
            return schema::dao::kGuid;
        case FieldType::Decimal:
            return schema::dao::kDecimal;
        case FieldType::BigInt:
            return schema::dao::kBigInt;
        case FieldType::DateTimeExtended:
            return schema::dao::kExtendedDate;
    }
    return 0;
}

std::int32_t daoSize(const FieldDescription& field) {
    switch (field.type) {
        case FieldType::Boolean:
        case FieldType::Byte:
            return 1;
        case FieldType::Integer:
            return 2;
        case FieldType::Long:
        case FieldType::Single:
            return 4;
        case FieldType::Currency:
        case FieldType::Double:
        case FieldType::Date:
        case FieldType::BigInt:
            return 8;
        case FieldType::DateTimeExtended:
            return 42;
        case FieldType::Guid:
        case FieldType::Decimal:
            return 16;
        case FieldType::Text:
        case FieldType::Binary:
            return field.size > 0 ? field.size : 50;
        case FieldType::LongBinary:
        case FieldType::Memo:
            return 0;
    }
    return 0;
}

bool isVariable(const FieldDescription& field) {
    switch (field.type) {
        case FieldType::Text:
        case FieldType::Binary:
            return !field.fixedLength;
        case FieldType::Memo:
        case FieldType::LongBinary:
            return true;
        default:
            return false;
    }
}

std::string folded(const std::string& name) {
    std::string result = name;
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return result;
}

std::int32_t queryKindFlags(QueryKind kind) {
    switch (kind) {
        case QueryKind::Select:
            return 0;
        case QueryKind::Crosstab:
            return 16;
        case QueryKind::Delete:
            return 32;
        case QueryKind::Update:
            return 48;
        case QueryKind::Append:
            return 64;
        case QueryKind::MakeTable:
            return 80;
        case QueryKind::DataDefinition:
            return 96;
        case QueryKind::PassThrough:
            return 112;
        case QueryKind::Union:
            return 128;
    }
    return 0;
}

std::string indexFields(const std::vector<std::pair<std::string, bool>>& columns) {
    std::string text;
    for (const auto& [name, descending] : columns) {
        if (!text.empty()) text += ';';
        text += (descending ? "-" : "+") + name;
    }
    return text;
}

bool sameFolded(const std::string& a, const std::string& b) { return folded(a) == folded(b); }

std::string relationshipName(const RelationshipDescription& relationship) {
    return relationship.name.empty() ? relationship.primaryTable + relationship.foreignTable
                                     : relationship.name;
}

// The ".rC", ".rD", ... name of the next foreign-key index on a relationship's "one" side.
std::string nextPrimarySideName(const std::vector<schema::Index>& existing) {
    for (char c = 'C';; ++c) {
        const std::string name = std::string(".r") + c;
        const bool used =
            std::any_of(existing.begin(), existing.end(),
                        [&](const schema::Index& index) { return sameFolded(index.name, name); });
        if (!used) return name;
    }
}

}  // namespace

std::vector<schema::TableListRow> expectedListing(const DatabaseDescription& database) {
    std::vector<schema::TableListRow> rows;
    for (const char* name : {"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships"}) {
        rows.push_back({name, schema::dao::kTableTypeTable, kSystemObject});
    }
    for (const TableDescription& table : database.tables) {
        rows.push_back({table.name, schema::dao::kTableTypeTable,
                        (table.hidden ? kHidden : 0) | (table.system ? kLateSystem : 0)});
    }
    for (const QueryDescription& query : database.queries) {
        rows.push_back({query.name, schema::dao::kTableTypeQueryDef,
                        queryKindFlags(query.kind) | (query.hidden ? kHidden : 0) |
                            (query.system ? kLateSystem : 0)});
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const schema::TableListRow& a, const schema::TableListRow& b) {
                         const std::string fa = folded(a.name);
                         const std::string fb = folded(b.name);
                         return fa != fb ? fa < fb : a.name < b.name;
                     });
    return rows;
}

std::vector<schema::Field> expectedFields(const TableDescription& table) {
    std::vector<schema::Field> fields;
    for (const FieldDescription& field : table.fields) {
        schema::Field expected;
        expected.name = field.name;
        expected.type = daoType(field.type);
        expected.size = daoSize(field);
        expected.attributes =
            isVariable(field) ? schema::dao::kVariableField : schema::dao::kFixedField;
        expected.attributes |=
            field.autoNumber ? schema::dao::kAutoIncrField : schema::dao::kUpdatableField;
        if (field.hyperlink) expected.attributes |= schema::dao::kHyperlinkField;
        expected.required = field.required;
        expected.allowZeroLength =
            (field.type == FieldType::Text || field.type == FieldType::Memo) &&
            field.allowZeroLength;
        expected.defaultValue = field.defaultValue.value_or("");
        expected.validationRule = field.validationRule.value_or("");
        expected.validationText = field.validationText.value_or("");
        expected.description = field.description.value_or("");
        if (field.type == FieldType::Decimal) {
            expected.precision = field.precision;
            expected.scale = field.scale;
        }
        fields.push_back(expected);
    }
    return fields;
}

std::vector<schema::Index> expectedIndexes(const DatabaseDescription& database, std::size_t table) {
    const TableDescription& described = database.tables.at(table);
    std::vector<schema::Index> indexes;
    for (const IndexDescription& index : described.indexes) {
        std::vector<std::pair<std::string, bool>> columns;
        for (const IndexColumn& column : index.columns)
            columns.emplace_back(column.field, column.descending);
        indexes.push_back({index.name, indexFields(columns), index.primary,
                           index.primary || index.unique, false, index.primary || index.required,
                           index.ignoreNulls});
    }
    for (const RelationshipDescription& relationship : database.relationships) {
        if (!relationship.enforce) continue;
        std::vector<std::pair<std::string, bool>> primary;
        std::vector<std::pair<std::string, bool>> foreign;
        for (const auto& pair : relationship.fields) {
            primary.emplace_back(pair.primaryField, false);
            foreign.emplace_back(pair.foreignField, false);
        }
        // The "one" side shares the unique index over the related fields, so it is required
        // exactly when that index is.
        if (sameFolded(relationship.primaryTable, described.name)) {
            bool required = false;
            for (const schema::Index& index : indexes) {
                if (!index.foreign && index.unique && index.fields == indexFields(primary)) {
                    required = index.required;
                    break;
                }
            }
            indexes.push_back({relationship.primaryIndexName.value_or(nextPrimarySideName(indexes)),
                               indexFields(primary), false, true, true, required, false});
        }
        if (sameFolded(relationship.foreignTable, described.name)) {
            indexes.push_back(
                {relationship.foreignIndexName.value_or(relationshipName(relationship)),
                 indexFields(foreign), false, false, true, false, false});
        }
    }
    return indexes;
}

std::vector<schema::Relation> expectedRelations(const DatabaseDescription& database) {
    std::vector<schema::Relation> relations;
    for (const RelationshipDescription& relationship : database.relationships) {
        schema::Relation relation;
        relation.name = relationshipName(relationship);
        relation.table = relationship.primaryTable;
        relation.foreignTable = relationship.foreignTable;
        relation.attributes =
            (relationship.oneToOne ? schema::dao::kRelationUnique : 0) |
            (relationship.enforce ? 0 : schema::dao::kRelationDontEnforce) |
            (relationship.cascadeUpdates ? schema::dao::kRelationUpdateCascade : 0) |
            (relationship.cascadeDeletes ? schema::dao::kRelationDeleteCascade : 0) |
            (relationship.cascadeToNull ? schema::dao::kRelationDeleteSetNull : 0) |
            (relationship.leftJoin ? schema::dao::kRelationLeft : 0) |
            (relationship.rightJoin ? schema::dao::kRelationRight : 0);
        for (const auto& pair : relationship.fields) {
            relation.fields.push_back({pair.primaryField, pair.foreignField});
        }
        relations.push_back(relation);
    }
    std::stable_sort(relations.begin(), relations.end(),
                     [](const schema::Relation& a, const schema::Relation& b) {
                         const std::string fa = folded(a.name);
                         const std::string fb = folded(b.name);
                         return fa != fb ? fa < fb : a.name < b.name;
                     });
    return relations;
}

int expectedQueryType(const QueryDescription& query) { return queryKindFlags(query.kind); }

}  // namespace zl::jetwrite::testing
