// What an export moves: the selected local tables with their included fields, keys and the
// relations between them, read once from the engine.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "schema/engine.h"

namespace zl::schema {
class SchemaModel;
}

namespace zl::exporter {

struct PlannedColumn {
    schema::Field field;
    std::size_t position = 0;  // index into the Recordset's values
};

// A unique key (primary key or unique index): positions into PlannedTable::columns.
struct PlannedKey {
    std::string name;
    bool primary = false;
    std::vector<std::size_t> columns;
};

struct PlannedTable {
    std::string name;
    std::vector<PlannedColumn> columns;  // included fields, complex columns left out
    std::vector<PlannedKey> keys;        // primary key first
    std::string description;

    // The position in `columns` of the field named `wanted` (case ignored), or nullopt.
    std::optional<std::size_t> columnNamed(const std::string& wanted) const;
};

// An enforced relation whose two tables and key fields are all exported.
struct PlannedRelation {
    std::string name;
    std::size_t parent = 0;  // index into ExportPlan::tables: the referenced ("one") side
    std::size_t child = 0;   // the side holding the foreign key
    std::vector<std::size_t> parentColumns;
    std::vector<std::size_t> childColumns;
    bool cascadeUpdates = false;
    bool cascadeDeletes = false;
    bool deleteSetNull = false;
};

// Something the plan leaves out, for the ledger: a linked table, a complex column, a relation.
struct PlanNote {
    std::string table;
    std::string field;
    std::string property;
    std::string original;
    std::string reason;
};

struct ExportPlan {
    std::vector<PlannedTable> tables;
    std::vector<PlannedRelation> relations;
    std::vector<PlanNote> notes;
};

// Builds the plan from the model's selection: selected local tables (QueryDefs skipped), their
// included fields, the unique indexes whose fields are all included, and the enforced relations
// between exported tables. Throws EngineError when the engine fails.
ExportPlan planExport(const schema::Database& db, const schema::SchemaModel& model);

}  // namespace zl::exporter
