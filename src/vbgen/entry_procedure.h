// The Visual Basic function that recreates one selected table or QueryDef.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "vbgen/module_writer.h"

namespace zl::schema {
struct Field;
}  // namespace zl::schema

namespace zl::vbgen {

// Appends to `out` the function "CTable_<id>" or "CQuery_<id>" of entry `entryIndex` of
// `model`, reading the table's included fields and indexes, or the QueryDef's SQL, from `db`.
// An engine error ends the function at once and passes on (EngineError); the lines appended
// before it stay in `out`.
void WriteEntryProcedure(std::string& out, const schema::SchemaModel& model,
                         const schema::Database& db, std::size_t entryIndex,
                         const ModuleOptions& options);

// The type argument of a field line: "dbLong", "dbCounter", "dbFixedText", ... or
// "<Unknown Field Type>" for a type code the generated module cannot name.
std::string_view TypeConstant(const schema::Field& field);

}  // namespace zl::vbgen
