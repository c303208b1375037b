// Reads the selected part of the database once, so that the generators are pure functions of it.
#include "sqlgen/target_schema.h"

#include <algorithm>
#include <map>
#include <numeric>

#include "schema/schema_model.h"

namespace zl::sqlgen {

namespace {

char foldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Orders names as sameAccessName compares them.
bool lessAccessName(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return foldAscii(x) < foldAscii(y); });
}

bool isLinkedType(std::int32_t tableType) {
    return tableType == schema::dao::kTableTypeOdbcLink ||
           tableType == schema::dao::kTableTypeAccessLink;
}

TargetTable readTable(const schema::SchemaModel& model, std::size_t e, const schema::Database& db) {
    TargetTable table;
    table.name = model.entry(e).name;
    try {
        const std::unique_ptr<schema::TableDef> def = db.tableDef(table.name);
        const auto fieldCount = static_cast<std::size_t>(std::max(def->fieldCount(), 0));
        std::vector<schema::Field> all;
        all.reserve(fieldCount);
        for (std::size_t j = 0; j < fieldCount; ++j) all.push_back(def->field(static_cast<int>(j)));
        // A name that an earlier field already has (ignoring case) marks a repeated field: the
        // names sorted stably put each one after its first holder.
        std::vector<std::size_t> byName(fieldCount);
        std::iota(byName.begin(), byName.end(), std::size_t{0});
        std::stable_sort(byName.begin(), byName.end(), [&](std::size_t a, std::size_t b) {
            return lessAccessName(all[a].name, all[b].name);
        });
        std::vector<bool> repeatedField(fieldCount, false);
        for (std::size_t k = 1; k < fieldCount; ++k) {
            repeatedField[byName[k]] = sameAccessName(all[byName[k - 1]].name, all[byName[k]].name);
        }
        table.fields.reserve(fieldCount);
        for (std::size_t j = 0; j < fieldCount; ++j) {
            schema::Field& field = all[j];
            if (repeatedField[j]) {
                table.duplicateFields.push_back(std::move(field.name));
            } else if (model.IsFieldIncluded(e, static_cast<int>(j))) {
                table.fields.push_back(std::move(field));
            } else {
                table.leftOutFields.push_back(std::move(field.name));
            }
        }
        const int indexCount = def->indexCount();
        for (int k = 0; k < indexCount; ++k) {
            if (!model.IsIndexIncluded(e, k)) continue;
            schema::Index index = def->index(k);
            const bool repeated =
                std::any_of(table.indexes.begin(), table.indexes.end(), [&](const auto& earlier) {
                    return sameAccessName(earlier.index.name, index.name);
                });
            if (repeated) {
                table.duplicateIndexes.push_back(std::move(index.name));
                continue;
            }
            std::vector<KeyColumn> columns = parseKeyColumns(index.fields);
            table.indexes.push_back({std::move(index), std::move(columns)});
        }
        table.validationRule = def->validationRule();
        table.validationText = def->validationText();
        table.description = def->description();
    } catch (const schema::EngineError& error) {
        table.unreadable = error.description();
        table.fields.clear();
        table.indexes.clear();
    }
    return table;
}

TargetQuery readQuery(const std::string& name, const schema::Database& db) {
    TargetQuery query;
    query.name = name;
    try {
        const std::unique_ptr<schema::QueryDef> def = db.queryDef(name);
        query.sql = def->sql();
        query.type = def->type();
    } catch (const schema::EngineError& error) {
        query.unreadable = error.description();
    }
    return query;
}

}  // namespace

bool sameAccessName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (foldAscii(a[i]) != foldAscii(b[i])) return false;
    }
    return true;
}

const schema::Field* TargetTable::findField(std::string_view fieldName) const {
    for (const schema::Field& field : fields) {
        if (sameAccessName(field.name, fieldName)) return &field;
    }
    return nullptr;
}

bool TargetTable::isLeftOut(std::string_view fieldName) const {
    for (const std::string& left : leftOutFields) {
        if (sameAccessName(left, fieldName)) return true;
    }
    return false;
}

const TargetTable* TargetSchema::findTable(std::string_view tableName) const {
    for (const TargetTable& table : tables) {
        if (sameAccessName(table.name, tableName)) return &table;
    }
    return nullptr;
}

std::vector<KeyColumn> parseKeyColumns(std::string_view storedFields) {
    std::vector<KeyColumn> columns;
    while (!storedFields.empty()) {
        const std::size_t end = storedFields.find(';');
        std::string_view part = storedFields.substr(0, end);
        storedFields =
            end == std::string_view::npos ? std::string_view{} : storedFields.substr(end + 1);
        KeyColumn column;
        if (!part.empty() && (part.front() == '+' || part.front() == '-')) {
            column.descending = part.front() == '-';
            part.remove_prefix(1);
        }
        if (part.empty()) continue;
        column.name = std::string(part);
        columns.push_back(std::move(column));
    }
    return columns;
}

TargetSchema readTargetSchema(const schema::SchemaModel& model, const schema::Database* db) {
    TargetSchema result;
    bool anySelected = false;
    for (const schema::SchemaEntry& entry : model.entries()) anySelected |= entry.selected;
    if (!anySelected) return result;
    if (db == nullptr) throw schema::EngineError("No database is open.");

    // The listing tells linked tables apart; a listing that cannot be read leaves them as tables.
    std::map<std::string, std::int32_t> tableTypes;
    try {
        for (const schema::TableListRow& row : db->listTables()) {
            tableTypes[row.name] = row.tableType;
        }
    } catch (const schema::EngineError&) {
        tableTypes.clear();
    }
    for (std::size_t e = 0; e < model.size(); ++e) {
        const schema::SchemaEntry& entry = model.entry(e);
        if (!entry.selected) continue;
        if (entry.isQueryDef) {
            result.queries.push_back(readQuery(entry.name, *db));
            continue;
        }
        const auto type = tableTypes.find(entry.name);
        if (type != tableTypes.end() && isLinkedType(type->second)) {
            TargetTable linked;
            linked.name = entry.name;
            linked.linked = true;
            result.tables.push_back(std::move(linked));
            continue;
        }
        result.tables.push_back(readTable(model, e, *db));
    }
    try {
        result.relations = db->relations();
    } catch (const schema::EngineError& error) {
        result.relationsUnreadable = error.description();
    }
    return result;
}

}  // namespace zl::sqlgen
