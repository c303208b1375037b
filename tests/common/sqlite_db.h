// An SQLite database for tests, through the C library: run scripts, read rows back as text.
#pragma once

#include <string>

#include "common/pg_cluster.h"

struct sqlite3;

namespace zl::testing {

class SqliteDb {
public:
    // Opens `path` (":memory:" for a private in-memory database); ok() false with error() on
    // failure.
    explicit SqliteDb(const std::string& path = ":memory:");
    ~SqliteDb();
    SqliteDb(const SqliteDb&) = delete;
    SqliteDb& operator=(const SqliteDb&) = delete;

    bool ok() const { return m_db != nullptr; }
    const std::string& error() const { return m_error; }

    // Runs a script, stopping at the first failing statement; returns "" or that error message.
    std::string exec(const std::string& script);
    // Runs one statement and returns its rows, every value as text (NULL as kNullText).
    QueryRows query(const std::string& sql);

private:
    sqlite3* m_db = nullptr;
    std::string m_error;
};

}  // namespace zl::testing
