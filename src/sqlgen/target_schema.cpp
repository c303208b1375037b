// Reads the selected part of the database once, so that the generators are pure functions of it.
#include "sqlgen/target_schema.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <unordered_map>

#include "schema/schema_model.h"

namespace zl::sqlgen {

namespace {

char foldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// What one pass over a name's bytes, eight at a time, tells: a hash that names alike without
// regard to ASCII case share (each byte with its 0x20 bit set, which makes every ASCII capital
// its small letter and joins a few other characters too, which only costs a comparison), and
// the name's IdentifierKind. Each caller asks for what it needs.
struct NameScan {
    std::size_t hash = 0;
    IdentifierKind kind = IdentifierKind::Other;
};

template <bool kHash, bool kKind>
NameScan scanName(std::string_view name) {
    constexpr std::uint64_t kSmall = 0x2020202020202020ULL;
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
    const std::size_t size = name.size();
    std::uint64_t hash = 0x9E3779B97F4A7C15ULL ^ size;
    std::uint64_t bad = 0;    // a byte below 0x20, or from 0x7F up, sets its high bit
    std::uint64_t quote = 0;  // a double quote sets its high bit
    auto take = [&](std::uint64_t chunk) {
        if constexpr (kHash) {
            hash = (hash ^ (chunk | kSmall)) * 0xFF51AFD7ED558CCDULL;
            hash ^= hash >> 32;
        }
        if constexpr (kKind) {
            const std::uint64_t q = chunk ^ (kOnes * '"');
            bad |= ((chunk - kOnes * 0x20) & ~chunk) | ((chunk + kOnes) | chunk);
            quote |= (q - kOnes) & ~q;
        }
    };
    std::uint64_t high = kHigh;  // the high bits of the bytes that belong to the name
    if (size >= 8) {
        std::uint64_t chunk = 0;
        for (std::size_t i = 0; i + 8 < size; i += 8) {
            std::memcpy(&chunk, name.data() + i, sizeof chunk);
            take(chunk);
        }
        // The last eight bytes, overlapping the chunk before: a copy of variable size is a
        // library call.
        std::memcpy(&chunk, name.data() + size - 8, sizeof chunk);
        take(chunk);
    } else {
        std::uint64_t chunk = 0;
        for (std::size_t i = 0; i < size; ++i) {
            chunk |= static_cast<std::uint64_t>(static_cast<unsigned char>(name[i])) << (8 * i);
        }
        take(chunk);
        high &= (std::uint64_t{1} << (8 * size)) - 1;  // the zero bytes above are no part of it
    }
    NameScan scan;
    scan.hash = static_cast<std::size_t>(hash ^ (hash >> 29));
    if constexpr (kKind) {
        if (size == 0 || size > kMaxIdentifierBytes || (bad & high) != 0) {
            scan.kind = IdentifierKind::Other;
        } else {
            scan.kind = (quote & high) != 0 ? IdentifierKind::Quoted : IdentifierKind::Plain;
        }
    }
    return scan;
}

std::size_t hashFolded(std::string_view name) { return scanName<true, false>(name).hash; }

bool isLinkedType(std::int32_t tableType) {
    return tableType == schema::dao::kTableTypeOdbcLink ||
           tableType == schema::dao::kTableTypeAccessLink;
}

// The names met so far among one table's fields, as Access compares them, with the selected
// field each stands for: an open-addressing table of views, reused from table to table, so that
// a table costs no allocation.
class SeenNames {
public:
    // Forgets the names of the last table and makes room for `count` more. A slot holds a name
    // of the current table only when it carries the table's stamp, so nothing is cleared.
    void reset(std::size_t count) {
        std::size_t capacity = 16;
        while (capacity < 2 * count) capacity *= 2;
        if (capacity > m_slots.size()) m_slots.resize(capacity);
        if (++m_stamp == 0) {  // every stamp used: start again from clean slots
            std::fill(m_slots.begin(), m_slots.end(), Slot{});
            m_stamp = 1;
        }
        m_mask = capacity - 1;
    }
    // Adds `name` (already scanned), standing for `field` (null for a field the selection leaves
    // out); false when an earlier name is the same.
    bool add(std::string_view name, std::size_t hash, const TargetField* field) {
        const std::size_t slot = find(name, hash);
        if (m_slots[slot].stamp == m_stamp) return false;
        m_slots[slot] = {name, hash, field, m_stamp};
        return true;
    }
    // The selected field that `name` stands for, or null.
    const TargetField* field(std::string_view name) const {
        if (m_slots.empty()) return nullptr;
        const Slot& slot = m_slots[find(name, hashFolded(name))];
        return slot.stamp == m_stamp ? slot.field : nullptr;
    }

private:
    struct Slot {
        std::string_view name;
        std::size_t hash = 0;
        const TargetField* field = nullptr;
        std::uint32_t stamp = 0;  // the table the name belongs to; 0 for none
    };
    // The slot of `name`, or the free slot where it would go.
    std::size_t find(std::string_view name, std::size_t hash) const {
        std::size_t slot = hash & m_mask;
        for (; m_slots[slot].stamp == m_stamp; slot = (slot + 1) & m_mask) {
            if (m_slots[slot].hash == hash && sameAccessName(m_slots[slot].name, name)) break;
        }
        return slot;
    }
    std::vector<Slot> m_slots;
    std::size_t m_mask = 0;     // the slots of the current table: the first m_mask + 1
    std::uint32_t m_stamp = 0;  // the current table's
};

// `seen` is room for the names of a table's fields, reused from table to table.
TargetTable readTable(const schema::SchemaModel& model, std::size_t e, const schema::Database& db,
                      SeenNames& seen) {
    TargetTable table;
    table.name = model.entry(e).name;
    try {
        std::unique_ptr<schema::TableDef> def = db.tableDef(table.name);
        const std::vector<schema::Field>* all = def->fields();
        const bool shared = all != nullptr;
        if (!shared) {
            // Fields the engine gives one by one are moved into the table: its vector is never
            // grown again, so the references below stay where they are when the table moves.
            const auto fieldCount = static_cast<std::size_t>(std::max(def->fieldCount(), 0));
            table.ownFields.reserve(fieldCount);
            for (std::size_t j = 0; j < fieldCount; ++j) {
                table.ownFields.push_back(def->field(static_cast<int>(j)));
            }
            all = &table.ownFields;
        }
        seen.reset(all->size());
        table.fields.reserve(all->size());
        table.columns.name = table.name;
        table.columns.columns.reserve(all->size());
        table.plainFieldNames = true;  // repeated names are left out below
        const bool allIncluded = model.allFieldsIncluded(e);
        for (std::size_t j = 0; j < all->size(); ++j) {
            const schema::Field& field = (*all)[j];
            // One pass over the name serves the repeat test and the name's kind.
            const NameScan scan = scanName<true, true>(field.name);
            const bool included = allIncluded || model.IsFieldIncluded(e, static_cast<int>(j));
            if (!seen.add(field.name, scan.hash, included ? &field : nullptr)) {
                table.duplicateFields.push_back(field.name);
            } else if (included) {
                table.fields.push_back(&field);
                if (carriesColumn(field)) {
                    table.columns.columns.push_back(
                        {field.name, field.type, field.size, field.calculated});
                }
                table.plainFieldNames = table.plainFieldNames && scan.kind != IdentifierKind::Other;
                table.quotedFieldName =
                    table.quotedFieldName || scan.kind == IdentifierKind::Quoted;
                table.systemColumnName =
                    table.systemColumnName || isPostgresSystemColumn(field.name);
            } else {
                table.leftOutFields.push_back(field.name);
            }
        }
        const int indexCount = def->indexCount();
        table.indexes.reserve(static_cast<std::size_t>(std::max(indexCount, 0)));
        std::size_t keyRoom = 0;
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
            keyRoom += static_cast<std::size_t>(
                std::count(index.fields.begin(), index.fields.end(), ';') + 1);
            table.indexes.push_back({std::move(index), {}});
        }
        // The key columns view the stored field lists where the indexes now stay; the room
        // reserved is all they can take, so none moves while the others are parsed.
        table.keyColumns.reserve(keyRoom);
        for (TargetIndex& index : table.indexes) {
            const std::size_t start = table.keyColumns.size();
            parseKeyColumns(index.index.fields, table.keyColumns);
            for (std::size_t c = start; c < table.keyColumns.size(); ++c) {
                KeyColumn& column = table.keyColumns[c];
                column.field = seen.field(column.name);
                column.carried = column.field != nullptr && carriesColumn(*column.field);
            }
            index.columns = std::span<const KeyColumn>(table.keyColumns.data() + start,
                                                       table.keyColumns.size() - start);
        }
        table.validationRule = def->validationRule();
        table.validationText = def->validationText();
        table.description = def->description();
        if (shared) table.fieldOwner = std::move(def);
    } catch (const schema::EngineError& error) {
        table.unreadable = error.description();
        table.fields.clear();
        table.ownFields.clear();
        table.columns.columns.clear();
        table.indexes.clear();
        table.keyColumns.clear();
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

std::size_t foldedNameHash(std::string_view name) { return hashFolded(name); }

bool isPostgresSystemColumn(std::string_view name) {
    if (name.size() != 4 && name.size() != 6) return false;  // the lengths of the six below
    static constexpr std::array<std::string_view, 6> kSystem = {"tableoid", "xmin", "cmin",
                                                                "xmax",     "cmax", "ctid"};
    return std::find(kSystem.begin(), kSystem.end(), name) != kSystem.end();
}

IdentifierKind identifierKind(std::string_view name) { return scanName<false, true>(name).kind; }

bool plainIdentifier(std::string_view name) {
    return identifierKind(name) != IdentifierKind::Other;
}

bool sameAccessName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    std::size_t i = 0;
    // Runs of eight equal bytes are passed over at once; the rest is compared folded.
    for (; i + 8 <= a.size(); i += 8) {
        if (std::memcmp(a.data() + i, b.data() + i, 8) != 0) break;
    }
    for (; i < a.size(); ++i) {
        if (a[i] != b[i] && foldAscii(a[i]) != foldAscii(b[i])) return false;
    }
    return true;
}

const TargetField* TargetTable::findField(std::string_view fieldName) const {
    for (const TargetField& field : fields) {
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

void parseKeyColumns(std::string_view storedFields, std::vector<KeyColumn>& out) {
    const std::size_t start = out.size();
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
        const bool earlier =
            std::any_of(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(),
                        [&](const KeyColumn& key) { return sameAccessName(key.name, part); });
        if (earlier) continue;
        column.name = part;
        out.push_back(column);
    }
}

TargetSchema readTargetSchema(const schema::SchemaModel& model, const schema::Database* db) {
    TargetSchema result;
    bool anySelected = false;
    for (const schema::SchemaEntry& entry : model.entries()) anySelected |= entry.selected;
    if (!anySelected) return result;
    if (db == nullptr) throw schema::EngineError("No database is open.");

    // The listing tells linked tables apart; a listing that cannot be read leaves them as tables.
    // Looked up by the listing's own names (kept alive in `listing`), without copies, and only
    // when the listing has a linked table at all.
    std::vector<schema::TableListRow> listing;
    std::unordered_map<std::string_view, std::int32_t> tableTypes;
    try {
        listing = db->listTables();
        const bool anyLinked = std::any_of(
            listing.begin(), listing.end(),
            [](const schema::TableListRow& row) { return isLinkedType(row.tableType); });
        if (anyLinked) {
            tableTypes.reserve(listing.size());
            for (const schema::TableListRow& row : listing) tableTypes[row.name] = row.tableType;
        }
    } catch (const schema::EngineError&) {
        tableTypes.clear();
    }
    std::size_t tables = 0;
    std::size_t queries = 0;
    for (const schema::SchemaEntry& entry : model.entries()) {
        if (entry.selected) ++(entry.isQueryDef ? queries : tables);
    }
    result.tables.reserve(tables);
    result.queries.reserve(queries);
    SeenNames seen;
    for (std::size_t e = 0; e < model.size(); ++e) {
        const schema::SchemaEntry& entry = model.entry(e);
        if (!entry.selected) continue;
        if (entry.isQueryDef) {
            result.queries.push_back(readQuery(entry.name, *db));
            continue;
        }
        const auto type = tableTypes.empty() ? tableTypes.end() : tableTypes.find(entry.name);
        if (type != tableTypes.end() && isLinkedType(type->second)) {
            TargetTable linked;
            linked.name = entry.name;
            linked.linked = true;
            result.tables.push_back(std::move(linked));
            continue;
        }
        result.tables.push_back(readTable(model, e, *db, seen));
    }
    try {
        result.relations = db->relations();
    } catch (const schema::EngineError& error) {
        result.relationsUnreadable = error.description();
    }
    return result;
}

}  // namespace zl::sqlgen
