// Name assignment for the loadable SQL targets.
#include "sqlgen/target_names.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "sqlgen/target_schema.h"
#include "support/encoding.h"

namespace zl::sqlgen {

namespace {

bool startsWithFolded(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && sameAccessName(text.substr(0, prefix.size()), prefix);
}

// The longest prefix of `text` of at most `bytes` bytes that ends on a character boundary.
std::string cutUtf8(std::string_view text, std::size_t bytes) {
    if (text.size() <= bytes) return std::string(text);
    std::size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return std::string(text.substr(0, end));
}

// Identifiers cannot hold NUL, and every text the targets read must be valid UTF-8; other
// control characters become spaces as in the classic scripts. An empty name has no quoted form.
std::string cleaned(std::string_view name) {
    const bool plain = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7F;
    });
    if (plain) return std::string(name);
    std::string text = support::controlsToSpaces(support::toValidUtf8(name));
    if (text.empty()) text = "_";
    return text;
}

// Appends `name` in double quotes when it stands as it is (plainIdentifier) and holds no quote;
// false, with `out` untouched, otherwise.
bool appendPlainQuoted(std::string& out, std::string_view name) {
    if (identifierKind(name) != IdentifierKind::Plain) return false;
    // The quotes with room between them, then the name: one growth check for all three.
    const std::size_t at = out.size();
    out.append(name.size() + 2, '"');
    std::copy(name.begin(), name.end(), out.begin() + static_cast<std::ptrdiff_t>(at) + 1);
    return true;
}

std::string withSuffix(std::string_view base, std::string_view suffix) {
    return cutUtf8(base, kMaxIdentifierBytes - suffix.size()) + std::string(suffix);
}

}  // namespace

std::size_t TargetNames::FoldedHash::operator()(std::string_view text) const {
    return foldedNameHash(text);
}

bool TargetNames::FoldedEqual::operator()(std::string_view a, std::string_view b) const {
    return sameAccessName(a, b);
}

void TargetNames::Space::reserve(std::size_t count) {
    m_names.reserve(count);
    m_text.reserve(count * 16);
    std::size_t capacity = 16;
    while (capacity < 2 * count) capacity *= 2;
    if (capacity > m_slots.size()) {
        std::vector<std::uint32_t> slots(capacity, 0);
        for (std::size_t i = 0; i < m_names.size(); ++i) {
            std::size_t slot = m_names[i].hash & (capacity - 1);
            while (slots[slot] != 0) slot = (slot + 1) & (capacity - 1);
            slots[slot] = static_cast<std::uint32_t>(i + 1);
        }
        m_slots = std::move(slots);
    }
}

std::size_t TargetNames::Space::find(std::string_view name, std::size_t hash) const {
    const std::size_t mask = m_slots.size() - 1;
    std::size_t slot = hash & mask;
    for (; m_slots[slot] != 0; slot = (slot + 1) & mask) {
        const Name& taken = m_names[m_slots[slot] - 1];
        if (taken.hash == hash && sameAccessName(text(taken), name)) return slot;
    }
    return slot;
}

bool TargetNames::Space::contains(std::string_view name) const {
    if (m_slots.empty()) return false;
    return m_slots[find(name, foldedNameHash(name))] != 0;
}

void TargetNames::Space::add(std::string_view name, std::size_t hash, std::size_t slot) {
    m_names.push_back(
        {hash, static_cast<std::uint32_t>(m_text.size()), static_cast<std::uint32_t>(name.size())});
    m_text.append(name);
    m_slots[slot] = static_cast<std::uint32_t>(m_names.size());
}

void TargetNames::Space::insert(std::string_view name) {
    if (2 * (m_names.size() + 1) > m_slots.size()) reserve(2 * (m_names.size() + 1));
    const std::size_t hash = foldedNameHash(name);
    const std::size_t slot = find(name, hash);
    if (m_slots[slot] == 0) add(name, hash, slot);
}

bool TargetNames::Space::take(std::string_view name) {
    if (2 * (m_names.size() + 1) > m_slots.size()) reserve(2 * (m_names.size() + 1));
    const std::size_t hash = foldedNameHash(name);
    const std::size_t slot = find(name, hash);
    if (m_slots[slot] != 0) return false;
    add(name, hash, slot);
    return true;
}

TargetNames::TargetNames(translate::Target target, const TargetSchema& schema) : m_target(target) {
    // Room for every name up front: the schema-wide space would otherwise be rehashed many times.
    std::size_t objects = schema.tables.size() + schema.queries.size() + schema.relations.size();
    for (const TargetTable& table : schema.tables) objects += table.indexes.size();
    m_objects.reserve(objects);
    m_renames.reserve(objects);  // an upper bound for all but column renames
    m_tables.reserve(schema.tables.size() + schema.queries.size());
    m_indexOwners.reserve(schema.tables.size());
    m_indexLists.reserve(schema.tables.size());
    for (const TargetTable& table : schema.tables) {
        m_tables[table.name] = assign(m_objects, table.name, {}, false, {.table = table.name});
    }
    for (const TargetQuery& query : schema.queries) {
        m_tables[query.name] = assign(m_objects, query.name, {}, false, {.query = query.name});
    }
    for (const TargetTable& table : schema.tables) {
        const std::string& key = table.name;
        // Most tables keep every column name as it is; they need no map of their own.
        if (!table.plainFieldNames ||
            (m_target == translate::Target::PostgreSql && table.systemColumnName)) {
            Space columns;
            columns.reserve(table.fields.size());
            auto& columnNames = m_columns[key];
            for (const TargetField& field : table.fields) {
                columnNames[std::string(field.name)] = assign(
                    columns, field.name, {}, true, {.table = table.name, .field = field.name});
            }
        }
        if (table.indexes.empty()) continue;
        const auto [owner, added] = m_indexOwners.try_emplace(key, m_indexLists.size());
        if (added) m_indexLists.emplace_back();
        auto& indexNames = m_indexLists[owner->second];
        indexNames.reserve(indexNames.size() + table.indexes.size());
        const std::string& qualifier = m_tables[key];
        for (const TargetIndex& index : table.indexes) {
            // A foreign-key index becomes the script's own index, named when it is written.
            if (index.index.foreign) continue;
            std::string name = assign(m_objects, index.index.name, qualifier, false,
                                      {.table = table.name, .property = "Index.Name"});
            const auto same = std::find_if(indexNames.begin(), indexNames.end(), [&](auto& entry) {
                return sameAccessName(entry.first, index.index.name);
            });
            if (same != indexNames.end()) {
                same->second = std::move(name);  // the last of a name stands, as in a map
            } else {
                indexNames.emplace_back(index.index.name, std::move(name));
            }
        }
    }
    m_byPosition.reserve(schema.tables.size());
    for (const TargetTable& table : schema.tables) {
        TableEntry& entry = m_byPosition.emplace_back();
        entry.name = m_tables.find(table.name)->second;
        const auto owner = m_indexOwners.find(table.name);
        if (owner != m_indexOwners.end()) entry.indexList = owner->second;
        entry.keepsColumns = !m_columns.contains(table.name);
    }
    for (const schema::Relation& relation : schema.relations) {
        if (schema.findTable(relation.table) == nullptr ||
            schema.findTable(relation.foreignTable) == nullptr) {
            continue;
        }
        m_relations[relation.name] =
            assign(m_objects, relation.name, tableName(relation.foreignTable), false,
                   {.table = relation.foreignTable, .property = "Relation.Name"});
    }
}

std::string TargetNames::assign(Space& space, std::string_view wanted, std::string_view qualifier,
                                bool columnSpace, const Subject& subject) {
    const std::string_view taken = columnSpace ? "another column of the table has the same name"
                                               : "another object of the schema has the same name";
    // Most names stand as they are: plain, not reserved, and not taken yet. Most others are
    // plain names taken already, which the qualifier in front makes free.
    if (plainIdentifier(wanted) &&
        !(columnSpace
              ? m_target == translate::Target::PostgreSql && isPostgresSystemColumn(wanted)
              : m_target == translate::Target::Sqlite && startsWithFolded(wanted, "sqlite_"))) {
        if (space.take(wanted)) return std::string(wanted);
        if (!qualifier.empty() && qualifier.size() + 1 + wanted.size() <= kMaxIdentifierBytes) {
            std::string qualified;
            qualified.reserve(qualifier.size() + 1 + wanted.size());
            qualified.append(qualifier).append(1, '_').append(wanted);
            if (space.take(qualified)) {
                if (subject.recorded) record(subject, wanted, qualified, taken);
                return qualified;
            }
        }
    }
    std::string base = cleaned(wanted);
    std::string why;
    if (base != wanted) why = "it holds characters that no identifier can hold";
    if (!columnSpace && m_target == translate::Target::Sqlite &&
        startsWithFolded(base, "sqlite_")) {
        base = "x_" + base;
        why = "SQLite reserves names that begin with sqlite_";
    }
    if (columnSpace && m_target == translate::Target::PostgreSql && isPostgresSystemColumn(base)) {
        base += "_";
        why = "PostgreSQL reserves it for a system column";
    }
    if (base.size() > kMaxIdentifierBytes && why.empty()) why = "it is longer than 63 bytes";

    std::string name = cutUtf8(base, kMaxIdentifierBytes);
    if (space.contains(name)) {
        if (why.empty()) why = taken;
        if (!qualifier.empty()) {
            std::string qualified;
            qualified.reserve(qualifier.size() + 1 + base.size());
            qualified.append(qualifier).append(1, '_').append(base);
            base = std::move(qualified);
            name = cutUtf8(base, kMaxIdentifierBytes);
        }
        for (int n = 2; space.contains(name); ++n) {
            name = withSuffix(base, "_" + std::to_string(n));
        }
    }
    space.insert(name);
    if (subject.recorded && name != wanted) record(subject, wanted, name, why);
    return name;
}

void TargetNames::record(const Subject& subject, std::string_view wanted, std::string_view name,
                         std::string_view why) {
    translate::LedgerItem& item = m_renames.emplace_back();
    // Each text is made in its place, with no copy between.
    if (subject.table) item.table.emplace(*subject.table);
    if (subject.field) item.field.emplace(*subject.field);
    if (subject.query) item.query.emplace(*subject.query);
    item.property.assign(subject.property);
    item.original.assign(wanted);
    item.reason.reserve(name.size() + why.size() + 16);
    item.reason.append("renamed to \"").append(name).append("\": ").append(why);
}

std::string TargetNames::claim(std::string_view wanted, std::string_view table) {
    // The name is the script's own choice, so that choice is not a rename worth a ledger item.
    return assign(m_objects, wanted, tableName(table), false, {.recorded = false});
}

std::string TargetNames::quote(std::string_view identifier) {
    std::string quoted;
    quoted.reserve(identifier.size() + 2);
    quoted.push_back('"');
    if (identifier.find('"') == std::string_view::npos) {
        quoted.append(identifier);
    } else {
        for (char c : identifier) {
            if (c == '"') quoted.push_back('"');
            quoted.push_back(c);
        }
    }
    quoted.push_back('"');
    return quoted;
}

std::string TargetNames::tableName(std::string_view table) const {
    const auto found = m_tables.find(table);
    if (found != m_tables.end()) return found->second;
    return cutUtf8(cleaned(table), kMaxIdentifierBytes);
}

const std::string* TargetNames::findColumn(std::string_view table, std::string_view field) const {
    if (m_columns.empty()) return nullptr;  // every table keeps its column names
    const auto owner = m_columns.find(table);
    if (owner == m_columns.end()) return nullptr;
    const auto found = owner->second.find(field);
    return found == owner->second.end() ? nullptr : &found->second;
}

std::string TargetNames::columnName(std::string_view table, std::string_view field) const {
    if (const std::string* name = findColumn(table, field)) return *name;
    return cutUtf8(cleaned(field), kMaxIdentifierBytes);
}

const TargetNames::IndexNames* TargetNames::indexNamesOf(std::string_view table) const {
    const auto owner = m_indexOwners.find(table);
    return owner == m_indexOwners.end() ? nullptr : &m_indexLists[owner->second];
}

void TargetNames::appendIndexName(std::string& out, const IndexNames* names, std::string_view table,
                                  std::string_view index) const {
    if (names != nullptr) {
        for (const auto& [accessName, name] : *names) {
            if (!sameAccessName(accessName, index)) continue;
            if (!appendPlainQuoted(out, name)) translate::appendQuoted(out, name);
            return;
        }
    }
    translate::appendQuoted(out, indexName(table, index));
}

void TargetNames::appendIndexName(std::string& out, std::string_view table,
                                  std::string_view index) const {
    appendIndexName(out, indexNamesOf(table), table, index);
}

std::string TargetNames::indexName(std::string_view table, std::string_view index) const {
    const auto owner = m_indexOwners.find(table);
    if (owner != m_indexOwners.end()) {
        for (const auto& [accessName, name] : m_indexLists[owner->second]) {
            if (sameAccessName(accessName, index)) return name;
        }
    }
    return cutUtf8(cleaned(index), kMaxIdentifierBytes);
}

std::string TargetNames::relationName(std::string_view relation) const {
    const auto found = m_relations.find(relation);
    if (found != m_relations.end()) return found->second;
    return cutUtf8(cleaned(relation), kMaxIdentifierBytes);
}

std::string TargetNames::object(std::string_view name) const {
    std::string quoted;
    appendObject(quoted, name);
    return quoted;
}

std::string TargetNames::column(std::string_view owner, std::string_view field) const {
    std::string quoted;
    quoted.reserve(field.size() + 2);
    appendColumn(quoted, owner, field);
    return quoted;
}

void TargetNames::appendObject(std::string& out, std::string_view name) const {
    const auto found = m_tables.find(name);
    if (found != m_tables.end()) {
        if (!appendPlainQuoted(out, found->second)) translate::appendQuoted(out, found->second);
    } else if (plainIdentifier(name)) {
        translate::appendQuoted(out, name);
    } else {
        translate::appendQuoted(out, tableName(name));
    }
}

void TargetNames::appendColumn(std::string& out, std::string_view owner,
                               std::string_view field) const {
    // Columns of tables without a map of their own keep their names (see the constructor).
    if (const std::string* name = findColumn(owner, field)) {
        translate::appendQuoted(out, *name);
    } else if (appendPlainQuoted(out, field)) {
        return;
    } else if (plainIdentifier(field)) {
        translate::appendQuoted(out, field);
    } else {
        translate::appendQuoted(out, cutUtf8(cleaned(field), kMaxIdentifierBytes));
    }
}

void TargetNames::appendTableAt(std::string& out, std::size_t position) const {
    const std::string& name = m_byPosition[position].name;
    if (!appendPlainQuoted(out, name)) translate::appendQuoted(out, name);
}

const TargetNames::IndexNames* TargetNames::indexNamesAt(std::size_t position) const {
    const std::size_t list = m_byPosition[position].indexList;
    return list == kNoIndexList ? nullptr : &m_indexLists[list];
}

bool TargetNames::keepsColumnNames(std::string_view table) const {
    return m_tables.contains(table) && !m_columns.contains(table);
}

}  // namespace zl::sqlgen
