// The part of an open database that the loadable SQL targets carry: the selected tables with
// their selected fields and indexes, the selected QueryDefs and the relations, read once.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "schema/engine.h"
#include "translate/translate.h"

namespace zl::schema {
class SchemaModel;
}

namespace zl::sqlgen {

// A selected field as the scripts need it: the engine's own Field, never a copy of it.
using TargetField = schema::Field;

// Whether the field becomes a column at all: complex columns and unknown types do not.
inline bool carriesColumn(const TargetField& field) {
    namespace dao = schema::dao;
    constexpr std::uint64_t kCarried =
        1ULL << dao::kBoolean | 1ULL << dao::kByte | 1ULL << dao::kInteger | 1ULL << dao::kLong |
        1ULL << dao::kCurrency | 1ULL << dao::kSingle | 1ULL << dao::kDouble | 1ULL << dao::kDate |
        1ULL << dao::kBinary | 1ULL << dao::kText | 1ULL << dao::kLongBinary | 1ULL << dao::kMemo |
        1ULL << dao::kGuid | 1ULL << dao::kBigInt | 1ULL << dao::kDecimal |
        1ULL << dao::kExtendedDate;
    return field.type >= 0 && field.type < 64 &&
           ((kCarried >> static_cast<unsigned>(field.type)) & 1U) != 0;
}

// One key column of an index, from the stored form "+Name" or "-Name".
struct KeyColumn {
    std::string_view name;  // views the index's stored field list
    bool descending = false;
    // The selected field of the table that the column names; null when the selection leaves
    // that field out or the table has none of the name. Found once, when the table is read.
    const TargetField* field = nullptr;
    bool carried = false;  // `field` becomes a column (see carriesColumn)
};

struct TargetIndex {
    schema::Index index;
    // Views the key columns that the table keeps for all its indexes (TargetTable::keyColumns).
    std::span<const KeyColumn> columns;
};

// The selected fields of a table, in table order: references to fields that the table keeps
// alive (the engine's own fields where it can share them, or the table's own moved from the
// engine otherwise).
class FieldList {
public:
    class const_iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = TargetField;
        using difference_type = std::ptrdiff_t;
        using pointer = const TargetField*;
        using reference = const TargetField&;

        const_iterator() = default;
        explicit const_iterator(const TargetField* const* at) : m_at(at) {}
        reference operator*() const { return **m_at; }
        pointer operator->() const { return *m_at; }
        const_iterator& operator++() {
            ++m_at;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator was = *this;
            ++m_at;
            return was;
        }
        const_iterator& operator--() {
            --m_at;
            return *this;
        }
        const_iterator& operator+=(difference_type n) {
            m_at += n;
            return *this;
        }
        friend const_iterator operator+(const_iterator it, difference_type n) { return it += n; }
        friend difference_type operator-(const_iterator a, const_iterator b) {
            return a.m_at - b.m_at;
        }
        reference operator[](difference_type n) const { return *m_at[n]; }
        friend bool operator==(const_iterator a, const_iterator b) { return a.m_at == b.m_at; }
        friend auto operator<=>(const_iterator a, const_iterator b) { return a.m_at <=> b.m_at; }

    private:
        const TargetField* const* m_at = nullptr;
    };

    const_iterator begin() const { return const_iterator(m_fields.data()); }
    const_iterator end() const { return const_iterator(m_fields.data() + m_fields.size()); }
    std::size_t size() const { return m_fields.size(); }
    bool empty() const { return m_fields.empty(); }
    const TargetField& operator[](std::size_t i) const { return *m_fields[i]; }

    void reserve(std::size_t n) { m_fields.reserve(n); }
    void push_back(const TargetField* field) { m_fields.push_back(field); }
    void clear() { m_fields.clear(); }

private:
    std::vector<const TargetField*> m_fields;
};

struct TargetTable {
    std::string name;
    bool linked = false;
    // The engine's message when the TableDef (or part of it) could not be read; such a table is
    // carried as a comment.
    std::string unreadable;
    FieldList fields;  // the selected fields, in table order
    // What `fields` refer to: the engine's own fields, or the table's own, moved from the engine
    // one by one. A table is moved, never copied, so that both stay where they are.
    std::unique_ptr<schema::TableDef> fieldOwner;
    std::vector<schema::Field> ownFields;
    // The fields of `fields` that become columns, typed as the translator reads them and named
    // by the fields themselves: made while the reader has the fields at hand, since expressions
    // and views ask for them long after.
    translate::TableColumns columns;
    std::vector<std::string> leftOutFields;  // names of the fields the selection leaves out
    std::vector<TargetIndex> indexes;        // the selected indexes, in table order
    // The key columns of all of `indexes`, which each views its part of. Neither list grows once
    // the table is read, so the views stay where they are when the table moves.
    std::vector<KeyColumn> keyColumns;
    // Fields and indexes whose name an earlier one of the table already has (a damaged file):
    // left out, since one name cannot stand for two objects.
    std::vector<std::string> duplicateFields;
    std::vector<std::string> duplicateIndexes;
    // Set by the reader when every name of `fields` can stand as it is: printable ASCII of at
    // most 63 bytes, no two alike without regard to case; and when one of them is a PostgreSQL
    // system column. Worked out while the fields are at hand, so that the name assignment need
    // not look at them again.
    bool plainFieldNames = false;
    bool systemColumnName = false;
    bool quotedFieldName = false;  // a name of `fields` holds a double quote
    std::string validationRule;
    std::string validationText;
    std::string description;

    // The selected field named `name` (ignoring ASCII case), or null.
    const TargetField* findField(std::string_view name) const;
    // True when `name` is a field of the table that the selection leaves out.
    bool isLeftOut(std::string_view name) const;
};

struct TargetQuery {
    std::string name;
    std::string sql;
    int type = schema::dao::kQuerySelect;
    std::string unreadable;  // the engine's message when the QueryDef could not be read
};

struct TargetSchema {
    std::vector<TargetTable> tables;          // selected tables, listing order
    std::vector<TargetQuery> queries;         // selected QueryDefs, listing order
    std::vector<schema::Relation> relations;  // every relation of the file
    std::string relationsUnreadable;  // the engine's message when the relations could not be read

    // The selected table named `name` (ignoring ASCII case), or null.
    const TargetTable* findTable(std::string_view name) const;
};

// The longest identifier PostgreSQL keeps; SQLite is held to the same limit.
inline constexpr std::size_t kMaxIdentifierBytes = 63;

// True when `name` can stand as an identifier as it is: printable ASCII of at most 63 bytes.
bool plainIdentifier(std::string_view name);

// The same, telling apart the plain names that hold a double quote (which a quoted identifier
// doubles): in one pass, eight bytes at a time.
enum class IdentifierKind { Plain, Quoted, Other };
IdentifierKind identifierKind(std::string_view name);

// True for the names PostgreSQL keeps for its system columns, which no column can have.
bool isPostgresSystemColumn(std::string_view name);

// A hash that names alike without regard to ASCII case share.
std::size_t foldedNameHash(std::string_view name);

// Names compared as Access compares them for uniqueness (ASCII letters without regard to case).
bool sameAccessName(std::string_view a, std::string_view b);

// Splits a stored index field list ("+A;-B") into its key columns, appended to `out`, which
// view `storedFields`. A column named twice (only a damaged file has that) is kept once: it adds
// nothing to the key, and PostgreSQL refuses it in a primary key.
void parseKeyColumns(std::string_view storedFields, std::vector<KeyColumn>& out);

// Reads what the selection of `model` covers from `db`. Never throws for an unreadable table,
// QueryDef or relation list: each is recorded as unreadable instead. `db` may be null only when
// nothing is selected.
TargetSchema readTargetSchema(const schema::SchemaModel& model, const schema::Database* db);

}  // namespace zl::sqlgen
