// The tables an export creates, in each target's dialect: types as the SQL targets map them,
// keys, NOT NULL for Required fields, and foreign keys for enforced relations.
#pragma once

#include <string>
#include <vector>

#include "export/target_writer.h"

namespace zl::exporter {

// `name` in double quotes, inner quotes doubled.
std::string quoteName(const std::string& name);

// The column type of `field` in `target` ("numeric(19,4)", "TEXT", ...).
std::string columnType(Target target, const schema::Field& field);

// Whether `field` is an AutoNumber Long (an identity column).
bool isAutoNumber(const schema::Field& field);

// CREATE TABLE statements for every planned table; `prefix` is prepended to table names
// ("\"s\"." or ""). SQLite's carry their foreign keys; PostgreSQL's do not.
std::vector<std::string> createTableStatements(Target target, const ExportPlan& plan,
                                               const Relaxation& relaxation,
                                               const std::string& prefix);

// PostgreSQL: ALTER TABLE ... ADD FOREIGN KEY for every relation not relaxed.
std::vector<std::string> foreignKeyStatements(const ExportPlan& plan, const Relaxation& relaxation,
                                              const std::string& prefix);

}  // namespace zl::exporter
