// Test support: the tables and queries of an Access file, and tables made for them in PostgreSQL
// and SQLite, so that translated expressions and views can be loaded and run.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/pg_cluster.h"
#include "common/sqlite_db.h"
#include "translate/translate.h"

namespace zl::translate::testing {

struct AccessSchema {
    std::vector<TableColumns> tables;
    std::vector<SavedQuery> queries;
    ColumnMap map;
};

// Reads the local tables and saved queries of an Access file through the Jet reader.
AccessSchema readAccessSchema(const std::string& path);

// The column type the target scripts give `column` ("text" for one they do not carry).
std::string columnType(Target target, const Column& column);

// CREATE TABLE for `table` in the target, with the column types the SQL targets use.
std::string createTableSql(Target target, const TableColumns& table);

// INSERT statements for the rows of samples/orders.json, in the target's value forms.
std::string sampleRowsSql(Target target, const std::string& jsonPath);

// A fresh, empty database in `target`'s engine: a private SQLite database in memory, or a new
// database in the shared PostgreSQL cluster.
class TargetDb {
public:
    explicit TargetDb(Target target);
    ~TargetDb();
    TargetDb(const TargetDb&) = delete;
    TargetDb& operator=(const TargetDb&) = delete;

    // "" when the engine is there; else why not (a test failure, never a skip).
    const std::string& setupError() const { return m_error; }
    // Runs `script` in one go; "" or the engine's complaint (psql's notices and warnings count).
    std::string run(const std::string& script);
    zl::testing::QueryRows query(const std::string& sql);

private:
    std::unique_ptr<zl::testing::SqliteDb> m_lite;
    std::string m_pgDb;
    std::string m_error;
};

// Values made comparable across engines: numbers to 2 decimals, PostgreSQL booleans as 1/0.
std::vector<std::string> normalizeRow(const std::vector<std::string>& row);

}  // namespace zl::translate::testing
