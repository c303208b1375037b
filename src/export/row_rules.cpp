// Row rule checking with key hashes: one pass over every table keeps a 64-bit hash (a single
// integer column: its value) and the row's ordinal for each key and relation; equal keys have
// equal hashes, so no duplicate or parent is missed. Two different keys sharing a hash (odds about
// n^2 / 2^65) could pass for a duplicate or hide an orphan; the targets check their keys again
// while loading, so such a row still fails the export rather than loading wrongly.
#include "export/row_rules.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string_view>

#include "export/value_text.h"

namespace zl::exporter {
namespace {

using schema::Value;
using schema::ValueKind;

constexpr std::size_t kReportedViolations = 1000;

// Appends the value's identity as the targets compare it; false for NULL.
bool appendKeyPart(std::string& buffer, const Value& value) {
    buffer.push_back(static_cast<char>(value.kind));
    switch (value.kind) {
        case ValueKind::Null:
            return false;
        case ValueKind::Boolean:
        case ValueKind::Integer:
        case ValueKind::Currency: {
            char raw[8];
            std::memcpy(raw, &value.integer, 8);
            buffer.append(raw, 8);
            return true;
        }
        case ValueKind::Single:
        case ValueKind::Double:
        case ValueKind::Date: {
            const double normalised = value.real == 0 ? 0.0 : value.real;  // -0 equals 0
            char raw[8];
            std::memcpy(raw, &normalised, 8);
            buffer.append(raw, 8);
            return true;
        }
        case ValueKind::Binary:
        case ValueKind::Guid:
            buffer.append(std::to_string(value.bytes.size())).push_back(':');
            for (const std::byte b : value.bytes) buffer.push_back(static_cast<char>(b));
            return true;
        default:
            buffer.append(std::to_string(value.text.size())).push_back(':');
            buffer.append(value.text);
            return true;
    }
}

// The hash of the key `columns` of a row, or false when any part is NULL (the targets do not
// compare such keys).
bool keyHash(const PlannedTable& table, const std::vector<std::size_t>& columns,
             const std::vector<Value>& values, std::string& buffer, std::uint64_t& hash) {
    if (columns.size() == 1) {
        // One integer column (the common AutoNumber key): the value itself, exact and, for
        // keys numbered in row order, already sorted.
        const Value& value = values[table.columns[columns[0]].position];
        if (value.kind == ValueKind::Integer) {
            hash = static_cast<std::uint64_t>(value.integer);
            return true;
        }
    }
    buffer.clear();
    for (const std::size_t column : columns) {
        if (!appendKeyPart(buffer, values[table.columns[column].position])) return false;
    }
    hash = std::hash<std::string_view>{}(buffer);
    return true;
}

bool contains(const std::vector<std::uint64_t>& sorted, std::uint64_t row) {
    return std::binary_search(sorted.begin(), sorted.end(), row);
}

}  // namespace

RowChecker::RowChecker(const ExportPlan& plan) : m_plan(plan) {
    const std::size_t tables = plan.tables.size();
    m_result.rowCounts.assign(tables, 0);
    m_result.badRows.assign(tables, {});
    m_result.brokenRequired.resize(tables);
    m_result.brokenKeys.resize(tables);
    m_keys.resize(tables);
    for (std::size_t t = 0; t < tables; ++t) {
        m_result.brokenRequired[t].assign(plan.tables[t].columns.size(), false);
        m_result.brokenKeys[t].assign(plan.tables[t].keys.size(), false);
        m_keys[t].resize(plan.tables[t].keys.size());
    }
    m_result.brokenRelations.assign(plan.relations.size(), false);
    m_parents.resize(plan.relations.size());
    m_children.resize(plan.relations.size());
}

std::vector<bool> RowChecker::checkedFields(std::size_t t) const {
    const PlannedTable& table = m_plan.tables[t];
    std::vector<bool> wanted;
    auto want = [&](std::size_t column) {
        const std::size_t position = table.columns[column].position;
        if (wanted.size() <= position) wanted.resize(position + 1, false);
        wanted[position] = true;
    };
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
        if (table.columns[c].field.required) want(c);
    }
    for (const PlannedKey& key : table.keys) {
        for (const std::size_t column : key.columns) want(column);
    }
    for (const PlannedRelation& relation : m_plan.relations) {
        if (relation.parent == t) {
            for (const std::size_t column : relation.parentColumns) want(column);
        }
        if (relation.child == t) {
            for (const std::size_t column : relation.childColumns) want(column);
        }
    }
    return wanted;
}

void RowChecker::addRow(std::size_t t, std::uint64_t row, const std::vector<Value>& values) {
    const PlannedTable& table = m_plan.tables[t];
    std::uint64_t hash = 0;
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
        if (table.columns[c].field.required && values[table.columns[c].position].isNull()) {
            m_result.brokenRequired[t][c] = true;
            addViolation({t, row, RuleKind::NullInRequired, c, {}, {}});
        }
    }
    for (std::size_t k = 0; k < table.keys.size(); ++k) {
        if (keyHash(table, table.keys[k].columns, values, m_buffer, hash)) {
            m_entries += addToRuns(m_keys[t][k], hash, row) ? 1 : 0;
        }
    }
    for (std::size_t r = 0; r < m_plan.relations.size(); ++r) {
        const PlannedRelation& relation = m_plan.relations[r];
        if (relation.parent == t &&
            keyHash(table, relation.parentColumns, values, m_buffer, hash)) {
            m_entries += addToRuns(m_parents[r], hash, row) ? 1 : 0;
        }
        if (relation.child == t && keyHash(table, relation.childColumns, values, m_buffer, hash)) {
            m_children[r].push_back({hash, row});
            ++m_entries;
        }
    }
}

void RowChecker::endTable(std::size_t t, std::uint64_t rows) { m_result.rowCounts[t] = rows; }

bool RowChecker::finish(const schema::Database& db, const CheckRefusals& refused, bool cascade,
                        const std::atomic<bool>& cancel) {
    addRefused(refused);
    findDuplicates();
    findOrphans(cascade);
    return fillRowKeys(db, cancel);
}

// Rows a target's CHECK refused: breakers before duplicates and orphans are looked for, so that
// their children count as orphans when left out.
void RowChecker::addRefused(const CheckRefusals& refused) {
    for (const CheckRefusals::Row& row : refused.rows) {
        const CheckRule& rule = refused.checks[row.check];
        RuleViolation violation{row.table, row.row, RuleKind::CheckFailed, row.check, {}, {}};
        if (m_result.violations.size() < kReportedViolations) violation.rule = rule.text;
        addViolation(std::move(violation));
    }
}

bool RowChecker::addToRuns(KeyRuns& runs, std::uint64_t hash, std::uint64_t row) {
    if (!runs.empty()) {
        KeyRun& run = runs.back();
        if ((run.packed & KeyRun::kLengthMask) != KeyRun::kLengthMask && run.last() != UINT64_MAX &&
            run.last() + 1 == hash && run.row() + run.length() == row) {
            ++run.packed;
            return false;
        }
    }
    runs.push_back({hash, row << KeyRun::kLengthBits});
    return true;
}

void RowChecker::sortRuns(KeyRuns& runs) {
    if (!std::is_sorted(runs.begin(), runs.end())) std::sort(runs.begin(), runs.end());
    bool shared = false;
    for (std::size_t i = 1; i < runs.size() && !shared; ++i) {
        shared = runs[i].hash <= runs[i - 1].last();
    }
    if (!shared) return;
    KeyRuns single;
    for (const KeyRun& run : runs) {
        for (std::uint64_t i = 0; i < run.length(); ++i) {
            single.push_back({run.hash + i, (run.row() + i) << KeyRun::kLengthBits});
        }
    }
    std::sort(single.begin(), single.end());
    runs = std::move(single);
}

void RowChecker::findDuplicates() {
    for (std::size_t t = 0; t < m_keys.size(); ++t) {
        for (std::size_t k = 0; k < m_keys[t].size(); ++k) {
            KeyRuns& runs = m_keys[t][k];
            sortRuns(runs);  // a duplicate leaves every run a single row
            for (std::size_t i = 1; i < runs.size(); ++i) {
                if (runs[i].hash == runs[i - 1].hash) {
                    m_result.brokenKeys[t][k] = true;
                    addViolation({t, runs[i].row(), RuleKind::DuplicateKey, k, {}, {}});
                }
            }
            runs = {};
        }
    }
}

void RowChecker::findOrphans(bool cascade) {
    for (KeyRuns& parents : m_parents) sortRuns(parents);
    std::vector<std::vector<bool>> found(m_children.size());
    for (std::size_t r = 0; r < m_children.size(); ++r) {
        found[r].assign(m_children[r].size(), false);
    }
    bool changed = true;
    while (changed) {
        changed = false;
        sortBadRows();
        for (std::size_t r = 0; r < m_children.size(); ++r) {
            const PlannedRelation& relation = m_plan.relations[r];
            const KeyRuns& parents = m_parents[r];
            auto kept = [&](std::uint64_t row) {
                return !cascade || !contains(m_result.badRows[relation.parent], row);
            };
            for (std::size_t i = 0; i < m_children[r].size(); ++i) {
                if (found[r][i]) continue;
                const HashedRow& child = m_children[r][i];
                auto it = std::lower_bound(parents.begin(), parents.end(), KeyRun{child.hash, 0});
                bool present = false;
                // A run starting before the hash may hold it; runs starting at it are rows.
                if (it != parents.begin() && std::prev(it)->last() >= child.hash) {
                    const KeyRun& run = *std::prev(it);
                    present = kept(run.row() + (child.hash - run.hash));
                }
                for (; it != parents.end() && it->hash == child.hash && !present; ++it) {
                    present = kept(it->row());
                }
                if (!present) {
                    found[r][i] = true;
                    m_result.brokenRelations[r] = true;
                    addViolation({relation.child, child.row, RuleKind::Orphan, r, {}, {}});
                    changed = cascade;
                }
            }
        }
    }
    sortBadRows();
}

// Second pass over the tables with reported violations, for their row keys.
bool RowChecker::fillRowKeys(const schema::Database& db, const std::atomic<bool>& cancel) {
    for (std::size_t t = 0; t < m_plan.tables.size(); ++t) {
        std::vector<RuleViolation*> wanted;
        for (RuleViolation& violation : m_result.violations) {
            if (violation.table == t) wanted.push_back(&violation);
        }
        if (wanted.empty()) continue;
        std::sort(wanted.begin(), wanted.end(),
                  [](const auto* a, const auto* b) { return a->row < b->row; });
        const auto recordset = db.openRecordset(m_plan.tables[t].name);
        std::uint64_t row = 0;
        std::size_t next = 0;
        while (next < wanted.size() && recordset->moveNext()) {
            if (cancel.load()) return false;
            while (next < wanted.size() && wanted[next]->row == row) {
                wanted[next++]->rowKey = rowKeyText(m_plan.tables[t], recordset->values(), row);
            }
            ++row;
        }
    }
    return true;
}

void RowChecker::addViolation(RuleViolation violation) {
    ++m_result.violationCount;
    m_result.badRows[violation.table].push_back(violation.row);
    if (m_result.violations.size() < kReportedViolations) {
        m_result.violations.push_back(std::move(violation));
    }
}

void RowChecker::sortBadRows() {
    for (auto& rows : m_result.badRows) {
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    }
}

void CheckRefusals::add(std::size_t table, std::uint64_t row, const std::string& name,
                        const std::string& text) {
    std::size_t check = 0;
    while (check < checks.size() && (checks[check].table != table || checks[check].name != name)) {
        ++check;
    }
    if (check == checks.size()) checks.push_back({table, name, text});
    rows.push_back({table, row, check});
}

RuleCheck checkRows(const schema::Database& db, const ExportPlan& plan,
                    const CheckRefusals& refused, bool cascade, const std::atomic<bool>& cancel,
                    const ProgressFn& progress, bool& cancelled) {
    RowChecker checker(plan);
    cancelled = true;
    for (std::size_t t = 0; t < plan.tables.size(); ++t) {
        const PlannedTable& table = plan.tables[t];
        const auto recordset = db.openRecordset(table.name);
        recordset->restrictTo(checker.checkedFields(t));
        const std::uint64_t estimate = recordset->recordedCount();
        std::uint64_t row = 0;
        while (recordset->moveNext()) {
            if ((row & 1023) == 0) {
                if (cancel.load()) return checker.take();
                if (progress) progress(table.name, row, std::max(estimate, row));
            }
            checker.addRow(t, row, recordset->values());
            ++row;
        }
        checker.endTable(t, row);
        if (progress) progress(table.name, row, row);
    }
    cancelled = !checker.finish(db, refused, cascade, cancel);
    return checker.take();
}

std::string rowKeyText(const PlannedTable& table, const std::vector<schema::Value>& values,
                       std::uint64_t row) {
    if (table.keys.empty() || !table.keys.front().primary) {
        return "row " + std::to_string(row + 1);
    }
    std::string text;
    for (const std::size_t column : table.keys.front().columns) {
        if (!text.empty()) text += ", ";
        text += table.columns[column].field.name + "=" +
                describeValue(values[table.columns[column].position]);
    }
    return text;
}

std::string describeViolation(const ExportPlan& plan, const RuleViolation& violation) {
    // A CHECK names itself; the other rules are looked up in the plan.
    switch (violation.kind) {
        case RuleKind::NullInRequired:
            return "NULL in the Required field \"" +
                   plan.tables[violation.table].columns[violation.which].field.name + "\"";
        case RuleKind::DuplicateKey: {
            const PlannedKey& key = plan.tables[violation.table].keys[violation.which];
            return std::string("duplicate under the ") +
                   (key.primary ? "primary key" : "unique index") + " \"" + key.name + "\"";
        }
        case RuleKind::Orphan: {
            const PlannedRelation& relation = plan.relations[violation.which];
            return "no parent row in \"" + plan.tables[relation.parent].name +
                   "\" under the relation \"" + relation.name +
                   "\" (the target compares text keys with case)";
        }
        case RuleKind::CheckFailed:
            return "breaks the target's " + violation.rule;
    }
    return {};
}

}  // namespace zl::exporter
