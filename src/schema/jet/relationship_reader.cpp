// MSysRelationships: one row per key column of each relationship.
//
//   COLUMN              TYPE  DESCRIPTION
//   szRelationship      Text  the relationship's name
//   szReferencedObject  Text  the "one" side (Relation.Table)
//   szReferencedColumn  Text  a key column there (RelationField.Name)
//   szObject            Text  the side holding the foreign key (Relation.ForeignTable)
//   szColumn            Text  the matching column there (RelationField.ForeignName)
//   icolumn             Long  position of the column in the key
//   ccolumn             Long  number of key columns
//   grbit               Long  Relation.Attributes
#include "schema/jet/relationship_reader.h"

#include <algorithm>
#include <map>

#include "schema/jet/table_definition.h"
#include "schema/jet/table_listing.h"
#include "schema/jet/table_scan.h"

namespace zl::schema::jet {
namespace {

struct RelationColumns {
    const ColumnDef* name;
    const ColumnDef* table;
    const ColumnDef* field;
    const ColumnDef* foreignTable;
    const ColumnDef* foreignField;
    const ColumnDef* position;
    const ColumnDef* attributes;
};

// A relationship while its rows are gathered: key columns with their positions.
struct PendingRelation {
    Relation relation;
    std::vector<std::pair<std::int64_t, RelationField>> fields;
};

}  // namespace

Result<std::vector<Relation>> readRelations(PageReader& reader, const JetFormat& format,
                                            const TextDecoder& text, std::uint32_t tablePage) {
    JET_ASSIGN_OR_RETURN(const TableDefinition table,
                         readTableDefinition(reader, format, text, tablePage));
    const RelationColumns columns{table.columnByName("szRelationship"),
                                  table.columnByName("szReferencedObject"),
                                  table.columnByName("szReferencedColumn"),
                                  table.columnByName("szObject"),
                                  table.columnByName("szColumn"),
                                  table.columnByName("icolumn"),
                                  table.columnByName("grbit")};
    if (columns.name == nullptr || columns.table == nullptr || columns.field == nullptr ||
        columns.foreignTable == nullptr || columns.foreignField == nullptr) {
        return corruption(Origin(tablePage, 0), 0,
                          "the relationship table lacks one of its name columns");
    }
    const RecordReader record(reader, format, text);
    std::map<std::string, PendingRelation> pending;
    JET_TRY(scanRows(reader, format, table, [&](const RowView& row) -> Status {
        JET_ASSIGN_OR_RETURN(const auto name, record.text(row, columns.name));
        JET_ASSIGN_OR_RETURN(const auto referenced, record.text(row, columns.table));
        JET_ASSIGN_OR_RETURN(const auto field, record.text(row, columns.field));
        JET_ASSIGN_OR_RETURN(const auto object, record.text(row, columns.foreignTable));
        JET_ASSIGN_OR_RETURN(const auto foreignField, record.text(row, columns.foreignField));
        JET_ASSIGN_OR_RETURN(const auto position, record.integer(row, columns.position));
        JET_ASSIGN_OR_RETURN(const auto attributes, record.integer(row, columns.attributes));
        const std::string key = name.value_or("");
        auto [found, added] = pending.try_emplace(key);
        PendingRelation& entry = found->second;
        if (added) {
            entry.relation.name = key;
            entry.relation.table = referenced.value_or("");
            entry.relation.foreignTable = object.value_or("");
            entry.relation.attributes = static_cast<std::int32_t>(attributes.value_or(0));
        }
        entry.fields.emplace_back(position.value_or(0),
                                  RelationField{field.value_or(""), foreignField.value_or("")});
        return {};
    }));
    std::vector<Relation> relations;
    relations.reserve(pending.size());
    for (auto& [name, entry] : pending) {
        std::stable_sort(entry.fields.begin(), entry.fields.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (auto& [position, field] : entry.fields) {
            entry.relation.fields.push_back(std::move(field));
        }
        relations.push_back(std::move(entry.relation));
    }
    std::stable_sort(relations.begin(), relations.end(), [](const Relation& a, const Relation& b) {
        return listingOrder(a.name, b.name);
    });
    return relations;
}

}  // namespace zl::schema::jet
