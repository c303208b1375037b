// Export planning from the selection.
#include "export/export_plan.h"

#include <algorithm>

#include "schema/schema_model.h"

namespace zl::exporter {
namespace {

bool sameName(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        return lower(x) == lower(y);
    });
}

// Index.Fields ("+A;-B") as its column names.
std::vector<std::string> keyNames(const std::string& fields) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= fields.size()) {
        std::size_t end = fields.find(';', start);
        if (end == std::string::npos) end = fields.size();
        std::string part = fields.substr(start, end - start);
        if (!part.empty() && (part[0] == '+' || part[0] == '-')) part.erase(0, 1);
        if (!part.empty()) names.push_back(part);
        start = end + 1;
    }
    return names;
}

PlannedTable planTable(const schema::Database& db, const schema::SchemaModel& model,
                       std::size_t entry, std::vector<PlanNote>& notes) {
    const std::string& name = model.entry(entry).name;
    const std::unique_ptr<schema::TableDef> def = db.tableDef(name);
    PlannedTable table;
    table.name = name;
    table.description = def->description();
    for (int j = 0; j < def->fieldCount(); ++j) {
        schema::Field field = def->field(j);
        if (!model.IsFieldIncluded(entry, j)) continue;
        if (field.type == schema::dao::kComplex) {
            notes.push_back({name, field.name, "Type", "complex column",
                             "attachments and multi-value fields have no column in the target; "
                             "their values stay behind"});
            continue;
        }
        if (field.type >= 256) {
            notes.push_back({name, field.name, "Type", "type " + std::to_string(field.type - 256),
                             "a column type the reader does not know; its values stay behind"});
            continue;
        }
        table.columns.push_back({std::move(field), static_cast<std::size_t>(j)});
    }
    for (int k = 0; k < def->indexCount(); ++k) {
        const schema::Index index = def->index(k);
        if (!model.IsIndexIncluded(entry, k) || !(index.primary || index.unique)) continue;
        PlannedKey key{index.name, index.primary, {}};
        bool complete = true;
        for (const std::string& column : keyNames(index.fields)) {
            const auto position = table.columnNamed(column);
            if (!position) complete = false;
            if (position) key.columns.push_back(*position);
        }
        if (!complete || key.columns.empty()) continue;
        const bool duplicate =
            std::any_of(table.keys.begin(), table.keys.end(),
                        [&](const PlannedKey& other) { return other.columns == key.columns; });
        if (duplicate) continue;
        if (key.primary) {
            table.keys.insert(table.keys.begin(), std::move(key));
        } else {
            table.keys.push_back(std::move(key));
        }
    }
    return table;
}

std::optional<std::size_t> tableNamed(const ExportPlan& plan, const std::string& name) {
    for (std::size_t i = 0; i < plan.tables.size(); ++i) {
        if (sameName(plan.tables[i].name, name)) return i;
    }
    return std::nullopt;
}

void planRelation(ExportPlan& plan, const schema::Relation& relation) {
    const auto parent = tableNamed(plan, relation.table);
    const auto child = tableNamed(plan, relation.foreignTable);
    if (!parent || !child) return;  // a relation to a table that is not exported
    if ((relation.attributes & schema::dao::kRelationDontEnforce) != 0) {
        plan.notes.push_back({relation.foreignTable, "", "Relation", relation.name,
                              "the relation is not enforced in the database; no foreign key"});
        return;
    }
    PlannedRelation planned{relation.name, *parent, *child, {}, {}, false, false, false};
    for (const schema::RelationField& field : relation.fields) {
        const auto from = plan.tables[*parent].columnNamed(field.name);
        const auto to = plan.tables[*child].columnNamed(field.foreignName);
        if (!from || !to) {
            plan.notes.push_back({relation.foreignTable, field.foreignName, "Relation",
                                  relation.name, "a key field of the relation is not exported"});
            return;
        }
        planned.parentColumns.push_back(*from);
        planned.childColumns.push_back(*to);
    }
    if (planned.parentColumns.empty()) return;
    // Both targets need a primary key or unique constraint over the referenced columns.
    std::vector<std::size_t> wanted = planned.parentColumns;
    std::sort(wanted.begin(), wanted.end());
    const auto& keys = plan.tables[*parent].keys;
    const bool keyed = std::any_of(keys.begin(), keys.end(), [&](const PlannedKey& key) {
        std::vector<std::size_t> columns = key.columns;
        std::sort(columns.begin(), columns.end());
        return columns == wanted;
    });
    if (!keyed) {
        plan.notes.push_back({relation.foreignTable, "", "Relation", relation.name,
                              "the referenced fields carry no exported unique index"});
        return;
    }
    planned.cascadeUpdates = (relation.attributes & schema::dao::kRelationUpdateCascade) != 0;
    planned.cascadeDeletes = (relation.attributes & schema::dao::kRelationDeleteCascade) != 0;
    planned.deleteSetNull = (relation.attributes & schema::dao::kRelationDeleteSetNull) != 0;
    plan.relations.push_back(std::move(planned));
}

}  // namespace

std::optional<std::size_t> PlannedTable::columnNamed(const std::string& wanted) const {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (sameName(columns[i].field.name, wanted)) return i;
    }
    return std::nullopt;
}

ExportPlan planExport(const schema::Database& db, const schema::SchemaModel& model) {
    ExportPlan plan;
    std::vector<schema::TableListRow> listing = db.listTables();
    for (std::size_t e = 0; e < model.size(); ++e) {
        const schema::SchemaEntry& entry = model.entry(e);
        if (!entry.selected || entry.isQueryDef) continue;
        const auto row = std::find_if(listing.begin(), listing.end(),
                                      [&](const auto& r) { return r.name == entry.name; });
        if (row != listing.end() && row->tableType != schema::dao::kTableTypeTable) {
            plan.notes.push_back({entry.name, "", "Table", "linked table",
                                  "a linked table's rows live in another database"});
            continue;
        }
        plan.tables.push_back(planTable(db, model, e, plan.notes));
    }
    for (const schema::Relation& relation : db.relations()) {
        planRelation(plan, relation);
    }
    return plan;
}

}  // namespace zl::exporter
