// SQL scripts that load as they are into PostgreSQL 15 and SQLite 3.40: tables with their keys,
// indexes, checks and defaults, foreign keys from the relations, views from the QueryDefs. What
// cannot be carried stands as a comment in the script and as an item of the ledger.
#pragma once

#include <string>

#include "translate/translate.h"

namespace zl::schema {
class Database;
struct Field;
class SchemaModel;
}  // namespace zl::schema

namespace zl::sqlgen {

struct TargetSchema;

struct TargetScript {
    std::string text;  // UTF-8, LF line ends
    translate::Ledger ledger;
    int queries = 0;  // selected QueryDefs
    int views = 0;    // of those, the ones that became views (or PostgreSQL functions)

    // One line for people, such as "14 of 16 queries became views; 2 left as comments; ...".
    std::string summary() const;
};

// The script for `schema`: a pure function of what was read.
TargetScript generateTargetScript(translate::Target target, const TargetSchema& schema);

// The column type of `field` in `target`'s scripts; "" for a type they do not carry (complex
// columns and types the reader does not know).
std::string targetColumnType(translate::Target target, const schema::Field& field);

// Reads the selection of `model` from `db` and generates its script. `db` may be null only when
// nothing is selected. Unreadable objects become comments; only a missing database throws.
TargetScript generateTargetScript(translate::Target target, const schema::SchemaModel& model,
                                  const schema::Database* db);

}  // namespace zl::sqlgen
