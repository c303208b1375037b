// Export orchestration.
#include "export/exporter.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "export/read_ahead.h"
#include "sqlgen/target_names.h"
#include "sqlgen/target_schema.h"
#include "sqlgen/target_script.h"

namespace zl::exporter {
namespace {

Relaxation keepAll(const ExportPlan& plan) {
    Relaxation relaxation;
    for (const PlannedTable& table : plan.tables) {
        relaxation.required.emplace_back(table.columns.size(), false);
        relaxation.keys.emplace_back(table.keys.size(), false);
    }
    relaxation.relations.assign(plan.relations.size(), false);
    relaxation.checks.resize(plan.tables.size());
    return relaxation;
}

// The rules rows break, left off; a foreign key whose referenced key is left off goes too.
Relaxation relaxBroken(const ExportPlan& plan, const RuleCheck& check, const CheckRefusals& refused,
                       Ledger& ledger) {
    Relaxation relaxation{check.brokenRequired, check.brokenKeys, check.brokenRelations, {}};
    relaxation.checks.resize(plan.tables.size());
    for (const CheckRule& rule : refused.checks) {
        relaxation.checks[rule.table].push_back(rule.name);
    }
    for (std::size_t r = 0; r < plan.relations.size(); ++r) {
        const PlannedRelation& relation = plan.relations[r];
        std::vector<std::size_t> wanted = relation.parentColumns;
        std::sort(wanted.begin(), wanted.end());
        const PlannedTable& parent = plan.tables[relation.parent];
        for (std::size_t k = 0; k < parent.keys.size(); ++k) {
            std::vector<std::size_t> columns = parent.keys[k].columns;
            std::sort(columns.begin(), columns.end());
            if (columns == wanted && relaxation.keys[relation.parent][k]) {
                relaxation.relations[r] = true;
            }
        }
    }
    const std::string reason = "rows break it; loaded without it (--no-constraints)";
    for (std::size_t t = 0; t < plan.tables.size(); ++t) {
        const PlannedTable& table = plan.tables[t];
        for (std::size_t c = 0; c < table.columns.size(); ++c) {
            if (relaxation.required[t][c]) {
                ledger.add(
                    {table.name, table.columns[c].field.name, "Required", "NOT NULL", reason, ""});
            }
        }
        for (std::size_t k = 0; k < table.keys.size(); ++k) {
            if (relaxation.keys[t][k]) {
                ledger.add({table.name, "", "Index", table.keys[k].name, reason, ""});
            }
        }
    }
    for (std::size_t r = 0; r < plan.relations.size(); ++r) {
        if (relaxation.relations[r]) {
            ledger.add({plan.tables[plan.relations[r].child].name, "", "Relation",
                        plan.relations[r].name, reason, ""});
        }
    }
    for (const CheckRule& rule : refused.checks) {
        ledger.add({plan.tables[rule.table].name, "", "Check", rule.text, reason, ""});
    }
    return relaxation;
}

void noteSkippedRows(const ExportPlan& plan, const RuleCheck& check, Ledger& ledger) {
    for (const RuleViolation& violation : check.violations) {
        ledger.add({plan.tables[violation.table].name, "", "Row", violation.rowKey,
                    "left out (--skip-invalid-rows): " + describeViolation(plan, violation),
                    violation.rowKey});
    }
    if (check.violationCount > check.violations.size()) {
        ledger.add({"", "", "Row", "",
                    std::to_string(check.violationCount - check.violations.size()) +
                        " more rule violations left out, not listed one by one",
                    ""});
    }
}

class Cancelled {};

// The first attempt keeps its key checks in memory beside the writing; past this many entries
// (16 bytes each) it gives way to checking first, whose keys are gone before anything is written,
// so that tables of millions of keys that are not AutoNumbers stay within the memory goal.
constexpr std::uint64_t kFirstPassEntries = 1'000'000;

class TooManyKeys : public std::runtime_error {
public:
    TooManyKeys() : std::runtime_error("too many keys to check while writing") {}
};

// Writes the rows of every table. `check`, when given, holds the rows to leave out (with
// `skipBad`) and each table's row count; else `checker` sees every row as it is read. A table
// whose load a CHECK stopped is written a second time, for the target to find every row its
// CHECKs refuse (the export is abandoned then anyway).
void writeTables(const schema::Database& db, const ExportPlan& plan, const RuleCheck* check,
                 RowChecker* checker, bool skipBad, TargetWriter& writer,
                 const std::atomic<bool>& cancel, const ProgressFn& progress,
                 ExportResult& result) {
    static const std::vector<std::uint64_t> none;
    for (std::size_t t = 0; t < plan.tables.size(); ++t) {
        const PlannedTable& table = plan.tables[t];
        const std::vector<std::uint64_t>& bad = check != nullptr ? check->badRows[t] : none;
        const std::uint64_t writtenBefore = result.rowsWritten;
        const std::uint64_t skippedBefore = result.rowsSkipped;
        Ledger again(0);  // the first writing noted the values already
        for (const bool second : {false, true}) {
            Ledger& ledger = second ? again : result.ledger;
            RowHook hook;
            if (checker != nullptr && !second) {
                hook = [checker, t](std::uint64_t row, const std::vector<schema::Value>& values) {
                    checker->addRow(t, row, values);
                    if (checker->entries() > kFirstPassEntries) throw TooManyKeys();
                };
            }
            ReadAhead rows(db, table.name, std::move(hook));
            const std::uint64_t estimate =
                check != nullptr ? check->rowCounts[t] : rows.recordedCount();
            writer.beginTable(t, second);
            std::uint64_t row = 0;
            std::size_t nextBad = 0;
            // Made once per table, not per row: the key is computed only when a note needs it.
            std::vector<schema::Value>* current = nullptr;
            const RowKeyFn rowKey = [&] { return rowKeyText(table, *current, row); };
            while ((current = rows.next()) != nullptr) {
                if ((row & 1023) == 0) {
                    if (cancel.load()) throw Cancelled();
                    if (progress) progress(table.name, row, std::max(estimate, row));
                }
                if (skipBad && nextBad < bad.size() && bad[nextBad] == row) {
                    ++nextBad;
                    ++result.rowsSkipped;
                } else {
                    writer.writeRow(*current, row, rowKey, ledger);
                    ++result.rowsWritten;
                }
                ++row;
            }
            if (checker != nullptr && !second) checker->endTable(t, row);
            if (progress) progress(table.name, row, row);
            if (writer.endTable()) break;
            result.rowsWritten = writtenBefore;
            result.rowsSkipped = skippedBefore;
        }
        ++result.tablesWritten;
    }
}

void startAttempt(const ExportPlan& plan, ExportResult& result) {
    result.ledger = Ledger();
    for (const PlanNote& note : plan.notes) {
        result.ledger.add({note.table, note.field, note.property, note.original, note.reason, ""});
    }
    result.rowsWritten = 0;
    result.rowsSkipped = 0;
    result.tablesWritten = 0;
}

std::unique_ptr<TargetWriter> openTarget(const ExportRequest& request) {
    return request.target == Target::Sqlite
               ? openSqliteTarget(request.destination, request.force, request.schemaScript)
               : openPostgresTarget(request.destination, request.schema, request.schemaScript);
}

enum class FirstPass {
    Finished,       // every row written and in place
    ChecksRefused,  // no rule broken, but the target's CHECKs refused rows: `writer` knows which
    Inconclusive,   // rows break rules, or something failed: nothing is left of the attempt
};

// The first attempt reads every row once: it writes them with every rule in place and checks
// them on the way, and puts the result in place only when no row breaks a rule. Anything else
// (a broken rule, a refusing target, damage, more keys than it holds) abandons it, and the export
// starts over the careful way, checking every row before writing, which reports or handles it as
// it always does. A target that cannot be opened is not tried again: `openFailure` keeps its
// error for that way.
FirstPass writeChecked(const schema::Database& db, const ExportPlan& plan,
                       const ExportRequest& request, const std::atomic<bool>& cancel,
                       const ProgressFn& progress, ExportResult& result,
                       std::unique_ptr<TargetWriter>& writer, std::exception_ptr& openFailure) {
    startAttempt(plan, result);
    RowChecker checker(plan);
    try {
        writer = openTarget(request);
    } catch (const ExportError&) {
        openFailure = std::current_exception();
        return FirstPass::Inconclusive;
    }
    try {
        writer->createSchema(plan, keepAll(plan));
        writeTables(db, plan, nullptr, &checker, false, *writer, cancel, progress, result);
        if (cancel.load()) throw Cancelled();
        if (!checker.finish(db, CheckRefusals(), request.skipInvalidRows, cancel)) {
            throw Cancelled();
        }
        result.check = checker.take();
    } catch (const std::exception&) {
        if (writer) writer->abandon();
        writer.reset();
        return FirstPass::Inconclusive;
    }
    if (result.check.violationCount > 0) {
        writer->abandon();
        writer.reset();
        return FirstPass::Inconclusive;
    }
    if (!writer->refusals().empty()) return FirstPass::ChecksRefused;
    // The careful way would have written the very same rows; its failure here would be this one.
    writer->finish();
    return FirstPass::Finished;
}

std::string withThousands(std::uint64_t number) {
    std::string digits = std::to_string(number);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) {
        digits.insert(static_cast<std::size_t>(i), ",");
    }
    return digits;
}

}  // namespace

ExportResult runExport(const schema::Database& db, const ExportPlan& plan,
                       const ExportRequest& request, const std::atomic<bool>& cancel,
                       const ProgressFn& progress) {
    ExportResult result;
    std::unique_ptr<TargetWriter> writer;
    try {
        // Rows the target's CHECKs refused on the first attempt. They can only be found by
        // loading, so a second attempt starts over knowing them: they are reported, left out
        // (with the rows that hang on them) or loaded without the CHECKs they break.
        CheckRefusals refused;
        std::exception_ptr openFailure;
        int attempt = 0;
        switch (writeChecked(db, plan, request, cancel, progress, result, writer, openFailure)) {
            case FirstPass::Finished:
                return result;
            case FirstPass::ChecksRefused:
                // What the careful way's first attempt would have found: start at its second.
                refused = writer->refusals();
                writer->abandon();
                writer.reset();
                attempt = 1;
                break;
            case FirstPass::Inconclusive:
                break;
        }
        for (;; ++attempt) {
            startAttempt(plan, result);
            bool cancelled = false;
            result.check =
                checkRows(db, plan, refused, request.skipInvalidRows, cancel, progress, cancelled);
            if (cancelled) {
                result.status = ExportStatus::Cancelled;
                return result;
            }
            Relaxation relaxation = keepAll(plan);
            // Rows break rules and nothing will be written: the load still runs, without them,
            // to find the rows the target's CHECKs refuse too, so that one report names all.
            bool lookOnly = false;
            if (result.check.violationCount > 0) {
                if (request.skipInvalidRows) {
                    noteSkippedRows(plan, result.check, result.ledger);
                } else if (request.noConstraints) {
                    relaxation = relaxBroken(plan, result.check, refused, result.ledger);
                } else if (attempt > 0) {
                    result.status = ExportStatus::RulesBroken;
                    return result;
                } else {
                    lookOnly = true;
                }
            }
            try {
                if (openFailure) std::rethrow_exception(openFailure);
                writer = openTarget(request);
                writer->createSchema(plan, relaxation);
                writeTables(db, plan, &result.check, nullptr, request.skipInvalidRows || lookOnly,
                            *writer, cancel, progress, result);
            } catch (const ExportError&) {
                // A target that cannot be reached hides no rule the report has already found.
                if (!lookOnly) throw;
                if (writer) writer->abandon();
                result.rowsWritten = 0;
                result.status = ExportStatus::RulesBroken;
                return result;
            }
            if (cancel.load()) throw Cancelled();
            if (!lookOnly && writer->refusals().empty()) {
                writer->finish();
                return result;
            }
            // The targets name one CHECK per refused row: a row that breaks two is refused again
            // once the first is left off, so what is known grows from attempt to attempt.
            const std::size_t knownChecks = refused.checks.size();
            const CheckRefusals& found = writer->refusals();
            for (const CheckRefusals::Row& row : found.rows) {
                const CheckRule& rule = found.checks[row.check];
                refused.add(row.table, row.row, rule.name, rule.text);
            }
            writer->abandon();
            writer.reset();
            if (refused.empty()) {
                result.rowsWritten = 0;
                result.status = ExportStatus::RulesBroken;
                return result;
            }
            if (attempt > 0 && refused.checks.size() == knownChecks) {
                throw ExportError("Rows still break the target's CHECKs after those found were " +
                                  std::string(request.noConstraints ? "left off." : "left out."));
            }
        }
    } catch (const Cancelled&) {
        if (writer) writer->abandon();
        result.status = ExportStatus::Cancelled;
    } catch (const schema::EngineError& error) {
        if (writer) writer->abandon();
        result.status = ExportStatus::Failed;
        result.message = error.description();
    } catch (const ExportError& error) {
        if (writer) writer->abandon();
        result.status = ExportStatus::Failed;
        result.message = error.what();
    } catch (const std::bad_alloc&) {
        if (writer) writer->abandon();
        result.status = ExportStatus::Failed;
        result.message = "Not enough memory for the export.";
    }
    return result;
}

TargetSchemaScript targetSchemaScript(Target target, const schema::Database& db,
                                      const schema::SchemaModel& model) {
    const translate::Target dialect =
        target == Target::Sqlite ? translate::Target::Sqlite : translate::Target::PostgreSql;
    const sqlgen::TargetSchema schema = sqlgen::readTargetSchema(model, &db);
    sqlgen::TargetScript generated = sqlgen::generateTargetScript(dialect, schema);
    auto script = std::make_shared<SchemaScript>();
    script->script = std::move(generated.text);
    script->names = std::make_shared<sqlgen::TargetNames>(dialect, schema);
    TargetSchemaScript result{std::move(script), {}};
    result.ledger.reserve(generated.ledger.items.size());
    for (const translate::LedgerItem& item : generated.ledger.items) {
        result.ledger.push_back({item.table.value_or(item.query.value_or("")),
                                 item.field.value_or(""), item.property, item.original, item.reason,
                                 ""});
    }
    return result;
}

std::string summaryText(const ExportResult& result) {
    std::string text = std::to_string(result.tablesWritten) +
                       (result.tablesWritten == 1 ? " table, " : " tables, ") +
                       withThousands(result.rowsWritten) + " rows written";
    if (result.rowsSkipped > 0) {
        text += ", " + withThousands(result.rowsSkipped) + " rows left out";
    }
    if (result.ledger.count() > 0) {
        text += "; " + withThousands(result.ledger.count()) + " items in the ledger";
    }
    return text;
}

}  // namespace zl::exporter
