// Checks every row against the rules the targets enforce before anything is written: NULL in a
// Required field, a duplicate under a primary key or unique index, a child without its parent
// under an enforced relation (keys compared exactly, as the targets compare them, so 'abc'
// under 'ABC' is an orphan there although Access accepts it). Rows that a target's CHECK
// refuses are found by the target itself while loading; they come back here as known breakers.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "export/export_plan.h"

namespace zl::exporter {

enum class RuleKind { NullInRequired, DuplicateKey, Orphan, CheckFailed };

// One row that breaks a rule. `which` is the column (NullInRequired), the key
// (DuplicateKey, index into PlannedTable::keys), the relation (Orphan) or the CHECK
// (CheckFailed, index into CheckRefusals::checks).
struct RuleViolation {
    std::size_t table = 0;
    std::uint64_t row = 0;  // ordinal of the row in the cursor's order
    RuleKind kind = RuleKind::NullInRequired;
    std::size_t which = 0;
    std::string rowKey;  // filled for the reported violations
    std::string rule;    // CheckFailed: the CHECK as the target shows it
};

// A CHECK of a target table that some row breaks. `name` identifies it to the target (the
// constraint's name in PostgreSQL, its expression in SQLite); `text` is what reports show.
struct CheckRule {
    std::size_t table = 0;
    std::string name;
    std::string text;
};

// The rows a target's CHECKs refused while loading: each with the first CHECK it breaks, and once
// more for each further CHECK found when an export runs again without the first.
struct CheckRefusals {
    struct Row {
        std::size_t table = 0;
        std::uint64_t row = 0;
        std::size_t check = 0;  // index into `checks`
    };
    std::vector<CheckRule> checks;
    std::vector<Row> rows;

    bool empty() const { return rows.empty(); }
    // Records that `row` of `table` breaks the CHECK `name` (shown as `text`).
    void add(std::size_t table, std::uint64_t row, const std::string& name,
             const std::string& text);
};

struct RuleCheck {
    std::vector<std::uint64_t> rowCounts;             // per table
    std::vector<RuleViolation> violations;            // the first ones, with their row keys
    std::uint64_t violationCount = 0;                 // all of them
    std::vector<std::vector<std::uint64_t>> badRows;  // per table, ascending, each row once
    // Rules that some row breaks, for loading without them.
    std::vector<std::vector<bool>> brokenRequired;  // [table][column]
    std::vector<std::vector<bool>> brokenKeys;      // [table][key]
    std::vector<bool> brokenRelations;              // [relation]
};

// Progress: table name, rows done, rows in all (an estimate until counted).
using ProgressFn = std::function<void(const std::string&, std::uint64_t, std::uint64_t)>;

// Checks rows as they come: every row of every planned table is handed to it once, in the
// cursor's order, then finish() looks for duplicates and orphans. Memory is about 16 bytes per
// row per key and relation, less for integer keys counting up with the rows (AutoNumbers).
class RowChecker {
public:
    explicit RowChecker(const ExportPlan& plan);

    // The fields of table `t` the checks look at (Recordset::restrictTo's flags).
    std::vector<bool> checkedFields(std::size_t t) const;
    // Checks the `row`th row of table `t`: `values` as the Recordset yields them.
    void addRow(std::size_t t, std::uint64_t row, const std::vector<schema::Value>& values);
    // Records that table `t` holds `rows` rows, all of them handed to addRow().
    void endTable(std::size_t t, std::uint64_t rows);
    // Adds the rows in `refused` as breakers, finds duplicates and orphans (with `cascade`, rows
    // whose parent is left out are orphans too) and reads the tables with reported violations
    // again for their row keys. False when `cancel` became true. Throws EngineError.
    bool finish(const schema::Database& db, const CheckRefusals& refused, bool cascade,
                const std::atomic<bool>& cancel);
    // The result; the checker is spent.
    RuleCheck take() { return std::move(m_result); }
    // The key entries kept so far (about 16 bytes each) until finish().
    std::uint64_t entries() const { return m_entries; }

private:
    struct HashedRow {
        std::uint64_t hash;
        std::uint64_t row;
        bool operator<(const HashedRow& other) const {
            return hash != other.hash ? hash < other.hash : row < other.row;
        }
    };
    // Rows whose key hashes count up by one as the rows do: hashes `hash` .. last() at rows
    // row() .. row() + length() - 1. An AutoNumber key in row order is a single run.
    struct KeyRun {
        static constexpr unsigned kLengthBits = 24;  // rows stay far below 2^40
        static constexpr std::uint64_t kLengthMask = (std::uint64_t{1} << kLengthBits) - 1;
        std::uint64_t hash;
        std::uint64_t packed;  // row() << kLengthBits | (length() - 1)
        std::uint64_t row() const { return packed >> kLengthBits; }
        std::uint64_t length() const { return (packed & kLengthMask) + 1; }
        std::uint64_t last() const { return hash + (packed & kLengthMask); }
        bool operator<(const KeyRun& other) const {
            return hash != other.hash ? hash < other.hash : packed < other.packed;
        }
    };
    using KeyRuns = std::vector<KeyRun>;
    // Adds a row to `runs`; true when that took a new entry.
    static bool addToRuns(KeyRuns& runs, std::uint64_t hash, std::uint64_t row);
    // Sorts `runs`; runs that share hashes (a duplicate key) are split into single rows.
    static void sortRuns(KeyRuns& runs);
    void addRefused(const CheckRefusals& refused);
    void findDuplicates();
    void findOrphans(bool cascade);
    bool fillRowKeys(const schema::Database& db, const std::atomic<bool>& cancel);
    void addViolation(RuleViolation violation);
    void sortBadRows();

    const ExportPlan& m_plan;
    RuleCheck m_result;
    std::string m_buffer;                            // a composite key's bytes
    std::uint64_t m_entries = 0;                     // in the vectors below
    std::vector<std::vector<KeyRuns>> m_keys;        // [table][key]
    std::vector<KeyRuns> m_parents;                  // [relation]
    std::vector<std::vector<HashedRow>> m_children;  // [relation]
};

// Reads every row of every planned table once and checks them; the rows in `refused` count as
// breakers too. With `cascade`, rows whose parent is itself left out count as orphans too (what
// --skip-invalid-rows needs). Memory is about 16 bytes per row per key and relation. Throws
// EngineError on damaged rows; returns early with `cancelled` set when `cancel` becomes true.
RuleCheck checkRows(const schema::Database& db, const ExportPlan& plan,
                    const CheckRefusals& refused, bool cascade, const std::atomic<bool>& cancel,
                    const ProgressFn& progress, bool& cancelled);

// The row key used in reports: "ID=17" (the primary key's fields) or "row 18".
std::string rowKeyText(const PlannedTable& table, const std::vector<schema::Value>& values,
                       std::uint64_t row);

// Describes a violation for the report: "NULL in the Required field \"Name\"".
std::string describeViolation(const ExportPlan& plan, const RuleViolation& violation);

}  // namespace zl::exporter
