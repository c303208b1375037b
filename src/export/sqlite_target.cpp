// The SQLite target through the C library: a new file beside the destination, one
// transaction per table, foreign keys checked after the load, then renamed into place.
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "export/target_schema.h"
#include "export/target_writer.h"
#include "export/value_text.h"

namespace zl::exporter {
namespace {

using schema::Value;
using schema::ValueKind;

class SqliteTarget final : public TargetWriter {
public:
    SqliteTarget(std::string path, bool force, std::shared_ptr<const SchemaScript> script)
        : m_path(std::move(path)), m_force(force), m_script(std::move(script)) {
        struct stat info {};
        if (!m_force && ::lstat(m_path.c_str(), &info) == 0) {
            throw ExportError(m_path + " exists; use --force to replace it.");
        }
        // Memory statistics cost a global mutex per allocation; the export does not read them.
        // (Refused, harmlessly, once the library is initialised.)
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        const std::filesystem::path target(m_path);
        const std::filesystem::path folder =
            target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
        std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0) {
            throw ExportError("Cannot create a file beside " + m_path + ": " +
                              std::strerror(errno));
        }
        // mkstemp makes the file private; the result gets the mode a new file would get.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
        ::close(fd);
        m_temporary = pattern;
        if (sqlite3_open_v2(m_temporary.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                            nullptr) != SQLITE_OK) {
            const std::string message = m_db ? sqlite3_errmsg(m_db) : "out of memory";
            abandon();
            throw ExportError("Cannot open " + m_temporary + ": " + message);
        }
        // The file is private until renamed, so no journal is needed: a failure deletes it.
        execute("PRAGMA journal_mode = OFF");
        execute("PRAGMA synchronous = OFF");
        execute("PRAGMA foreign_keys = OFF");
        execute("PRAGMA cache_size = -8192");
    }
    ~SqliteTarget() override { abandon(); }
    SqliteTarget(const SqliteTarget&) = delete;
    SqliteTarget& operator=(const SqliteTarget&) = delete;

    void createSchema(const ExportPlan& plan, const Relaxation& relaxation) override {
        m_plan = &plan;
        if (m_script && relaxesAnything(relaxation)) {
            // The script carries every constraint; the own tables can leave some off.
            m_script.reset();
        }
        execute("BEGIN");
        if (m_script) {
            execute(m_script->script);
        } else {
            for (const std::string& statement :
                 createTableStatements(Target::Sqlite, plan, relaxation, "")) {
                execute(statement);
            }
        }
        execute("COMMIT");
    }

    void beginTable(std::size_t table) override {
        m_table = &m_plan->tables[table];
        std::string sql = "INSERT INTO " + tableName() + " (";
        for (std::size_t i = 0; i < m_table->columns.size(); ++i) {
            sql += (i == 0 ? "" : ", ") + columnName(m_table->columns[i].field.name);
        }
        sql += ") VALUES (";
        for (std::size_t i = 0; i < m_table->columns.size(); ++i) {
            sql += i == 0 ? "?" : ", ?";
        }
        sql += ")";
        m_scratch.assign(m_table->columns.size(), std::string());
        execute("BEGIN");
        if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &m_insert, nullptr) != SQLITE_OK) {
            fail("preparing the rows of " + m_table->name);
        }
    }

    void writeRow(const std::vector<Value>& values, const RowKeyFn& rowKey,
                  Ledger& ledger) override {
        for (std::size_t i = 0; i < m_table->columns.size(); ++i) {
            const PlannedColumn& column = m_table->columns[i];
            bind(static_cast<int>(i + 1), values[column.position], column, rowKey, ledger);
        }
        if (sqlite3_step(m_insert) != SQLITE_DONE) {
            fail("writing a row of " + m_table->name + " (" + rowKey() + ")");
        }
        sqlite3_reset(m_insert);
    }

    void endTable() override {
        sqlite3_finalize(m_insert);
        m_insert = nullptr;
        execute("COMMIT");
    }

    void finish() override {
        sqlite3_stmt* check = nullptr;
        if (sqlite3_prepare_v2(m_db, "PRAGMA foreign_key_check", -1, &check, nullptr) !=
            SQLITE_OK) {
            fail("checking foreign keys");
        }
        const int step = sqlite3_step(check);
        std::string broken;
        if (step == SQLITE_ROW) {
            const auto* table = sqlite3_column_text(check, 0);
            broken = table ? reinterpret_cast<const char*>(table) : "";
        }
        sqlite3_finalize(check);
        if (step == SQLITE_ROW) {
            throw ExportError("Foreign keys of table " + broken + " do not hold after the load.");
        }
        if (step != SQLITE_DONE) fail("checking foreign keys");
        if (sqlite3_close(m_db) != SQLITE_OK) fail("closing the file");
        m_db = nullptr;
        const int renamed = m_force ? std::rename(m_temporary.c_str(), m_path.c_str())
                                    : ::renameat2(AT_FDCWD, m_temporary.c_str(), AT_FDCWD,
                                                  m_path.c_str(), RENAME_NOREPLACE);
        if (renamed != 0) {
            throw ExportError("Cannot move the finished file to " + m_path + ": " +
                              std::strerror(errno));
        }
        m_temporary.clear();
    }

    void abandon() noexcept override {
        if (m_insert) sqlite3_finalize(m_insert);
        m_insert = nullptr;
        if (m_db) sqlite3_close(m_db);
        m_db = nullptr;
        if (!m_temporary.empty()) ::unlink(m_temporary.c_str());
        m_temporary.clear();
    }

private:
    std::string tableName() const {
        return m_script ? m_script->names->object(m_table->name) : quoteName(m_table->name);
    }
    std::string columnName(const std::string& field) const {
        return m_script ? m_script->names->column(m_table->name, field) : quoteName(field);
    }
    void execute(const std::string& sql) {
        if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
            fail(sql.substr(0, 60));
        }
    }
    [[noreturn]] void fail(const std::string& what) {
        throw ExportError("SQLite failed " + what + ": " + sqlite3_errmsg(m_db));
    }
    // Binds without a copy: `text` is the row's own value or this column's scratch text, both
    // alive until the row is stepped.
    void bindText(int index, const std::string& text) {
        sqlite3_bind_text64(m_insert, index, text.data(), text.size(), SQLITE_STATIC, SQLITE_UTF8);
    }
    void bindScratch(int index, std::string text) {
        std::string& scratch = m_scratch[static_cast<std::size_t>(index - 1)];
        scratch = std::move(text);
        bindText(index, scratch);
    }

    void bind(int index, const Value& value, const PlannedColumn& column, const RowKeyFn& rowKey,
              Ledger& ledger) {
        auto note = [&](const std::string& reason) {
            ledger.add({m_table->name, column.field.name, "Value", describeValue(value), reason,
                        rowKey()});
        };
        switch (value.kind) {
            case ValueKind::Null:
                sqlite3_bind_null(m_insert, index);
                return;
            case ValueKind::Boolean:
            case ValueKind::Integer:
                sqlite3_bind_int64(m_insert, index, value.integer);
                return;
            case ValueKind::Currency:
                bindScratch(index, currencyText(value.integer));
                return;
            case ValueKind::Single:
            case ValueKind::Double:
                if (std::isnan(value.real)) {
                    // SQLite stores a NaN REAL as NULL; the text keeps it.
                    note("SQLite REAL cannot hold NaN; stored as the text 'NaN'");
                    bindScratch(index, "NaN");
                    return;
                }
                if (value.real == 0 && std::signbit(value.real)) {
                    // SQLite keeps whole REALs as integers, so -0.0 reads back as 0.
                    note("SQLite REAL keeps no negative zero; stored as 0");
                }
                sqlite3_bind_double(m_insert, index, value.real);
                return;
            case ValueKind::Date:
                if (const auto text = dateText(value.real)) {
                    bindScratch(index, *text);
                } else {
                    note("date outside 0100-01-01..9999-12-31; stored as its day number");
                    bindScratch(index, realText(value.real, false));
                }
                return;
            case ValueKind::Text:
                if (value.inexact) {
                    note("the text holds a lone UTF-16 surrogate, stored as U+FFFD");
                }
                bindText(index, value.text);
                return;
            case ValueKind::Decimal:
            case ValueKind::ExtendedDate:
                bindText(index, value.text);
                return;
            case ValueKind::Guid:
                bindScratch(index, guidText(value.bytes));
                return;
            case ValueKind::Binary:
                sqlite3_bind_blob64(m_insert, index, value.bytes.data(), value.bytes.size(),
                                    SQLITE_STATIC);
                return;
        }
    }

    std::string m_path;
    bool m_force;
    std::shared_ptr<const SchemaScript> m_script;
    std::string m_temporary;
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_insert = nullptr;
    const ExportPlan* m_plan = nullptr;
    const PlannedTable* m_table = nullptr;
    std::vector<std::string> m_scratch;  // per column: texts made for the current row
};

}  // namespace

std::unique_ptr<TargetWriter> openSqliteTarget(const std::string& path, bool force,
                                               std::shared_ptr<const SchemaScript> script) {
    return std::make_unique<SqliteTarget>(path, force, std::move(script));
}

}  // namespace zl::exporter
