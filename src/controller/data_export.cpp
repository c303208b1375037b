// The desktop's export run: the same plan, target schema and ledger as the command line's.
#include "controller/data_export.h"

#include <exception>
#include <memory>
#include <sstream>
#include <utility>
#include <vector>

#include "export/export_plan.h"
#include "export/exporter.h"
#include "support/save_file.h"

namespace zl::controller {
namespace {

// libpq's quoted value: 'text' with ' and \ escaped by a backslash.
std::string quotedValue(const std::string& value) {
    std::string quoted = "'";
    for (const char c : value) {
        if (c == '\'' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "'";
}

exporter::ExportRequest exportRequest(const ExportJob& job) {
    exporter::ExportRequest request;
    if (job.target == ExportTarget::Sqlite) {
        request.target = exporter::Target::Sqlite;
        request.destination = job.sqliteFile;
        // The save dialog asked before replacing; the old file stays until the new one is whole.
        request.force = true;
    } else {
        request.target = exporter::Target::Postgresql;
        request.destination = postgresConninfo(job.postgres);
        request.schema = job.postgres.schema;
    }
    request.skipInvalidRows = job.skipInvalidRows;
    request.noConstraints = job.noConstraints;
    return request;
}

std::string ledgerLine(const exporter::LedgerItem& item) {
    std::string line = item.table;
    if (!item.field.empty()) line += (line.empty() ? "" : ".") + item.field;
    if (!item.property.empty()) line += (line.empty() ? "" : " ") + item.property;
    if (!item.original.empty()) line += " \"" + item.original + "\"";
    if (!item.row.empty()) line += " (" + item.row + ")";
    line += ": " + item.reason;
    return line;
}

std::string ledgerText(const exporter::Ledger& ledger) {
    std::string text;
    for (const exporter::LedgerItem& item : ledger.items()) text += ledgerLine(item) + "\n";
    if (ledger.count() > ledger.items().size()) {
        text += "... and " + std::to_string(ledger.count() - ledger.items().size()) + " more\n";
    }
    return text;
}

std::string violationsText(const exporter::ExportPlan& plan, const exporter::RuleCheck& check) {
    std::string text = check.violationCount == 1
                           ? std::string("1 row breaks the database's own rules or the target's:\n")
                           : std::to_string(check.violationCount) +
                                 " rows break the database's own rules or the target's:\n";
    for (const exporter::RuleViolation& violation : check.violations) {
        text += "  " + plan.tables[violation.table].name + " (" + violation.rowKey +
                "): " + exporter::describeViolation(plan, violation) + "\n";
    }
    if (check.violationCount > check.violations.size()) {
        text += "  ... and " + std::to_string(check.violationCount - check.violations.size()) +
                " more\n";
    }
    return text +
           "Nothing was written. The export can leave these rows out, or load every row with "
           "the rules they break left off; either way the ledger lists them.";
}

// Saves the ledger beside the SQLite file and says where, or why it could not.
std::string saveLedger(const std::string& sqliteFile, const exporter::Ledger& ledger) {
    std::ostringstream json;
    ledger.writeJson(json, "sqlite");
    const std::string fileName = ledgerFileName(sqliteFile);
    const support::Status saved = support::saveFileReplacing(fileName, json.str());
    if (!saved)
        return "The ledger could not be saved in " + fileName + ": " + saved.error().message;
    return "The ledger is saved in " + fileName + ".";
}

}  // namespace

std::string ledgerFileName(const std::string& sqliteFile) { return sqliteFile + ".ledger.json"; }

std::string postgresConninfo(const PostgresConnection& connection) {
    const std::pair<const char*, const std::string*> fields[] = {
        {"host", &connection.host},         {"port", &connection.port},
        {"dbname", &connection.database},   {"user", &connection.user},
        {"password", &connection.password},
    };
    std::string conninfo;
    for (const auto& [keyword, value] : fields) {
        if (value->empty()) continue;
        if (!conninfo.empty()) conninfo += ' ';
        conninfo += std::string(keyword) + "=" + quotedValue(*value);
    }
    return conninfo;
}

ExportOutcome runDataExport(const schema::Database& db, const schema::SchemaModel& model,
                            const ExportJob& job, const std::atomic<bool>& cancel,
                            const ExportProgress& progress) {
    ExportOutcome outcome;
    try {
        const exporter::ExportPlan plan = exporter::planExport(db, model);
        exporter::ExportRequest request = exportRequest(job);
        exporter::TargetSchemaScript schemaScript =
            exporter::targetSchemaScript(request.target, db, model);
        request.schemaScript = std::move(schemaScript.script);

        const exporter::ExportResult result = exporter::runExport(
            db, plan, request, cancel,
            [&](const std::string& table, std::uint64_t done, std::uint64_t total) {
                if (progress) progress(table, done, total);
            });
        exporter::Ledger ledger = result.ledger;
        for (exporter::LedgerItem& item : schemaScript.ledger) ledger.add(std::move(item));
        switch (result.status) {
            case exporter::ExportStatus::Ok:
                outcome.kind = ExportOutcomeKind::Ok;
                outcome.summary = exporter::summaryText(result);
                outcome.ledger = ledgerText(ledger);
                if (job.target == ExportTarget::Sqlite) {
                    outcome.summary += "\n" + saveLedger(job.sqliteFile, ledger);
                }
                break;
            case exporter::ExportStatus::RulesBroken:
                outcome.kind = ExportOutcomeKind::RulesBroken;
                outcome.summary = violationsText(plan, result.check);
                break;
            case exporter::ExportStatus::Cancelled:
                outcome.kind = ExportOutcomeKind::Cancelled;
                outcome.summary = "Export cancelled; nothing was written.";
                break;
            case exporter::ExportStatus::Failed:
                outcome.kind = ExportOutcomeKind::Failed;
                outcome.summary = result.message + "\nNothing was written.";
                break;
        }
    } catch (const std::exception& e) {
        outcome.kind = ExportOutcomeKind::Failed;
        outcome.summary = std::string(e.what()) + "\nNothing was written.";
    }
    return outcome;
}

}  // namespace zl::controller
