// The export command: Ctrl+C handling, the progress line, the report of broken rules, the
// ledger and the summary.
#include "cli/export_command.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ostream>
#include <sstream>

#include "export/export_plan.h"
#include "export/exporter.h"
#include "support/save_file.h"

namespace zl::cli {
namespace {

std::atomic<bool> g_interrupted{false};

extern "C" void onInterrupt(int /*signal*/) { g_interrupted.store(true); }

// Catches SIGINT while alive, so that the export ends cleanly, and restores the old handler.
class InterruptGuard {
public:
    InterruptGuard() {
        g_interrupted.store(false);
        struct sigaction action {};
        action.sa_handler = onInterrupt;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &m_previous);
        sigaction(SIGTERM, &action, &m_previousTerm);
    }
    ~InterruptGuard() {
        sigaction(SIGINT, &m_previous, nullptr);
        sigaction(SIGTERM, &m_previousTerm, nullptr);
    }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

private:
    struct sigaction m_previous {};
    struct sigaction m_previousTerm {};
};

// The progress line: table, rows done of total, rows per second and time left, redrawn at most
// five times a second; only when standard error is a terminal.
class ProgressLine {
public:
    explicit ProgressLine(std::ostream& err) : m_err(err), m_enabled(::isatty(2) == 1) {}
    ~ProgressLine() { clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void update(const std::string& table, std::uint64_t done, std::uint64_t total) {
        if (!m_enabled) return;
        const auto now = std::chrono::steady_clock::now();
        if (table != m_table) {
            m_table = table;
            m_tableStart = now;
        } else if (now - m_lastDraw < std::chrono::milliseconds(200) && done < total) {
            return;
        }
        m_lastDraw = now;
        const double seconds = std::chrono::duration<double>(now - m_tableStart).count();
        const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
        std::ostringstream line;
        line << "\r" << table << ": " << done << " of " << total << " rows";
        if (rate > 0) {
            line << ", " << static_cast<std::uint64_t>(rate) << " rows/s, "
                 << static_cast<std::uint64_t>(static_cast<double>(total - std::min(done, total)) /
                                               rate)
                 << " s left";
        }
        line << "\x1b[K";
        m_err << line.str() << std::flush;
        m_drawn = true;
    }
    void clear() {
        if (m_drawn) m_err << "\r\x1b[K" << std::flush;
        m_drawn = false;
    }

private:
    std::ostream& m_err;
    bool m_enabled;
    bool m_drawn = false;
    std::string m_table;
    std::chrono::steady_clock::time_point m_tableStart;
    std::chrono::steady_clock::time_point m_lastDraw;
};

exporter::ExportRequest exportRequest(const ExportOptions& options) {
    exporter::ExportRequest request;
    request.target =
        options.to == "postgresql" ? exporter::Target::Postgresql : exporter::Target::Sqlite;
    request.destination = options.destination;
    request.force = options.force;
    request.schema = options.schema;
    request.skipInvalidRows = options.skipInvalidRows;
    request.noConstraints = options.noConstraints;
    return request;
}

void reportViolations(const exporter::ExportPlan& plan, const exporter::RuleCheck& check,
                      std::ostream& err) {
    err << check.violationCount << " rows break the database's own rules or the target's:\n";
    for (const exporter::RuleViolation& violation : check.violations) {
        err << "  " << plan.tables[violation.table].name << " (" << violation.rowKey
            << "): " << exporter::describeViolation(plan, violation) << '\n';
    }
    if (check.violationCount > check.violations.size()) {
        err << "  ... and " << check.violationCount - check.violations.size() << " more\n";
    }
    err << "Nothing was written. Use --skip-invalid-rows to leave these rows out, or "
           "--no-constraints to load them without the rules they break.\n";
}

}  // namespace

int runExportCommand(const CliRequest& request, const schema::Database& db,
                     const schema::SchemaModel& model, std::ostream& err) {
    const exporter::ExportPlan plan = exporter::planExport(db, model);
    exporter::ExportRequest exportReq = exportRequest(request.exportOptions);
    exporter::TargetSchemaScript schemaScript =
        exporter::targetSchemaScript(exportReq.target, db, model);
    exportReq.schemaScript = std::move(schemaScript.script);
    InterruptGuard guard;
    ProgressLine progress(err);
    const exporter::ExportResult result =
        exporter::runExport(db, plan, exportReq, g_interrupted,
                            [&](const std::string& table, std::uint64_t done, std::uint64_t total) {
                                progress.update(table, done, total);
                            });
    progress.clear();
    exporter::Ledger ledger = result.ledger;
    for (exporter::LedgerItem& item : schemaScript.ledger) ledger.add(std::move(item));
    if (!request.ledgerFile.empty()) {
        std::ostringstream json;
        ledger.writeJson(json, request.exportOptions.to);
        if (const support::Status saved =
                support::saveFileReplacing(request.ledgerFile, json.str());
            !saved) {
            err << "Cannot write " << request.ledgerFile << ": " << saved.error().message << '\n';
        }
    }
    switch (result.status) {
        case exporter::ExportStatus::Ok:
            err << exporter::summaryText(result) << '\n';
            return kExitOk;
        case exporter::ExportStatus::RulesBroken:
            reportViolations(plan, result.check, err);
            return kExitRulesBroken;
        case exporter::ExportStatus::Cancelled:
            err << "Export interrupted; nothing was written.\n";
            return kExitInterrupted;
        case exporter::ExportStatus::Failed:
            break;
    }
    err << result.message << "\nNothing was written.\n";
    return kExitGenerationFailed;
}

}  // namespace zl::cli
