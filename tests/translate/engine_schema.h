// Test support: the tables and queries of an Access file, and tables made for them in PostgreSQL
// and SQLite, so that translated expressions and views can be loaded and run.
#pragma once

#include <string>
#include <vector>

#include "translate/translate.h"

namespace zl::translate::testing {

struct AccessSchema {
    std::vector<TableColumns> tables;
    std::vector<SavedQuery> queries;
    ColumnMap map;
};

// Reads the local tables and saved queries of an Access file through the Jet reader.
AccessSchema readAccessSchema(const std::string& path);

// The column type the SQL targets use for `column`.
std::string columnType(Target target, const Column& column);

// CREATE TABLE for `table` in the target, with the column types the SQL targets use.
std::string createTableSql(Target target, const TableColumns& table);

// INSERT statements for the rows of samples/orders.json, in the target's value forms.
std::string sampleRowsSql(Target target, const std::string& jsonPath);

// Values made comparable across engines: numbers to 2 decimals, PostgreSQL booleans as 1/0.
std::vector<std::string> normalizeRow(const std::vector<std::string>& row);

}  // namespace zl::translate::testing
