// The SQLite test database over the C library.
#include "common/sqlite_db.h"

#include <sqlite3.h>

namespace zl::testing {

SqliteDb::SqliteDb(const std::string& path) {
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) {
        m_error = db != nullptr ? sqlite3_errmsg(db) : "cannot open " + path;
        sqlite3_close(db);
        return;
    }
    m_db = db;
}

SqliteDb::~SqliteDb() { sqlite3_close(m_db); }

std::string SqliteDb::exec(const std::string& script) {
    if (m_db == nullptr) {
        return m_error;
    }
    char* message = nullptr;
    if (sqlite3_exec(m_db, script.c_str(), nullptr, nullptr, &message) == SQLITE_OK) {
        return {};
    }
    std::string error = message != nullptr ? message : sqlite3_errmsg(m_db);
    sqlite3_free(message);
    return error.empty() ? "unknown SQLite error" : error;
}

QueryRows SqliteDb::query(const std::string& sql) {
    QueryRows out;
    if (m_db == nullptr) {
        out.error = m_error;
        return out;
    }
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        out.error = sqlite3_errmsg(m_db);
        return out;
    }
    int rc = 0;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        std::vector<std::string> row;
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
            const unsigned char* text = sqlite3_column_text(stmt, c);
            row.emplace_back(text != nullptr ? reinterpret_cast<const char*>(text) : kNullText);
        }
        out.rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        out.error = sqlite3_errmsg(m_db);
    } else {
        out.ok = true;
    }
    sqlite3_finalize(stmt);
    return out;
}

}  // namespace zl::testing
