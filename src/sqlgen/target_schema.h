// The part of an open database that the loadable SQL targets carry: the selected tables with
// their selected fields and indexes, the selected QueryDefs and the relations, read once.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "schema/engine.h"

namespace zl::schema {
class SchemaModel;
}

namespace zl::sqlgen {

// One key column of an index, from the stored form "+Name" or "-Name".
struct KeyColumn {
    std::string name;
    bool descending = false;
};

struct TargetIndex {
    schema::Index index;
    std::vector<KeyColumn> columns;
};

// A selected field as the scripts need it. Its texts are views into what the table that holds it
// keeps: the engine's fields themselves where it can share them, or one block of text per table,
// never a copy of each field.
struct TargetField {
    std::string_view name;
    int type = 0;                 // DAO data type number
    std::int32_t attributes = 0;  // dbAutoIncrField, ...
    std::int32_t size = 0;        // Text and Binary: declared length in characters
    bool required = false;
    bool allowZeroLength = false;
    bool calculated = false;
    std::optional<int> precision;  // Decimal fields only
    std::optional<int> scale;
    std::string_view defaultValue;
    std::string_view validationRule;
    std::string_view description;
    std::string_view expression;  // calculated columns: the Access expression
};

struct TargetTable {
    std::string name;
    bool linked = false;
    // The engine's message when the TableDef (or part of it) could not be read; such a table is
    // carried as a comment.
    std::string unreadable;
    std::vector<TargetField> fields;  // the selected fields, in table order
    // What the views of `fields` show: the engine's own fields, or a copy of their texts.
    std::unique_ptr<schema::TableDef> fieldOwner;
    std::unique_ptr<char[]> fieldTexts;
    std::vector<std::string> leftOutFields;  // names of the fields the selection leaves out
    std::vector<TargetIndex> indexes;        // the selected indexes, in table order
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

// True for the names PostgreSQL keeps for its system columns, which no column can have.
bool isPostgresSystemColumn(std::string_view name);

// Names compared as Access compares them for uniqueness (ASCII letters without regard to case).
bool sameAccessName(std::string_view a, std::string_view b);

// For each of `names`, whether an earlier one is the same name (as sameAccessName compares).
std::vector<bool> repeatedAccessNames(const std::vector<std::string_view>& names);

// Splits a stored index field list ("+A;-B") into its key columns.
std::vector<KeyColumn> parseKeyColumns(std::string_view storedFields);

// Reads what the selection of `model` covers from `db`. Never throws for an unreadable table,
// QueryDef or relation list: each is recorded as unreadable instead. `db` may be null only when
// nothing is selected.
TargetSchema readTargetSchema(const schema::SchemaModel& model, const schema::Database* db);

}  // namespace zl::sqlgen
