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

#include "export/check_clauses.h"
#include "export/target_schema.h"
#include "export/target_writer.h"
#include "export/value_text.h"

namespace zl::exporter {
namespace {

using schema::Value;
using schema::ValueKind;

// Rows go in up to 32 at a time: a statement per row costs about as much again as the rows'
// values. Their values are kept until then (up to 1 MiB of text and bytes; storage grown past
// 16 KiB is given back), bound without a copy and at hand for a refused row.
constexpr std::size_t kRowsPerInsert = 32;
constexpr std::size_t kPendingBytes = std::size_t{1} << 20;
constexpr std::size_t kKeptCapacity = std::size_t{16} << 10;

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
            std::string script = m_script->script;
            for (std::size_t t = 0; t < plan.tables.size(); ++t) {
                if (relaxation.checks[t].empty()) continue;
                const std::string name = m_script->names->object(plan.tables[t].name);
                leaveChecksOff(script, findCreateTable(script, name), relaxation.checks[t], t);
            }
            execute(script);
        } else {
            std::vector<std::string> statements =
                createTableStatements(Target::Sqlite, plan, relaxation, "");
            for (std::size_t t = 0; t < statements.size(); ++t) {
                if (!relaxation.checks[t].empty()) {
                    leaveChecksOff(statements[t], 0, relaxation.checks[t], t);
                }
                execute(statements[t]);
            }
        }
        execute("COMMIT");
    }

    void beginTable(std::size_t table, bool /*again*/) override {
        m_tableIndex = table;
        m_table = &m_plan->tables[table];
        findWrittenColumns();
        const std::string what = "preparing the rows of " + m_table->name;
        execute("BEGIN");
        m_insert = prepare("INSERT INTO " + tableName() + insertColumns(1), what);
        const auto parameters =
            static_cast<std::size_t>(sqlite3_limit(m_db, SQLITE_LIMIT_VARIABLE_NUMBER, -1));
        m_batchRows = std::clamp<std::size_t>(
            parameters / std::max<std::size_t>(m_written.size(), 1), 1, kRowsPerInsert);
        // OR FAIL: a refused row ends the statement but keeps the rows before it.
        m_batchInsert =
            prepare("INSERT OR FAIL INTO " + tableName() + insertColumns(m_batchRows), what);
        m_pending.resize(m_batchRows);
        m_pendingRows.resize(m_batchRows);
        m_pendingCount = 0;
        m_pendingBytes = 0;
        m_scratch.assign(m_batchRows * m_written.size(), std::string());
    }

    void writeRow(std::vector<Value>& values, std::uint64_t row, const RowKeyFn& rowKey,
                  Ledger& ledger) override {
        const std::size_t slot = m_pendingCount++;
        bindRow(m_batchInsert, slot, values, rowKey, ledger);
        // The values stay where they are, so what was bound stays valid; the vectors swap.
        m_pending[slot].swap(values);
        m_pendingRows[slot] = row;
        m_pendingBytes += payload(m_pending[slot]);
        if (m_pendingCount == m_batchRows || m_pendingBytes >= kPendingBytes) writePending();
    }

    bool endTable() override {
        writePending();
        sqlite3_finalize(m_insert);
        m_insert = nullptr;
        sqlite3_finalize(m_batchInsert);
        m_batchInsert = nullptr;
        dropProbe();
        execute("COMMIT");
        return true;
    }

    const CheckRefusals& refusals() const override { return m_refusals; }

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
        if (m_batchInsert) sqlite3_finalize(m_batchInsert);
        m_batchInsert = nullptr;
        finalizeProbe();
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
    static void bindText(sqlite3_stmt* statement, int index, const std::string& text) {
        sqlite3_bind_text64(statement, index, text.data(), text.size(), SQLITE_STATIC, SQLITE_UTF8);
    }
    // Keeps `length` characters of `text` in this column's scratch text, whose storage serves
    // row after row, and binds them.
    void bindScratch(sqlite3_stmt* statement, int index, const char* text, std::size_t length) {
        std::string& scratch = m_scratch[static_cast<std::size_t>(index - 1)];
        scratch.assign(text, length);
        bindText(statement, index, scratch);
    }
    void bindScratch(sqlite3_stmt* statement, int index, const std::string& text) {
        bindScratch(statement, index, text.data(), text.size());
    }

    // The planned columns the rows fill: all but those the table computes itself (calculated
    // fields that the script made generated columns).
    void findWrittenColumns() {
        sqlite3_stmt* info = prepare("PRAGMA main.table_xinfo(" + tableName() + ")",
                                     "reading the columns of " + m_table->name);
        std::vector<std::string> generated;
        while (sqlite3_step(info) == SQLITE_ROW) {
            const auto* name = sqlite3_column_text(info, 1);
            if (sqlite3_column_int(info, 6) >= 2 && name != nullptr) {
                generated.push_back(quoteName(reinterpret_cast<const char*>(name)));
            }
        }
        sqlite3_finalize(info);
        m_written.clear();
        for (std::size_t i = 0; i < m_table->columns.size(); ++i) {
            const std::string name = columnName(m_table->columns[i].field.name);
            if (std::find(generated.begin(), generated.end(), name) == generated.end()) {
                m_written.push_back(i);
            }
        }
    }

    // " (a, b) VALUES (?, ?)" for the written columns, the marks once per row of `rows`.
    std::string insertColumns(std::size_t rows) const {
        std::string names;
        std::string marks;
        for (std::size_t i = 0; i < m_written.size(); ++i) {
            names += (i == 0 ? "" : ", ") + columnName(m_table->columns[m_written[i]].field.name);
            marks += i == 0 ? "?" : ", ?";
        }
        std::string text = " (" + names + ") VALUES (" + marks + ")";
        for (std::size_t row = 1; row < rows; ++row) text += ", (" + marks + ")";
        return text;
    }

    // The key of the `slot`th row waiting to be written, for messages and the ledger.
    std::string pendingKey(std::size_t slot) const {
        return rowKeyText(*m_table, m_pending[slot], m_pendingRows[slot]);
    }

    // Writes the rows bound so far: a full set with one statement, else (a table's last rows,
    // or rows of large values) one by one. A row a CHECK refuses goes to the refusals; the
    // table's transaction goes on.
    void writePending() {
        std::size_t next = 0;
        if (m_pendingCount == m_batchRows) {
            if (sqlite3_step(m_batchInsert) == SQLITE_DONE) {
                next = m_pendingCount;
            } else {
                // The rows before the refused one are in: their count tells which it is.
                const auto inserted =
                    std::min(static_cast<std::size_t>(std::max(sqlite3_changes(m_db), 0)),
                             m_pendingCount - 1);
                if (sqlite3_extended_errcode(m_db) != SQLITE_CONSTRAINT_CHECK) {
                    fail("writing a row of " + m_table->name + " (" + pendingKey(inserted) + ")");
                }
                sqlite3_reset(m_batchInsert);
                refuse(inserted);
                next = inserted + 1;
            }
            sqlite3_reset(m_batchInsert);
        }
        for (; next < m_pendingCount; ++next) writeOne(next);
        for (std::size_t slot = 0; slot < m_pendingCount; ++slot) {
            for (Value& value : m_pending[slot]) {
                if (value.text.capacity() > kKeptCapacity) std::string().swap(value.text);
                if (value.bytes.capacity() > kKeptCapacity) {
                    std::vector<std::byte>().swap(value.bytes);
                }
            }
        }
        m_pendingCount = 0;
        m_pendingBytes = 0;
    }

    // Writes the `slot`th waiting row alone; its values were noted when first bound.
    void writeOne(std::size_t slot) {
        Ledger noted(0);
        const RowKeyFn rowKey = [&] { return pendingKey(slot); };
        bindRow(m_insert, 0, m_pending[slot], rowKey, noted);
        if (sqlite3_step(m_insert) != SQLITE_DONE) {
            if (sqlite3_extended_errcode(m_db) != SQLITE_CONSTRAINT_CHECK) {
                fail("writing a row of " + m_table->name + " (" + rowKey() + ")");
            }
            // The statement alone is undone; the table's transaction goes on.
            sqlite3_reset(m_insert);
            refuse(slot);
            return;
        }
        sqlite3_reset(m_insert);
    }

    sqlite3_stmt* prepare(const std::string& sql, const std::string& what) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
            fail(what);
        }
        return statement;
    }

    // Binds `values` to the `slot`th row of marks of `statement`.
    void bindRow(sqlite3_stmt* statement, std::size_t slot, const std::vector<Value>& values,
                 const RowKeyFn& rowKey, Ledger& ledger) {
        const std::size_t first = slot * m_written.size();
        for (std::size_t i = 0; i < m_written.size(); ++i) {
            const PlannedColumn& column = m_table->columns[m_written[i]];
            bind(statement, static_cast<int>(first + i + 1), values[column.position], column,
                 rowKey, ledger);
        }
    }

    // Leaves the CHECKs `names` (their expressions) out of the CREATE TABLE statement at `start`.
    void leaveChecksOff(std::string& sql, std::size_t start, const std::vector<std::string>& names,
                        std::size_t table) {
        const std::vector<std::string> missing =
            start == std::string::npos ? names : removeChecks(sql, start, names);
        if (!missing.empty()) {
            throw ExportError("The CHECK (" + missing.front() + ") of table " +
                              m_plan->tables[table].name + " cannot be left off.");
        }
    }

    // A row the table's CHECKs refused: which CHECK it breaks is found by putting the row into a
    // copy of the table without constraints (same columns, same affinities) and evaluating every
    // CHECK of the table's stored definition there. Each refused row is recorded once.
    void refuse(std::size_t slot) {
        if (m_probeInsert == nullptr) openProbe();
        Ledger ignored(0);  // the values were noted when bound for the table itself
        const RowKeyFn rowKey = [&] { return pendingKey(slot); };
        bindRow(m_probeInsert, 0, m_pending[slot], rowKey, ignored);
        const int inserted = sqlite3_step(m_probeInsert);
        sqlite3_reset(m_probeInsert);
        if (inserted != SQLITE_DONE) fail("copying a refused row of " + m_table->name);
        std::size_t broken = m_probeChecks.size();
        if (sqlite3_step(m_probeSelect) == SQLITE_ROW) {
            for (std::size_t i = 0; i < m_probeChecks.size() && broken == m_probeChecks.size();
                 ++i) {
                if (sqlite3_column_int(m_probeSelect, static_cast<int>(i)) != 0) broken = i;
            }
        }
        sqlite3_reset(m_probeSelect);
        execute("DELETE FROM temp.\"zl_probe\"");
        if (broken == m_probeChecks.size()) {
            // Refused by SQLite, yet no CHECK of the stored definition is false in the copy.
            throw ExportError("SQLite refused a row of " + m_table->name + " (" + rowKey() +
                              ") under a CHECK that cannot be told.");
        }
        m_refusals.add(m_tableIndex, m_pendingRows[slot], m_probeChecks[broken],
                       "CHECK (" + m_probeChecks[broken] + ")");
    }

    void openProbe() {
        sqlite3_stmt* definition =
            prepare("SELECT sql FROM main.sqlite_schema WHERE type = 'table' AND name = ?",
                    "reading the definition of " + m_table->name);
        std::string name = tableName();
        name = name.substr(1, name.size() - 2);  // unquoted: inner quotes are doubled
        for (std::size_t at = name.find("\"\""); at != std::string::npos;
             at = name.find("\"\"", at + 1)) {
            name.erase(at, 1);
        }
        sqlite3_bind_text(definition, 1, name.c_str(), -1, SQLITE_TRANSIENT);
        std::string sql;
        if (sqlite3_step(definition) == SQLITE_ROW && sqlite3_column_text(definition, 0)) {
            sql = reinterpret_cast<const char*>(sqlite3_column_text(definition, 0));
        }
        sqlite3_finalize(definition);
        std::size_t end = 0;
        m_probeChecks.clear();
        for (const CheckClause& clause : checkClauses(sql, 0, end)) {
            m_probeChecks.push_back(clause.expression);
        }
        if (m_probeChecks.empty()) {
            throw ExportError("SQLite refused a row of " + m_table->name +
                              " under a CHECK, but the table shows none.");
        }
        execute("CREATE TEMP TABLE \"zl_probe\" AS SELECT * FROM main." + tableName() + " WHERE 0");
        const std::string insert = "INSERT INTO temp.\"zl_probe\"" + insertColumns(1);
        std::string select = "SELECT ";
        for (std::size_t i = 0; i < m_probeChecks.size(); ++i) {
            select += (i == 0 ? "(" : ", (") + m_probeChecks[i] + ") IS FALSE";
        }
        select += " FROM temp.\"zl_probe\"";
        m_probeInsert = prepare(insert, "copying a refused row of " + m_table->name);
        m_probeSelect = prepare(select, "evaluating the CHECKs of " + m_table->name);
    }

    void finalizeProbe() noexcept {
        if (m_probeInsert) sqlite3_finalize(m_probeInsert);
        if (m_probeSelect) sqlite3_finalize(m_probeSelect);
        m_probeInsert = nullptr;
        m_probeSelect = nullptr;
    }

    void dropProbe() {
        if (m_probeInsert == nullptr) return;
        finalizeProbe();
        execute("DROP TABLE temp.\"zl_probe\"");
    }

    void bind(sqlite3_stmt* statement, int index, const Value& value, const PlannedColumn& column,
              const RowKeyFn& rowKey, Ledger& ledger) {
        auto note = [&](const std::string& reason) {
            ledger.add({m_table->name, column.field.name, "Value", describeValue(value), reason,
                        rowKey()});
        };
        switch (value.kind) {
            case ValueKind::Null:
                sqlite3_bind_null(statement, index);
                return;
            case ValueKind::Boolean:
            case ValueKind::Integer:
                sqlite3_bind_int64(statement, index, value.integer);
                return;
            case ValueKind::Currency: {
                char text[kValueChars];
                bindScratch(statement, index, text, writeCurrency(value.integer, text));
                return;
            }
            case ValueKind::Single:
            case ValueKind::Double:
                if (std::isnan(value.real)) {
                    // SQLite stores a NaN REAL as NULL; the text keeps it.
                    note("SQLite REAL cannot hold NaN; stored as the text 'NaN'");
                    bindScratch(statement, index, "NaN");
                    return;
                }
                if (value.real == 0 && std::signbit(value.real)) {
                    // SQLite keeps whole REALs as integers, so -0.0 reads back as 0.
                    note("SQLite REAL keeps no negative zero; stored as 0");
                }
                sqlite3_bind_double(statement, index, value.real);
                return;
            case ValueKind::Date:
                if (char text[kValueChars];
                    const std::size_t length = writeDate(value.real, text)) {
                    bindScratch(statement, index, text, length);
                } else {
                    note("date outside 0100-01-01..9999-12-31; stored as its day number");
                    bindScratch(statement, index, realText(value.real, false));
                }
                return;
            case ValueKind::Text:
                if (value.inexact) {
                    note("the text holds a lone UTF-16 surrogate, stored as U+FFFD");
                }
                bindText(statement, index, value.text);
                return;
            case ValueKind::Decimal:
                bindText(statement, index, value.text);
                return;
            case ValueKind::ExtendedDate: {
                const std::string_view text = extendedDateText(value.text);
                bindScratch(statement, index, text.data(), text.size());
                return;
            }
            case ValueKind::Guid:
                bindScratch(statement, index, guidText(value.bytes));
                return;
            case ValueKind::Binary:
                // SQLite binds a blob without a data pointer (an empty vector's) as NULL.
                if (value.bytes.empty()) {
                    sqlite3_bind_zeroblob(statement, index, 0);
                } else {
                    sqlite3_bind_blob64(statement, index, value.bytes.data(), value.bytes.size(),
                                        SQLITE_STATIC);
                }
                return;
        }
    }

    std::string m_path;
    bool m_force;
    std::shared_ptr<const SchemaScript> m_script;
    std::string m_temporary;
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_insert = nullptr;
    // A constraint-free copy of the current table, opened at its first refused row.
    sqlite3_stmt* m_probeInsert = nullptr;
    sqlite3_stmt* m_probeSelect = nullptr;
    std::vector<std::string> m_probeChecks;  // the table's CHECK expressions
    CheckRefusals m_refusals;
    std::size_t m_tableIndex = 0;
    const ExportPlan* m_plan = nullptr;
    const PlannedTable* m_table = nullptr;
    std::vector<std::size_t> m_written;  // the table's columns the rows fill
    // Per mark of the batch statement: texts made for the rows waiting to be written (the
    // first row's serve the one-row statements too, bound only once those rows are in).
    std::vector<std::string> m_scratch;
    sqlite3_stmt* m_batchInsert = nullptr;  // m_batchRows rows at a time
    std::size_t m_batchRows = 1;
    std::vector<std::vector<Value>> m_pending;  // the rows bound, m_batchRows of them
    std::vector<std::uint64_t> m_pendingRows;   // their ordinals
    std::size_t m_pendingCount = 0;
    std::size_t m_pendingBytes = 0;
};

}  // namespace

std::unique_ptr<TargetWriter> openSqliteTarget(const std::string& path, bool force,
                                               std::shared_ptr<const SchemaScript> script) {
    return std::make_unique<SqliteTarget>(path, force, std::move(script));
}

}  // namespace zl::exporter
