// The PostgreSQL target through libpq: one transaction holding the tables, a COPY of every
// table, then the foreign keys and the identities moved past the largest id.
#include <libpq-fe.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <string_view>

#include "export/target_schema.h"
#include "export/target_writer.h"
#include "export/value_text.h"

namespace zl::exporter {
namespace {

using schema::Value;
using schema::ValueKind;

constexpr std::size_t kCopyChunk = std::size_t{256} * 1024;

// COPY text format: backslash escapes for the characters that delimit rows and columns; the
// runs between them are appended whole.
void appendCopyText(std::string& out, std::string_view text) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char* escape = c == '\\'   ? "\\\\"
                             : c == '\t' ? "\\t"
                             : c == '\n' ? "\\n"
                             : c == '\r' ? "\\r"
                                         : nullptr;
        if (escape == nullptr) continue;
        out.append(text.substr(start, i - start));
        out += escape;
        start = i + 1;
    }
    out.append(text.substr(start));
}

class PostgresTarget final : public TargetWriter {
public:
    PostgresTarget(const std::string& conninfo, const std::string& schemaName,
                   std::shared_ptr<const SchemaScript> script)
        : m_script(std::move(script)) {
        m_conn = PQconnectdb(conninfo.c_str());
        if (m_conn == nullptr || PQstatus(m_conn) != CONNECTION_OK) {
            const std::string message = m_conn ? PQerrorMessage(m_conn) : "out of memory";
            abandon();
            throw ExportError("Cannot connect to PostgreSQL: " + message);
        }
        PQsetClientEncoding(m_conn, "UTF8");
        execute("BEGIN");
        m_open = true;
        execute("SET LOCAL client_min_messages = warning");
        if (!schemaName.empty()) {
            m_prefix = quoteName(schemaName) + ".";
            execute("CREATE SCHEMA IF NOT EXISTS " + quoteName(schemaName));
            // The script names its objects without a schema.
            execute("SET LOCAL search_path TO " + quoteName(schemaName));
        }
    }
    ~PostgresTarget() override { abandon(); }
    PostgresTarget(const PostgresTarget&) = delete;
    PostgresTarget& operator=(const PostgresTarget&) = delete;

    void createSchema(const ExportPlan& plan, const Relaxation& relaxation) override {
        m_plan = &plan;
        m_relaxation = relaxation;
        if (m_script && relaxesAnything(relaxation)) {
            // The script carries every constraint; the own tables can leave some off.
            m_script.reset();
        }
        if (!m_script) {
            for (const std::string& statement :
                 createTableStatements(Target::Postgresql, plan, relaxation, m_prefix)) {
                execute(statement);
            }
        } else {
            // The script's foreign keys (one ALTER TABLE line each) wait until the rows are in,
            // so that tables load in any order, cycles included.
            std::string now;
            std::size_t start = 0;
            const std::string& text = m_script->script;
            while (start < text.size()) {
                std::size_t end = text.find('\n', start);
                end = end == std::string::npos ? text.size() : end + 1;
                const std::string line = text.substr(start, end - start);
                if (line.rfind("ALTER TABLE ", 0) == 0 &&
                    line.find(" FOREIGN KEY ") != std::string::npos) {
                    m_foreignKeys.push_back(line);
                } else {
                    now += line;
                }
                start = end;
            }
            execute(now);
        }
        // CHECKs that rows break, by the names PostgreSQL gave them (the same on every run of
        // the same script).
        for (std::size_t t = 0; t < plan.tables.size(); ++t) {
            m_table = &plan.tables[t];
            for (const std::string& name : relaxation.checks[t]) {
                execute("ALTER TABLE " + qualifiedTable() + " DROP CONSTRAINT " + quoteName(name));
            }
        }
    }

    void beginTable(std::size_t table, bool again) override {
        m_tableIndex = table;
        m_table = &m_plan->tables[table];
        m_probing = again;
        findWrittenColumns();
        std::string sql;
        if (again) {
            // The rows go into a constraint-free copy first, numbered, to find every row that
            // a CHECK refuses; the copy goes at the end of the table.
            m_probeIndexed = false;
            execute(
                "CREATE TEMP TABLE \"zl_probe\" AS SELECT NULL::bigint AS \"zl probe row\", * "
                "FROM " +
                qualifiedTable() + " WITH NO DATA");
            sql = R"(COPY pg_temp."zl_probe" ("zl probe row", )";
        } else {
            // A CHECK that refuses a row stops the COPY; the savepoint undoes the table alone.
            execute("SAVEPOINT \"zl_table\"");
            sql = "COPY " + qualifiedTable() + " (";
        }
        for (std::size_t i = 0; i < m_written.size(); ++i) {
            sql += (i == 0 ? "" : ", ") + columnName(m_table->columns[m_written[i]].field.name);
        }
        sql += ") FROM STDIN";
        PGresult* result = PQexec(m_conn, sql.c_str());
        const bool started = PQresultStatus(result) == PGRES_COPY_IN;
        PQclear(result);
        if (!started) fail("starting the COPY of " + m_table->name);
        m_copying = true;
        m_buffer.clear();
    }

    void writeRow(std::vector<Value>& values, std::uint64_t row, const RowKeyFn& rowKey,
                  Ledger& ledger) override {
        if (m_probing) {
            char digits[24];
            const auto end = std::to_chars(digits, digits + sizeof digits, row).ptr;
            m_buffer.append(digits, end).push_back('\t');
        }
        for (std::size_t i = 0; i < m_written.size(); ++i) {
            if (i > 0) m_buffer += '\t';
            const PlannedColumn& column = m_table->columns[m_written[i]];
            append(values[column.position], column, rowKey, ledger);
        }
        m_buffer += '\n';
        if (m_buffer.size() >= kCopyChunk) flush();
    }

    bool endTable() override {
        flush();
        m_copying = false;
        if (PQputCopyEnd(m_conn, nullptr) != 1) fail("ending the COPY of " + m_table->name);
        const std::string state = drainResults();
        if (state.empty() && m_probing) {
            findRefusedRows();
            return true;
        }
        if (state.empty()) {
            execute("RELEASE SAVEPOINT \"zl_table\"");
            return true;
        }
        // A CHECK refused a row (check_violation), or failed evaluating it (a data exception
        // such as an integer out of range); the probe tells which, or shows another cause.
        if (!m_probing && (state == "23514" || state.starts_with("22"))) {
            execute("ROLLBACK TO SAVEPOINT \"zl_table\"");
            execute("RELEASE SAVEPOINT \"zl_table\"");
            return false;
        }
        throw ExportError("PostgreSQL failed loading " + m_table->name + ": " + m_copyError);
    }

    const CheckRefusals& refusals() const override { return m_refusals; }

    void finish() override {
        const std::vector<std::string> foreignKeys =
            m_script ? m_foreignKeys : foreignKeyStatements(*m_plan, m_relaxation, m_prefix);
        for (const std::string& statement : foreignKeys) {
            execute(statement);
        }
        for (const PlannedTable& table : m_plan->tables) {
            for (const PlannedColumn& column : table.columns) {
                if (!isAutoNumber(column.field)) continue;
                m_table = &table;
                const std::string qualified = m_prefix + tableName(table.name);
                const std::string name = columnName(column.field.name);
                // pg_get_serial_sequence takes the column's name as it is, without quotes.
                std::string unquoted;
                for (std::size_t i = 1; i + 1 < name.size(); ++i) {
                    unquoted += name[i];
                    if (name[i] == '"') ++i;
                }
                std::string sql = "SELECT setval(pg_get_serial_sequence(";
                sql += literal(qualified);
                sql += ", ";
                sql += literal(unquoted);
                sql += "), GREATEST(COALESCE(MAX(";
                sql += name;
                sql += "), 0), 0) + 1, false) FROM ";
                sql += qualified;
                execute(sql);
            }
        }
        execute("COMMIT");
        m_open = false;
        PQfinish(m_conn);
        m_conn = nullptr;
    }

    void abandon() noexcept override {
        if (m_conn == nullptr) return;
        if (m_copying) {
            PQputCopyEnd(m_conn, "export abandoned");
            m_copying = false;
            while (PGresult* result = PQgetResult(m_conn)) PQclear(result);
        }
        if (m_open) {
            PQclear(PQexec(m_conn, "ROLLBACK"));
            m_open = false;
        }
        PQfinish(m_conn);
        m_conn = nullptr;
    }

private:
    std::string qualifiedTable() const { return m_prefix + tableName(m_table->name); }

    // The planned columns the rows fill: all but those the table computes itself (calculated
    // fields that the script made generated columns).
    void findWrittenColumns() {
        PGresult* generated = PQexec(
            m_conn,
            ("SELECT attname FROM pg_attribute WHERE attrelid = " + literal(qualifiedTable()) +
             "::regclass AND attnum > 0 AND NOT attisdropped AND attgenerated <> ''")
                .c_str());
        if (PQresultStatus(generated) != PGRES_TUPLES_OK) {
            PQclear(generated);
            fail("reading the columns of " + m_table->name);
        }
        std::vector<std::string> names;
        names.reserve(static_cast<std::size_t>(PQntuples(generated)));
        for (int i = 0; i < PQntuples(generated); ++i) {
            names.push_back(quoteName(PQgetvalue(generated, i, 0)));
        }
        PQclear(generated);
        m_written.clear();
        for (std::size_t i = 0; i < m_table->columns.size(); ++i) {
            const std::string name = columnName(m_table->columns[i].field.name);
            if (std::find(names.begin(), names.end(), name) == names.end()) m_written.push_back(i);
        }
    }
    std::string tableName(const std::string& table) const {
        return m_script ? m_script->names->object(table) : quoteName(table);
    }
    std::string columnName(const std::string& field) const {
        return m_script ? m_script->names->column(m_table->name, field) : quoteName(field);
    }
    std::string literal(const std::string& text) {
        char* quoted = PQescapeLiteral(m_conn, text.c_str(), text.size());
        if (quoted == nullptr) fail("quoting a name");
        std::string result(quoted);
        PQfreemem(quoted);
        return result;
    }
    void execute(const std::string& sql) {
        PGresult* result = PQexec(m_conn, sql.c_str());
        const ExecStatusType status = PQresultStatus(result);
        PQclear(result);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) fail(sql.substr(0, 80));
    }
    // Collects the COPY's results: "" when it succeeded, else the SQLSTATE of the failure (its
    // message in m_copyError).
    std::string drainResults() {
        std::string state;
        while (PGresult* result = PQgetResult(m_conn)) {
            if (PQresultStatus(result) != PGRES_COMMAND_OK) {
                const char* code = PQresultErrorField(result, PG_DIAG_SQLSTATE);
                state = code != nullptr ? code : "?";
                m_copyError = PQresultErrorMessage(result);
            }
            PQclear(result);
        }
        return state;
    }

    // Every numbered row of the probe copy that a CHECK of the table refuses, with the first
    // CHECK (by name) it breaks; then the copy goes. A CHECK whose evaluation fails for some row
    // (an integer out of range, say) refuses that row, as the table did.
    void findRefusedRows() {
        const std::size_t before = m_refusals.rows.size();
        PGresult* checks = PQexec(
            m_conn, ("SELECT conname, pg_get_expr(conbin, conrelid), pg_get_constraintdef(oid) "
                     "FROM pg_constraint WHERE contype = 'c' AND conrelid = " +
                     literal(qualifiedTable()) + "::regclass ORDER BY conname")
                        .c_str());
        if (PQresultStatus(checks) != PGRES_TUPLES_OK) {
            PQclear(checks);
            fail("reading the CHECKs of " + m_table->name);
        }
        std::map<std::uint64_t, std::size_t> firstBroken;        // row -> its first refusing CHECK
        std::vector<std::pair<std::string, std::string>> rules;  // name, shown text
        for (int i = 0; i < PQntuples(checks); ++i) {
            rules.emplace_back(PQgetvalue(checks, i, 0), PQgetvalue(checks, i, 2));
            const std::string condition = PQgetvalue(checks, i, 1);
            for (const std::uint64_t row : refusedBy(condition)) firstBroken.try_emplace(row, i);
        }
        PQclear(checks);
        for (const auto& [row, c] : firstBroken) {
            m_refusals.add(m_tableIndex, row, rules[c].first,
                           rules[c].second + ", named \"" + rules[c].first + "\"");
        }
        execute("DROP TABLE pg_temp.\"zl_probe\"");
        if (m_refusals.rows.size() == before) {
            throw ExportError("PostgreSQL refused a row of " + m_table->name +
                              " under a CHECK, yet no CHECK of the table refuses one.");
        }
    }

    // The numbered rows of the probe copy that `condition` (a CHECK's expression) refuses. When
    // evaluating it fails for some row, the rows are tried one by one, each failure a refusal.
    std::vector<std::uint64_t> refusedBy(const std::string& condition) {
        const std::string whole =
            R"(SELECT "zl probe row" FROM pg_temp."zl_probe" WHERE ()" + condition + ") IS FALSE";
        execute("SAVEPOINT \"zl_condition\"");
        PGresult* rows = PQexec(m_conn, whole.c_str());
        if (PQresultStatus(rows) != PGRES_TUPLES_OK) {
            const char* code = PQresultErrorField(rows, PG_DIAG_SQLSTATE);
            const bool dataError = code != nullptr && std::string_view(code).starts_with("22");
            PQclear(rows);
            execute("ROLLBACK TO SAVEPOINT \"zl_condition\"");
            execute("RELEASE SAVEPOINT \"zl_condition\"");
            if (!dataError) fail("finding the rows the CHECKs of " + m_table->name + " refuse");
            return refusedOneByOne(condition);
        }
        execute("RELEASE SAVEPOINT \"zl_condition\"");
        std::vector<std::uint64_t> refused = rowNumbers(rows);
        PQclear(rows);
        return refused;
    }

    std::vector<std::uint64_t> refusedOneByOne(const std::string& condition) {
        if (!m_tryFunction) {
            execute(
                "CREATE OR REPLACE FUNCTION pg_temp.zl_refuses(condition text, probe_row bigint) "
                "RETURNS boolean LANGUAGE plpgsql AS $zl$\n"
                "DECLARE refused boolean;\n"
                "BEGIN\n"
                "  EXECUTE 'SELECT (' || condition || ') IS FALSE FROM pg_temp.\"zl_probe\" "
                "WHERE \"zl probe row\" = $1' INTO refused USING probe_row;\n"
                "  RETURN refused;\n"
                "EXCEPTION WHEN data_exception THEN\n"
                "  RETURN true;\n"
                "END $zl$");
            m_tryFunction = true;
        }
        if (!m_probeIndexed) execute(R"(CREATE INDEX ON pg_temp."zl_probe" ("zl probe row"))");
        m_probeIndexed = true;
        PGresult* rows = PQexec(m_conn, (R"(SELECT "zl probe row" FROM pg_temp."zl_probe" WHERE )"
                                         "pg_temp.zl_refuses(" +
                                         literal(condition) + ", \"zl probe row\") ORDER BY 1")
                                            .c_str());
        if (PQresultStatus(rows) != PGRES_TUPLES_OK) {
            PQclear(rows);
            fail("finding the rows the CHECKs of " + m_table->name + " refuse");
        }
        std::vector<std::uint64_t> refused = rowNumbers(rows);
        PQclear(rows);
        return refused;
    }

    static std::vector<std::uint64_t> rowNumbers(PGresult* rows) {
        std::vector<std::uint64_t> numbers;
        numbers.reserve(static_cast<std::size_t>(PQntuples(rows)));
        for (int r = 0; r < PQntuples(rows); ++r) {
            std::uint64_t row = 0;
            const char* number = PQgetvalue(rows, r, 0);
            std::from_chars(number, number + std::strlen(number), row);
            numbers.push_back(row);
        }
        return numbers;
    }

    void flush() {
        if (m_buffer.empty()) return;
        if (PQputCopyData(m_conn, m_buffer.data(), static_cast<int>(m_buffer.size())) != 1) {
            fail("sending the rows of " + m_table->name);
        }
        m_buffer.clear();
    }
    [[noreturn]] void fail(const std::string& what) {
        throw ExportError("PostgreSQL failed " + what + ": " + PQerrorMessage(m_conn));
    }

    void append(const Value& value, const PlannedColumn& column, const RowKeyFn& rowKey,
                Ledger& ledger) {
        auto note = [&](const std::string& reason) {
            ledger.add({m_table->name, column.field.name, "Value", describeValue(value), reason,
                        rowKey()});
        };
        switch (value.kind) {
            case ValueKind::Null:
                m_buffer += "\\N";
                return;
            case ValueKind::Boolean:
                m_buffer += value.integer != 0 ? 't' : 'f';
                return;
            case ValueKind::Integer: {
                char text[kValueChars];
                m_buffer.append(text, std::to_chars(text, text + sizeof text, value.integer).ptr);
                return;
            }
            case ValueKind::Currency: {
                char text[kValueChars];
                m_buffer.append(text, writeCurrency(value.integer, text));
                return;
            }
            case ValueKind::Single:
            case ValueKind::Double:
                m_buffer += realText(value.real, value.kind == ValueKind::Single);
                return;
            case ValueKind::Date:
                if (char text[kValueChars];
                    const std::size_t length = writeDate(value.real, text)) {
                    m_buffer.append(text, length);
                } else {
                    note("date outside 0100-01-01..9999-12-31; left NULL");
                    m_buffer += "\\N";
                }
                return;
            case ValueKind::ExtendedDate:
                if (value.text.back() != '0') {
                    note("timestamp keeps microseconds; the 7th digit of the fraction is lost");
                }
                // Cut, not rounded by the server: rounding 9999-12-31 23:59:59.9999999 would
                // carry into the year 10000.
                m_buffer.append(value.text, 0, value.text.size() - 1);
                return;
            case ValueKind::Decimal:
                m_buffer += value.text;
                return;
            case ValueKind::Guid:
                m_buffer += guidText(value.bytes);
                return;
            case ValueKind::Binary: {
                static constexpr char kHex[] = "0123456789abcdef";
                m_buffer += "\\\\x";
                for (const std::byte b : value.bytes) {
                    m_buffer += kHex[std::to_integer<unsigned>(b) >> 4];
                    m_buffer += kHex[std::to_integer<unsigned>(b) & 15];
                }
                return;
            }
            case ValueKind::Text:
                if (value.inexact) {
                    note("the text holds a lone UTF-16 surrogate, stored as U+FFFD");
                }
                if (value.text.find('\0') != std::string::npos) {
                    note("PostgreSQL text cannot hold U+0000; the character was left out");
                    std::string cleaned = value.text;
                    std::erase(cleaned, '\0');
                    appendCopyText(m_buffer, cleaned);
                    return;
                }
                appendCopyText(m_buffer, value.text);
                return;
        }
    }

    std::shared_ptr<const SchemaScript> m_script;
    std::vector<std::string> m_foreignKeys;  // the script's, run after the rows
    PGconn* m_conn = nullptr;
    bool m_open = false;
    bool m_copying = false;
    std::string m_prefix;
    std::string m_buffer;
    const ExportPlan* m_plan = nullptr;
    Relaxation m_relaxation;
    const PlannedTable* m_table = nullptr;
    std::size_t m_tableIndex = 0;
    std::vector<std::size_t> m_written;  // the table's columns the rows fill
    bool m_probing = false;              // the table goes into the numbered probe copy
    std::string m_copyError;
    CheckRefusals m_refusals;
    bool m_tryFunction = false;   // pg_temp.zl_refuses exists
    bool m_probeIndexed = false;  // the probe copy is indexed by row number
};

}  // namespace

std::unique_ptr<TargetWriter> openPostgresTarget(const std::string& conninfo,
                                                 const std::string& schema,
                                                 std::shared_ptr<const SchemaScript> script) {
    return std::make_unique<PostgresTarget>(conninfo, schema, std::move(script));
}

}  // namespace zl::exporter
